#include "app/settings.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/error.h"
#include "base/profile.h"
#include "support/temp_dir.h"

namespace trovik::app {
namespace {

using trovik::testing::TempDir;

TEST(ZapisDoIni, WritesItsKeysInOrderThenTheAddresses) {
  TempDir dir;
  MainState s(dir.path());
  s.fields.radioButton1Original = false;
  s.fields.radioButton2Vacsi = true;
  s.fields.edit7Velkost = "12000";
  SpeedButton8Click(s);
  EXPECT_EQ(dir.read("Trovik.ini"),
            "[Kdeukladatdata]\r\n"
            "PDA_WPT=\\Storage Card\\OZI_Maps\\WP\\\r\n"
            "PDA_MHT=\\Storage Card\\Geo\\\r\n"
            "PDA_FOTO=\\Garmin\\GeocachePhotos\\\r\n"
            "PDA_GPX=\\Garmin\\GPX\\\r\n"
            "GarminFoto=0\r\n"
            "[Setrenie]\r\n"
            "Original=0\r\n"
            "Vacsi=1\r\n"
            "Velkost=12000\r\n"
            "Spooler=1\r\n"
            "AllFoto=0\r\n"
            "[Adresy]\r\n"
            "sk=http://127.0.0.1:8080/sk\r\n"
            "com=http://127.0.0.1:8080/com\r\n"
            "obrazky=http://127.0.0.1:8080/img\r\n"
            "[Stranky]\r\n"
            "Logy=10\r\n"
            "[Domov]\r\n"
            "Poloha=\r\n"
            "[Zoznam]\r\n"
            "KodZNazvu=1\r\n");
}

TEST(ZapisDoIni, UpdatesAnExistingFileInPlace) {
  TempDir dir;
  dir.write("Trovik.ini",
            "[setrenie]\r\nVELKOST = 30000\r\n; nechaj ma\r\n\r\n[Prihlasovanie]\r\nusername=ja\r\n"
            "[Kdeukladatdata]\r\nWPTsubor=/x.wpt\r\n");
  MainState s(dir.path());
  s.fields.edit7Velkost = "nie cislo";  // stored as typed
  s.fields.edit4PdaWpt = "\\SD\\";
  s.fields.addresses.sk = "http://sk.example";
  SpeedButton8Click(s);
  EXPECT_EQ(dir.read("Trovik.ini"),
            "[setrenie]\r\nVELKOST =nie cislo\r\nOriginal=1\r\nVacsi=0\r\nSpooler=1\r\nAllFoto=0\r\n"
            "; nechaj ma\r\n\r\n[Prihlasovanie]\r\nusername=ja\r\n"
            "[Kdeukladatdata]\r\nWPTsubor=/x.wpt\r\nPDA_WPT=\\SD\\\r\nPDA_MHT=\\Storage Card\\Geo\\\r\n"
            "PDA_FOTO=\\Garmin\\GeocachePhotos\\\r\nPDA_GPX=\\Garmin\\GPX\\\r\nGarminFoto=0\r\n"
            "[Adresy]\r\nsk=http://sk.example\r\ncom=http://127.0.0.1:8080/com\r\nobrazky=http://127.0.0.1:8080/img\r\n"
            "[Stranky]\r\nLogy=10\r\n[Domov]\r\nPoloha=\r\n[Zoznam]\r\nKodZNazvu=1\r\n");
}

TEST(ZapisDoIni, ARefusedWriteThrowsWithTheFullPathAndLeavesTheFields) {
  TempDir dir;
  dir.write("subor", "not a folder");
  MainState s(dir.path() + "subor/");
  s.fields.edit7Velkost = "1";
  try {
    SpeedButton8Click(s);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.text(), "Unable to write to " + dir.path() + "subor/Trovik.ini");
  }
  EXPECT_EQ(s.fields.edit7Velkost, "1");
}

TEST(SettingsRoundTrip, WhatIsWrittenIsReadBack) {
  TempDir dir;
  MainState a(dir.path());
  a.fields.edit4PdaWpt = "\\Karta\\WP\\";
  a.fields.edit5PdaMht = "\\Karta\\Geo\\";
  a.fields.radioButton1Original = false;
  a.fields.radioButton2Vacsi = true;
  a.fields.edit7Velkost = "45000";
  a.fields.checkBox2Spooler = false;
  a.fields.checkBox3AllFoto = true;
  a.fields.addresses = {"http://a", "http://b", "http://c"};
  a.waypoints.codeFromName = false;
  SpeedButton8Click(a);
  a.statusBar3Panel0 = "\\Karta\\";
  a.statusBar5Panel0 = dir.path() + "pc";
  a.waypoints.currentFile = dir.path() + "\xC8" "ierny vrch.wpt";
  WriteShutdownSettings(a);
  profile::WriteLogin(a.settingsPath, "kesker", "heslo s medzerou");
  std::filesystem::create_directory(dir.file("pc"));

  MainState b(dir.path());
  ReadLogin(b);
  ReadLastFolders(b);
  ReadDeviceFolders(b);
  ReadLastWpt(b);
  ReadAddresses(b);
  ReadSetrenie(b);
  ReadListOptions(b);
  EXPECT_EQ(b.fields.edit1User, "kesker");
  EXPECT_EQ(b.fields.edit2Password, "heslo s medzerou");
  EXPECT_EQ(b.currentDeviceFolder, "\\Karta\\");
  EXPECT_EQ(b.currentPcFolder, dir.path() + "pc");
  EXPECT_EQ(b.fields.edit4PdaWpt, a.fields.edit4PdaWpt);
  EXPECT_EQ(b.fields.edit5PdaMht, a.fields.edit5PdaMht);
  EXPECT_EQ(b.waypoints.currentFile, a.waypoints.currentFile);
  EXPECT_FALSE(b.fields.radioButton1Original);
  EXPECT_TRUE(b.fields.radioButton2Vacsi);
  EXPECT_EQ(b.fields.edit7Velkost, "45000");
  EXPECT_FALSE(b.fields.checkBox2Spooler);
  EXPECT_TRUE(b.fields.checkBox3AllFoto);
  EXPECT_EQ(b.fields.addresses.com, "http://b");
  EXPECT_FALSE(b.waypoints.codeFromName);
}

TEST(SettingsRead, KeyNamesMatchWithoutRegardToCase) {
  TempDir dir;
  dir.write("Trovik.ini", "[PRIHLASOVANIE]\r\nUserName = \"  kesker  \"\r\n[lastwpt]\r\nSUBOR='/a.wpt'\r\n");
  MainState s(dir.path());
  ReadLogin(s);
  ReadLastWpt(s);
  EXPECT_EQ(s.fields.edit1User, "  kesker  ");
  EXPECT_EQ(s.fields.edit2Password, "");
  EXPECT_EQ(s.waypoints.currentFile, "/a.wpt");
}

TEST(SettingsRead, EveryReadDefaultsToTheControlsPresentContent) {
  TempDir dir;
  MainState s(dir.path());
  s.fields.edit1User = "uz napisane";
  s.fields.radioButton1Original = false;
  s.fields.radioButton2Vacsi = true;
  s.fields.checkBox3AllFoto = true;
  s.statusBar3Panel0 = "\\Panel\\";
  ReadLogin(s);
  ReadSetrenie(s);
  ReadLastFolders(s);
  EXPECT_EQ(s.fields.edit1User, "uz napisane");
  EXPECT_FALSE(s.fields.radioButton1Original);
  EXPECT_TRUE(s.fields.radioButton2Vacsi);
  EXPECT_TRUE(s.fields.checkBox3AllFoto);
  EXPECT_EQ(s.currentDeviceFolder, "\\Panel\\");
}

TEST(SettingsRead, PictureCapInWholeMegabytesElseFifty) {
  TempDir dir;
  MainState s(dir.path());
  EXPECT_EQ(s.maxPictureBytes, 50LL * 1024 * 1024);
  dir.write("Trovik.ini", "[Setrenie]\r\nMaxObrazokMB=3\r\n");
  ReadSetrenie(s);
  EXPECT_EQ(s.maxPictureBytes, 3LL * 1024 * 1024);
  for (const char* bad : {"0", "-5", "abc", "", "99999999999"}) {
    MainState t(dir.path());
    dir.write("Trovik.ini", std::string("[Setrenie]\r\nMaxObrazokMB=") + bad + "\r\n");
    ReadSetrenie(t);
    EXPECT_EQ(t.maxPictureBytes, 50LL * 1024 * 1024) << bad;
  }
}

TEST(SettingsFirstStart, WptSuborGoesIntoItsSection) {
  TempDir dir;
  dir.write("Trovik.ini", "[Kdeukladatdata]\r\nPDA_WPT=\\WP\\\r\n[LastWPT]\r\nSubor=\r\n");
  WriteFirstStartWpt(dir.file("Trovik.ini"), "/p/Zlat\xE9 Moravce50km.wpt");
  EXPECT_EQ(dir.read("Trovik.ini"),
            "[Kdeukladatdata]\r\nPDA_WPT=\\WP\\\r\nWPTsubor=/p/Zlat\xE9 Moravce50km.wpt\r\n[LastWPT]\r\nSubor=\r\n");
}

}  // namespace
}  // namespace trovik::app
