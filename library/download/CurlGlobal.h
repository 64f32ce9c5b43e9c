#pragma once

#include <curl/curl.h>

// libcurl's global set-up, once per process, before the first easy handle (downloads and the share post).
void InitialiseCurlOnce();

// The proxy the system names for a transfer: libcurl reads the environment's proxy variables itself
// (http_proxy, https_proxy, all_proxy, and no_proxy for the hosts they skip). Loopback hosts
// (127.0.0.0/8, localhost, ::1) are always reached directly: a server on this machine is never behind
// the user's proxy. The rule holds for every address of a transfer, redirects included. False when
// libcurl refused the setting.
bool UseSystemProxyExceptLoopback(CURL* handle);
