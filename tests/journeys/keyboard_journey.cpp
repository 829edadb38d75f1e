// The day out of the README with the keyboard alone: the file opened with
// Ctrl+O, the login, the device, the card's folders, the caches marked and
// exported onto the card, the program closed with Ctrl+Q; and Escape ending a
// wait as "Brejk" does.

#include <filesystem>

#include "steps.h"
#include "support/silent_server.h"

namespace trovik::journeys {
namespace {

namespace fs = std::filesystem;

// The main window, by its caption.
constexpr const char* kTitle = "pre geocaching";

// Presses `key` (Tab, or shift+Tab backwards) until `target` has the focus;
// every control the focus passed on the way is added to `path`.
bool KeyTo(Person& p, const QString& target, QStringList& path, const char* key = "Tab", int most = 40) {
  for (int i = 0; i < most; ++i) {
    const QString now = p.focused();
    if (now == target) {
      path << now;
      return true;
    }
    path << now;
    p.key(key);
    // The window takes the key in its own time.
    p.waitFor([&] { return p.focused() != now; }, 1s);
  }
  ADD_FAILURE() << "the focus did not reach " << target.toStdString() << "; it went " << path.join(" ").toStdString();
  return false;
}

// Whether `order` appears in `path` in that order.
bool InOrder(const QStringList& path, const QStringList& order) {
  qsizetype at = 0;
  for (const QString& name : order) {
    at = path.indexOf(name, at);
    if (at < 0) return false;
  }
  return true;
}

// The page file of a cache, as the page name replaces characters.
std::string PageFile(const std::string& folder, QString name) {
  for (const QChar c : {u'/', u':', u';', u'?', u'\\'}) name.replace(c, u'_');
  return folder + name.toStdString() + ".htm";
}

QString CurrentTab(Person& p) {
  for (const QJsonValue& t : p.see(QStringLiteral("PageControl1"))["tabs"].toArray()) {
    if (t["current"].toBool()) return t["text"].toString();
  }
  return {};
}

void StepTabs(Person& p, const char* key, int times, const QString& arrive) {
  for (int i = 0; i < times; ++i) p.key(key);
  WAIT_UNTIL(p, CurrentTab(p) == arrive, 5s);
}

TEST_F(Journey, DayOutWithKeysOnly) {
  TripOptions options;
  // The first start offers the sample file; the user opens it later.
  options.rememberSample = false;
  Trip& t = begin(options);
  Person& p = me();
  fs::create_directories(t.card() + "Storage Card/Geo");

  // Every dialog answers Escape: the first start's offer is turned down.
  ASSERT_FALSE(p.waitForDialog(30s).isEmpty()) << "the first start did not offer the sample file";
  p.key("Escape");
  WAIT_UNTIL(p, p.front()["kind"].toString() == QStringLiteral("none"), 5s);
  EXPECT_TRUE(p.entries(kNames).isEmpty());
  p.focusWindow(kTitle);
  // Ctrl+O, and Enter takes the file the dialog offers.
  p.key("ctrl+o");
  ASSERT_FALSE(p.waitForDialog(10s).isEmpty()) << "Ctrl+O did not open the dialog";
  p.key("Return");
  WAIT_UNTIL(p, p.entries(kNames).size() == 31, 20s);
  p.focusWindow(kTitle);

  // The login: the fields in the order they stand, Enter in the password.
  QStringList path;
  ASSERT_TRUE(KeyTo(p, QStringLiteral("ToolButton10"), path));
  path.clear();
  ASSERT_TRUE(KeyTo(p, QStringLiteral("Edit1"), path));
  p.type(QStringLiteral("geocacher"));
  p.key("Tab");
  WAIT_UNTIL(p, p.focused() == QStringLiteral("Edit2"), 3s);
  p.type(QStringLiteral("trovik"));
  p.key("Return");
  WAIT_UNTIL(p, FieldColour(p) == QLatin1String(kGreen), 60s);

  // The device, and the copy to it.
  ASSERT_TRUE(KeyTo(p, QStringLiteral("SpeedButton7"), path));
  p.key("space");
  WAIT_UNTIL(p, p.panels(QStringLiteral("StatusBar1")).value(2) == QStringLiteral("PDA ON"), 15s);
  ASSERT_TRUE(KeyTo(p, QStringLiteral("CheckBox1"), path));
  p.key("space");
  WAIT_UNTIL(p, p.checked(QStringLiteral("CheckBox1")), 5s);

  // The card's folders, three tabs on and back again.
  StepTabs(p, "ctrl+Tab", 3, QStringLiteral("Nastavenia"));
  QStringList settings;
  ASSERT_TRUE(KeyTo(p, QStringLiteral("SpeedButton9"), settings));
  EXPECT_TRUE(InOrder(settings, {"SpeedButton8", "Edit4", "Edit5", "SpeedButton9"})) << settings.join(" ").toStdString();
  p.key("space");
  WAIT_UNTIL(p, fs::is_directory(t.card() + "Storage Card/Geo/HTM"), 15s);
  WAIT_UNTIL(p, fs::is_directory(t.card() + "Storage Card/Geo/Pictures"), 15s);
  // In the manager Tab goes from grid to grid; Shift+Tab leaves them.
  StepTabs(p, "ctrl+Tab", 2, QStringLiteral("PDA Manažér"));
  QStringList manager;
  ASSERT_TRUE(KeyTo(p, QStringLiteral("StringPDA"), manager));
  p.key("Tab");
  WAIT_UNTIL(p, p.focused() == QStringLiteral("StringPC"), 3s);
  p.key("shift+Tab");
  WAIT_UNTIL(p, p.focused() == QStringLiteral("DirectoryListBox1"), 3s);
  StepTabs(p, "ctrl+shift+Tab", 5, QStringLiteral("Browser"));

  // All marked and unmarked by keys, then two caches by Space.
  ASSERT_TRUE(KeyTo(p, QStringLiteral("CheckListBox1"), path));
  p.key("ctrl+a");
  WAIT_UNTIL(p, MarkCount(p) == 31, 5s);
  p.key("ctrl+shift+a");
  WAIT_UNTIL(p, MarkCount(p) == 0, 5s);
  const QStringList names = p.entries(kNames);
  ASSERT_EQ(names.size(), 31);
  p.key("Home");
  p.key("Down");
  p.key("space");
  p.key("Down");
  p.key("space");
  WAIT_UNTIL(p, MarkCount(p) == 2, 5s);
  EXPECT_EQ(p.checks(kNames).at(1), 2);
  EXPECT_EQ(p.checks(kNames).at(2), 2);
  // The focus went through the Browser tab as its controls stand.
  EXPECT_TRUE(InOrder(path, {"ToolButton10", "ToolButton12", "Edit1", "Edit2", "SpeedButton5", "SpeedButton7",
                             "CheckBox1", "SpeedButton1", "SpeedButton3", "SpeedButton4", "SpeedButton6",
                             "SpeedButton11", "CheckListBox1"}))
      << path.join(" ").toStdString();

  // Back to "Exportuj označené kešky", and the pages go onto the card.
  QStringList back;
  ASSERT_TRUE(KeyTo(p, QStringLiteral("SpeedButton6"), back, "shift+Tab"));
  p.key("space");
  WAIT_UNTIL(p, MarkCount(p) == 0, 90s);
  for (const QString& name : {names.at(1), names.at(2)}) {
    // The batch's device copies go together once its last page is made.
    const std::string onCard = PageFile(t.card() + "Storage Card/Geo/HTM/", name);
    WAIT_UNTIL(p, Trip::Exists(onCard), 30s);
    EXPECT_EQ(Trip::Read(onCard), Trip::Read(PageFile(t.home() + "HTM/", name)));
  }

  p.key("ctrl+q");
  EXPECT_EQ(t.window().waitExit(10s), 0) << "Ctrl+Q did not end the program";
}

TEST_F(Journey, EscapeEndsAWaitAsBrejkDoes) {
  testing::SilentServer silent;
  ASSERT_NE(silent.port(), 0);
  TripOptions options;
  options.skAddress = silent.origin() + "/sk";
  Trip& t = begin(options);
  Person& p = me();
  WAIT_UNTIL(p, p.entries(kNames).size() == 31, 20s);
  p.focusWindow(kTitle);
  QStringList path;
  ASSERT_TRUE(KeyTo(p, QStringLiteral("CheckListBox1"), path));
  p.key("Home");
  p.key("space");
  WAIT_UNTIL(p, MarkCount(p) == 1, 5s);
  ASSERT_TRUE(KeyTo(p, QStringLiteral("SpeedButton6"), path, "shift+Tab"));
  p.key("space");
  // The site never answers: the batch waits, the cache keeps its mark.
  std::this_thread::sleep_for(3s);
  EXPECT_EQ(MarkCount(p), 1);
  p.key("Escape");
  WAIT_UNTIL(p, MarkCount(p) == 0, 20s);
  EXPECT_TRUE(t.window().running());
}

}  // namespace
}  // namespace trovik::journeys
