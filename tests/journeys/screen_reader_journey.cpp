// The window as a screen reader reads it, over the accessibility bus: every
// control a person can reach has a name, every field is named by the label
// in front of it, and the entries of the cache lists are check boxes that
// say whether they are marked and say it again when the mark changes.
// Runs under its own session bus (dbus-run-session, see CMakeLists.txt).

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdlib>
#include <set>

#include "steps.h"
#include "support/run_program.h"

namespace trovik::journeys {
namespace {

const std::string kReader = std::string(TROVIK_SOURCE_DIR) + "/tests/journeys/atspi/atspi_read.py";
// Debian's pyatspi belongs to the system's Python, whatever else is on PATH.
constexpr const char* kPython = "/usr/bin/python3";

struct Node {
  QString role, name;
  QStringList states, labelledBy;
  Box rect;
  int children = 0;
  std::string where() const {
    return role.toStdString() + " \"" + name.toStdString() + "\" at " + std::to_string(rect.x) + "," +
           std::to_string(rect.y) + " " + std::to_string(rect.w) + "x" + std::to_string(rect.h);
  }
  bool has(const char* state) const { return states.contains(QLatin1String(state)); }
};

// What the reader finds on the screen now, in the order it walks it.
std::vector<Node> ReadTree(Trip& t) {
  std::string out;
  const int status = RunProgram({kPython, kReader, std::to_string(t.window().pid()), "tree"}, {}, &out);
  std::vector<Node> nodes;
  bool ended = false;
  for (const QByteArray& line : QByteArray::fromStdString(out).split('\n')) {
    if (line == "end") ended = true;
    const QJsonObject o = QJsonDocument::fromJson(line).object();
    if (o.isEmpty()) continue;
    Node n;
    n.role = o["role"].toString();
    n.name = o["name"].toString();
    for (const QJsonValue& s : o["states"].toArray()) n.states << s.toString();
    for (const QJsonValue& s : o["labelledBy"].toArray()) n.labelledBy << s.toString();
    const QJsonArray r = o["rect"].toArray();
    n.rect = {r.at(0).toInt(), r.at(1).toInt(), r.at(2).toInt(), r.at(3).toInt()};
    n.children = o["children"].toInt();
    nodes.push_back(n);
  }
  EXPECT_EQ(status, 0) << "the reader failed";
  EXPECT_TRUE(ended) << "the reader did not read the whole window";
  return nodes;
}

const std::set<QString> kOperable = {
    "push button", "toggle button", "check box", "radio button", "page tab", "menu", "menu item", "check menu item",
    "radio menu item", "text", "password text", "entry", "combo box", "spin button", "list", "table", "tree",
    "tree table", "slider"};
const std::set<QString> kFields = {"text", "password text", "entry", "combo box", "spin button"};

bool Reachable(const Node& n) {
  const bool menu = n.role.contains(QLatin1String("menu"));
  return kOperable.count(n.role) && (n.has("showing") || menu);
}

// The label a person sees in front of a field: on its left on the same line,
// or right above it; none when another control stands between.
const Node* LabelInFront(const std::vector<Node>& nodes, const Node& field, bool* above) {
  const Node* left = nullptr;
  const Node* top = nullptr;
  for (const Node& n : nodes) {
    if (n.role != QLatin1String("label") || !n.has("showing") || n.name.trimmed().isEmpty()) continue;
    const int gapLeft = field.rect.x - (n.rect.x + n.rect.w);
    const bool sameLine = n.rect.cy() >= field.rect.y && n.rect.cy() < field.rect.y + field.rect.h;
    if (sameLine && gapLeft >= 0 && gapLeft <= 40 && (!left || n.rect.x > left->rect.x)) left = &n;
    const int gapAbove = field.rect.y - (n.rect.y + n.rect.h);
    const bool overlaps = n.rect.x < field.rect.x + field.rect.w && n.rect.x + n.rect.w > field.rect.x;
    if (overlaps && n.rect.x >= field.rect.x - 4 && gapAbove >= 0 && gapAbove <= 12) top = &n;
  }
  *above = left == nullptr && top != nullptr;
  return left ? left : top;
}

// Fails on every reachable control without a name and every field not
// named by the label in front of it; the number of controls checked.
int CheckNames(const std::vector<Node>& nodes, const std::string& tab) {
  int checked = 0;
  for (const Node& n : nodes) {
    if (!Reachable(n)) continue;
    ++checked;
    // A combo box reads its choice as its name and is named by its label's relation.
    const bool combo = n.role == QLatin1String("combo box");
    EXPECT_FALSE(n.name.trimmed().isEmpty() && (!combo || n.labelledBy.isEmpty()))
        << "on " << tab << ", a control without a name: " << n.where();
    if (!kFields.count(n.role) || !n.has("showing")) continue;
    bool above = false;
    const Node* label = LabelInFront(nodes, n, &above);
    if (label == nullptr) continue;
    EXPECT_TRUE(n.labelledBy.contains(label->name)) << "on " << tab << ", " << n.where()
                                                     << " is not labelled by \"" << label->name.toStdString() << "\"";
    if (!above && !combo) {
      EXPECT_EQ(n.name.trimmed(), label->name.trimmed()) << "on " << tab << ", " << n.where();
    }
  }
  std::printf("%s: %d controls read\n", tab.c_str(), checked);
  return checked;
}

const Node* Find(const std::vector<Node>& nodes, const char* role, const QString& name) {
  for (const Node& n : nodes) {
    if (n.role == QLatin1String(role) && n.name.trimmed() == name && n.has("showing")) return &n;
  }
  return nullptr;
}

// The entries of the list with that name, as the reader walked them.
std::vector<Node> EntriesOf(const std::vector<Node>& nodes, const QString& list) {
  std::vector<Node> out;
  for (size_t i = 0; i < nodes.size(); ++i) {
    if (nodes[i].role != QLatin1String("list") || nodes[i].name != list) continue;
    for (size_t j = i + 1; j < nodes.size() && (nodes[j].role == QLatin1String("list item") ||
                                                 nodes[j].role == QLatin1String("check box"));
         ++j) {
      out.push_back(nodes[j]);
    }
    break;
  }
  return out;
}

// Every entry shown says it is a check box and whether it is marked, as the
// window shows it.
void CheckEntries(Person& p, const std::vector<Node>& nodes, const QString& list, const QString& objectName) {
  const std::vector<Node> entries = EntriesOf(nodes, list);
  const QStringList texts = p.entries(objectName);
  const std::vector<int> checks = p.checks(objectName);
  ASSERT_FALSE(entries.empty()) << "the list " << list.toStdString() << " has no entries to read";
  for (size_t i = 0; i < entries.size() && i < checks.size(); ++i) {
    EXPECT_EQ(entries[i].name, texts[static_cast<qsizetype>(i)]);
    // A check box by its role or its state: Qt 6.4's bridge passes only the role on.
    EXPECT_TRUE(entries[i].role == QLatin1String("check box") || entries[i].has("checkable"))
        << entries[i].where() << " does not say it is a check box";
    EXPECT_EQ(entries[i].has("checked"), checks[i] == 2) << entries[i].where();
  }
}

TEST_F(Journey, ScreenReaderReadsEveryControl) {
  ASSERT_NE(std::getenv("DBUS_SESSION_BUS_ADDRESS"), nullptr) << "no session bus: run under dbus-run-session";
  TripOptions options;
  options.env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1";
  Trip& t = begin(options);
  Person& p = me();
  WAIT_UNTIL(p, p.entries(kNames).size() == 31, 20s);
  const QStringList names = p.entries(kNames);
  ASSERT_EQ(names.size(), 31);
  p.clickEntryBox(kNames, names[1]);
  WAIT_UNTIL(p, MarkCount(p) == 1, 5s);

  // Tab by tab, as a person brings each to the front.
  int checked = 0;
  for (const QJsonValue& tab : p.see(QStringLiteral("PageControl1"))["tabs"].toArray()) {
    const QString caption = tab["text"].toString();
    p.clickTab(QStringLiteral("PageControl1"), caption);
    const std::vector<Node> nodes = ReadTree(t);
    checked += CheckNames(nodes, caption.toStdString());
    if (caption == QLatin1String("Browser")) {
      const Node* user = Find(nodes, "text", QStringLiteral("Prihlasovacie meno"));
      EXPECT_TRUE(user && user->labelledBy.contains(QStringLiteral("Prihlasovacie meno")));
      EXPECT_TRUE(Find(nodes, "password text", QStringLiteral("Heslo")));
      int exports = 0;
      for (const Node& n : nodes) exports += n.role == QLatin1String("push button") && n.name == QStringLiteral("Exportuj označené kešky");
      EXPECT_EQ(exports, 2) << "the icon button and the button of the batch export";
      CheckEntries(p, nodes, QStringLiteral("Podľa názvov"), kNames);
    }
    if (caption == QLatin1String("Nastavenia")) {
      EXPECT_TRUE(Find(nodes, "text", QStringLiteral("Cesta v PDA pre WPT s lomítkom na konci")));
      EXPECT_TRUE(Find(nodes, "text", QStringLiteral("Hlavný adresár PDA,kde bude program ukladať dáta")));
    }
    if (caption == QLatin1String("HTML")) {
      EXPECT_TRUE(Find(nodes, "text", QStringLiteral("Služobná Page")));
    }
  }
  // Every tab, menu item and control of the eight tabs was looked at.
  EXPECT_GE(checked, 68);

  // The codes list reads the same, and a change of mark is heard as it is made.
  p.clickTab(QStringLiteral("PageControl1"), QStringLiteral("Browser"));
  p.clickTab(QStringLiteral("PageControl2"), QStringLiteral("Podľa GCxxxx"));
  CheckEntries(p, ReadTree(t), QStringLiteral("Podľa GCxxxx"), kCodes);
  testing::BackgroundProgram watcher(kPython, {kReader, std::to_string(t.window().pid()), "watch"});
  ASSERT_EQ(watcher.readLine(20s), "ready");
  // The window learns of a new listener through the bus; give it a moment.
  std::this_thread::sleep_for(1s);
  const QString code = p.entries(kCodes).at(4);
  p.clickEntry(kCodes, code);
  p.key("space");
  QJsonObject heard;
  for (int i = 0; i < 10 && heard["name"].toString() != code; ++i) {
    heard = QJsonDocument::fromJson(QByteArray::fromStdString(watcher.readLine(5s))).object();
  }
  EXPECT_EQ(heard["name"].toString(), code) << "the mark was not announced";
  EXPECT_EQ(heard["checked"].toInt(), 1);
  EXPECT_EQ(heard["role"].toString(), QStringLiteral("check box"));
}

}  // namespace
}  // namespace trovik::journeys
