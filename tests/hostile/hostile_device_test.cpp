// Device paths that try to leave the device root, over the folder device
// library: every one is refused or stays inside the root.

#include <unistd.h>

#include <filesystem>
#include <string>

#include "base/files.h"
#include "hostile_fixture.h"

namespace trovik::hostile {
namespace {

class HostileDevice : public HostileCase {
 protected:
  HostileDevice() {
    reportsOnOutput = true;
    std::filesystem::create_directories(device + "My Documents/Geo");
    std::filesystem::create_directories(root.path() + "outside");
    root.write("device/My Documents/Geo/a.wpt", "device file");
    root.write("outside/secret", "secret");
    // A folder directly in the root may be a link (a card); a deeper one may not.
    std::filesystem::create_directory_symlink(root.path() + "outside", device + "My Documents/escape");
  }
};

TEST_F(HostileDevice, PathsThatTryToEscapeTheRoot) {
  const std::string pc = input("pc.txt", "from the pc");
  arm();
  const std::vector<std::string> escapes = {
      "\\..\\outside\\secret",     "\\My Documents\\..\\..\\outside\\secret", "/../outside/secret",
      "\\My Documents\\escape\\secret", "\\My Documents\\.\\Geo\\a.wpt",   "\\My Documents\\...\\x",
      "..\\..\\..\\etc\\passwd",    "\\C:\\x",                                 std::string(400, 'a'),
      "\\My Documents\\Geo\\a.wpt\\..\\..\\..\\outside"};
  for (const auto& p : escapes) {
    expectSafe(cli({"device", "get", p, home + "got.txt"}), {"home/got.txt"});
    expectSafe(cli({"device", "put", pc, p}));
    expectSafe(cli({"device", "exists", p}));
    expectSafe(cli({"device", "ls", p}));
    EXPECT_EQ(files::ReadAll(root.path() + "outside/secret"), "secret");
  }
  // Nothing was read from outside either.
  if (files::Exists(home + "got.txt")) {
    EXPECT_NE(files::ReadAll(home + "got.txt"), "secret");
  }
  EXPECT_FALSE(std::filesystem::exists(root.path() + "outside/pc.txt"));
}

TEST_F(HostileDevice, PcFileNamesThatAreNoFiles) {
  arm();
  expectSafe(cli({"device", "get", "\\My Documents\\Geo\\a.wpt", home + "missing/folder/x.wpt"}));
  expectSafe(cli({"device", "get", "\\My Documents\\Geo\\a.wpt", home}));
  expectSafe(cli({"device", "put", home, "\\My Documents\\x"}));
  // The copy opens its source the way the handheld's desktop side always has:
  // open-always, so a missing PC file is created empty and copied as such.
  expectSafe(cli({"device", "put", root.path() + "in/none", "\\My Documents\\y"}), {"in/none"});
}

}  // namespace
}  // namespace trovik::hostile
