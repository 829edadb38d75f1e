// The file manager's commands over both panes, with the dialog answered by the test.

#include <deque>
#include <optional>

#include "device/listing.h"
#include "device/manager.h"
#include "device_fixture.h"

namespace trovik::device::testing {
namespace {

struct Answer {
  bool yes = true;
  bool dontAsk = false;
  std::optional<std::string> edit2;
};

class ScriptedConfirm : public ConfirmCopy {
 public:
  bool Ask(ConfirmDialog& dialog) override {
    asked.push_back(dialog);
    Answer a = answers.empty() ? Answer{} : answers.front();
    if (!answers.empty()) answers.pop_front();
    if (a.dontAsk) dialog.dontAsk = true;
    if (a.edit2) dialog.edit2 = *a.edit2;
    return a.yes;
  }
  std::deque<Answer> answers;
  std::vector<ConfirmDialog> asked;
};

class ManagerTest : public DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    pcFolder = pc.path() + "work";
    std::filesystem::create_directories(pcFolder);
    pda.folder = "\\Storage Card\\Geo\\";
    DirectoryListBox1Change(pcPane, pcFolder);
  }
  // The row of the pane whose name is `name`.
  static int RowOf(const Grid& g, const std::string& name) {
    for (size_t r = 2; r < g.size(); ++r)
      if (g[r][0] == name) return static_cast<int>(r);
    return -1;
  }
  void ListPc() { DirectoryListBox1Change(pcPane, pcFolder); }
  void ListPda() { GetDirPDA(link, host, pda, pda.folder + "*"); }

  std::string pcFolder;
  ScriptedConfirm confirm;
  FileOpener opener;
  DevicePane pda;
  PcPane pcPane;
  Manager m{link, host, flags, confirm, opener, pda, pcPane};
};

TEST_F(ManagerTest, YesWithDontAskCopiesTheRestWithoutAQuestion) {
  for (auto n : {"a.txt", "b.txt", "c.txt"}) pc.write(std::string("work/") + n, n);
  ListPc();
  confirm.answers = {{true, true, {}}};
  KopirovaniesborudoPDA1Click(m, {RowOf(pcPane.grid, "a.txt"), RowOf(pcPane.grid, "b.txt"), RowOf(pcPane.grid, "c.txt")});
  ASSERT_EQ(confirm.asked.size(), 1u);
  EXPECT_EQ(confirm.asked[0].label1, L("Kopírovať súbor"));
  EXPECT_EQ(confirm.asked[0].edit1, pcFolder + "/a.txt");
  EXPECT_EQ(confirm.asked[0].edit2, "\\Storage Card\\Geo\\a.txt");
  EXPECT_FALSE(confirm.asked[0].dontAsk);
  for (auto n : {"a.txt", "b.txt", "c.txt"}) EXPECT_EQ(CardBytes(std::string("Storage Card/Geo/") + n), n);
  // The device pane shows the result.
  EXPECT_EQ(pda.grid.size(), 5u);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_FALSE(host.busyCursor);

  // The next command asks again.
  confirm.answers = {{false, false, {}}, {false, false, {}}};
  KopirovaniesborudoPDA1Click(m, {RowOf(pcPane.grid, "a.txt"), RowOf(pcPane.grid, "b.txt")});
  EXPECT_EQ(confirm.asked.size(), 3u);
  // Refused rows count: no "nothing selected".
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(ManagerTest, NoWithDontAskSkipsThatRowOnly) {
  for (auto n : {"a.txt", "b.txt", "c.txt"}) pc.write(std::string("work/") + n, n);
  ListPc();
  confirm.answers = {{false, true, {}}};
  KopirovaniesborudoPDA1Click(m, {2, 3, 4, 5});
  EXPECT_EQ(confirm.asked.size(), 1u);
  int copied = 0;
  for (auto n : {"a.txt", "b.txt", "c.txt"}) copied += OnCardExists(std::string("Storage Card/Geo/") + n);
  EXPECT_EQ(copied, 2);
  EXPECT_FALSE(OnCardExists(std::string("Storage Card/Geo/") + pcPane.grid[2][0]));
}

TEST_F(ManagerTest, AChangedTargetPathIsThePathUsed) {
  pc.write("work/a.txt", "data");
  ListPc();
  confirm.answers = {{true, false, std::string("\\Storage Card\\OZI_Maps\\WP\\iny.txt")}};
  KopirovaniesborudoPDA1Click(m, {RowOf(pcPane.grid, "a.txt")});
  EXPECT_EQ(CardBytes("Storage Card/OZI_Maps/WP/iny.txt"), "data");
  EXPECT_FALSE(OnCardExists("Storage Card/Geo/a.txt"));

  pc.write("PDA/Storage Card/Geo/z.txt", "zz");
  ListPda();
  confirm.answers = {{true, false, pc.path() + "elsewhere.txt"}};
  MenuItem1Click(m, {RowOf(pda.grid, "z.txt")});
  EXPECT_EQ(pc.read("elsewhere.txt"), "zz");
  EXPECT_FALSE(std::filesystem::exists(pcFolder + "/z.txt"));
}

TEST_F(ManagerTest, FoldersAreSkippedByBothCopiesAndNothingSelectedIsSaid) {
  std::filesystem::create_directories(pcFolder + "/sub");
  pc.write("PDA/Storage Card/Geo/HTM/x.htm", "x");
  ListPc();
  ListPda();
  KopirovaniesborudoPDA1Click(m, {RowOf(pcPane.grid, "sub"), 0, 1});
  MenuItem1Click(m, {RowOf(pda.grid, "HTM")});
  EXPECT_TRUE(confirm.asked.empty());
  EXPECT_EQ(host.messages, (std::vector<std::string>{L("Nebolo nič vybraté"), L("Nebolo nič vybraté")}));
  EXPECT_FALSE(OnCardExists("Storage Card/Geo/sub"));
  EXPECT_FALSE(std::filesystem::exists(pcFolder + "/HTM"));
}

TEST_F(ManagerTest, CopyToThePcRefusedEverywhereSaysNothingSelected) {
  pc.write("PDA/Storage Card/Geo/z.txt", "zz");
  ListPda();
  confirm.answers = {{false, false, {}}};
  MenuItem1Click(m, {RowOf(pda.grid, "z.txt")});
  EXPECT_EQ(host.messages, std::vector<std::string>{L("Nebolo nič vybraté")});
}

TEST_F(ManagerTest, CopyToThePcListsThePcPaneWithoutSorting) {
  pc.write("PDA/Storage Card/Geo/z.txt", "zz");
  ListPda();
  pcPane.nameSort = 2;
  MenuItem1Click(m, {RowOf(pda.grid, "z.txt")});
  EXPECT_EQ(pc.read("work/z.txt"), "zz");
  EXPECT_NE(RowOf(pcPane.grid, "z.txt"), -1);
  EXPECT_EQ(confirm.asked[0].edit1, "\\Storage Card\\Geo\\z.txt");
  EXPECT_EQ(confirm.asked[0].edit2, pcFolder + "/z.txt");
}

TEST_F(ManagerTest, DeleteHandsFilesAndFoldersToTheDeviceAndReportsNoRefusal) {
  pc.write("PDA/Storage Card/Geo/a.txt", "a");
  pc.write("PDA/Storage Card/Geo/full/x", "x");
  std::filesystem::create_directories(root + "/Storage Card/Geo/empty");
  ListPda();
  KopirovaniesborudoPDA1Click(m, {});  // nothing selected at all
  host.messages.clear();
  MenuItem2Click(m, {RowOf(pda.grid, "a.txt"), RowOf(pda.grid, "full"), RowOf(pda.grid, "empty")});
  ASSERT_EQ(confirm.asked.size(), 3u);
  EXPECT_EQ(confirm.asked[0].label1, L("Vymazať súbor?"));
  EXPECT_FALSE(confirm.asked[0].label2Visible);
  EXPECT_FALSE(confirm.asked[0].edit2Visible);
  EXPECT_FALSE(OnCardExists("Storage Card/Geo/a.txt"));
  EXPECT_FALSE(OnCardExists("Storage Card/Geo/empty"));
  EXPECT_TRUE(OnCardExists("Storage Card/Geo/full/x"));
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(pda.grid.size(), 3u);  // only "full" is left

  confirm.answers = {{false, false, {}}};
  MenuItem2Click(m, {RowOf(pda.grid, "full")});
  EXPECT_EQ(host.messages, std::vector<std::string>{L("Nebolo nič vybraté")});
}

TEST_F(ManagerTest, CreateFolderAsksForTheName) {
  Vytvoradresr1Click(m);
  ASSERT_EQ(confirm.asked.size(), 1u);
  EXPECT_EQ(confirm.asked[0].label1, L("Do editačného okna zadajte názov adresára"));
  EXPECT_FALSE(confirm.asked[0].edit1Visible);
  EXPECT_FALSE(confirm.asked[0].label2Visible);
  EXPECT_EQ(confirm.asked[0].edit2, L("Nový adresár"));
  EXPECT_TRUE(OnCardExists("Storage Card/Geo/Nov\xC3\xBD adres\xC3\xA1r"));

  confirm.answers = {{true, false, std::string("Mapy")}, {false, false, std::string("Nie")}};
  Vytvoradresr1Click(m);
  Vytvoradresr1Click(m);
  EXPECT_TRUE(OnCardExists("Storage Card/Geo/Mapy"));
  EXPECT_FALSE(OnCardExists("Storage Card/Geo/Nie"));
  EXPECT_EQ(pda.grid.size(), 4u);
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(ManagerTest, TheDataFoldersAreCreatedOnlyBelowAnExistingDataFolder) {
  SpeedButton9Click(link, host, "\\Storage Card\\Geo\\");
  EXPECT_TRUE(OnCardExists("Storage Card/Geo/HTM"));
  EXPECT_TRUE(OnCardExists("Storage Card/Geo/Pictures"));
  SpeedButton9Click(link, host, "\\Storage Card\\Nie\\");
  EXPECT_FALSE(OnCardExists("Storage Card/Nie"));
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(ManagerTest, DeviceNavigation) {
  std::filesystem::create_directories(root + "/Storage Card/Geo/HTM");
  pc.write("PDA/Storage Card/Geo/a.txt", "a");
  ListPda();
  StringPDADblClick(m, RowOf(pda.grid, "a.txt"));
  EXPECT_EQ(pda.folder, "\\Storage Card\\Geo\\");
  StringPDADblClick(m, RowOf(pda.grid, "HTM"));
  EXPECT_EQ(pda.folder, "\\Storage Card\\Geo\\HTM\\");
  EXPECT_EQ(pda.status3[0], "\\Storage Card\\Geo\\HTM\\");
  StringPDADblClick(m, 1);
  StringPDADblClick(m, 1);
  EXPECT_EQ(pda.folder, "\\Storage Card\\");
  EXPECT_EQ(RowOf(pda.grid, "Geo"), 2);
  StringPDADblClick(m, 1);
  EXPECT_EQ(pda.folder, "\\");
  StringPDADblClick(m, 1);
  EXPECT_EQ(pda.folder, "\\");
  // Without the device the folder still changes.
  setenv("TROVIK_DEVICE_CONNECT", "fail", 1);
  pda.grid.push_back({"Storage Card", "<DIR>", "", "16", ""});
  StringPDADblClick(m, 2);
  EXPECT_EQ(pda.folder, "\\Storage Card\\");
  EXPECT_EQ(pda.grid.size(), 2u);
}

TEST_F(ManagerTest, PcNavigation) {
  pc.write("work/sub/inner.txt", "i");
  pc.write("work/f.txt", "f");
  ListPc();
  StringPCDblClick(m, RowOf(pcPane.grid, "f.txt"));
  EXPECT_EQ(pcPane.folder, pcFolder);
  StringPCDblClick(m, RowOf(pcPane.grid, "sub"));
  EXPECT_EQ(pcPane.folder, pcFolder + "/sub");
  EXPECT_EQ(pcPane.status5, pcFolder + "/sub");
  EXPECT_NE(RowOf(pcPane.grid, "inner.txt"), -1);
  StringPCDblClick(m, 1);
  EXPECT_EQ(pcPane.folder, pcFolder);
  EXPECT_EQ(PcFolderAfter("/", ".."), "/");
  EXPECT_EQ(PcFolderAfter("/tmp", ".."), "/");
  EXPECT_EQ(PcFolderAfter("/", "tmp"), "/tmp");
}

TEST_F(ManagerTest, OpenReportsAnOpenerThatFails) {
  pc.write("work/f.txt", "f");
  ListPc();
  setenv("TROVIK_OPENER", "true", 1);
  Vymazaniesboru1Click(m, RowOf(pcPane.grid, "f.txt"));
  EXPECT_TRUE(host.messages.empty());
  setenv("TROVIK_OPENER", "false", 1);
  Vymazaniesboru1Click(m, RowOf(pcPane.grid, "f.txt"));
  setenv("TROVIK_OPENER", "/no/such/opener", 1);
  Vymazaniesboru1Click(m, RowOf(pcPane.grid, "f.txt"));
  unsetenv("TROVIK_OPENER");
  EXPECT_EQ(host.messages, (std::vector<std::string>{"Couldn't execute the application",
                                                     "Couldn't execute the application"}));
}

}  // namespace
}  // namespace trovik::device::testing
