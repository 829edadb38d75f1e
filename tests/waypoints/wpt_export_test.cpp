#include "waypoints/wpt_export.h"

#include <gtest/gtest.h>

#include "base/error.h"
#include "base/files.h"
#include "base/paths.h"
#include "dialog_host.h"
#include "support/temp_dir.h"
#include "text/text.h"
#include "waypoint_test_util.h"
#include "waypoints/open_command.h"

namespace trovik::waypoints {
namespace {

using testing::DialogHost;
using testing::kNowDate;

// Records the copies asked for and keeps a copy of each file's bytes.
class FakeDevice : public device::DeviceFiles {
 public:
  bool DeviceFileExists(const std::string& devicePath) override {
    for (const auto& c : copies)
      if (c.device == devicePath) return true;
    return false;
  }
  device::Outcome CopyFileToDevice(const std::string& pcPath, const std::string& devicePath) override {
    copies.push_back({pcPath, devicePath, files::ReadAll(files::PcPath(pcPath))});
    return device::Outcome::Done;
  }
  device::Outcome CopyFileFromDevice(const std::string&, const std::string&) override {
    return device::Outcome::Failed;
  }

  struct Copy {
    std::string pc, device, bytes;
  };
  std::vector<Copy> copies;
};

std::string Added(long long n, const std::string& name, const std::string& code, const std::string& pos) {
  return std::to_string(n) + "," + name + "," + pos + "," + kNowDate + ",117,0,1,16777215,32768," + name + "[" + code +
         "],0,0,0,0, 6, 0,17,0,10.0,2,,,";
}

class Export : public ::testing::Test {
 protected:
  void SetUp() override {
    FixClock();
    state.wptText = {"OziExplorer Waypoint File Version 1.1", "WGS 84", "Reserved 2", "garmin",
                     "41,Stary mlyn, 48.4, 18.3, 46000.5,117,0,1,16777215,32768,Stary mlyn (GC1A2B3),0"};
    state.caches.add("Stary mlyn", "GC1A2B3", kPositionFromWpt);
    state.caches.add("Hrad", "GC22222", "48.31,18.25");
    state.caches.add("Novy", "GC33333", kPositionUnknown);
    state.caches.add("Kaplnka", "GC44444", "48.5,18.5");
    state.caches.nameMarks[1] = true;
  }
  WaypointState state;
  DialogHost host;
};

TEST_F(Export, FoundCachesNumberedOnFromTheLastLine) {
  SpeedButton26Click(state, host);
  ASSERT_EQ(state.wptText.size(), 7u);
  EXPECT_EQ(state.wptText[5], Added(42, "Hrad", "GC22222", "48.31,18.25"));
  EXPECT_EQ(state.wptText[6], Added(43, "Kaplnka", "GC44444", "48.5,18.5"));
  EXPECT_EQ(host.messages, (std::vector<std::string>{"Do WPT str\xE1nky bolo pridan\xFD"
                                                     "ch 2 z\xE1znamov"}));
  // The list and its marks stay.
  EXPECT_EQ(state.caches.count(), 4);
  EXPECT_EQ(state.caches.nameMarks, (std::vector<bool>{false, true, false, false}));
}

TEST_F(Export, TwiceAddsTheSameCachesAgainWithNewNumbers) {
  SpeedButton26Click(state, host);
  SpeedButton26Click(state, host);
  ASSERT_EQ(state.wptText.size(), 9u);
  EXPECT_EQ(state.wptText[7], Added(44, "Hrad", "GC22222", "48.31,18.25"));
  EXPECT_EQ(state.wptText[8], Added(45, "Kaplnka", "GC44444", "48.5,18.5"));
}

TEST_F(Export, EmptyTextStartsAtOneWithoutHeader) {
  state.wptText.clear();
  SpeedButton26Click(state, host);
  EXPECT_EQ(state.wptText, (std::vector<std::string>{Added(1, "Hrad", "GC22222", "48.31,18.25"),
                                                     Added(2, "Kaplnka", "GC44444", "48.5,18.5")}));
}

TEST_F(Export, LastLineWithoutWholeNumberCountsAsZero) {
  for (std::string last : {"garmin", "x41,a,b", ",a", " 7 ,a", "99999999999,a"}) {
    state.wptText = {last};
    state.caches.positions = {"?", "1,2", "wpt file", "?"};
    SpeedButton26Click(state, host);
    long long want = last == " 7 ,a" ? 8 : 1;
    EXPECT_EQ(WptLineNumber(state.wptText.back()), want) << last;
  }
  EXPECT_EQ(WptLineNumber("2147483647,x"), 2147483647);
  state.wptText = {"2147483647,x"};
  SpeedButton26Click(state, host);
  EXPECT_EQ(text::Copy(state.wptText.back(), 1, 11), "2147483648,");
}

TEST_F(Export, NothingFoundReportsZero) {
  state.caches.positions = {kPositionFromWpt, kPositionUnknown, kPositionUnknown, kPositionFromWpt};
  SpeedButton26Click(state, host);
  EXPECT_EQ(state.wptText.size(), 5u);
  EXPECT_EQ(host.messages.back(),
            "Do WPT str\xE1nky bolo pridan\xFD"
            "ch 0 z\xE1znamov");
}

TEST_F(Export, DateHasAPointWhateverTheRunsSeparator) {
  // The export never looks at the run's separator: no comma sneaks into the date.
  SpeedButton26Click(state, host);
  EXPECT_NE(state.wptText[5].find(std::string(",") + kNowDate + ",117,"), std::string::npos);
}

class Save : public Export {
 protected:
  void SetUp() override {
    Export::SetUp();
    paths::SetProgramFolder(dir.path());
    state.fileNameField = "Moje.wpt";
  }
  void TearDown() override { paths::SetProgramFolder(saved); }

  std::string saved = paths::ProgramFolder();
  TempDir dir;
  FakeDevice device;
  Fields fields;
};

TEST_F(Save, WritesCrLfTextAndCopiesItToTheWaypointFolder) {
  dir.write("Moje.wpt", "old content that is longer than the new one ...........................................");
  SpeedButton10Click(state, fields, device, host);
  std::string bytes = dir.read("Moje.wpt");
  EXPECT_EQ(bytes, text::JoinLinesCrLf(state.wptText));
  EXPECT_EQ(bytes.substr(0, 3), "Ozi");  // no byte-order mark
  ASSERT_EQ(device.copies.size(), 1u);
  EXPECT_EQ(device.copies[0].pc, files::FromPcPath(dir.path()) + "Moje.wpt");
  EXPECT_EQ(device.copies[0].device, "\\Storage Card\\OZI_Maps\\WP\\Moje.wpt");
  EXPECT_EQ(device.copies[0].bytes, bytes);
}

TEST_F(Save, EmptyFieldCannotCreateAndCopiesNothing) {
  state.fileNameField.clear();
  try {
    SpeedButton10Click(state, fields, device, host);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.text(), "Cannot create file " + files::FromPcPath(dir.path()));
  }
  EXPECT_TRUE(device.copies.empty());
  // A name the folder cannot take fails the same way, before any copy.
  state.fileNameField = "no/such/folder.wpt";
  EXPECT_THROW(SpeedButton10Click(state, fields, device, host), Error);
  EXPECT_TRUE(device.copies.empty());
}

TEST_F(Save, NeverReplacesTheGpxFileThatWasRead) {
  std::string gpx = "<gpx><wpt lat=\"1\" lon=\"2\"><name>A</name><desc>(GC1)</desc></wpt></gpx>";
  std::string gpxPath = dir.write("Trasa.gpx", gpx);
  std::vector<std::string> memo1;
  RunFlags flags;
  host.answer = files::FromPcPath(gpxPath);
  ToolButton10Click(state, memo1, flags, host);
  EXPECT_EQ(state.fileNameField, "Trasa.wpt");
  // Even when the user types the GPX file's own name into the field.
  state.fileNameField = "Trasa.gpx";
  SpeedButton10Click(state, fields, device, host);
  EXPECT_EQ(dir.read("Trasa.gpx"), gpx);
  EXPECT_EQ(dir.read("Trasa.wpt"), text::JoinLinesCrLf(state.wptText));
  EXPECT_EQ(state.fileNameField, "Trasa.wpt");
  ASSERT_EQ(device.copies.size(), 1u);
  EXPECT_EQ(device.copies[0].device, "\\Storage Card\\OZI_Maps\\WP\\Trasa.wpt");
  // "./Trasa.gpx" names the same file.
  state.fileNameField = "./Trasa.gpx";
  SpeedButton10Click(state, fields, device, host);
  EXPECT_EQ(dir.read("Trasa.gpx"), gpx);
}

TEST_F(Save, SavedFileReadBackListsNoneOfTheAddedCaches) {
  SpeedButton26Click(state, host);
  SpeedButton10Click(state, fields, device, host);
  WaypointState reread;
  std::vector<std::string> memo1;
  RunFlags flags;
  host.answer = files::FromPcPath(dir.file("Moje.wpt"));
  ToolButton10Click(reread, memo1, flags, host);
  EXPECT_EQ(reread.wptText, state.wptText);
  EXPECT_EQ(reread.caches.codes, (std::vector<std::string>{"GC1A2B3"}));
}

}  // namespace
}  // namespace trovik::waypoints
