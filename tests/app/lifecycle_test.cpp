// Start-up, restart, shut-down and "Brejk" over the core. Over 400 lines for a
// reason: one run's stages in order, sharing the folder and settings rigs.

#include "app/lifecycle.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "app/main_state.h"
#include "app/settings.h"
#include "base/profile.h"
#include "site/site_client.h"
#include "support/fake_browser.h"
#include "support/fake_host.h"
#include "support/temp_dir.h"

namespace trovik::app {
namespace {

using trovik::testing::FakeHost;
using trovik::testing::TempDir;

// The open dialog answers with `answer` and records what it was asked.
class DialogHost : public FakeHost {
 public:
  std::optional<std::string> openFileDialog(const OpenDialog& dialog) override {
    dialogs.push_back(dialog);
    return answer;
  }
  std::optional<std::string> answer;
  std::vector<OpenDialog> dialogs;
};

const std::string kSample1250 = "Zlat\xE9 Moravce50km.wpt";
const std::string kSampleOnDisk = "Zlat\xC3\xA9 Moravce50km.wpt";

const std::string kWpt =
    "OziExplorer Waypoint File Version 1.1\r\n"
    "WGS 84\r\n"
    "Reserved 2\r\n"
    "garmin\r\n"
    "1,Star\xFD mlyn, 48.419167, 18.398333, 46000.5,117,0,3,0,65535,Star\xFD mlyn (GC1A2B3),0,0,0,0, 6, 0,17,0,10.0,2,,,\r\n"
    "2,Hrad, 48.3, 18.25, 46000.5,117,0,1,16777215,32768,Hrad (ruina) (GC12345),0,0,0,0, 6, 0,17,0,10.0,2,,,\r\n";

const std::string kGpx =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<gpx version=\"1.0\" creator=\"test\">\n"
    "  <wpt lat=\"48.38\" lon=\"18.40\">\n"
    "    <time>2024-05-01T00:00:00Z</time>\n"
    "    <name>GC7Z7Z7</name>\n"
    "    <desc>Kalvária (GC7Z7Z7)</desc>\n"
    "    <type>Geocache|Traditional Cache</type>\n"
    "  </wpt>\n"
    "</gpx>\n";

struct Program {
  TempDir dir;
  MainState state{dir.path()};
  DialogHost host;
  std::string ini() const { return dir.read("Trovik.ini"); }
  bool iniExists() const { return std::filesystem::exists(dir.file("Trovik.ini")); }
  void start() {
    FormCreate(state, host);
    FormActivate(state, host);
  }
};

TEST(FormCreate, FoldersPathsSortModesCaption) {
  Program r;
  int townLoads = 0;
  r.state.hooks.loadTownList = [&] { ++townLoads; };
  FormCreate(r.state, r.host);
  EXPECT_TRUE(std::filesystem::is_directory(r.dir.file("Pictures")));
  EXPECT_TRUE(std::filesystem::is_directory(r.dir.file("HTM")));
  EXPECT_EQ(r.state.picturesFolder, r.dir.path() + "Pictures/");
  EXPECT_EQ(r.state.htmFolder, r.dir.path() + "HTM/");
  EXPECT_EQ(r.state.pdaSort.nameMode, 1);
  EXPECT_EQ(r.state.pcSort.nameMode, 1);
  EXPECT_EQ(r.state.pdaSort.dateMode, 0);
  EXPECT_EQ(r.state.pcSort.dateMode, 0);
  EXPECT_EQ(r.state.versionText, "1.4.1.14");
  EXPECT_EQ(r.state.caption, "Elektronick\xFD pomocn\xEDk pre geocaching 1.4.1.14");
  EXPECT_EQ(townLoads, 1);
  EXPECT_TRUE(r.host.messages.empty());
  // Nothing is written at creation.
  EXPECT_FALSE(r.iniExists());
}

TEST(FormCreate, ExistingFoldersAreKept) {
  Program r;
  r.dir.write("HTM/stara.htm", "x");
  FormCreate(r.state, r.host);
  EXPECT_EQ(r.dir.read("HTM/stara.htm"), "x");
  EXPECT_TRUE(r.host.messages.empty());
}

TEST(FormCreate, AFolderThatCannotBeMadeIsReportedAndTheRestStillRuns) {
  Program r;
  r.dir.write("Pictures", "a file in the way");
  int townLoads = 0;
  r.state.hooks.loadTownList = [&] { ++townLoads; };
  FormCreate(r.state, r.host);
  ASSERT_EQ(r.host.messages.size(), 1u);
  EXPECT_EQ(r.host.messages[0], "Cannot create file " + r.dir.path() + "Pictures");
  EXPECT_TRUE(std::filesystem::is_directory(r.dir.file("HTM")));
  EXPECT_EQ(r.state.picturesFolder, r.dir.path() + "Pictures/");
  EXPECT_EQ(r.state.caption, WindowCaption("1.4.1.14"));
  EXPECT_EQ(townLoads, 1);
}

TEST(FirstStart, WithTheSampleFileTheDialogOffersItAndWptSuborIsWritten) {
  Program r;
  r.dir.write(kSampleOnDisk, kWpt);
  r.dir.write("popisrtf.rtf", "{\\rtf1\\ansi\\ansicpg1250 O programe: \\'9atart\\par}");
  const std::string sample = r.dir.path() + kSample1250;
  r.host.answer = sample;
  r.start();

  EXPECT_EQ(r.state.activeTab, Tab::OPrograme);
  EXPECT_NE(r.state.aboutHtml.find("O programe: \xC5\xA1tart"), std::string::npos);
  ASSERT_EQ(r.host.dialogs.size(), 1u);
  EXPECT_EQ(r.host.dialogs[0].initialFile, sample);
  EXPECT_EQ(r.host.dialogs[0].filterIndex, 3);
  EXPECT_EQ(r.state.waypoints.currentFile, sample);
  EXPECT_EQ(r.state.waypoints.caches.codes, (std::vector<std::string>{"GC1A2B3", "GC12345"}));
  EXPECT_EQ(r.state.waypoints.caches.names, (std::vector<std::string>{"Star\xFD mlyn", "Hrad"}));
  EXPECT_EQ(r.ini(), "[Kdeukladatdata]\r\nWPTsubor=" + sample + "\r\n");
  // Every control kept its design value.
  const Fields design;
  EXPECT_EQ(r.state.fields.edit4PdaWpt, design.edit4PdaWpt);
  EXPECT_EQ(r.state.fields.edit5PdaMht, design.edit5PdaMht);
  EXPECT_EQ(r.state.fields.edit7Velkost, "30000");
  EXPECT_TRUE(r.state.fields.radioButton1Original);
  EXPECT_FALSE(r.state.fields.radioButton2Vacsi);
  EXPECT_TRUE(r.state.fields.checkBox2Spooler);
  EXPECT_FALSE(r.state.fields.checkBox3AllFoto);
  EXPECT_EQ(r.state.fields.addresses.sk, design.addresses.sk);
  EXPECT_TRUE(r.host.messages.empty());
}

TEST(FirstStart, CancellingTheDialogStillWritesTheSamplePath) {
  Program r;
  r.dir.write(kSampleOnDisk, kWpt);
  r.start();
  ASSERT_EQ(r.host.dialogs.size(), 1u);
  EXPECT_EQ(r.state.waypoints.caches.count(), 0);
  EXPECT_EQ(r.state.waypoints.currentFile, r.dir.path() + kSample1250);
  EXPECT_EQ(r.ini(), "[Kdeukladatdata]\r\nWPTsubor=" + r.dir.path() + kSample1250 + "\r\n");
}

TEST(FirstStart, WithoutTheSampleFileNothingIsAskedOrWritten) {
  Program r;
  r.start();
  EXPECT_EQ(r.state.activeTab, Tab::OPrograme);
  EXPECT_TRUE(r.host.dialogs.empty());
  EXPECT_EQ(r.state.waypoints.caches.count(), 0);
  EXPECT_EQ(r.state.waypoints.currentFile, "");
  EXPECT_EQ(r.state.aboutHtml, "");
  EXPECT_FALSE(r.iniExists());
  EXPECT_TRUE(r.host.messages.empty());
  // The PC pane falls back to the program folder.
  EXPECT_EQ(r.state.currentPcFolder, r.dir.path().substr(0, r.dir.path().size() - 1));
  EXPECT_EQ(r.state.statusBar5Panel0, r.state.currentPcFolder);
}

TEST(FirstStart, AnUnwritableSettingsFileIsReportedAndTheStartGoesOn) {
  Program r;
  r.dir.write(kSampleOnDisk, kWpt);
  r.state.settingsPath = r.dir.path() + "chyba/Trovik.ini";
  r.state.flags.shutDown = true;
  r.start();
  ASSERT_EQ(r.host.messages.size(), 1u);
  EXPECT_EQ(r.host.messages[0], "Unable to write to " + r.dir.path() + "chyba/Trovik.ini");
  EXPECT_FALSE(r.state.flags.shutDown);
  EXPECT_EQ(r.state.stringPc.size(), 2u);
}

const char* kFullIni =
    "[Prihlasovanie]\r\n"
    "username=kesker\r\n"
    "password=tajne\r\n"
    "[LastCesty]\r\n"
    "PDA=\\Storage Card\\Geo\\HTM\\\r\n"
    "PC=%PC%\r\n"
    "[Kdeukladatdata]\r\n"
    "PDA_WPT=\\SD\\WP\\\r\n"
    "PDA_MHT=\\SD\\Geo\\\r\n"
    "WPTsubor=ignored\r\n"
    "[LastWPT]\r\n"
    "Subor=%WPT%\r\n"
    "[Setrenie]\r\n"
    "Original=0\r\n"
    "Vacsi=1\r\n"
    "Velkost=12000\r\n"
    "Spooler=0\r\n"
    "AllFoto=1\r\n"
    "[Adresy]\r\n"
    "sk=http://sk.example\r\n"
    "obrazky=http://img.example\r\n";

std::string FullIni(const std::string& pc, const std::string& wpt) {
  std::string s = kFullIni;
  s.replace(s.find("%PC%"), 4, pc);
  s.replace(s.find("%WPT%"), 5, wpt);
  return s;
}

TEST(Restart, SettingsAreReadAndTheRememberedFileReloadsWithoutADialog) {
  Program r;
  r.dir.write(kSampleOnDisk, kWpt);  // present, yet not offered
  r.dir.write("kesky/moje.wpt", kWpt);
  std::filesystem::create_directory(r.dir.file("pc"));
  r.dir.write("Trovik.ini", FullIni(r.dir.path() + "pc/", r.dir.path() + "kesky/moje.wpt"));
  int pcChanges = 0;
  r.state.hooks.pcFolderChanged = [&] { ++pcChanges; };
  r.state.flags.shutDown = true;
  r.start();

  const MainState& s = r.state;
  EXPECT_EQ(s.activeTab, Tab::Browser);
  EXPECT_TRUE(r.host.dialogs.empty());
  EXPECT_TRUE(r.host.messages.empty());
  EXPECT_EQ(s.fields.edit1User, "kesker");
  EXPECT_EQ(s.fields.edit2Password, "tajne");
  EXPECT_EQ(s.currentDeviceFolder, "\\Storage Card\\Geo\\HTM\\");
  EXPECT_EQ(s.statusBar3Panel0, "\\Storage Card\\Geo\\HTM\\");
  EXPECT_EQ(s.currentPcFolder, r.dir.path() + "pc");
  EXPECT_EQ(s.statusBar5Panel0, r.dir.path() + "pc");
  EXPECT_EQ(pcChanges, 1);
  EXPECT_EQ(s.fields.edit4PdaWpt, "\\SD\\WP\\");
  EXPECT_EQ(s.fields.edit5PdaMht, "\\SD\\Geo\\");
  EXPECT_EQ(s.waypoints.currentFile, r.dir.path() + "kesky/moje.wpt");
  EXPECT_EQ(s.waypoints.caches.codes, (std::vector<std::string>{"GC1A2B3", "GC12345"}));
  EXPECT_EQ(s.waypoints.fileNameField, "moje.wpt");
  EXPECT_FALSE(s.flags.shutDown);
  EXPECT_FALSE(s.fields.radioButton1Original);
  EXPECT_TRUE(s.fields.radioButton2Vacsi);
  EXPECT_EQ(s.fields.edit7Velkost, "12000");
  EXPECT_FALSE(s.fields.checkBox2Spooler);
  EXPECT_TRUE(s.fields.checkBox3AllFoto);
  EXPECT_EQ(s.fields.addresses.sk, "http://sk.example");
  EXPECT_EQ(s.fields.addresses.com, Fields{}.addresses.com);  // missing key: the default
  EXPECT_EQ(s.fields.addresses.obrazky, "http://img.example");
  ASSERT_EQ(s.stringPda.size(), 2u);
  EXPECT_EQ(s.stringPda[0], (GridRow{"N\xE1zov s\xFA" "boru", "Ve\xBEkos\x9D", "D\xE1tum a \xE8" "as", "Attr", ""}));
  EXPECT_EQ(s.stringPda[1], (GridRow{"..", "<DIR>", "", "", ""}));
  EXPECT_EQ(s.stringPc, s.stringPda);
}

TEST(Restart, ARememberedGpxFileIsConverted) {
  Program r;
  r.dir.write("moje.gpx", kGpx);
  r.dir.write("Trovik.ini", "[LastWPT]\r\nSubor=" + r.dir.path() + "moje.gpx\r\n");
  r.start();
  EXPECT_TRUE(r.host.messages.empty());
  EXPECT_EQ(r.state.waypoints.caches.codes, (std::vector<std::string>{"GC7Z7Z7"}));
  EXPECT_EQ(r.state.waypoints.caches.names, (std::vector<std::string>{"GC7Z7Z7"}));
  ASSERT_FALSE(r.state.waypoints.wptText.empty());
  EXPECT_EQ(r.state.waypoints.wptText[0], "OziExplorer Waypoint File Version 1.1");
  // The GPX text, re-encoded into 1250, is in the service text area.
  EXPECT_EQ(r.state.memo1.at(5), "    <desc>Kalv\xE1ria (GC7Z7Z7)</desc>");
  EXPECT_EQ(r.state.waypoints.fileNameField, "moje.wpt");
}

TEST(Restart, ARememberedFileOfAnotherKindIsReadAsWaypointText) {
  Program r;
  r.dir.write("zoznam.txt", kWpt);
  r.dir.write("Trovik.ini", "[LastWPT]\r\nSubor=" + r.dir.path() + "zoznam.txt\r\n");
  r.start();
  EXPECT_EQ(r.state.waypoints.caches.count(), 2);
  EXPECT_EQ(r.state.waypoints.wptText.size(), 6u);
}

TEST(Restart, AnUnreadableRememberedFileIsReportedAndTheStartGoesOn) {
  Program r;
  const std::string gone = r.dir.path() + "zmazan\xFD.wpt";
  r.dir.write("Trovik.ini", "[LastWPT]\r\nSubor=" + gone + "\r\n[Setrenie]\r\nVelkost=500\r\n");
  r.state.flags.shutDown = true;
  r.start();
  EXPECT_EQ(r.host.messages, (std::vector<std::string>{"Cannot open file " + gone}));
  EXPECT_EQ(r.state.waypoints.caches.count(), 0);
  EXPECT_TRUE(r.state.waypoints.wptText.empty());
  EXPECT_TRUE(r.host.dialogs.empty());
  // Still the current file, so it is remembered again at shut-down.
  EXPECT_EQ(r.state.waypoints.currentFile, gone);
  EXPECT_FALSE(r.state.flags.shutDown);
  EXPECT_EQ(r.state.fields.edit7Velkost, "500");
  EXPECT_EQ(r.state.stringPda.size(), 2u);
}

TEST(Restart, AMissingPcFolderFallsBackToTheProgramFolderSilently) {
  Program r;
  r.dir.write("Trovik.ini", "[LastCesty]\r\nPC=" + r.dir.path() + "nie je\r\nPDA=\r\n");
  r.start();
  EXPECT_TRUE(r.host.messages.empty());
  EXPECT_EQ(r.state.currentPcFolder, r.dir.path().substr(0, r.dir.path().size() - 1));
  EXPECT_EQ(r.state.statusBar5Panel0, r.state.currentPcFolder);
  EXPECT_EQ(r.state.currentDeviceFolder, "");
}

TEST(Restart, BothRadioFlagsSetLetTheLaterOneWinAndBothClearLeaveNeither) {
  {
    Program r;
    r.dir.write("Trovik.ini", "[Setrenie]\r\nOriginal=1\r\nVacsi=1\r\n");
    r.start();
    EXPECT_FALSE(r.state.fields.radioButton1Original);
    EXPECT_TRUE(r.state.fields.radioButton2Vacsi);
  }
  {
    Program r;
    r.dir.write("Trovik.ini", "[Setrenie]\r\nOriginal=0\r\nVacsi=0\r\n");
    r.start();
    EXPECT_FALSE(r.state.fields.radioButton1Original);
    EXPECT_FALSE(r.state.fields.radioButton2Vacsi);
  }
  {
    Program r;
    r.dir.write("Trovik.ini", "[Setrenie]\r\nOriginal=ano\r\nVacsi=x\r\nSpooler=\r\nAllFoto=2\r\n");
    r.start();
    EXPECT_TRUE(r.state.fields.radioButton1Original);
    EXPECT_FALSE(r.state.fields.radioButton2Vacsi);
    EXPECT_TRUE(r.state.fields.checkBox2Spooler);
    EXPECT_TRUE(r.state.fields.checkBox3AllFoto);
  }
}

TEST(SecondStage, RunsOnceAndAMessageBoxDoesNotRepeatIt) {
  Program r;
  const std::string gone = r.dir.path() + "nie.wpt";
  r.dir.write("Trovik.ini", "[LastWPT]\r\nSubor=" + gone + "\r\n");
  r.dir.write("inak.wpt", kWpt);
  // The error box closing activates the window again, in the middle of the stage.
  int nested = 0;
  r.host.onMessage = [&](const std::string&) {
    ++nested;
    FormActivate(r.state, r.host);
  };
  r.start();
  EXPECT_EQ(nested, 1);
  EXPECT_EQ(r.host.messages.size(), 1u);

  // The user works; a later activation leaves lists, marks and grids alone.
  r.state.waypoints.caches.add("Nova", "GC99999", "?");
  r.state.waypoints.caches.nameMarks[0] = true;
  r.state.stringPc.push_back(GridRow{"subor.txt", "12", "2024.01.01 10:00:00", "", ""});
  r.state.activeTab = Tab::Wpt;
  FormActivate(r.state, r.host);
  EXPECT_EQ(r.state.waypoints.caches.count(), 1);
  EXPECT_TRUE(r.state.waypoints.caches.nameMarks[0]);
  EXPECT_EQ(r.state.stringPc.size(), 3u);
  EXPECT_EQ(r.state.activeTab, Tab::Wpt);
  EXPECT_EQ(r.host.messages.size(), 1u);
}

TEST(Shutdown, WritesTheThreeKeysAndKeepsTheRestOfTheFile) {
  Program r;
  r.dir.write("Trovik.ini",
              "; moje poznamky\r\n[Prihlasovanie]\r\nusername=kesker\r\n\r\n[LastCesty]\r\nPDA=\\stare\\\r\n"
              "[Nezname]\r\nx=1\r\n");
  std::vector<std::string> order;
  r.state.hooks.releaseDeviceLink = [&] {
    order.push_back(std::string("release pageDone=") + (r.state.flags.pageDone ? "1" : "0"));
  };
  r.state.statusBar3Panel0 = "\\Storage Card\\Geo\\";
  r.state.statusBar5Panel0 = "/home/kesker/Mapy";
  r.state.waypoints.currentFile = "";
  FormClose(r.state, r.host);
  EXPECT_EQ(order, (std::vector<std::string>{"release pageDone=0"}));
  EXPECT_TRUE(r.state.flags.pageDone);
  EXPECT_TRUE(r.state.flags.shutDown);
  EXPECT_EQ(r.ini(),
            "; moje poznamky\r\n[Prihlasovanie]\r\nusername=kesker\r\n\r\n[LastCesty]\r\nPDA=\\Storage Card\\Geo\\\r\n"
            "PC=/home/kesker/Mapy\r\n[Nezname]\r\nx=1\r\n[LastWPT]\r\nSubor=\r\n");
}

TEST(Shutdown, ARefusedWriteIsShownOnceAndTheFlagsAreStillSet) {
  Program r;
  std::filesystem::create_directory(r.dir.file("Trovik.ini"));
  FormClose(r.state, r.host);
  EXPECT_EQ(r.host.messages, (std::vector<std::string>{"Unable to write to " + r.dir.path() + "Trovik.ini"}));
  EXPECT_TRUE(r.state.flags.pageDone);
  EXPECT_TRUE(r.state.flags.shutDown);
}

TEST(Shutdown, ClosingDuringAListingWaitEndsTheWaitAndWritesTheSettings) {
  Program r;
  r.start();
  trovik::testing::FakeBrowser browser(r.host);  // no page: the load never completes
  site::SiteState siteState;
  site::SiteContext c{browser, r.host, r.state.flags, r.state.fields, siteState, r.state.memo1,
                      r.state.waypoints.caches, r.state.waypoints.exportButtonEnabled, r.state.htmFolder,
                      r.state.settingsPath};
  r.state.waypoints.caches.add("Hrad", "GC12345", "wpt file");
  r.state.waypoints.caches.itemIndex = 0;
  r.state.waypoints.currentFile = "/data/kesky.wpt";
  r.state.statusBar3Panel0 = "\\Geo\\";
  int pumps = 0;
  r.host.everyPump = [&] {
    if (++pumps == 20) FormClose(r.state, r.host);
  };
  site::SpeedButton4Click(c);  // returns only because the close set page-done
  EXPECT_EQ(pumps, 21);        // the wait's pumps and the one after it
  EXPECT_EQ(browser.navigations.size(), 1u);
  EXPECT_EQ(profile::ReadString(r.state.settingsPath, "LastWPT", "Subor", "?"), "/data/kesky.wpt");
  EXPECT_EQ(profile::ReadString(r.state.settingsPath, "LastCesty", "PDA", "?"), "\\Geo\\");
  EXPECT_EQ(profile::ReadString(r.state.settingsPath, "LastCesty", "PC", "?"), r.state.statusBar5Panel0);
}

TEST(Brejk, SetsPageDoneAndNothingElse) {
  RunFlags flags;
  flags.loggedIn = true;
  SpeedButton11Click(flags);
  EXPECT_TRUE(flags.pageDone);
  EXPECT_FALSE(flags.shutDown);
  EXPECT_TRUE(flags.loggedIn);
  // Pressed again while nothing waits: the flag just stays set.
  SpeedButton11Click(flags);
  EXPECT_TRUE(flags.pageDone);
}

TEST(Brejk, EndsAWaitForAPage) {
  Program r;
  trovik::testing::FakeBrowser browser(r.host);
  site::SiteState siteState;
  site::SiteContext c{browser, r.host, r.state.flags, r.state.fields, siteState, r.state.memo1,
                      r.state.waypoints.caches, r.state.waypoints.exportButtonEnabled, r.state.htmFolder,
                      r.state.settingsPath};
  r.state.waypoints.caches.add("Hrad", "GC12345", "wpt file");
  r.state.waypoints.caches.itemIndex = 0;
  r.host.onPump.push_back([&] { SpeedButton11Click(r.state.flags); });
  site::SpeedButton4Click(c);
  EXPECT_TRUE(r.state.flags.pageDone);
  EXPECT_FALSE(r.state.flags.shutDown);
  EXPECT_FALSE(r.iniExists());
}

}  // namespace
}  // namespace trovik::app
