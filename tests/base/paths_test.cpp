#include "base/paths.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "support/temp_dir.h"

namespace trovik {
namespace {

using testing::TempDir;

// Sets an environment variable for one test and puts the old value back.
class EnvVar {
 public:
  EnvVar(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) {
      ::setenv(name, value, 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~EnvVar() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }
  EnvVar(const EnvVar&) = delete;
  EnvVar& operator=(const EnvVar&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// An installed program folder and an empty home beside it.
struct Installed {
  TempDir root;
  std::string exe = root.path() + "opt/trovik/";
  std::string home = root.path() + "home/";
  std::string userFolder = home + ".local/share/trovik/";
  EnvVar homeVar{"HOME", home.c_str()};
  EnvVar xdgVar{"XDG_DATA_HOME", nullptr};
  EnvVar trovikHome{"TROVIK_HOME", nullptr};

  Installed() {
    root.write("opt/trovik/popisrtf.rtf", "{\\rtf1 about}");
    root.write("opt/trovik/suradnicemiest.ini", "[Mesta]\r\n");
    root.write("opt/trovik/Zlaté Moravce50km.wpt", "OziExplorer Waypoint File Version 1.1\r\n");
    root.write("opt/trovik/testpages/listing_sk.htm", "<html></html>");
  }
  void marker(const std::string& lines) { root.write("opt/trovik/trovik.installed", lines); }
};

TEST(ProgramFolder, WithoutMarkerIsTheExecutablesFolder) {
  Installed f;
  EXPECT_EQ(paths::ResolveProgramFolder(f.exe), f.exe);
  EXPECT_EQ(paths::ResolveProgramFolder(f.root.path() + "opt/trovik"), f.exe);
  EXPECT_FALSE(std::filesystem::exists(f.home + ".local"));
}

TEST(ProgramFolder, InstalledCopyUsesTheSeededPerUserFolder) {
  Installed f;
  f.marker("# data files\npopisrtf.rtf\r\nsuradnicemiest.ini\n\nZlaté Moravce50km.wpt\ntestpages/listing_sk.htm\n");
  EXPECT_EQ(paths::ResolveProgramFolder(f.exe), f.userFolder);
  EXPECT_EQ(f.root.read("home/.local/share/trovik/popisrtf.rtf"), "{\\rtf1 about}");
  EXPECT_EQ(f.root.read("home/.local/share/trovik/suradnicemiest.ini"), "[Mesta]\r\n");
  EXPECT_EQ(f.root.read("home/.local/share/trovik/Zlaté Moravce50km.wpt"), "OziExplorer Waypoint File Version 1.1\r\n");
  EXPECT_EQ(f.root.read("home/.local/share/trovik/testpages/listing_sk.htm"), "<html></html>");
  // Neither the marker nor anything unlisted is copied.
  EXPECT_FALSE(std::filesystem::exists(f.userFolder + "trovik.installed"));
}

TEST(ProgramFolder, SeedingKeepsTheUsersFilesAndSkipsMissingOnes) {
  Installed f;
  f.marker("suradnicemiest.ini\nnot-there.txt\npopisrtf.rtf\n");
  f.root.write("home/.local/share/trovik/suradnicemiest.ini", "[Mesta]\r\nMoje=48,18\r\n");
  ASSERT_TRUE(paths::SeedFolder(f.exe, f.userFolder));
  EXPECT_EQ(f.root.read("home/.local/share/trovik/suradnicemiest.ini"), "[Mesta]\r\nMoje=48,18\r\n");
  EXPECT_EQ(f.root.read("home/.local/share/trovik/popisrtf.rtf"), "{\\rtf1 about}");
  EXPECT_FALSE(std::filesystem::exists(f.userFolder + "not-there.txt"));
  // No temporary files of the copies are left behind.
  int entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(f.userFolder)) ++entries;
  EXPECT_EQ(entries, 2);
}

TEST(ProgramFolder, MarkerLinesCannotReachOutsideTheProgramFolder) {
  Installed f;
  f.root.write("opt/secret.txt", "outside");
  f.marker("../secret.txt\n/etc/hostname\ntestpages/../../secret.txt\npopisrtf.rtf\n");
  ASSERT_TRUE(paths::SeedFolder(f.exe, f.userFolder));
  EXPECT_TRUE(std::filesystem::exists(f.userFolder + "popisrtf.rtf"));
  EXPECT_FALSE(std::filesystem::exists(f.home + ".local/share/secret.txt"));
  EXPECT_FALSE(std::filesystem::exists(f.home + ".local/secret.txt"));
  EXPECT_FALSE(std::filesystem::exists(f.userFolder + "etc"));
}

TEST(ProgramFolder, TrovikHomeWinsOverTheInstalledFolder) {
  Installed f;
  f.marker("popisrtf.rtf\n");
  EnvVar home("TROVIK_HOME", (f.root.path() + "elsewhere").c_str());
  EXPECT_EQ(paths::ResolveProgramFolder(f.exe), f.root.path() + "elsewhere/");
  EXPECT_FALSE(std::filesystem::exists(f.userFolder));
}

TEST(ProgramFolder, XdgDataHomeWhenAbsoluteOnly) {
  Installed f;
  f.marker("popisrtf.rtf\n");
  {
    EnvVar xdg("XDG_DATA_HOME", (f.root.path() + "xdg").c_str());
    EXPECT_EQ(paths::PerUserFolder(), f.root.path() + "xdg/trovik/");
    EXPECT_EQ(paths::ResolveProgramFolder(f.exe), f.root.path() + "xdg/trovik/");
    EXPECT_EQ(f.root.read("xdg/trovik/popisrtf.rtf"), "{\\rtf1 about}");
  }
  EnvVar relative("XDG_DATA_HOME", "relative/data");
  EXPECT_EQ(paths::PerUserFolder(), f.userFolder);
}

TEST(ProgramFolder, AFolderThatCannotBeMadeIsStillTheProgramFolder) {
  Installed f;
  f.marker("popisrtf.rtf\n");
  // A file where the folder should go: the start reports the working folders
  // it cannot make instead of silently writing beside the shared program.
  f.root.write("blocked", "x");
  EnvVar xdg("XDG_DATA_HOME", (f.root.path() + "blocked").c_str());
  EXPECT_FALSE(paths::SeedFolder(f.exe, paths::PerUserFolder()));
  EXPECT_EQ(paths::ResolveProgramFolder(f.exe), f.root.path() + "blocked/trovik/");
}

}  // namespace
}  // namespace trovik
