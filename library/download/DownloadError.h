#pragma once

#include <cstdint>
#include <string>

// Why a download is being aborted (DownloadThread::reason).
inline constexpr int32_t DownloadErrorNone = 0;
inline constexpr int32_t DownloadErrorOpen = 100;    // the target file could not be opened
inline constexpr int32_t DownloadErrorWrite = 101;   // writing or closing the target file failed
inline constexpr int32_t DownloadErrorAbort = 200;   // an abort was asked for; the sub-reason tells which
inline constexpr int32_t DownloadErrorServer = 370;  // the HTTP status was 400 or more

// Who asked for an abort (DownloadThread::subReason).
inline constexpr int32_t AbortTimeout = 1;     // no data for longer than the idle limit
inline constexpr int32_t AbortStopped = 2;     // the program is shutting down
inline constexpr int32_t AbortOverridden = 3;  // the request goes back to the queue
inline constexpr int32_t AbortByUser = 4;

// Result codes of a download. The error texts print them in hexadecimal, in the family of codes the
// program has always reported, so a failure reads the same as it always did.
inline constexpr uint32_t ResultOk = 0;
inline constexpr uint32_t ResultAbort = 0x80004004;
inline constexpr uint32_t ResultAccessDenied = 0x80070005;
inline constexpr uint32_t ResultSyntax = 0x800401E4;
inline constexpr uint32_t ResultInvalidUrl = 0x800C0002;
inline constexpr uint32_t ResultCannotConnect = 0x800C0004;
inline constexpr uint32_t ResultResourceNotFound = 0x800C0005;
inline constexpr uint32_t ResultDownloadFailure = 0x800C0008;
inline constexpr uint32_t ResultAuthenticationRequired = 0x800C0009;
inline constexpr uint32_t ResultConnectionTimeout = 0x800C000B;
inline constexpr uint32_t ResultUnknownProtocol = 0x800C000D;

// The result code that stands for a libcurl error code.
uint32_t ResultFromCurl(int curlCode);

// The failure's readable text, naming the address; empty for an abort without a known reason.
std::string DownloadErrorText(uint32_t result, int32_t reason, int32_t subReason, const std::string& url);
