#include "waypoints/open_command.h"

#include <gtest/gtest.h>

#include "base/error.h"
#include "base/files.h"
#include "dialog_host.h"
#include "support/temp_dir.h"
#include "text/text.h"
#include "waypoint_test_util.h"

namespace trovik::waypoints {
namespace {

using testing::DialogHost;

// What the service text area holds after a GPX file: its lines, each re-encoded.
std::vector<std::string> ReadGpxLinesForTest(const std::string& path) {
  std::vector<std::string> lines = text::SplitLines(ReadBytes(path));
  for (auto& l : lines) l = text::Utf8To1250(l);
  return lines;
}

class OpenCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    FixClock();
    state.wptText = {"1,Old, 1, 2, 3,117,0,1,16777215,32768,Old (GC9),0"};
    state.currentFile = "/before/old.wpt";
    state.fileNameField = "old.wpt";
    state.caches.add("Old", "GC9", kPositionFromWpt);
    state.caches.nameMarks[0] = true;
    memo1 = {"<html>captured page</html>"};
  }
  void open(const std::string& path) {
    host.answer = path;
    ToolButton10Click(state, memo1, flags, host);
  }
  std::string copyData(const std::string& from, const std::string& as) {
    return dir.write(as, ReadBytes(DataFile(from)));
  }

  TempDir dir;
  DialogHost host;
  WaypointState state;
  std::vector<std::string> memo1;
  RunFlags flags;
};

TEST_F(OpenCommand, DialogOffersBothKindsWithTheCurrentFile) {
  ToolButton10Click(state, memo1, flags, host);
  ASSERT_EQ(host.dialogs.size(), 1u);
  const auto& d = host.dialogs[0];
  EXPECT_EQ(d.filter, "Waypoints oziexplorer[*.wpt]|*.wpt|GPX(*.gpx]|*.gpx|OZI&GPX[wpt alebo gpx]|*.wpt;*gpx");
  EXPECT_EQ(d.filterIndex, 3);
  EXPECT_EQ(d.defaultExt, "*.wpt;*.gpx");
  EXPECT_EQ(d.initialFile, "/before/old.wpt");
  // Cancelled: nothing changed.
  EXPECT_EQ(state.currentFile, "/before/old.wpt");
  EXPECT_EQ(state.caches.names, (std::vector<std::string>{"Old"}));
  EXPECT_EQ(memo1.size(), 1u);
  OtvorWPTsbor2Click(state, memo1, flags, host);
  EXPECT_EQ(host.dialogs.size(), 2u);
}

TEST_F(OpenCommand, GpxInAnyCaseIsConvertedAndSavedUnderWptName) {
  std::string path = copyData("three.gpx", "Trasa.Gpx");
  open(path);
  EXPECT_EQ(memo1, ReadGpxLinesForTest(path));
  EXPECT_EQ(text::JoinLinesCrLf(state.wptText), ReadBytes(DataFile("three.wpt")));
  EXPECT_EQ(state.currentFile, path);
  EXPECT_EQ(state.fileNameField, "Trasa.wpt");
  EXPECT_EQ(state.caches.names, (std::vector<std::string>{"GC1A2B3", "GC2B3C4"}));
  EXPECT_EQ(state.caches.codes, (std::vector<std::string>{"GC1A2B3", "GC2B3C4"}));
  EXPECT_EQ(state.caches.nameMarks, (std::vector<bool>{false, false}));
  EXPECT_EQ(flags.decimalSeparator, '.');
  EXPECT_EQ(host.busyShown, 1);
  EXPECT_FALSE(host.busyCursor);
  EXPECT_GE(host.changes, 1);
}

TEST_F(OpenCommand, WptIsReadAsBytes) {
  std::string path = copyData("sample.wpt", "Moje.WPT");
  open(path);
  EXPECT_EQ(state.wptText, text::SplitLines(ReadBytes(DataFile("sample.wpt"))));
  EXPECT_EQ(state.fileNameField, "Moje.WPT");
  EXPECT_EQ(state.caches.names, (std::vector<std::string>{"Star\xFD mlyn", "Hrad", "Stary mlyn"}));
  EXPECT_EQ(state.caches.codes, (std::vector<std::string>{"GC1A2B3", "GC12345", "GC1A2B3"}));
  EXPECT_EQ(memo1, (std::vector<std::string>{"<html>captured page</html>"}));
  EXPECT_EQ(flags.decimalSeparator, ',');
  EXPECT_EQ(host.busyShown, 0);
}

TEST_F(OpenCommand, OtherExtensionOnlyBecomesTheCurrentFile) {
  std::string path = copyData("sample.wpt", "sample.txt");
  open(path);
  EXPECT_EQ(state.currentFile, path);
  EXPECT_EQ(state.fileNameField, "old.wpt");
  EXPECT_EQ(state.wptText.size(), 1u);
  EXPECT_EQ(state.caches.names, (std::vector<std::string>{"Old"}));
  EXPECT_EQ(state.caches.nameMarks, (std::vector<bool>{true}));
  // Even a file that does not exist.
  open(dir.file("nothing"));
  EXPECT_EQ(state.currentFile, dir.file("nothing"));
}

TEST_F(OpenCommand, UnreadableFileKeepsEverything) {
  for (std::string name : {"missing.gpx", "missing.wpt"}) {
    std::string path = dir.file(name);
    host.answer = path;
    try {
      ToolButton10Click(state, memo1, flags, host);
      FAIL() << "no error for " << name;
    } catch (const Error& e) {
      EXPECT_EQ(e.text(), "Cannot open file " + path);
    }
    EXPECT_EQ(state.currentFile, "/before/old.wpt");
    EXPECT_EQ(state.fileNameField, "old.wpt");
    EXPECT_EQ(state.wptText.size(), 1u);
    EXPECT_EQ(state.caches.names, (std::vector<std::string>{"Old"}));
    EXPECT_EQ(state.caches.nameMarks, (std::vector<bool>{true}));
    EXPECT_EQ(memo1, (std::vector<std::string>{"<html>captured page</html>"}));
    EXPECT_FALSE(host.busyCursor);
  }
  EXPECT_EQ(flags.decimalSeparator, ',');
  // A folder is no file either.
  std::string folder = dir.path() + "folder.gpx";
  files::CreateDir(folder);
  host.answer = folder;
  EXPECT_THROW(ToolButton10Click(state, memo1, flags, host), Error);
  EXPECT_EQ(state.currentFile, "/before/old.wpt");
}

}  // namespace
}  // namespace trovik::waypoints
