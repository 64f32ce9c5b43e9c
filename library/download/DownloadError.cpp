#include "library/download/DownloadError.h"

#include <curl/curl.h>

#include <cstdio>
#include <vector>

namespace {

// The texts are printf formats with the address last; a number, when there is one, comes first.
template <class... Values>
std::string Format(const char* format, const Values&... values)
{
    const int size = std::snprintf(nullptr, 0, format, values...);
    if (size <= 0)
        return {};
    std::vector<char> text(static_cast<size_t>(size) + 1);
    std::snprintf(text.data(), text.size(), format, values...);
    return std::string(text.data(), static_cast<size_t>(size));
}

std::string AbortText(int32_t reason, int32_t subReason, const std::string& url)
{
    switch (reason) {
    case DownloadErrorOpen:
        return Format("File open error (%s)", url.c_str());
    case DownloadErrorWrite:
        return Format("File write error, disk may be full (%s)", url.c_str());
    case DownloadErrorServer:
        return Format("Web file not found, or other server error (%s)", url.c_str());
    case DownloadErrorAbort:
        switch (subReason) {
        case AbortTimeout:
            return Format("Timeout in trying to load (%s)", url.c_str());
        case AbortStopped:
            return Format("File write stopped by user (%s)", url.c_str());
        case AbortOverridden:
            return Format("File overriden by program (%s)", url.c_str());
        case AbortByUser:
            return Format("File aborted by user (%s)", url.c_str());
        default:
            return Format("Internet system error %1X (%s)", static_cast<unsigned>(ResultAbort), url.c_str());
        }
    default:
        return {};
    }
}

} // namespace

uint32_t ResultFromCurl(int curlCode)
{
    switch (static_cast<CURLcode>(curlCode)) {
    case CURLE_OK:
        return ResultOk;
    case CURLE_ABORTED_BY_CALLBACK:
        return ResultAbort;
    case CURLE_URL_MALFORMAT:
        return ResultInvalidUrl;
    case CURLE_UNSUPPORTED_PROTOCOL:
        return ResultUnknownProtocol;
    case CURLE_LOGIN_DENIED:
    case CURLE_REMOTE_ACCESS_DENIED:
        return ResultAccessDenied;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        return ResultResourceNotFound;
    case CURLE_COULDNT_CONNECT:
        return ResultCannotConnect;
    case CURLE_OPERATION_TIMEDOUT:
        return ResultConnectionTimeout;
    default:
        return ResultDownloadFailure;
    }
}

std::string DownloadErrorText(uint32_t result, int32_t reason, int32_t subReason, const std::string& url)
{
    switch (result) {
    case ResultOk:
        return {};
    case ResultAbort:
        return AbortText(reason, subReason, url);
    case ResultSyntax:
    case ResultInvalidUrl:
    case ResultUnknownProtocol:
        return Format("Internet file error %lX (%s)", static_cast<unsigned long>(result), url.c_str());
    case ResultAccessDenied:
    case ResultAuthenticationRequired:
        return Format("User/Password Authorization failed %1X (%s)", static_cast<unsigned>(result), url.c_str());
    default:
        return Format("Internet system error %lX (%s)", static_cast<unsigned long>(result), url.c_str());
    }
}
