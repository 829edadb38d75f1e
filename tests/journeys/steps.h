#pragma once
// Steps several journeys share, each as a person does it.

#include <algorithm>

#include "journey_test.h"

namespace trovik::journeys {

inline const QString kNames = QStringLiteral("CheckListBox1");
inline const QString kCodes = QStringLiteral("CheckListBox2");
inline const QString kPositions = QStringLiteral("CheckListBox3");
inline const QString kLoggedIn = QStringLiteral("Ste prihlásený ako užívateľ s menom ");

// The colour the user name field shows, sampled inside its right end where
// no text reaches.
inline QString FieldColour(Person& p) {
  const Box b = Box::From(p.see(QStringLiteral("Edit1"))["rect"]);
  return p.colourAt(b.x + b.w - 6, b.cy());
}
inline constexpr const char* kGreen = "#008000";
inline constexpr const char* kRed = "#ff0000";

// Types the account, picks the site and presses "Prihlás!"; waits until the
// user name field shows the colour `expected` ends with and returns the
// colour it shows then (the login's end shows nowhere else).
inline QString LogIn(Person& p, const QString& site, const QString& user, const QString& password,
                     const char* expected) {
  p.clickTab(QStringLiteral("PageControl1"), QStringLiteral("Browser"));
  p.fill(QStringLiteral("Edit1"), user);
  p.fill(QStringLiteral("Edit2"), password);
  p.click(site == QStringLiteral("com") ? QStringLiteral("RadioGroup1_com") : QStringLiteral("RadioGroup1_sk"));
  p.click(QStringLiteral("SpeedButton5"));
  QString colour;
  p.waitFor([&] { return (colour = FieldColour(p)) == QLatin1String(expected); }, 60s);
  return colour;
}

// The index of a names-list entry, -1 when absent.
inline int IndexOf(Person& p, const QString& list, const QString& text) {
  return static_cast<int>(p.entries(list).indexOf(text));
}

// How many names carry the mark (a ticked box).
inline int MarkCount(Person& p) {
  const std::vector<int> c = p.checks(kNames);
  return static_cast<int>(std::count(c.begin(), c.end(), 2));
}

// The accept button of Qt's open dialog, in Slovak first.
inline const std::vector<QString> kOpen = {QStringLiteral("Otvoriť"), QStringLiteral("Open")};

// "Open GPX", the file's path typed into the dialog's name field, then Enter
// (or the accept button when Enter only closed the completer's list).
inline void OpenByDialog(Person& p, const std::string& path) {
  p.click(QStringLiteral("ToolButton10"));
  const QJsonObject dialog = p.waitForDialog(10s);
  ASSERT_EQ(dialog["class"].toString(), QStringLiteral("QFileDialog"));
  QJsonObject field;
  for (const QJsonValue& e : dialog["edits"].toArray()) {
    if (e["name"].toString() == QStringLiteral("fileNameEdit")) field = e.toObject();
  }
  ASSERT_FALSE(field.isEmpty());
  const Box b = Box::From(field["rect"]);
  p.clickAt(b.cx(), b.cy());
  p.key("ctrl+a");
  p.type(QString::fromStdString(path));
  p.key("Return");
  if (!p.waitFor([&] { return p.front()["kind"].toString() == QStringLiteral("none"); }, 2s)) {
    if (p.front()["kind"].toString() == QStringLiteral("popup")) p.key("Escape");
    p.answer(kOpen);
  }
}

// Double-clicks a town on the nearby tab and waits for the count.
inline void SearchNear(Person& p, const QString& town) {
  p.clickTab(QStringLiteral("PageControl1"), QStringLiteral("Novinky v okolí miest"));
  p.doubleClickEntry(QStringLiteral("ListBox1"), town);
  p.waitFor([&] { return p.panels(QStringLiteral("StatusBar6")).value(1).startsWith(QStringLiteral("Načítal som")); }, 60s);
}

}  // namespace trovik::journeys
