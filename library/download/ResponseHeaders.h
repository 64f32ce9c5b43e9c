#pragma once

#include <cstdint>
#include <string_view>

// The three patterns the download callback matches against the whole response header text.
inline constexpr std::string_view ContentTypePattern = "{Content-Type} ` ([:=] | [=] | [:]) ` # &str+ ` [/] ` &sth+ #";
inline constexpr std::string_view StatusLinePattern = "&begin &white* ~white+ &white+ # &num+ # &white";
inline constexpr std::string_view ContentEncodingPattern = "{CONTENT-ENCODING}";

// A status of this or more fails the download before any data is kept.
inline constexpr int32_t FirstFailingStatus = 400;

// What a download reads from one response's header text.
struct ResponseHeaders {
    bool encoded = false;    // compressed or an archive: read until the stream ends
    bool hasStatus = false;  // the status line was readable
    int32_t status = 0;      // its status code, saturated to the 32-bit range

    static ResponseHeaders Read(std::string_view headerText);
    // The status the download goes by: the status line's, or libcurl's code when the line was unreadable.
    int32_t EffectiveStatus(long libraryCode) const;
};

// True for the archive and compressed media types (case ignored); "application/x-gzip" is tested apart.
bool IsArchiveMimeType(std::string_view type);

// Decimal digits to a number that stops at the largest 32-bit value instead of wrapping.
int32_t SaturatedDecimal(std::string_view digits);
