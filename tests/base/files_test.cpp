#include "base/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "base/clock.h"
#include "base/error.h"
#include "base/paths.h"
#include "support/temp_dir.h"

namespace trovik {
namespace {

using testing::TempDir;

TEST(Files, ReadAllAndLines) {
  TempDir dir;
  std::string p = dir.write("a.txt", std::string("x\r\ny\0z\nlast", 11));
  EXPECT_EQ(files::ReadAll(p).size(), 11u);
  auto lines = files::ReadLines(p);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1], std::string("y\0z", 3));
  EXPECT_EQ(lines[2], "last");
}

TEST(Files, ReadingMissingFileOrFolderIsTheOpenError) {
  TempDir dir;
  try {
    files::ReadAll(dir.file("missing.wpt"));
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.text(), "Cannot open file " + dir.file("missing.wpt"));
  }
  EXPECT_THROW(files::ReadAll(dir.path()), Error);
}

TEST(Files, WriteAtomicReplacesWholeAndLeavesNoTemporaryFile) {
  TempDir dir;
  std::string p = dir.write("page.htm", "old content");
  files::WriteAtomic(p, "new");
  EXPECT_EQ(dir.read("page.htm"), "new");
  int entries = 0;
  for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir.path())) ++entries;
  EXPECT_EQ(entries, 1);
  files::WriteLinesCrLf(dir.file("w.wpt"), {"a", "b"});
  EXPECT_EQ(dir.read("w.wpt"), "a\r\nb\r\n");
  // A run's writer: a new file in place, an old one replaced as above.
  files::WriteNewOrAtomic(dir.file("new.htm"), "first");
  files::WriteNewOrAtomic(p, "newer");
  EXPECT_EQ(dir.read("new.htm"), "first");
  EXPECT_EQ(dir.read("page.htm"), "newer");
  entries = 0;
  for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir.path())) ++entries;
  EXPECT_EQ(entries, 3);
}

TEST(Files, FailedWriteKeepsTheOldFile) {
  TempDir dir;
  std::string p = dir.write("keep.ini", "precious");
  // A target that is a folder cannot be replaced by a file: the rename fails.
  std::filesystem::create_directory(dir.file("folder"));
  EXPECT_THROW(files::WriteAtomic(dir.file("folder"), "x"), Error);
  // A missing folder: the temporary file cannot be created.
  try {
    files::WriteAtomic(dir.file("nope/keep.ini"), "x");
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.text(), "Cannot create file " + dir.file("nope/keep.ini"));
  }
  try {
    files::WriteNewOrAtomic(dir.file("nope/new.htm"), "x");
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.text(), "Cannot create file " + dir.file("nope/new.htm"));
  }
  EXPECT_EQ(dir.read("keep.ini"), "precious");
  int entries = 0;
  for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir.path())) ++entries;
  EXPECT_EQ(entries, 2);  // keep.ini and folder, no leftovers
}

TEST(Files, PagesAndWaypointFilesAreNotWrittenOverAReadOnlyFileButThroughALink) {
  TempDir dir;
  const std::string page = dir.write("HTM/GC1.htm", "kept");
  std::filesystem::permissions(page, std::filesystem::perms::owner_read);
  try {
    files::WriteAtomic(page, "new");
    FAIL() << "a read-only page was replaced";
  } catch (const Error& e) {
    EXPECT_EQ(e.text(), "Cannot create file " + page);
  }
  EXPECT_THROW(files::WriteLinesCrLf(page, {"x"}), Error);
  EXPECT_THROW(files::WriteNewOrAtomic(page, "x"), Error);
  EXPECT_EQ(dir.read("HTM/GC1.htm"), "kept");

  dir.write("maps/trasa.wpt", "old");
  std::filesystem::create_symlink(dir.file("maps/trasa.wpt"), dir.file("trasa.wpt"));
  files::WriteLinesCrLf(dir.file("trasa.wpt"), {"new"});
  EXPECT_TRUE(std::filesystem::is_symlink(dir.file("trasa.wpt")));
  EXPECT_EQ(dir.read("maps/trasa.wpt"), "new\r\n");
  files::WriteNewOrAtomic(dir.file("trasa.wpt"), "newer");
  EXPECT_TRUE(std::filesystem::is_symlink(dir.file("trasa.wpt")));
  EXPECT_EQ(dir.read("maps/trasa.wpt"), "newer");
}

TEST(Files, OnlyTemporaryFilesOfWritesWhoseProcessIsGoneAreRemoved) {
  TempDir dir;
  pid_t gone = fork();
  if (gone == 0) _exit(0);
  waitpid(gone, nullptr, 0);
  const std::string dead = files::TempNameBeside(dir.file("a.htm")).substr(dir.path().size());
  const std::string deadName = "b.jpg" + std::string(files::kTempMarker) + std::to_string(gone) + "-3";
  const std::string liveName = "c.ini" + std::string(files::kTempMarker) + std::to_string(getppid()) + "-0";
  for (const auto& n : {deadName, liveName, dead, std::string("d.wpt.tmp123-4"), std::string("e.htm")})
    dir.write(n, "x");
  EXPECT_EQ(files::TempWriterPid(deadName), gone);
  EXPECT_FALSE(files::TempWriterPid("e.htm.tmp~trovikx-1"));
  EXPECT_EQ(files::RemoveStaleTemps(dir.path()), 1);
  EXPECT_FALSE(files::Exists(dir.file(deadName)));
  // A running writer's file, this process's own and a user's file stay.
  for (const auto& n : {liveName, dead, std::string("d.wpt.tmp123-4"), std::string("e.htm")})
    EXPECT_TRUE(files::Exists(dir.file(n))) << n;
}

TEST(Files, NameParts) {
  EXPECT_EQ(files::FileNameOf("/a/b/c.gpx"), "c.gpx");
  EXPECT_EQ(files::FileNameOf("C:\\x\\y.wpt"), "y.wpt");
  EXPECT_EQ(files::FileNameOf("plain"), "plain");
  EXPECT_EQ(files::ExtensionOf("/a.b/c.Gpx"), ".Gpx");
  EXPECT_EQ(files::ExtensionOf("/a.b/c"), "");
  EXPECT_EQ(files::ExtensionOf("archive."), ".");
}

TEST(Files, SizeExistsCreateDir) {
  TempDir dir;
  dir.write("f", "12345");
  EXPECT_EQ(files::Size(dir.file("f")), 5);
  EXPECT_EQ(files::Size(dir.file("none")), -1);
  EXPECT_TRUE(files::CreateDir(dir.file("HTM/")));
  EXPECT_TRUE(files::CreateDir(dir.file("HTM")));  // already there
  EXPECT_TRUE(files::IsDirectory(dir.file("HTM")));
  EXPECT_FALSE(files::CreateDir(dir.file("a/b/c")));  // only the last level is made
  EXPECT_FALSE(files::CreateDir(dir.file("f")));      // a file of that name
}

TEST(Files, PathsFrom1250Text) {
  // "Zlaté Moravce" in 1250 becomes UTF-8 on the file system and back.
  std::string name1250 = "Zlat\xE9 Moravce50km.wpt";
  EXPECT_EQ(files::PcPath(name1250), "Zlat\xC3\xA9 Moravce50km.wpt");
  EXPECT_EQ(files::FromPcPath(files::PcPath(name1250)), name1250);
}

TEST(Paths, ProgramFolderHasTrailingSlash) {
  EXPECT_EQ(paths::ExecutableFolder().back(), '/');
  paths::SetProgramFolder("/tmp/some-home");
  EXPECT_EQ(paths::ProgramFolder(), "/tmp/some-home/");
}

TEST(Clock, FixedByEnvironment) {
  ::setenv("TROVIK_NOW", "2008-12-10T14:05:09", 1);
  auto t = clock::Now();
  EXPECT_EQ(t.year, 2008);
  EXPECT_EQ(t.month, 12);
  EXPECT_EQ(t.day, 10);
  EXPECT_EQ(t.hour, 14);
  EXPECT_EQ(t.minute, 5);
  EXPECT_EQ(t.second, 9);
  ::setenv("TROVIK_NOW", "garbage", 1);
  EXPECT_GT(clock::Now().year, 2000);  // falls back to the real clock
  ::unsetenv("TROVIK_NOW");
}

TEST(Errors, PlatformTexts) {
  EXPECT_STREQ(NotValidFloat("48,5x").what(), "'48,5x' is not a valid floating point value");
  EXPECT_STREQ(NotValidInteger("x").what(), "'x' is not a valid integer value");
  EXPECT_STREQ(UnableToWrite("/p/Trovik.ini").what(), "Unable to write to /p/Trovik.ini");
}

}  // namespace
}  // namespace trovik
