// The file manager: the card's folder loaded, sorted by header clicks,
// files copied both ways through the confirmation dialog, a file deleted, a
// folder made.

#include <filesystem>
#include <fstream>

#include "steps.h"

namespace trovik::journeys {
namespace {

namespace fs = std::filesystem;

const QString kPda = QStringLiteral("StringPDA");
const QString kPc = QStringLiteral("StringPC");

// The names in a grid, ".." first.
QStringList FirstCells(Person& p, const QString& grid) {
  QStringList out;
  for (const QStringList& row : p.rows(grid)) out << row.value(0);
  return out;
}

// Answers the confirmation dialog with Yes, after checking what it asks.
void Agree(Person& p) {
  const QJsonObject dialog = p.waitForDialog(10s);
  EXPECT_EQ(dialog["name"].toString(), QStringLiteral("Potvrd"));
  EXPECT_EQ(dialog["title"].toString(), QStringLiteral("Súhlasíte?"));
  p.answer({QStringLiteral("BitBtn1")});
  p.waitFor([&] { return p.front()["kind"].toString() != QStringLiteral("modal"); }, 10s);
}

// Selects a file, chooses `command` from its menu and agrees.
void OnFile(Person& p, const QString& grid, const QString& file, const QString& command) {
  p.clickRow(grid, file);
  p.rightClickRow(grid, file);
  p.choosePopup(command);
  Agree(p);
}

TEST_F(Journey, ManagerLoadSortCopyDeleteAndMakeAFolder) {
  Trip& t = begin();
  Person& p = me();
  std::ofstream(t.card() + "poznámky.txt") << "na karte\r\n";
  std::ofstream(t.card() + "b.txt") << "zmaž ma\r\n";
  std::ofstream(t.card() + "c.txt") << "c\r\n";
  std::ofstream(t.home() + "kópia.txt") << "z počítača\r\n";
  WAIT_UNTIL(p, p.entries(kNames).size() == 31, 20s);

  p.clickTab(QStringLiteral("PageControl1"), QStringLiteral("PDA Manažér"));
  p.click(QStringLiteral("SpeedButton12"));
  WAIT_UNTIL(p, FirstCells(p, kPda).contains(QStringLiteral("poznámky.txt")), 15s);
  const QStringList files = FirstCells(p, kPda).mid(1);
  EXPECT_EQ(files, (QStringList{QStringLiteral("b.txt"), QStringLiteral("c.txt"), QStringLiteral("poznámky.txt")}));

  // A click on the name header turns the order round, a second click back.
  p.clickHeader(kPda, QStringLiteral("Názov súboru"));
  WAIT_UNTIL(p, FirstCells(p, kPda).mid(1) == (QStringList{QStringLiteral("poznámky.txt"), QStringLiteral("c.txt"), QStringLiteral("b.txt")}), 10s);
  p.clickHeader(kPda, QStringLiteral("Názov súboru"));
  WAIT_UNTIL(p, FirstCells(p, kPda).mid(1) == files, 10s);

  // PC -> card; the PC pane shows the file written after the start once refreshed.
  p.rightClickRow(kPc, QStringLiteral(".."));
  p.choosePopup(QStringLiteral("Refreš"));
  WAIT_UNTIL(p, FirstCells(p, kPc).contains(QStringLiteral("kópia.txt")), 10s);
  OnFile(p, kPc, QStringLiteral("kópia.txt"), QStringLiteral("Kopirovanie označených súborov do PDA"));
  WAIT_UNTIL(p, Trip::Read(t.card() + "kópia.txt") == "z počítača\r\n", 10s);
  WAIT_UNTIL(p, FirstCells(p, kPda).contains(QStringLiteral("kópia.txt")), 10s);

  // Card -> PC.
  OnFile(p, kPda, QStringLiteral("poznámky.txt"), QStringLiteral("Kopirovanie označených súborov do PC"));
  WAIT_UNTIL(p, Trip::Read(t.home() + "poznámky.txt") == "na karte\r\n", 10s);
  WAIT_UNTIL(p, FirstCells(p, kPc).contains(QStringLiteral("poznámky.txt")), 10s);

  // Delete on the card.
  OnFile(p, kPda, QStringLiteral("b.txt"), QStringLiteral("Vymazanie označených súborov,adresárov"));
  WAIT_UNTIL(p, !Trip::Exists(t.card() + "b.txt"), 10s);
  WAIT_UNTIL(p, !FirstCells(p, kPda).contains(QStringLiteral("b.txt")), 10s);

  // A new folder on the card, its name typed into the dialog.
  p.rightClickRow(kPda, QStringLiteral("c.txt"));
  p.choosePopup(QStringLiteral("Vytvor adresár"));
  const QJsonObject dialog = p.waitForDialog(10s);
  QJsonObject field;
  for (const QJsonValue& e : dialog["edits"].toArray()) {
    if (e["text"].toString() == QStringLiteral("Nový adresár")) field = e.toObject();
  }
  ASSERT_FALSE(field.isEmpty()) << "no field with \"Nový adresár\"";
  const Box b = Box::From(field["rect"]);
  p.clickAt(b.cx(), b.cy());
  p.key("ctrl+a");
  p.type(QStringLiteral("Výlety"));
  Agree(p);
  WAIT_UNTIL(p, fs::is_directory(t.card() + "Výlety"), 10s);
  WAIT_UNTIL(p, FirstCells(p, kPda).contains(QStringLiteral("Výlety")), 10s);
}

}  // namespace
}  // namespace trovik::journeys
