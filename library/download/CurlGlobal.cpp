#include "library/download/CurlGlobal.h"

#include <curl/curl.h>

#include <mutex>

void InitialiseCurlOnce()
{
    static std::once_flag initialised;
    std::call_once(initialised, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}
