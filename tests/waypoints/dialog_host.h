#pragma once
// A FakeHost whose open dialog answers with a chosen path (or cancels) and
// records what it was asked.

#include <optional>
#include <string>
#include <vector>

#include "support/fake_host.h"

namespace trovik::waypoints::testing {

class DialogHost : public trovik::testing::FakeHost {
 public:
  std::optional<std::string> openFileDialog(const OpenDialog& dialog) override {
    dialogs.push_back(dialog);
    return answer;
  }
  void setBusyCursor(bool busy) override {
    FakeHost::setBusyCursor(busy);
    if (busy) ++busyShown;
  }

  std::optional<std::string> answer;
  std::vector<OpenDialog> dialogs;
  int busyShown = 0;
};

}  // namespace trovik::waypoints::testing
