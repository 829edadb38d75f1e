// No lost data: each kind of write the program makes is cut off in the
// middle, by a file-size limit that either kills the process (as a crash or
// a power cut would) or makes the write fail (a full disk). The file that
// was there before must be intact either way, and a failed write must be
// reported and leave no temporary file behind.

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "base/error.h"
#include "base/files.h"
#include "base/profile.h"
#include "device/device_link.h"
#include "jpeg_inputs.h"
#include "net/curl_downloader.h"
#include "pages/pages.h"
#include "support/fake_browser.h"
#include "support/fake_host.h"
#include "support/run_program.h"
#include "support/site_parts.h"
#include "support/temp_dir.h"

namespace trovik::hostile {

using testing::RunCli;
using testing::RunForked;
using testing::RunOptions;
using testing::RunResult;
namespace {

namespace fs = std::filesystem;

constexpr long long kLimit = 64 * 1024;  // far below every new file written here
const std::string kOld = "the old file, which must survive\r\n";

// Files in `folder` that a write of `name` left beside it.
std::vector<std::string> Leftovers(const std::string& folder, const std::string& name) {
  std::vector<std::string> out;
  for (const auto& e : fs::directory_iterator(folder)) {
    std::string n = e.path().filename().string();
    if (n != name && n.rfind(name, 0) == 0) out.push_back(n);
  }
  return out;
}

struct Cut {
  bool killed;  // true: the process dies at the limit; false: the write fails
  const char* label;
};
const Cut kCuts[] = {{true, "killed"}, {false, "refused"}};

RunOptions Limited(const Cut& cut, std::vector<std::string> args = {}) {
  RunOptions o;
  o.args = std::move(args);
  o.fileSizeLimit = kLimit;
  o.ignoreFileSizeSignal = !cut.killed;
  o.timeoutSeconds = 120;
  return o;
}

// The outcome each kind of cut must have: killed by the limit, or a clean
// failure. A killed write leaves its temporary file beside the target, never
// in its place; `tidy` (the program's next start, or the next listing of the
// device folder) must remove it. Without `tidy` it is removed here.
void ExpectCut(const Cut& cut, const RunResult& r, const std::string& folder, const std::string& name,
               const std::function<void()>& tidy = {}) {
  EXPECT_FALSE(r.timedOut) << cut.label << ": " << r.describe();
  if (cut.killed) {
    EXPECT_EQ(r.signal, SIGXFSZ) << cut.label << ": " << r.describe();
    for (const auto& n : Leftovers(folder, name)) {
      EXPECT_TRUE(files::TempWriterPid(n) || n == name + device::kDeviceTempSuffix) << n;
      if (!tidy) fs::remove(folder + "/" + n);
    }
    if (tidy) {
      tidy();
      EXPECT_TRUE(Leftovers(folder, name).empty()) << ::testing::PrintToString(Leftovers(folder, name));
    }
  } else {
    EXPECT_EQ(r.exitCode, 1) << cut.label << ": " << r.describe();
    EXPECT_TRUE(Leftovers(folder, name).empty()) << ::testing::PrintToString(Leftovers(folder, name));
  }
}

std::string BigGpx(int count) {
  std::string s = "<gpx>\n";
  for (int i = 0; i < count; ++i)
    s += "<wpt lat=\"48.1\" lon=\"17.2\">\n<name>GC" + std::to_string(i) + "</name>\n<desc>Kes (GC" +
         std::to_string(i) + ")</desc>\n</wpt>\n";
  return s + "</gpx>\n";
}

class Durability : public ::testing::Test {
 protected:
  Durability() {
    fs::create_directories(home + "HTM");
    fs::create_directories(home + "Pictures");
    fs::create_directories(device + "Geo");
  }
  std::vector<std::string> cliArgs(std::vector<std::string> args) {
    args.insert(args.begin(), {"--home", home});
    return args;
  }
  RunResult cli(const Cut& cut, std::vector<std::string> args) {
    RunOptions o = Limited(cut, cliArgs(std::move(args)));
    o.env = {"TROVIK_DEVICE_ROOT=" + device, "TMPDIR=" + dir.path()};
    return RunCli(o);
  }
  // The program started again: what killed writes left in its folders goes.
  std::function<void()> restart() {
    return [this] {
      RunOptions o;
      o.args = cliArgs({"pcls", home});
      EXPECT_EQ(RunCli(o).exitCode, 0);
    };
  }
  // The device folder listed, as the user would look at it.
  std::function<void()> listDevice(const std::string& folder) {
    return [this, folder] {
      RunOptions o;
      o.args = cliArgs({"device", "ls", folder});
      o.env = {"TROVIK_DEVICE_ROOT=" + device};
      EXPECT_EQ(RunCli(o).exitCode, 0);
    };
  }
  testing::TempDir dir;
  std::string home = dir.path() + "home/";
  std::string device = dir.path() + "device/";
};

TEST_F(Durability, WaypointFileOfGpx2wpt) {
  const std::string gpx = dir.write("big.gpx", BigGpx(20000));
  for (const Cut& cut : kCuts) {
    const std::string out = dir.write("out/old.wpt", kOld);
    RunResult r = cli(cut, {"gpx2wpt", gpx, "-o", out});
    ExpectCut(cut, r, dir.path() + "out", "old.wpt");
    EXPECT_EQ(files::ReadAll(out), kOld) << cut.label;
  }
}

TEST_F(Durability, WaypointFileSavedByUpload) {
  const std::string gpx = dir.write("in/trasa.gpx", BigGpx(20000));
  for (const Cut& cut : kCuts) {
    dir.write("home/trasa.wpt", kOld);
    RunResult r = cli(cut, {"upload", gpx, "--pda-wpt", "\\Geo\\"});
    ExpectCut(cut, r, home, "trasa.wpt", restart());
    EXPECT_EQ(files::ReadAll(home + "trasa.wpt"), kOld) << cut.label;
  }
}

TEST_F(Durability, HalvedPictureOfShrink) {
  const std::string picture = NoiseJpeg(800, 600);
  ASSERT_GT(picture.size(), 4 * static_cast<size_t>(kLimit));
  for (const Cut& cut : kCuts) {
    const std::string p = dir.write("home/Pictures/p.jpg", picture);
    RunResult r = cli(cut, {"shrink", p, "--limit", "0"});
    ExpectCut(cut, r, home + "Pictures", "p.jpg", restart());
    EXPECT_TRUE(files::ReadAll(p) == picture) << cut.label;
  }
}

TEST_F(Durability, CopyFromTheDevice) {
  dir.write("device/Geo/big.wpt", std::string(2 << 20, 'd'));
  for (const Cut& cut : kCuts) {
    const std::string pc = dir.write("home/copy.wpt", kOld);
    RunResult r = cli(cut, {"device", "get", "\\Geo\\big.wpt", pc});
    ExpectCut(cut, r, home, "copy.wpt", restart());
    EXPECT_EQ(files::ReadAll(pc), kOld) << cut.label;
  }
}

TEST_F(Durability, CopyToTheDevice) {
  const std::string big = dir.write("in/big.wpt", std::string(1 << 20, 'n'));
  for (const Cut& cut : kCuts) {
    dir.write("device/Geo/x.wpt", kOld);
    RunResult r = cli(cut, {"device", "put", big, "\\Geo\\x.wpt"});
    ExpectCut(cut, r, device + "Geo", "x.wpt", listDevice("\\Geo"));
    EXPECT_TRUE(files::ReadAll(device + "Geo/x.wpt") == kOld) << cut.label;
  }
}

// Copies both ways killed at random moments, many times: whenever the kill
// comes, the target holds the old file or the new one whole, and what the
// cut copy left is gone after the program's next start (PC) or the next
// listing of the device folder (which puts an old file moved aside back).
TEST_F(Durability, CopiesKilledAtRandomMomentsLoseNothing) {
  // Big enough that a copy lasts several of the runner's polls, so a kill
  // timed from the copy's first data lands inside the copy.
  const std::string fresh(64 << 20, 'n');
  const std::string big = dir.write("in/big.wpt", fresh);
  dir.write("device/Geo/src.wpt", fresh);
  std::mt19937 random(20261208);
  int cutShort = 0;
  for (int i = 0; i < 24; ++i) {
    const bool put = i % 2 == 0;
    dir.write("device/Geo/x.wpt", kOld);
    dir.write("home/copy.wpt", kOld);
    // Half the kills anywhere in the run, half once the copy writes its data.
    const bool anywhere = i % 4 < 2;
    const double delay = std::uniform_real_distribution<double>(0, anywhere ? 0.8 : 0.01)(random);
    const std::string folder = put ? device + "Geo" : home;
    const std::string name = put ? "x.wpt" : "copy.wpt";
    std::optional<std::chrono::steady_clock::time_point> since;
    RunOptions o;
    o.args = put ? cliArgs({"device", "put", big, "\\Geo\\x.wpt"})
                 : cliArgs({"device", "get", "\\Geo\\src.wpt", home + "copy.wpt"});
    o.env = {"TROVIK_DEVICE_ROOT=" + device};
    o.killWhen = [&] {
      if (!since && (anywhere || !Leftovers(folder, name).empty())) since = std::chrono::steady_clock::now();
      return since && std::chrono::duration<double>(std::chrono::steady_clock::now() - *since).count() >= delay;
    };
    RunResult r = RunCli(o);
    ASSERT_FALSE(r.timedOut) << r.describe();
    if (r.killedByUs && !Leftovers(folder, name).empty()) ++cutShort;
    (put ? listDevice("\\Geo") : restart())();
    const std::string now = files::Exists(folder + "/" + name) ? files::ReadAll(folder + "/" + name) : "(missing)";
    EXPECT_TRUE(now == kOld || now == fresh) << i << ": " << now.substr(0, 80) << " " << r.describe();
    EXPECT_TRUE(Leftovers(folder, name).empty()) << i << ": " << ::testing::PrintToString(Leftovers(folder, name));
  }
  // The kills did cut copies in the middle.
  EXPECT_GT(cutShort, 0);
}

TEST_F(Durability, SettingsFile) {
  // A settings file larger than the limit: every write rewrites all of it.
  std::string ini = "[Setrenie]\r\nVelkost=30000\r\n[Mesta]\r\n";
  for (int i = 0; ini.size() < 4 * kLimit; ++i) ini += "Mesto" + std::to_string(i) + "=48.1,17.2\r\n";
  const std::string path = dir.path() + "Trovik.ini";
  for (const Cut& cut : kCuts) {
    dir.write("Trovik.ini", ini);
    RunResult r = RunForked(
        [&] {
          try {
            profile::WriteString(path, "Setrenie", "Velkost", "5");
          } catch (const Error&) {
            return 1;
          }
          return 0;
        },
        Limited(cut));
    ExpectCut(cut, r, dir.path(), "Trovik.ini");
    EXPECT_TRUE(files::ReadAll(path) == ini) << cut.label;
  }
}

TEST_F(Durability, OfflinePage) {
  for (const Cut& cut : kCuts) {
    dir.write("home/HTM/GC1.htm", kOld);
    RunResult r = RunForked(
        [&] {
          testing::FakeHost host;
          testing::FakeBrowser browser(host);
          struct NoDownloads : site::Downloader {
            bool UrlToFile(const std::string&, const std::string&) override { return false; }
          } downloader;
          struct NoDevice : device::DeviceFiles {
            bool DeviceFileExists(const std::string&) override { return false; }
            device::Outcome CopyFileToDevice(const std::string&, const std::string&) override {
              return device::Outcome::Failed;
            }
            device::Outcome CopyFileFromDevice(const std::string&, const std::string&) override {
              return device::Outcome::Failed;
            }
          } dev;
          device::CopyToDeviceOption copy;
          RunFlags flags;
          Fields fields;
          std::vector<std::string> memo1 = {"<DIV id=HLAVNIPANEL>"};
          for (int i = 0; i < 20000; ++i) memo1.push_back("<P>riadok listingu " + std::to_string(i) + "</P>");
          std::string name = "GC1";
          const std::string htm = pages::HtmFolderPath(home), pictures = pages::PicturesFolderPath(home);
          pages::PageContext ctx{{downloader, dev, copy, host, flags, fields, htm, pictures}, browser, memo1, name,
                                 nullptr};
          pages::PagesState state;
          try {
            pages::OdfiltrujLenZaujimave(state, ctx);
          } catch (const Error&) {
            return 1;
          }
          return 0;
        },
        Limited(cut));
    ExpectCut(cut, r, home + "HTM", "GC1.htm", restart());
    EXPECT_EQ(files::ReadAll(home + "HTM/GC1.htm"), kOld) << cut.label;
  }
}

TEST_F(Durability, RawCopyOfTheCapturedPage) {
  std::string body;
  for (int i = 0; body.size() < 4 * kLimit; ++i) body += "<P>riadok stranky " + std::to_string(i) + "</P>\r\n";
  for (const Cut& cut : kCuts) {
    dir.write("home/HTM/getrawhtm.htm", kOld);
    RunResult r = RunForked(
        [&] {
          testing::FakeHost host;
          testing::FakeBrowser browser(host);
          testing::SiteParts parts;
          site::SiteContext ctx = parts.contextFor(browser, host, home);
          site::ConnectMainBrowser(ctx);
          browser.setPage("http://x/listing", testing::PageWithBody(body));
          browser.Navigate("http://x/listing");
          host.processMessages();
          // The failed save is shown as the handler's error box.
          return parts.flags.pageDone && host.messages.empty() ? 0 : 1;
        },
        Limited(cut));
    ExpectCut(cut, r, home + "HTM", "getrawhtm.htm", restart());
    EXPECT_EQ(files::ReadAll(home + "HTM/getrawhtm.htm"), kOld) << cut.label;
  }
}

TEST_F(Durability, DownloadedPicture) {
  const std::string source = dir.write("server/p.jpg", std::string(1 << 20, 'p'));
  for (const Cut& cut : kCuts) {
    const std::string target = dir.write("home/Pictures/p.jpg", kOld);
    RunResult r = RunForked(
        [&] {
          net::CurlDownloader downloader;
          return downloader.UrlToFile("file://" + source, target) ? 0 : 1;
        },
        Limited(cut));
    // A failed download is not reported to the user, only returned.
    EXPECT_FALSE(r.timedOut) << r.describe();
    if (cut.killed) {
      EXPECT_EQ(r.signal, SIGXFSZ) << r.describe();
      restart()();
      EXPECT_TRUE(Leftovers(home + "Pictures", "p.jpg").empty());
    } else {
      EXPECT_EQ(r.exitCode, 1) << r.describe();
      EXPECT_TRUE(Leftovers(home + "Pictures", "p.jpg").empty());
    }
    EXPECT_EQ(files::ReadAll(target), kOld) << cut.label;
  }
}

}  // namespace
}  // namespace trovik::hostile
