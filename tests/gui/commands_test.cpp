// Commands clicked in the window: the cache list buttons, mark mirroring,
// "Brejk", the menu's type items, "Zapíš do INI", the start-up and shut-down
// stages, and the error box ending a command while the window stays usable.
// Over 400 lines for a reason: one scripted window's commands side by side.

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

#include "base/files.h"
#include "nearby/nearby.h"
#include "gui/tab_manager.h"
#include "gui/widgets.h"
#include "gui_test_support.h"

using namespace trovik;
using namespace trovik::gui;
using namespace trovik::gui::testing;

namespace {

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

// Opens `path` through the toolbar's open button, the dialog answered by the hook.
void OpenThroughToolbar(TForm1& window, const QString& path) {
  window.host().fileDialogHook = [path](const QString&, const QString&, const QString&) {
    return std::optional<QString>(path);
  };
  Control<QToolButton>(window, "ToolButton10")->click();
}

// Types `text` as the user would, also letters outside ASCII.
void TypeText(QWidget* widget, const QString& text) {
  for (const QChar ch : text) {
    QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
  }
}

// Where an entry's check box is drawn, in the list's viewport.
QRect CheckBoxOf(QListWidget* list, int row) {
  QStyleOptionViewItem option;
  option.initFrom(list->viewport());
  option.rect = list->visualItemRect(list->item(row));
  option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
  option.text = list->item(row)->text();
  return list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list);
}

QString SampleCopy(const ScratchHome& home) {
  const QString path = home.file(QStringLiteral("three.wpt"));
  QFile::copy(QStringLiteral(TROVIK_TEST_DATA "/three.wpt"), path);
  return path;
}

}  // namespace

class CommandsTest : public QObject {
  Q_OBJECT

 private slots:
  void openFillsTheThreeListsAndClrEmptiesThem() {
    ScratchHome home;
    ScriptedWindow window;
    QString filter, selected;
    window.host().fileDialogHook = [&](const QString& f, const QString& s, const QString&) {
      filter = f;
      selected = s;
      return std::optional<QString>(SampleCopy(home));
    };
    Control<QToolButton>(window, "ToolButton10")->click();
    // The three filters, the third chosen.
    QCOMPARE(filter.split(QStringLiteral(";;")).size(), 3);
    QVERIFY(selected.startsWith(QStringLiteral("OZI&GPX")));
    auto* names = Control<CheckListBox>(window, "CheckListBox1");
    auto* codes = Control<CheckListBox>(window, "CheckListBox2");
    auto* positions = Control<CheckListBox>(window, "CheckListBox3");
    QCOMPARE(names->entries(), (QStringList{"Starý mlyn", "Hrad", "Kopec"}));
    QCOMPARE(codes->entries(), (QStringList{"GC1A2B3", "GC2B7K4", "GC3C3D9"}));
    QCOMPARE(positions->entries(), (QStringList{"wpt file", "wpt file", "wpt file"}));
    QCOMPARE(Control<QLineEdit>(window, "Edit6")->text(), QStringLiteral("three.wpt"));
    QVERIFY(Control<QPlainTextEdit>(window, "Memo2")->toPlainText().startsWith(QStringLiteral("OziExplorer")));

    window.state().waypoints.exportButtonEnabled = true;
    window.refreshAll();
    QVERIFY(Control<QPushButton>(window, "SpeedButton26")->isEnabled());
    Control<QPushButton>(window, "SpeedButton21")->click();
    QCOMPARE(names->count(), 0);
    QCOMPARE(codes->count(), 0);
    QCOMPARE(positions->count(), 0);
    QVERIFY(!Control<QPushButton>(window, "SpeedButton26")->isEnabled());
    // The waypoint text stays.
    QVERIFY(!Control<QPlainTextEdit>(window, "Memo2")->toPlainText().isEmpty());
  }

  void menuOpenDoesTheSameAndCancelChangesNothing() {
    ScratchHome home;
    ScriptedWindow window;
    window.host().fileDialogHook = [&](const QString&, const QString&, const QString&) {
      return std::optional<QString>(SampleCopy(home));
    };
    window.menu().otvorWpt->trigger();
    QCOMPARE(Control<CheckListBox>(window, "CheckListBox1")->count(), 3);
    window.host().fileDialogHook = [](const QString&, const QString&, const QString&) {
      return std::optional<QString>();
    };
    window.menu().otvorWpt->trigger();
    QCOMPARE(Control<CheckListBox>(window, "CheckListBox1")->count(), 3);
  }

  void markAllUnmarkAllAndMirroring() {
    ScratchHome home;
    ScriptedWindow window;
    OpenThroughToolbar(window, SampleCopy(home));
    auto* names = Control<CheckListBox>(window, "CheckListBox1");
    auto* codes = Control<CheckListBox>(window, "CheckListBox2");
    Control<QPushButton>(window, "SpeedButton1")->click();
    for (int i = 0; i < 3; ++i) QVERIFY(names->isMarked(i) && codes->isMarked(i));
    QVERIFY(window.state().waypoints.caches.nameMarks[2]);
    Control<QPushButton>(window, "SpeedButton3")->click();
    for (int i = 0; i < 3; ++i) QVERIFY(!names->isMarked(i) && !codes->isMarked(i));

    // The user's tick in one list is copied to the other, at the same index.
    names->item(1)->setCheckState(Qt::Checked);
    QVERIFY(codes->isMarked(1));
    QVERIFY(window.state().waypoints.caches.codeMarks[1]);
    QCOMPARE(window.state().waypoints.caches.itemIndex, 1);
    QVERIFY(!codes->isMarked(0) && !codes->isMarked(2));
    codes->item(2)->setCheckState(Qt::Checked);
    QVERIFY(names->isMarked(2));
    codes->item(1)->setCheckState(Qt::Unchecked);
    QVERIFY(!names->isMarked(1));
    QVERIFY(!window.state().waypoints.caches.nameMarks[1]);
  }

  void aClickOnTheBoxOrSpaceMarksAndMirrors() {
    ScratchHome home;
    ScriptedWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    OpenThroughToolbar(window, SampleCopy(home));
    auto* names = Control<CheckListBox>(window, "CheckListBox1");
    auto* codes = Control<CheckListBox>(window, "CheckListBox2");
    const waypoints::CacheList& caches = window.state().waypoints.caches;
    // A box on every entry from the start, not only after "Označ všetky".
    for (auto* list : {names, codes}) {
      for (int i = 0; i < 3; ++i) QCOMPARE(list->item(i)->data(Qt::CheckStateRole), QVariant(int(Qt::Unchecked)));
    }

    QTest::mouseClick(names->viewport(), Qt::LeftButton, {}, CheckBoxOf(names, 1).center());
    QVERIFY(names->isMarked(1) && codes->isMarked(1));
    QVERIFY(caches.nameMarks[1] && caches.codeMarks[1]);
    QVERIFY(!codes->isMarked(0) && !codes->isMarked(2));

    // Space on the codes list's current entry, and again.
    Control<QTabWidget>(window, "PageControl2")->setCurrentWidget(codes);
    QTest::mouseClick(codes->viewport(), Qt::LeftButton, {}, codes->visualItemRect(codes->item(2)).center());
    QCOMPARE(codes->currentRow(), 2);
    QTest::keyClick(codes, Qt::Key_Space);
    QVERIFY(codes->isMarked(2) && names->isMarked(2) && caches.nameMarks[2]);
    QTest::keyClick(codes, Qt::Key_Space);
    QVERIFY(!codes->isMarked(2) && !names->isMarked(2) && !caches.nameMarks[2]);
    QVERIFY(names->isMarked(1));
  }

  void brejkSetsPageDoneAndEndsAWait() {
    ScratchHome home;
    ScriptedWindow window;
    auto* brejk = Control<QPushButton>(window, "SpeedButton11");
    window.state().flags.pageDone = false;
    brejk->click();
    QVERIFY(window.state().flags.pageDone);
    // Pressed while nothing waits: nothing else changes.
    brejk->click();
    QVERIFY(window.state().flags.pageDone);

    // A command waiting for the page ends when "Brejk" is pressed during the wait.
    window.state().flags.pageDone = false;
    QTimer::singleShot(50, brejk, &QPushButton::click);
    int pumps = 0;
    window.dispatcher().run([&] {
      while (!window.state().flags.pageDone && pumps < 200) {
        window.host().processMessages();
        window.host().sleepMs(10);
        ++pumps;
      }
    });
    QVERIFY(window.state().flags.pageDone);
    QVERIFY(pumps < 200);
  }

  void typeItemsToggleTheirOwnMarkOnly() {
    ScratchHome home;
    ScriptedWindow window;
    const MainMenu& m = window.menu();
    m.types[2]->trigger();
    QVERIFY(!window.nearbyState().typeChecked[2]);
    QVERIFY(!m.types[2]->isChecked());
    for (int i : {0, 1, 3, 4, 5}) QVERIFY(m.types[i]->isChecked() && window.nearbyState().typeChecked[i]);
    m.types[2]->trigger();
    QVERIFY(window.nearbyState().typeChecked[2]);
    QVERIFY(m.types[2]->isChecked());
    m.vsetky->trigger();  // no command
    for (int i = 0; i < 6; ++i) QVERIFY(m.types[i]->isChecked());
  }

  void fieldsReachTheCoreAndZapisDoIniWritesThem() {
    ScratchHome home;
    ScriptedWindow window;
    Control<QRadioButton>(window, "RadioButton2")->click();
    auto* size = Control<QLineEdit>(window, "Edit7");
    size->selectAll();
    QTest::keyClicks(size, QStringLiteral("12000"));
    Control<QCheckBox>(window, "CheckBox3")->click();
    auto* wptFolder = Control<QLineEdit>(window, "Edit4");
    wptFolder->selectAll();
    QTest::keyClicks(wptFolder, QStringLiteral("\\Karta\\WP\\"));
    QCOMPARE(window.state().fields.edit7Velkost, std::string("12000"));
    QVERIFY(window.state().fields.radioButton2Vacsi);
    QVERIFY(!window.state().fields.radioButton1Original);
    Control<QPushButton>(window, "SpeedButton8")->click();
    const QByteArray ini = ReadFile(home.file(QStringLiteral("Trovik.ini")));
    QVERIFY(ini.contains("PDA_WPT=\\Karta\\WP\\\r\n"));
    QVERIFY(ini.contains("Original=0\r\n"));
    QVERIFY(ini.contains("Vacsi=1\r\n"));
    QVERIFY(ini.contains("Velkost=12000\r\n"));
    QVERIFY(ini.contains("AllFoto=1\r\n"));

    // The login fields and the site choice go to the core as typed.
    TypeText(Control<QLineEdit>(window, "Edit1"), QStringLiteral("kešer"));
    QCOMPARE(window.state().fields.edit1User, std::string("ke\x9A" "er"));
    Control<QRadioButton>(window, "RadioGroup1_com")->click();
    QCOMPARE(window.state().fields.site, Site::Com);
  }

  // A pocket query names its waypoints by code; the "Nastavenia" box turns
  // that reading off, "Zapíš do INI" keeps it, and an empty list is said.
  void aPocketQueryListsItsCachesUnlessTheBoxIsOff() {
    ScratchHome home;
    ScriptedWindow window;
    window.host().fileDialogHook = [](const QString&, const QString&, const QString&) {
      return std::optional<QString>(QStringLiteral(TROVIK_SOURCE_DIR "/tests/waypoints/reference/pocket-query-gpx10.gpx"));
    };
    auto* names = Control<CheckListBox>(window, "CheckListBox1");
    auto* status = Control<PanelBar>(window, "StatusBar1");
    Control<QToolButton>(window, "ToolButton10")->click();
    QCOMPARE(names->entries(),
             (QStringList{"Hrad Hrušov", "Kameň &amp; voda", "Gýmeš (zrúcanina)", "Die Schatzinsel / treasure island"}));
    QCOMPARE(Control<CheckListBox>(window, "CheckListBox2")->entries(),
             (QStringList{"GC1B7K4", "GC1H2K7", "GC1C3D9", "GC1BKP3"}));
    QCOMPARE(status->panelText(4), QString());

    auto* box = Control<QCheckBox>(window, "CheckBox4");
    QCOMPARE(box->text(), QStringLiteral("Kód kešky aj z názvu bodu (pocket query)"));
    QVERIFY(box->isChecked());
    box->click();
    Control<QPushButton>(window, "SpeedButton8")->click();
    QVERIFY(ReadFile(home.file(QStringLiteral("Trovik.ini"))).contains("[Zoznam]\r\nKodZNazvu=0\r\n"));
    Control<QToolButton>(window, "ToolButton10")->click();
    QCOMPARE(names->count(), 0);
    QCOMPARE(status->panelText(4), QStringLiteral("Súbor neobsahuje žiadnu kešku s kódom GC."));

    // The next start reads the box back.
    ScriptedWindow again;
    again.activateOnce();
    QVERIFY(!Control<QCheckBox>(again, "CheckBox4")->isChecked());
  }

  void toolsTabConvertsAsTheUserTypesAndMeasures() {
    ScratchHome home;
    ScriptedWindow window;
    QStringList errors;
    window.dispatcher().errorHook = [&](const QString& text) { errors << text; };
    auto* degrees = Control<QLineEdit>(window, "Edit9");
    degrees->setFocus();
    QTest::keyClick(degrees, Qt::Key_End);
    QCOMPARE(Control<QLineEdit>(window, "Edit10")->text(), QStringLiteral("48°07.407'"));
    Control<QPushButton>(window, "SpeedButton16")->click();
    QVERIFY(Control<QLineEdit>(window, "Edit15")->text().startsWith(QStringLiteral("74")));
    QCOMPARE(Control<QLineEdit>(window, "Edit16")->text(), QStringLiteral("-89.6"));
    // Text that is no number: the error box, and the other field keeps its text.
    degrees->clear();
    QTest::keyClicks(degrees, QStringLiteral("x"));
    QVERIFY(!errors.isEmpty());
    QVERIFY(errors.last().contains(QStringLiteral("is not a valid floating point value")));
    QCOMPARE(Control<QLineEdit>(window, "Edit10")->text(), QStringLiteral("48°07.407'"));
  }

  void townListAClickShowsItsValueADoubleClickSearches() {
    ScratchHome home;
    WriteFile(home.file(QStringLiteral("suradnicemiest.ini")),
              "[Mesta]\r\nZlat\xE9 Moravce=48.3853,18.4000\r\nNitra=48.3069,18.0864\r\n");
    ScriptedWindow window;
    auto* towns = Control<QListWidget>(window, "ListBox1");
    QCOMPARE(towns->count(), 2);
    QCOMPARE(towns->item(0)->text(), QStringLiteral("Zlaté Moravce"));
    towns->setCurrentRow(1);
    QCOMPARE(Control<QLineEdit>(window, "Edit3")->text(), QStringLiteral("48.3069,18.0864"));
    // A double click asks the search browser for the caches near the town and
    // reports the rows of the page that comes back (none here).
    window.webBrowser2.setDefaultPage(trovik::testing::PageWithBody("<P>nic</P>"));
    emit towns->itemDoubleClicked(towns->item(1));
    QCOMPARE(window.webBrowser2.navigations.size(), size_t{1});
    QVERIFY2(QString::fromStdString(window.webBrowser2.navigations[0]).contains(QStringLiteral("lat_h=48.3069&")),
             window.webBrowser2.navigations[0].c_str());
    QCOMPARE(Control<PanelBar>(window, "StatusBar6")->panelText(1), QStringLiteral("Načítal som 0 záznamov"));
    QCOMPARE(Control<QPlainTextEdit>(window, "Memo3")->toPlainText(), QStringLiteral("<P>nic</P>"));
    QVERIFY(!Control<QPushButton>(window, "SpeedButton24")->isEnabled());
    QVERIFY(window.webBrowser1.navigations.empty());
  }

  void aRefusedWriteShowsTheErrorAndTheWindowGoesOn() {
    ScratchHome home;
    ScriptedWindow window;
    QStringList errors;
    window.dispatcher().errorHook = [&](const QString& text) { errors << text; };
    // A folder where the settings file should be: the write is refused.
    QVERIFY(QDir(home.path()).mkdir(QStringLiteral("Trovik.ini")));
    Control<QPushButton>(window, "SpeedButton8")->click();
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors.first().startsWith(QStringLiteral("Unable to write to ")) ||
                 errors.first().startsWith(QStringLiteral("Cannot create file ")),
             qPrintable(errors.first()));
    // The next command still runs.
    Control<QPushButton>(window, "SpeedButton1")->click();
    Control<QPushButton>(window, "SpeedButton11")->click();
    QVERIFY(window.state().flags.pageDone);
  }

  void firstStartShowsAboutOffersTheSampleAndRemembersIt() {
    ScratchHome home;
    QVERIFY(QFile::copy(QStringLiteral(TROVIK_TEST_DATA "/three.wpt"), home.file(QStringLiteral("Zlaté Moravce50km.wpt"))));
    QVERIFY(QFile::copy(QStringLiteral(TROVIK_SOURCE_DIR "/data/popisrtf.rtf"), home.file(QStringLiteral("popisrtf.rtf"))));
    ScriptedWindow window;
    QString initial;
    int tabUnderDialog = -1;
    window.host().fileDialogHook = [&](const QString&, const QString&, const QString& file) {
      initial = file;
      tabUnderDialog = window.pages()->currentIndex();
      return std::optional<QString>(file);
    };
    window.activateOnce();
    QVERIFY(initial.endsWith(QStringLiteral("Zlaté Moravce50km.wpt")));
    QCOMPARE(tabUnderDialog, 4);  // "O programe" in front already while the dialog is up
    QCOMPARE(window.pages()->currentIndex(), 4);  // "O programe"
    QVERIFY(!Control<QTextEdit>(window, "RichEdit1")->toPlainText().isEmpty());
    QCOMPARE(Control<CheckListBox>(window, "CheckListBox1")->count(), 3);
    QVERIFY(ReadFile(home.file(QStringLiteral("Trovik.ini"))).contains("WPTsubor="));
    // The grids got their two first rows.
    auto* device = window.managerTab()->deviceGrid();
    QCOMPARE(device->rowCount(), 1);
    QCOMPARE(device->item(0, 0)->text(), QStringLiteral(".."));
    QCOMPARE(device->horizontalHeaderItem(0)->text(), QStringLiteral("Názov súboru"));

    // Activating again (after a message box) does not rerun the stage.
    Control<QPushButton>(window, "SpeedButton1")->click();
    window.activateOnce();
    QVERIFY(Control<CheckListBox>(window, "CheckListBox1")->isMarked(0));
  }

  void secondStartReloadsTheRememberedFileAndCloseWritesTheKeys() {
    ScratchHome home;
    const QString wpt = SampleCopy(home);
    WriteFile(home.file(QStringLiteral("Trovik.ini")),
              "[LastWPT]\r\nSubor=" + wpt.toUtf8() + "\r\n[Prihlasovanie]\r\nusername=jozo\r\n");
    {
      ScriptedWindow window;
      bool dialog = false;
      window.host().fileDialogHook = [&](const QString&, const QString&, const QString&) {
        dialog = true;
        return std::optional<QString>();
      };
      window.activateOnce();
      QVERIFY(!dialog);
      QCOMPARE(window.pages()->currentIndex(), 0);
      QCOMPARE(Control<CheckListBox>(window, "CheckListBox1")->count(), 3);
      QCOMPARE(Control<QLineEdit>(window, "Edit1")->text(), QStringLiteral("jozo"));
      // Closing during a wait for a page ends the wait.
      window.state().flags.pageDone = false;
      QTimer::singleShot(30, &window, &QWidget::close);
      int pumps = 0;
      window.dispatcher().run([&] {
        while (!window.state().flags.pageDone && pumps < 300) {
          window.host().processMessages();
          window.host().sleepMs(10);
          ++pumps;
        }
      });
      QVERIFY(pumps < 300);
      QVERIFY(window.state().flags.shutDown);
    }
    const QByteArray ini = ReadFile(home.file(QStringLiteral("Trovik.ini")));
    QVERIFY(ini.contains("Subor=" + wpt.toUtf8() + "\r\n"));
    QVERIFY(ini.contains("PDA="));
    QVERIFY(ini.contains("PC="));
  }
};

QTEST_MAIN(CommandsTest)
#include "commands_test.moc"
