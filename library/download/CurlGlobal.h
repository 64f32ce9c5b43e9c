#pragma once

// libcurl's global set-up, once per process, before the first easy handle (downloads and the share post).
void InitialiseCurlOnce();
