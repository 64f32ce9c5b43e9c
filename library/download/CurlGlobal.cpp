#include "library/download/CurlGlobal.h"

#include <curl/curl.h>

#include <cstdlib>
#include <mutex>
#include <string>
#include <string_view>

namespace {

constexpr const char* LoopbackHosts = "localhost,127.0.0.0/8,::1";

// The hosts no proxy serves: the loopback ones and those the environment names. Setting the list
// replaces libcurl's own reading of no_proxy, so that is read here in its order: the lower-case name
// first. A lone "*" keeps every host away from a proxy.
std::string NoProxyHosts()
{
    const char* named = std::getenv("no_proxy");
    if (!named)
        named = std::getenv("NO_PROXY");
    if (!named || !*named)
        return LoopbackHosts;
    if (std::string_view(named) == "*")
        return named;
    return std::string(LoopbackHosts) + ',' + named;
}

} // namespace

void InitialiseCurlOnce()
{
    static std::once_flag initialised;
    std::call_once(initialised, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bool UseSystemProxyExceptLoopback(CURL* handle)
{
    // CURLOPT_PROXY stays unset: libcurl then takes the proxy variables for each address's scheme.
    return curl_easy_setopt(handle, CURLOPT_NOPROXY, NoProxyHosts().c_str()) == CURLE_OK;
}
