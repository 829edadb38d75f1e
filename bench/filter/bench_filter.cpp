// The listing page filter on generated national listing pages of 1, 4 and 16
// MB (about 1,250 picture references per MB, so 20,000 at 16 MB), best of 3.
// Reports the rewrite alone and the whole filter command (cut, join, rewrite,
// hint, header block, file write; the document shows no pictures), and the
// time per MB, which stays flat when the work is linear.

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "support/still_browser.h"
#include "pages/page_filter.h"
#include "pages/pages.h"

using namespace trovik;

namespace {

double now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

struct NoDownloader : site::Downloader {
  bool UrlToFile(const std::string&, const std::string&) override { return false; }
};
struct NoDevice : device::DeviceFiles {
  bool DeviceFileExists(const std::string&) override { return true; }
  device::Outcome CopyFileToDevice(const std::string&, const std::string&) override { return device::Outcome::Done; }
  device::Outcome CopyFileFromDevice(const std::string&, const std::string&) override { return device::Outcome::Done; }
};
struct NoHost : Host {
  void processMessages() override {}
  void sleepMs(int) override {}
  uint32_t tickCount() override { return 0; }
  void showMessage(const std::string&) override {}
};

std::vector<std::string> Listing(size_t bytes) {
  std::vector<std::string> lines = {"<TABLE><TR><TD>menu</TD></TR></TABLE>", "<DIV id=HLAVNIPANEL>"};
  size_t size = 0;
  for (int i = 0; size < bytes; ++i) {
    std::string line = "<P>Popis kešky, odsek " + std::to_string(i) +
                       ": lesná cesta vedie popri potoku až k starému mlynu, kde treba hľadať pod kameňom. " +
                       std::string(640, 'x') + "</P>" +
                       "<IMG src=\"http://img.example/cache/photo" + std::to_string(i) + ".jpg\" width=200>";
    size += line.size();
    lines.push_back(std::move(line));
  }
  lines.push_back("[<A href=\"?decrypt=y\">Dekódovať</A>]<BR>Cbq xnzrabz<BR>an ynirw fgenar<P>");
  lines.push_back("<SCRIPT LANGUAGE=JAVASCRIPT>var x;</SCRIPT>");
  return lines;
}

}  // namespace

int main(int argc, char** argv) {
  std::string home = argc > 1 ? argv[1] : "/tmp/trovik-bench-filter";
  ::mkdir(home.c_str(), 0755);
  home += "/";
  ::mkdir((home + "HTM").c_str(), 0755);
  ::mkdir((home + "Pictures").c_str(), 0755);

  site::StillBrowser browser;
  NoDownloader downloader;
  NoDevice device;
  device::CopyToDeviceOption copy;
  NoHost host;
  RunFlags flags;
  Fields fields;
  std::string pageName = "bench";
  std::vector<std::string> memo1;
  const std::string htm = pages::HtmFolderPath(home), pictures = pages::PicturesFolderPath(home);
  pages::PageContext ctx{{downloader, device, copy, host, flags, fields, htm, pictures}, browser, memo1, pageName,
                         nullptr};
  pages::PagesState state;

  std::printf("%6s %8s %12s %12s %14s\n", "MB", "refs", "rewrite ms", "filter ms", "filter ms/MB");
  for (int mb : {1, 4, 16}) {
    memo1 = Listing(static_cast<size_t>(mb) << 20);
    std::vector<std::string> working;
    pages::CutPage(memo1, Site::Sk, working);
    std::string joined = pages::JoinPage(working);
    size_t refs = 0;
    for (size_t p = joined.find("src=\""); p != std::string::npos; p = joined.find("src=\"", p + 1)) ++refs;
    double rewrite = 1e9, whole = 1e9;
    for (int i = 0; i < 3; ++i) {
      double t = now();
      std::string out = pages::RewritePictureReferences(joined);
      rewrite = std::min(rewrite, now() - t);
      t = now();
      pages::OdfiltrujLenZaujimave(state, ctx);
      whole = std::min(whole, now() - t);
    }
    std::printf("%6d %8zu %12.1f %12.1f %14.1f\n", mb, refs, rewrite * 1000, whole * 1000, whole * 1000 / mb);
  }
  return 0;
}
