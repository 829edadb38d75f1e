// "Ulož tento wpt súbor do PDA" through the real device link and the folder
// device library, in process and from the command line.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "base/files.h"
#include "base/paths.h"
#include "device/device_link.h"
#include "support/fake_host.h"
#include "support/run_program.h"
#include "support/temp_dir.h"
#include "text/text.h"
#include "waypoint_test_util.h"
#include "waypoints/open_command.h"
#include "waypoints/wpt_export.h"

namespace trovik::waypoints {
namespace {

constexpr const char* kCard = "PDA/Storage Card/OZI_Maps/WP/";

class Upload : public ::testing::Test {
 protected:
  void SetUp() override {
    FixClock();
    unsetenv("TROVIK_DEVICE_CREATE_FAIL");
    setenv("TROVIK_RAPI", (std::string(TROVIK_BIN_DIR) + "/libtrovik-folderdevice.so").c_str(), 1);
    setenv("TROVIK_DEVICE_ROOT", (home.path() + "PDA").c_str(), 1);
    std::filesystem::create_directories(home.path() + kCard);
    paths::SetProgramFolder(home.path());
  }
  void TearDown() override {
    paths::SetProgramFolder(saved);
    unsetenv("TROVIK_DEVICE_CREATE_FAIL");
    unsetenv("TROVIK_DEVICE_ROOT");
  }
  // trovik-cli --home HOME ARGS...; `output` gets what it wrote to either stream.
  int cli(std::vector<std::string> args) {
    args.insert(args.begin(), {"--home", home.path()});
    const trovik::testing::RunResult r = trovik::testing::RunCli(std::move(args));
    EXPECT_TRUE(r.exited()) << r.describe();
    output = r.out + r.err;
    return r.exitCode;
  }

  std::string saved = paths::ProgramFolder();
  TempDir home;
  std::string output;
};

TEST_F(Upload, ExportedTextLandsOnTheCardByteForByte) {
  trovik::testing::FakeHost host;
  RunFlags flags;
  WaypointState state;
  std::vector<std::string> memo1;
  OpenWaypointFile(state, memo1, flags, host,
                   files::FromPcPath(home.write("Okolie.wpt", ReadBytes(DataFile("sample.wpt")))));
  // Two caches whose listings gave positions, one still unknown.
  state.caches.add("Hrad", "GC22222", "48.31,18.25");
  state.caches.add("Novy", "GC33333", kPositionUnknown);
  state.caches.add("Kaplnka", "GC44444", "48.5,18.5");
  SpeedButton26Click(state, host);
  ASSERT_EQ(state.wptText.size(), 12u);
  EXPECT_EQ(text::Copy(state.wptText[10], 1, 7), "7,Hrad,");

  device::DeviceLink link;
  device::LinkDeviceFiles deviceFiles(link, host, flags);
  Fields fields;
  SpeedButton10Click(state, fields, deviceFiles, host);
  link.api.CeRapiUninit();
  EXPECT_EQ(host.messages.size(), 1u);  // only the export's count
  std::string saved = home.read("Okolie.wpt");
  EXPECT_EQ(saved, text::JoinLinesCrLf(state.wptText));
  EXPECT_EQ(home.read(std::string(kCard) + "Okolie.wpt"), saved);
}

TEST_F(Upload, FailedDeviceWriteIsReportedAndThePcFileStays) {
  setenv("TROVIK_DEVICE_CREATE_FAIL", "1", 1);
  trovik::testing::FakeHost host;
  RunFlags flags;
  WaypointState state;
  state.wptText = {"a", "b"};
  state.fileNameField = "x.wpt";
  device::DeviceLink link;
  device::LinkDeviceFiles deviceFiles(link, host, flags);
  SpeedButton10Click(state, Fields(), deviceFiles, host);
  link.api.CeRapiUninit();
  EXPECT_FALSE(host.messages.empty());
  EXPECT_EQ(home.read("x.wpt"), "a\r\nb\r\n");
  EXPECT_FALSE(std::filesystem::exists(home.path() + kCard + "x.wpt"));
}

TEST_F(Upload, CommandStoresAFileInTheWaypointFolder) {
  ASSERT_EQ(cli({"upload", DataFile("three.gpx")}), 0) << output;
  EXPECT_EQ(output, "\\Storage Card\\OZI_Maps\\WP\\three.wpt\n");
  EXPECT_EQ(home.read(std::string(kCard) + "three.wpt"), ReadBytes(DataFile("three.wpt")));
  EXPECT_EQ(home.read("three.wpt"), ReadBytes(DataFile("three.wpt")));

  // The folder from the settings file, or from --pda-wpt.
  std::filesystem::create_directories(home.path() + "PDA/Karta/WP");
  home.write("Trovik.ini", "[Kdeukladatdata]\r\nPDA_WPT=\\Karta\\WP\\\r\n");
  ASSERT_EQ(cli({"upload", DataFile("sample.wpt")}), 0) << output;
  EXPECT_EQ(home.read("PDA/Karta/WP/sample.wpt"), ReadBytes(DataFile("sample.wpt")));
  ASSERT_EQ(cli({"upload", DataFile("sample.wpt"), "--pda-wpt", "\\Storage Card\\OZI_Maps\\WP\\"}), 0);
  EXPECT_EQ(home.read(std::string(kCard) + "sample.wpt"), ReadBytes(DataFile("sample.wpt")));
}

TEST_F(Upload, CommandFailures) {
  EXPECT_EQ(cli({"upload", DataFile("three.gpx"), "--pda-wpt", "\\Nikde\\"}), 1);
  EXPECT_NE(output.find("\\Nikde\\three.wpt"), std::string::npos);
  EXPECT_EQ(cli({"upload", home.file("none.wpt")}), 1);
  EXPECT_EQ(output, "Cannot open file " + home.file("none.wpt") + "\n");
  EXPECT_EQ(cli({"upload", "notes.txt"}), 1);
  EXPECT_EQ(cli({"upload"}), 1);
}

}  // namespace
}  // namespace trovik::waypoints
