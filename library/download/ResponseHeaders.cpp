#include "library/download/ResponseHeaders.h"

#include "library/download/AsciiCase.h"
#include "library/download/Pattern.h"

#include <algorithm>
#include <climits>
#include <string>

namespace {

constexpr std::string_view GzipMimeType = "application/x-gzip";

} // namespace

bool IsArchiveMimeType(std::string_view type)
{
    static constexpr std::string_view archiveTypes[] = {
        "application/x-zip",          "application/x-compress", "application/x-compressed",
        "application/x-zip-compressed", "application/zip",      "application/gzip",
        "multipart/x-zip",            "multipart/x-gzip",
    };
    for (std::string_view archive : archiveTypes) {
        if (EqualsIgnoringAsciiCase(type, archive))
            return true;
    }
    return false;
}

int32_t SaturatedDecimal(std::string_view digits)
{
    int64_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            break;
        value = value * 10 + (c - '0');
        if (value >= INT32_MAX)
            return INT32_MAX;
    }
    return static_cast<int32_t>(value);
}

ResponseHeaders ResponseHeaders::Read(std::string_view headerText)
{
    ResponseHeaders result;
    if (headerText.empty())
        return result;
    Pattern pattern;
    std::string contentType;
    const bool hasType = pattern.Match(headerText, ContentTypePattern, &contentType);
    std::string statusDigits;
    result.hasStatus = pattern.Match(headerText, StatusLinePattern, &statusDigits);
    const bool hasEncoding = pattern.Match(headerText, ContentEncodingPattern, nullptr);
    result.encoded = hasEncoding ||
                     (hasType && (EqualsIgnoringAsciiCase(contentType, GzipMimeType) || IsArchiveMimeType(contentType)));
    result.status = result.hasStatus ? SaturatedDecimal(statusDigits) : 0;
    return result;
}

int32_t ResponseHeaders::EffectiveStatus(long libraryCode) const
{
    if (hasStatus)
        return status;
    return static_cast<int32_t>(std::clamp<long>(libraryCode, INT32_MIN, INT32_MAX));
}
