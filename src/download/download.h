#pragma once
// The picture downloader as a program loads it at run time: trovik-cli links
// no network library, so a page command that fetches pictures dlopen()s
// libtrovik-download.so (next to the executable), and nothing else starts
// with libcurl. This header holds no curl type.
//
// The CLI carries its own C++ runtime and the library the shared one, so no
// exception passes between them: the library's downloader reports every
// failure as a value (false, a job's error text) and never throws.

#include "site/browser.h"

#ifndef TROVIK_DOWNLOAD_INTERFACE
#error "TROVIK_DOWNLOAD_INTERFACE is set by the build (target trovik_download_api)"
#endif

namespace trovik::download {

// A hash of this header and site::Downloader's, made by the build: a library
// of another interface is refused rather than called wrongly.
inline constexpr const char* kDownloadInterface = TROVIK_DOWNLOAD_INTERFACE;

}  // namespace trovik::download

extern "C" {
// A new downloader (delete it through its virtual destructor), or null when
// `interface` is not the library's. `totalTimeoutMs` 0: no bound on one
// picture but the stall bound; `maxBytes` 0: no cap.
typedef trovik::site::Downloader* (*TrovikDownloaderCreate)(const char* interface, long totalTimeoutMs,
                                                            long long maxBytes);
}
