#pragma once
// The demo listing sites started on a free loopback port for one test,
// stopped after it. address() is empty when the program was not built.

#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "support/run_program.h"

namespace trovik::testing {

class DemoSiteProcess {
 public:
  // `extra`: more options, e.g. {"--data", DIR}.
  explicit DemoSiteProcess(const std::vector<std::string>& extra = {}) {
    const std::string exe = BinPath("trovik-demo-site");
    if (access(exe.c_str(), X_OK) != 0) return;
    std::vector<std::string> args = {"--port", "0"};
    args.insert(args.end(), extra.begin(), extra.end());
    site_ = std::make_unique<BackgroundProgram>(exe, std::move(args));
    // The first line the site prints is its address; a site that fails to
    // start ends its output at once.
    address_ = site_->readLine(std::chrono::seconds(60));
  }

  bool running() const { return site_ && site_->started() && !address_.empty(); }
  // "http://127.0.0.1:PORT", or "" without the demo site.
  const std::string& address() const { return address_; }

 private:
  std::unique_ptr<BackgroundProgram> site_;
  std::string address_;
};

}  // namespace trovik::testing
