#pragma once
// Tests of the device link run against the real folder device library,
// loaded by dlopen, over a fresh device root per test.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/flags.h"
#include "device/device_link.h"
#include "support/fake_host.h"
#include "support/temp_dir.h"
#include "text/text.h"

namespace trovik::device::testing {

inline const char* const kFaults[] = {"TROVIK_DEVICE_CONNECT",       "TROVIK_DEVICE_CONNECT_DELAY_MS",
                                      "TROVIK_DEVICE_CREATE_FAIL",   "TROVIK_DEVICE_WRITE_FAIL_AFTER",
                                      "TROVIK_DEVICE_SETTIME_FAIL",  "TROVIK_DEVICE_SIZE_FAIL",
                                      "TROVIK_DEVICE_READ_FAIL",     "TROVIK_DEVICE_MISSING",
                                      "TROVIK_DEVICE_MOVE_FAIL"};

inline std::string FolderDeviceLibrary() { return std::string(TROVIK_BIN_DIR) + "/libtrovik-folderdevice.so"; }

// 1250 text from the UTF-8 of the test source.
inline std::string L(const char* utf8) { return text::Utf8To1250(utf8); }

class DeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* f : kFaults) unsetenv(f);
    setenv("TROVIK_RAPI", FolderDeviceLibrary().c_str(), 1);
    root = pc.path() + "PDA";
    setenv("TROVIK_DEVICE_ROOT", root.c_str(), 1);
    std::filesystem::create_directories(root + "/Storage Card/Geo");
    std::filesystem::create_directories(root + "/Storage Card/OZI_Maps/WP");
  }
  void TearDown() override {
    link.api.CeRapiUninit();
    for (const char* f : kFaults) unsetenv(f);
  }

  // A file on the simulated card, by its path below the root ("Storage Card/Geo/x").
  std::string OnCard(const std::string& relative) const { return root + "/" + relative; }
  std::string CardBytes(const std::string& relative) const {
    return pc.read("PDA/" + relative);
  }
  bool OnCardExists(const std::string& relative) const { return std::filesystem::exists(OnCard(relative)); }
  // Whether the remote connection is open now: a find over a closed one fails.
  bool ConnectionOpen() {
    rapi::CE_FIND_DATA data{};
    rapi::HANDLE h = link.api.CeFindFirstFile(u"\\Storage Card", &data);
    if (h == rapi::INVALID_HANDLE_VALUE) return false;
    link.api.CeFindClose(h);
    return true;
  }

  trovik::testing::TempDir pc;
  std::string root;
  trovik::testing::FakeHost host;
  RunFlags flags;
  DeviceLink link;
};

}  // namespace trovik::device::testing
