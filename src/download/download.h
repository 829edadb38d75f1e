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

namespace trovik::download {

// Raised whenever this header or site::Downloader changes shape: a library of
// another build is refused rather than called wrongly.
inline constexpr int kDownloadInterfaceVersion = 1;

}  // namespace trovik::download

extern "C" {
// A new downloader (delete it through its virtual destructor), or null when
// `version` is not the library's. `totalTimeoutMs` 0: no bound on one picture
// but the stall bound; `maxBytes` 0: no cap.
typedef trovik::site::Downloader* (*TrovikDownloaderCreate)(int version, long totalTimeoutMs, long long maxBytes);
}
