// The window as built: caption, size, menus, tabs, and every control with its
// object name, caption, hint, default and enabled state.

#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolButton>

#include "gui/file_grid.h"
#include "gui/potvrd.h"
#include "gui/tab_manager.h"
#include "gui/widgets.h"
#include "gui_test_support.h"

using namespace trovik::gui;
using namespace trovik::gui::testing;

class LayoutTest : public QObject {
  Q_OBJECT

 private slots:
  void windowCaptionSizeAndTabs() {
    ScratchHome home;
    ScriptedWindow window;
    QCOMPARE(window.objectName(), QStringLiteral("Form1"));
    QVERIFY(window.windowTitle().startsWith(QStringLiteral("Elektronický pomocník pre geocaching ")));
    const QString version = window.windowTitle().mid(QStringLiteral("Elektronický pomocník pre geocaching ").size());
    QCOMPARE(version.split(QLatin1Char('.')).size(), 4);
    QCOMPARE(window.size(), QSize(847, 659));
    const QStringList captions = {"Browser", "HTML", "WPT", "Nastavenia", "O programe", "PDA Manažér",
                                  "Novinky v okolí miest", "Pomôcky Geokešera"};
    QCOMPARE(window.pages()->count(), captions.size());
    for (int i = 0; i < captions.size(); ++i) QCOMPARE(window.pages()->tabText(i), captions.at(i));
    QCOMPARE(window.pages()->currentIndex(), 0);
  }

  void buttonsAndChecksHaveTheirCaptionsAndStates() {
    ScratchHome home;
    ScriptedWindow window;
    struct Expect {
      const char* name;
      const char* caption;
      bool enabled;
    };
    const Expect buttons[] = {
        {"SpeedButton5", "Prihlás!", true},
        {"SpeedButton7", "ActiveSync", true},
        {"CheckBox1", "Aj do PDA", false},
        {"SpeedButton1", "Označ všetky", true},
        {"SpeedButton3", "Odznač všetky", true},
        {"SpeedButton4", "GC", true},
        {"SpeedButton6", "Exportuj označené kešky", true},
        {"SpeedButton11", "Brejk", true},
        {"SpeedButton21", "CLR", true},
        {"SpeedButton26", "Exportuj do wpt ", false},
        {"SpeedButton10", "Ulož tento wpt súbor do PDA", true},
        {"SpeedButton8", "Zapíš do INI", true},
        {"SpeedButton9", "Vytvor tieto adresáre - PDA musí byť ONLINE!", true},
        {"RadioButton1", "Nemeň veľkosť", true},
        {"RadioButton2", "Ak je obrázok väčší  ako", true},
        {"CheckBox2", "fotky zo \"záhlavia\"/spoiler/", true},
        {"CheckBox3", "Do PC aj fotky kešerov", true},
        {"SpeedButton12", "Načítaj adresár PDA", true},
        {"SpeedButton23", "Hľadaj tu!", true},
        {"SpeedButton20", "Ďalšia stránka", true},
        {"CheckBox5", "Uplatni filter z menu", true},
        {"SpeedButton24", "Pridaj do zoznamu kešiek", false},
        {"SpeedButton15", "Odkódovanie zašifrovaného textu", true},
        {"SpeedButton16", "Vzdialenosť BOD1-BOD2", true},
        {"SpeedButton25", "BOD1+Uhol+vzdialenost=BOD2", true},
        {"SpeedButton14", "Pridaj dáta!", true},
        {"SpeedButton13", "VyhodnotMemo", true},
    };
    for (const Expect& e : buttons) {
      auto* button = Control<QAbstractButton>(window, e.name);
      QVERIFY2(button != nullptr, e.name);
      QCOMPARE(button->text(), QString::fromUtf8(e.caption));
      QVERIFY2(button->isEnabled() == e.enabled, e.name);
    }
    // Checked at start: "sk", "Nemeň veľkosť", the header pictures option.
    QVERIFY(Control<QRadioButton>(window, "RadioGroup1_sk")->isChecked());
    QVERIFY(!Control<QRadioButton>(window, "RadioGroup1_com")->isChecked());
    QVERIFY(Control<QRadioButton>(window, "RadioButton1")->isChecked());
    QVERIFY(!Control<QRadioButton>(window, "RadioButton2")->isChecked());
    QVERIFY(Control<QCheckBox>(window, "CheckBox2")->isChecked());
    QVERIFY(!Control<QCheckBox>(window, "CheckBox3")->isChecked());
    QVERIFY(!Control<QCheckBox>(window, "CheckBox1")->isChecked());
    QVERIFY(!Control<QCheckBox>(window, "CheckBox5")->isChecked());
    QCOMPARE(Control<QGroupBox>(window, "RadioGroup1")->title(), QStringLiteral("Web"));
    QCOMPARE(Control<QGroupBox>(window, "GroupBox1")->title(), QStringLiteral("Šetrenie miestom"));
    // Hidden entry points exist but are not shown.
    for (const char* name : {"SpeedButton17", "SpeedButton14", "SpeedButton13", "SpeedButton27", "SpeedButton19",
                             "ListBox2", "Edit8"}) {
      QWidget* hidden = Control(window, name);
      QVERIFY2(hidden != nullptr, name);
      QVERIFY2(hidden->isHidden(), name);
    }
  }

  void toolbarLabelsAndFields() {
    ScratchHome home;
    ScriptedWindow window;
    auto* open = Control<QToolButton>(window, "ToolButton10");
    QVERIFY(open != nullptr);
    QCOMPARE(open->text(), QStringLiteral("Open GPX"));
    QCOMPARE(open->toolButtonStyle(), Qt::ToolButtonIconOnly);
    QCOMPARE(open->toolTip(), QStringLiteral("Otvor súbor s WPT súradnicami kešiek"));
    QVERIFY(!open->icon().isNull());
    QVERIFY(Control<QToolButton>(window, "ToolButton12") != nullptr);
    auto* login = Control<QLabel>(window, "Label3");
    QCOMPARE(login->text(), QStringLiteral("Na zobrazenie súradníc musíte byť prihlásený !"));
    QVERIFY(login->font().bold());

    const QStringList labels = {"Prihlásenie na web", "Prihlasovacie meno", "Heslo",
                                "Zoznam kešiek na stiahnutie z webu", "Služobná Page",
                                "Cesta v PDA pre WPT s lomítkom na konci",
                                "Hlavný adresár PDA,kde bude program ukladať dáta",
                                "V tomto adresáry ešte musia existovať adresáre HTM a Pictures", "bytov",
                                "tak ho zmenši na  50%", "PDA ", "Funkcie sú dostupné cez pravé tlačítko myšky",
                                "PC disky", "Dvojklikom na mesto stiahnete prvých 20.kešiek z okolia tohto mesta",
                                "Formát Stupne ", "Formát Stupne Minuty", "Bod 1 - Súradnice v stupňoch",
                                "Bod 2 - Súradnice v stupňoch", "Vzdialenost bodov v metroch", "Uhol tam",
                                "Uhol naspať"};
    QStringList shown;
    for (QLabel* label : window.pages()->findChildren<QLabel*>()) shown << label->text();
    for (const QString& text : labels) QVERIFY2(shown.contains(text), qPrintable(text));
    QVERIFY(shown.contains(QStringLiteral(
        "Sem si môžete preneisť cez clipboard \"zakódovaný text\" a program vám ho \"rozkóduje\"")));

    struct Field {
      const char* name;
      const char* text;
      bool readOnly;
    };
    const Field fields[] = {
        {"Edit1", "", false},         {"Edit2", "", false},
        {"Edit4", "\\Storage Card\\OZI_Maps\\WP\\", false},
        {"Edit5", "\\Storage Card\\Geo\\", false},
        {"Edit7", "30000", false},    {"Edit9", "48.123456°", false},
        {"Edit10", "48°07.407'", false}, {"Edit11", "48.0", false},
        {"Edit12", "19.0", false},    {"Edit13", "48.0", false},
        {"Edit14", "18.0", false},    {"Edit15", "", true},
        {"Edit16", "", true},         {"Edit17", "", true},
        {"Edit3", "", false},         {"Edit6", "", false},
    };
    for (const Field& f : fields) {
      auto* edit = Control<QLineEdit>(window, f.name);
      QVERIFY2(edit != nullptr, f.name);
      QCOMPARE(edit->text(), QString::fromUtf8(f.text));
      QVERIFY2(edit->isReadOnly() == f.readOnly, f.name);
    }
    QCOMPARE(Control<QLineEdit>(window, "Edit2")->echoMode(), QLineEdit::Password);
    QVERIFY(Control<QLineEdit>(window, "Edit9")->font().bold());
    QVERIFY(Control<QLineEdit>(window, "Edit10")->font().bold());
    QVERIFY(!Control<QPlainTextEdit>(window, "Memo5")->toPlainText().isEmpty());
  }

  void textAreasListsAndBrowsers() {
    ScratchHome home;
    ScriptedWindow window;
    for (const char* name : {"Memo1", "Memo2", "Memo3"}) {
      auto* memo = Control<QPlainTextEdit>(window, name);
      QVERIFY2(memo != nullptr, name);
      QCOMPARE(memo->lineWrapMode(), QPlainTextEdit::NoWrap);
    }
    QCOMPARE(Control<QPlainTextEdit>(window, "Memo5")->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    auto* about = Control<QTextEdit>(window, "RichEdit1");
    QVERIFY(about != nullptr);
    QCOMPARE(about->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    auto* lists = Control<QTabWidget>(window, "PageControl2");
    QCOMPARE(lists->count(), 3);
    QCOMPARE(lists->tabText(0), QStringLiteral("Podľa názvov"));
    QCOMPARE(lists->tabText(1), QStringLiteral("Podľa GCxxxx"));
    QCOMPARE(lists->tabText(2), QStringLiteral("GPS"));
    for (const char* name : {"CheckListBox1", "CheckListBox2", "CheckListBox3", "ListBox1", "WebBrowser1",
                             "WebBrowser2", "DirectoryListBox1", "DriveComboBox1", "Image1", "Image4"}) {
      QVERIFY2(Control(window, name) != nullptr, name);
    }
  }

  void statusBarsAndProgressBars() {
    ScratchHome home;
    ScriptedWindow window;
    auto* bar1 = Control<PanelBar>(window, "StatusBar1");
    QVERIFY(bar1 != nullptr);
    QCOMPARE(bar1->panelCount(), 5);
    const int widths[] = {104, 50, 50, 200, 150};
    for (int i = 0; i < 5; ++i) QCOMPARE(bar1->panelWidth(i), widths[i]);
    QCOMPARE(bar1->panelText(3), QStringLiteral("->PDA"));
    QCOMPARE(bar1->panelText(2), QString());
    // The device state is read whole in its panel, whatever the font.
    bar1->setPanelText(2, QStringLiteral("PDA OFF"));
    QFrame* panel = bar1->panel(2);
    const auto* label = panel->findChild<QLabel*>();
    QVERIFY(panel->minimumWidth() - 2 * panel->frameWidth() - 6 >= label->fontMetrics().horizontalAdvance(QStringLiteral("PDA OFF")));
    auto* bar6 = Control<PanelBar>(window, "StatusBar6");
    QCOMPARE(bar6->panelCount(), 2);
    QCOMPARE(bar6->panelWidth(0), 60);
    QCOMPARE(bar6->panelWidth(1), 50);
    for (const char* name : {"StatusBar2", "StatusBar3", "StatusBar4", "StatusBar5"}) {
      QVERIFY2(Control<PanelBar>(window, name) != nullptr, name);
    }
    QCOMPARE(Control<PanelBar>(window, "StatusBar2")->panelCount(), 3);
    QCOMPARE(Control<PanelBar>(window, "StatusBar4")->panelCount(), 3);
    for (const char* name : {"ProgressBar1", "ProgressBar2", "ProgressBar3"}) {
      auto* bar = Control<QProgressBar>(window, name);
      QVERIFY2(bar != nullptr, name);
      QCOMPARE(bar->minimum(), 0);
      QCOMPARE(bar->maximum(), 100);
    }
  }

  void fileGridsHaveTheirColumns() {
    ScratchHome home;
    ScriptedWindow window;
    auto* device = Control<FileGrid>(window, "StringPDA");
    auto* pc = Control<FileGrid>(window, "StringPC");
    QVERIFY(device && pc);
    // The designed widths, widened where this font makes a caption wider ("Attr").
    const auto fits = [](FileGrid* grid, int c, int designed) {
      const QString caption = grid->horizontalHeaderItem(c)->text();
      const int text = QFontMetrics(grid->horizontalHeader()->font()).horizontalAdvance(caption);
      return grid->columnWidth(c) >= designed && grid->columnWidth(c) > text;
    };
    const int deviceWidths[] = {160, 64, 127, 10};
    for (int c = 0; c < 4; ++c) {
      QVERIFY2(fits(device, c, deviceWidths[c]), qPrintable(device->horizontalHeaderItem(c)->text()));
      QVERIFY(!device->isColumnHidden(c));
    }
    QCOMPARE(device->columnWidth(0), 160);
    QVERIFY(device->isColumnHidden(4));
    const int pcWidths[] = {160, 55, 132};
    for (int c = 0; c < 3; ++c) QVERIFY2(fits(pc, c, pcWidths[c]), qPrintable(pc->horizontalHeaderItem(c)->text()));
    QVERIFY(pc->isColumnHidden(3));
    QVERIFY(pc->isColumnHidden(4));
    QCOMPARE(device->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(device->verticalHeader()->defaultSectionSize(), 18);

    // The core's rows: the header row becomes the column headers.
    device->setRows({{"Názov súboru", "Veľkosť", "Dátum a čas", "Attr", ""}, {"..", "<DIR>", "", "", ""},
                     {"a.txt", "12", "2024.01.02 03:04:05", "32", ""}});
    QCOMPARE(device->horizontalHeaderItem(0)->text(), QStringLiteral("Názov súboru"));
    QCOMPARE(device->rowCount(), 2);
    QCOMPARE(device->item(1, 0)->text(), QStringLiteral("a.txt"));
    device->selectCoreRows({2});
    QCOMPARE(device->selectedCoreRows(), std::vector<int>{2});

    // Sorted by date: a green frame round the date header, white round the name's.
    window.show();
    window.pages()->setCurrentWidget(window.managerTab());
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    device->setSortModes(0, 2);
    QHeaderView* header = device->horizontalHeader();
    const QImage shot = header->grab().toImage();
    const int middle = shot.height() / 2;
    const int dateLeft = header->sectionViewportPosition(2);
    const int dateRight = dateLeft + header->sectionSize(2) - 1;
    QCOMPARE(shot.pixelColor(dateLeft, middle), QColor(0, 128, 0));
    QCOMPARE(shot.pixelColor(dateRight, middle), QColor(0, 128, 0));
    QCOMPARE(shot.pixelColor(dateLeft + 20, 0), QColor(0, 128, 0));
    QCOMPARE(shot.pixelColor(0, middle), QColor(Qt::white));
  }

  void menuBarItems() {
    ScratchHome home;
    ScriptedWindow window;
    const MainMenu& m = window.menu();
    QCOMPARE(m.subor->title(), QStringLiteral("Súbor"));
    QCOMPARE(m.otvorWpt->text(), QStringLiteral("Otvor WPT súbor"));
    QCOMPARE(m.funkcieManazera->title(), QStringLiteral("Funkcie manažéra"));
    QStringList sub;
    for (QAction* a : m.funkcieManazera->actions()) sub << a->text();
    QCOMPARE(sub, (QStringList{"Kopirovanie označených súborov do PDA", "Otvor file v asociovanom programe",
                               "Kopirovanie označených súborov do PC",
                               "Vymazanie označených súborov,adresárov v PDA", "Vytvor adresár v PDA"}));
    QCOMPARE(m.koniec->text(), QStringLiteral("Koniec programu"));
    QCOMPARE(m.filtre->title(), QStringLiteral("Filtre"));
    QCOMPARE(m.typKesky->title(), QStringLiteral("Typ kešky"));
    QCOMPARE(m.vsetky->text(), QStringLiteral("Všetky"));
    const QStringList types = {"Tradičná", "Multi", "Záhadná", "Webkamera", "Stretávka", "Ostatné"};
    for (int i = 0; i < 6; ++i) {
      QCOMPARE(m.types[i]->text(), types.at(i));
      QVERIFY(m.types[i]->isCheckable());
      QVERIFY(m.types[i]->isChecked());
    }
    // Opening "Funkcie manažéra" brings the manager tab to the front.
    emit m.funkcieManazera->aboutToShow();
    QCOMPARE(window.pages()->currentIndex(), 5);
  }

  void popupMenusOfTheGrids() {
    ScratchHome home;
    ScriptedWindow window;
    auto captions = [&](const char* name) {
      QStringList out;
      for (QAction* a : window.pages()->findChild<QMenu*>(QString::fromLatin1(name))->actions()) out << a->text();
      return out;
    };
    QCOMPARE(captions("PopupMenu1"), (QStringList{"Kopirovanie označených súborov do PDA",
                                                  "Otvor file v asociovanom programe", "Refreš"}));
    QCOMPARE(captions("PopupMenu2"),
             (QStringList{"Kopirovanie označených súborov do PC", "Vymazanie označených súborov,adresárov",
                          "Vytvor adresár", "Refreš"}));
  }

  void confirmationDialogIsHiddenWithItsParts() {
    ScratchHome home;
    ScriptedWindow window;
    TPotvrd* dialog = window.potvrd();
    QVERIFY(dialog != nullptr);
    QVERIFY(dialog->isHidden());
    QCOMPARE(dialog->size(), QSize(413, 213));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Súhlasíte?"));
    QCOMPARE(dialog->label1()->text(), QStringLiteral("Kopírovať súbor :"));
    QCOMPARE(dialog->label2()->text(), QStringLiteral("sem ?"));
    QCOMPARE(dialog->edit1()->text(), QStringLiteral("Edit1"));
    QVERIFY(dialog->edit1()->isReadOnly());
    QCOMPARE(dialog->edit2()->text(), QStringLiteral("Edit2"));
    QVERIFY(!dialog->edit2()->isReadOnly());
    QCOMPARE(dialog->checkBox1()->text(), QStringLiteral("Už sa nepýtaj"));
    QCOMPARE(dialog->yes()->objectName(), QStringLiteral("BitBtn1"));
    QCOMPARE(dialog->no()->objectName(), QStringLiteral("BitBtn2"));
    // Yes consents; No and closing refuse.
    QTimer::singleShot(0, dialog->yes(), &QPushButton::click);
    QVERIFY(dialog->ask());
    QTimer::singleShot(0, dialog->no(), &QPushButton::click);
    QVERIFY(!dialog->ask());
    QTimer::singleShot(0, dialog, &QDialog::close);
    QVERIFY(!dialog->ask());
  }
};

QTEST_MAIN(LayoutTest)
#include "layout_test.moc"
