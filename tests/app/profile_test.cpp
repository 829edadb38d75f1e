#include "base/profile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/error.h"
#include "support/temp_dir.h"

namespace trovik::profile {
namespace {

using trovik::testing::TempDir;

TEST(ProfileRead, NamesIgnoreAsciiCaseAndBlanks) {
  const std::string ini =
      "; settings\r\n"
      "  [ LastCesty ]  \r\n"
      "  PDA  =  \\Storage Card\\Geo\\  \r\n"
      "pc=/home/user\r\n";
  EXPECT_EQ(GetValue(ini, "lastcesty", "pda", "x"), "\\Storage Card\\Geo\\");
  EXPECT_EQ(GetValue(ini, "LASTCESTY", "PC", "x"), "/home/user");
  EXPECT_EQ(GetValue(ini, "LastCesty", "Subor", "def"), "def");
  EXPECT_EQ(GetValue(ini, "Missing", "PC", "def"), "def");
}

TEST(ProfileRead, CaseOfNonAsciiLettersMatters) {
  // "Š" and "š" in 1250 are different bytes; only a..z fold.
  const std::string ini = "[\x8Asekcia]\r\nk=1\r\n";
  EXPECT_EQ(GetValue(ini, "\x8AS" "EKCIA", "K", "0"), "1");
  EXPECT_EQ(GetValue(ini, "\x9Asekcia", "k", "0"), "0");
}

TEST(ProfileRead, OnePairOfMatchingOuterQuotesIsStripped) {
  const std::string ini =
      "[Q]\r\n"
      "a=\"quoted value\"\r\n"
      "b='single'\r\n"
      "c=\"mixed'\r\n"
      "d=\"\"twice\"\"\r\n"
      "e=\"\r\n"
      "f=  \"  inner blanks  \"  \r\n"
      "g=in \"the\" middle\r\n";
  EXPECT_EQ(GetValue(ini, "Q", "a", ""), "quoted value");
  EXPECT_EQ(GetValue(ini, "Q", "b", ""), "single");
  EXPECT_EQ(GetValue(ini, "Q", "c", ""), "\"mixed'");
  EXPECT_EQ(GetValue(ini, "Q", "d", ""), "\"twice\"");
  EXPECT_EQ(GetValue(ini, "Q", "e", ""), "\"");
  EXPECT_EQ(GetValue(ini, "Q", "f", ""), "  inner blanks  ");
  EXPECT_EQ(GetValue(ini, "Q", "g", ""), "in \"the\" middle");
}

TEST(ProfileRead, CommentsAndLinesWithoutEqualsAreNoKeys) {
  const std::string ini =
      "[S]\r\n"
      ";k=commented\r\n"
      "   ; k=indented comment\r\n"
      "k\r\n"
      "k=real\r\n";
  EXPECT_EQ(GetValue(ini, "S", "k", "d"), "real");
  EXPECT_EQ(GetValue(ini, "S", ";k", "d"), "d");
}

TEST(ProfileRead, FirstDuplicateSectionAndKeyWin) {
  const std::string ini =
      "[S]\r\n"
      "k=first\r\n"
      "k=second\r\n"
      "[s]\r\n"
      "k=other section\r\n"
      "only=in second\r\n";
  EXPECT_EQ(GetValue(ini, "S", "k", ""), "first");
  // The second [s] is never consulted, not even for keys the first lacks.
  EXPECT_EQ(GetValue(ini, "S", "only", "d"), "d");
}

TEST(ProfileRead, KeysBeforeAnySectionAndValueEqualsSigns) {
  const std::string ini = "k=orphan\n[S]\nurl=http://x/?a=1&b=2\nempty=\n";
  EXPECT_EQ(GetValue(ini, "S", "k", "d"), "d");
  EXPECT_EQ(GetValue(ini, "S", "url", ""), "http://x/?a=1&b=2");
  EXPECT_EQ(GetValue(ini, "S", "empty", "d"), "");
}

TEST(ProfileRead, LoneCrAndLastLineWithoutLineEnd) {
  const std::string ini = "[A]\ra=1\r[B]\nb=2";
  EXPECT_EQ(GetValue(ini, "A", "a", ""), "1");
  EXPECT_EQ(GetValue(ini, "B", "b", ""), "2");
}

TEST(ProfileRead, ValuesAreCutAt2047Characters) {
  const std::string ini = "[S]\r\nk=" + std::string(2047, 'a') + "\r\nl=" + std::string(3000, 'b') + "\r\n";
  EXPECT_EQ(GetValue(ini, "S", "k", ""), std::string(2047, 'a'));
  EXPECT_EQ(GetValue(ini, "S", "l", ""), std::string(2047, 'b'));
}

TEST(ProfileWrite, UpdatesTheValueOnlyAndKeepsEveryOtherByte) {
  const std::string ini =
      "; my notes\r\n"
      "\r\n"
      "[Other]\nx = 1\n"
      "[Setrenie]\r\n"
      "  Velkost = 30000 \r\n"
      "Spooler=1\r\n"
      "\r\n"
      "[Tail]\r\n"
      "z=9";
  EXPECT_EQ(SetValue(ini, "SETRENIE", "velkost", "12000"),
            "; my notes\r\n"
            "\r\n"
            "[Other]\nx = 1\n"
            "[Setrenie]\r\n"
            "  Velkost =12000\r\n"
            "Spooler=1\r\n"
            "\r\n"
            "[Tail]\r\n"
            "z=9");
}

TEST(ProfileWrite, UpdatesTheFirstOfDuplicates) {
  const std::string ini = "[S]\r\nk=a\r\nk=b\r\n[S]\r\nk=c\r\n";
  EXPECT_EQ(SetValue(ini, "s", "K", "new"), "[S]\r\nk=new\r\nk=b\r\n[S]\r\nk=c\r\n");
}

TEST(ProfileWrite, NewKeyGoesAfterTheLastKeyOfItsSection) {
  const std::string ini =
      "[A]\r\n"
      "a=1\r\n"
      "; about B\r\n"
      "\r\n"
      "[B]\r\n"
      "b=2\r\n";
  EXPECT_EQ(SetValue(ini, "A", "n", "v"),
            "[A]\r\n"
            "a=1\r\n"
            "n=v\r\n"
            "; about B\r\n"
            "\r\n"
            "[B]\r\n"
            "b=2\r\n");
  EXPECT_EQ(SetValue("[A]\r\n\r\n[B]\r\n", "A", "n", "v"), "[A]\r\nn=v\r\n\r\n[B]\r\n");
  // A section that ends the file without a line end.
  EXPECT_EQ(SetValue("[A]\r\na=1", "A", "n", "v"), "[A]\r\na=1\r\nn=v\r\n");
  EXPECT_EQ(SetValue("[A]", "A", "n", "v"), "[A]\r\nn=v\r\n");
  // Lone LF line ends of the file stay as they are.
  EXPECT_EQ(SetValue("[A]\na=1\n[B]\n", "A", "n", "v"), "[A]\na=1\nn=v\r\n[B]\n");
}

TEST(ProfileWrite, NewSectionGoesAtTheEnd) {
  EXPECT_EQ(SetValue("", "LastWPT", "Subor", ""), "[LastWPT]\r\nSubor=\r\n");
  EXPECT_EQ(SetValue("[A]\r\na=1\r\n", "B", "b", "2"), "[A]\r\na=1\r\n[B]\r\nb=2\r\n");
  EXPECT_EQ(SetValue("[A]\r\na=1", "B", "b", "2"), "[A]\r\na=1\r\n[B]\r\nb=2\r\n");
  EXPECT_EQ(SetValue("; only a comment\n", "B", "b", "2"), "; only a comment\n[B]\r\nb=2\r\n");
}

TEST(ProfileWrite, CommentedKeyIsNotUpdated) {
  EXPECT_EQ(SetValue("[S]\r\n;k=old\r\n", "S", "k", "v"), "[S]\r\nk=v\r\n;k=old\r\n");
}

TEST(ProfileWrite, LineBreaksInAValueCannotInjectKeys) {
  const std::string out = SetValue("", "LastWPT", "Subor", "/tmp/a\r\n[Prihlasovanie]\r\npassword=x");
  EXPECT_EQ(out, "[LastWPT]\r\nSubor=/tmp/a  [Prihlasovanie]  password=x\r\n");
  EXPECT_EQ(GetValue(out, "Prihlasovanie", "password", "none"), "none");
}

TEST(ProfileWrite, WrittenValuesReadBack) {
  std::string ini;
  ini = SetValue(ini, "Prihlasovanie", "username", "J\xE1n \x8Ak\xF4rka");
  ini = SetValue(ini, "Prihlasovanie", "password", "  heslo=1;2  ");
  EXPECT_EQ(GetValue(ini, "Prihlasovanie", "username", ""), "J\xE1n \x8Ak\xF4rka");
  // Surrounding blanks do not survive the format; the rest does.
  EXPECT_EQ(GetValue(ini, "Prihlasovanie", "password", ""), "heslo=1;2");
}

TEST(ProfileKeyNames, FileOrderWithDuplicatesAndNoComments) {
  const std::string ini =
      "[Mesta]\r\n"
      "Zlat\xE9 Moravce=48.38,18.40\r\n"
      "; Bratislava=48.14,17.10\r\n"
      "Nitra = 48.31,18.08\r\n"
      "bez hodnoty\r\n"
      "=no name\r\n"
      "Nitra=again\r\n"
      "[Ine]\r\nx=1\r\n";
  EXPECT_EQ(GetKeyNames(ini, "mesta"),
            (std::vector<std::string>{"Zlat\xE9 Moravce", "Nitra", "Nitra"}));
  EXPECT_TRUE(GetKeyNames(ini, "Chyba").empty());
}

TEST(ProfileKeyNames, PlatformBufferCutsTheLastName) {
  const std::string ini = "[M]\r\nabc=1\r\ndefgh=2\r\nij=3\r\n";
  // "abc\0" uses 4 of 10; "defgh" gets 10-4-2 = 4 characters, then nothing fits.
  EXPECT_EQ(GetKeyNames(ini, "M", 10), (std::vector<std::string>{"abc", "defg"}));
  EXPECT_EQ(GetKeyNames(ini, "M", 11), (std::vector<std::string>{"abc", "defgh"}));
  EXPECT_EQ(GetKeyNames(ini, "M", 14), (std::vector<std::string>{"abc", "defgh", "ij"}));
  EXPECT_EQ(GetKeyNames(ini, "M", 2), (std::vector<std::string>{}));
}

TEST(ProfileFile, MissingFileGivesDefaultsAndFirstWriteCreatesIt) {
  TempDir dir;
  const std::string path = dir.file("Trovik.ini");
  EXPECT_EQ(ReadString(path, "Setrenie", "Velkost", "30000"), "30000");
  EXPECT_TRUE(ReadFlag(path, "Setrenie", "Original", true));
  EXPECT_TRUE(KeyNames(path, "Mesta").empty());
  WriteFlag(path, "Setrenie", "Original", false);
  WriteFlag(path, "Setrenie", "Vacsi", true);
  WriteString(path, "Setrenie", "Velkost", "12000");
  EXPECT_EQ(dir.read("Trovik.ini"), "[Setrenie]\r\nOriginal=0\r\nVacsi=1\r\nVelkost=12000\r\n");
  EXPECT_FALSE(ReadFlag(path, "Setrenie", "Original", true));
  EXPECT_TRUE(ReadFlag(path, "Setrenie", "Vacsi", false));
}

TEST(ProfileFile, FlagsReadAnyWholeNumber) {
  TempDir dir;
  const std::string path =
      dir.write("f.ini", "[F]\r\nzero=0\r\nseven=7\r\nneg=-1\r\nword=yes\r\nempty=\r\nblank= 2 \r\n");
  EXPECT_FALSE(ReadFlag(path, "F", "zero", true));
  EXPECT_TRUE(ReadFlag(path, "F", "seven", false));
  EXPECT_TRUE(ReadFlag(path, "F", "neg", false));
  EXPECT_TRUE(ReadFlag(path, "F", "word", true));
  EXPECT_FALSE(ReadFlag(path, "F", "word", false));
  EXPECT_FALSE(ReadFlag(path, "F", "empty", false));
  EXPECT_TRUE(ReadFlag(path, "F", "blank", false));
}

TEST(ProfileFile, PathIn1250IsFoundOnTheFileSystem) {
  TempDir dir;
  // "Ú" is 0xDA in 1250; on disk the folder name is UTF-8.
  dir.write("\xC3\x9A" "daje/t.ini", "[S]\r\nk=v\r\n");
  EXPECT_EQ(ReadString(dir.path() + "\xDA" "daje/t.ini", "S", "k", ""), "v");
  WriteString(dir.path() + "\xDA" "daje/t.ini", "S", "k", "w");
  EXPECT_EQ(dir.read("\xC3\x9A" "daje/t.ini"), "[S]\r\nk=w\r\n");
}

TEST(ProfileFile, RefusedWriteNamesTheFullPathAndKeepsTheOldFile) {
  TempDir dir;
  // Root ignores permission bits, so make the folder impossible instead: the
  // settings file's folder is a plain file.
  dir.write("notafolder", "x");
  const std::string inFile = dir.file("notafolder/Trovik.ini");
  try {
    WriteString(inFile, "S", "k", "v");
    FAIL() << "write into a file-as-folder succeeded";
  } catch (const Error& e) {
    EXPECT_EQ(e.text(), "Unable to write to " + inFile);
  }

  // The target itself is a folder: nothing may replace it.
  std::filesystem::create_directory(dir.file("Trovik.ini"));
  EXPECT_THROW(WriteString(dir.file("Trovik.ini"), "S", "k", "v"), Error);
  EXPECT_TRUE(std::filesystem::is_directory(dir.file("Trovik.ini")));
  EXPECT_EQ(ReadString(dir.file("Trovik.ini"), "S", "k", "def"), "def");

  // A missing parent folder.
  EXPECT_THROW(WriteString(dir.file("missing/Trovik.ini"), "S", "k", "v"), Error);
}

TEST(ProfileFile, AReadOnlyFileIsRefusedAndALinkIsWrittenThrough) {
  TempDir dir;
  const std::string path = SettingsPath(dir.path());
  dir.write("Trovik.ini", "[S]\r\nk=old\r\n");
  // Decided on the read-only bit, which refuses even root.
  std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
  try {
    WriteString(path, "S", "k", "new");
    FAIL() << "a read-only settings file was replaced";
  } catch (const Error& e) {
    EXPECT_EQ(e.text(), "Unable to write to " + path);
  }
  EXPECT_EQ(dir.read("Trovik.ini"), "[S]\r\nk=old\r\n");

  // The settings kept elsewhere, linked in: the file they live in changes,
  // in its own folder, and the link stays.
  std::filesystem::remove(path);
  dir.write("kept/real.ini", "[S]\r\nk=old\r\n");
  std::filesystem::create_symlink("kept/real.ini", path);
  WriteString(path, "S", "k", "new");
  EXPECT_TRUE(std::filesystem::is_symlink(path));
  EXPECT_EQ(dir.read("kept/real.ini"), "[S]\r\nk=new\r\n");
  EXPECT_EQ(ReadString(path, "S", "k", ""), "new");
  int entries = 0;
  for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir.file("kept"))) ++entries;
  EXPECT_EQ(entries, 1);
}

TEST(ProfileFile, LoginWriteAddsBothKeysToTheSettingsFile) {
  TempDir dir;
  const std::string path = SettingsPath(dir.path());
  EXPECT_EQ(path, dir.path() + "Trovik.ini");
  dir.write("Trovik.ini", "[LastWPT]\r\nSubor=a.wpt\r\n");
  WriteLogin(path, "kesker", "tajn\xE9");
  EXPECT_EQ(dir.read("Trovik.ini"),
            "[LastWPT]\r\nSubor=a.wpt\r\n[Prihlasovanie]\r\nusername=kesker\r\npassword=tajn\xE9\r\n");
}

}  // namespace
}  // namespace trovik::profile
