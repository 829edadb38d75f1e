// The file manager tab: the PC pane follows the folder tree, rows get the
// core's icons, header clicks sort, a double click opens a folder, and the
// confirmation dialog carries the command's contents both ways.

#include <QDir>
#include <QFile>
#include <QTimer>

#include "gui/file_grid.h"
#include "gui/icons.h"
#include "gui/potvrd.h"
#include "gui/tab_manager.h"
#include "gui/widgets.h"
#include "gui_test_support.h"

using namespace trovik;
using namespace trovik::gui;
using namespace trovik::gui::testing;

namespace {

void Touch(const QString& path) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write("x");
}

QStringList Names(FileGrid* grid) {
  QStringList out;
  for (int r = 0; r < grid->rowCount(); ++r) out << grid->item(r, 0)->text();
  return out;
}

}  // namespace

class ManagerTest : public QObject {
  Q_OBJECT

 private slots:
  void pcPaneListsTheTreeFolderWithIconsAndSorts() {
    ScratchHome home;
    QDir dir(home.path());
    QVERIFY(dir.mkpath(QStringLiteral("box/sub")));
    Touch(home.file(QStringLiteral("box/b.txt")));
    Touch(home.file(QStringLiteral("box/a.zip")));
    ScriptedWindow window;
    TabManager* tab = window.managerTab();
    QVERIFY(tab->setTreeFolder(home.file(QStringLiteral("box"))));
    FileGrid* pc = tab->pcGrid();
    // "..", then the folder, then the files by name.
    QCOMPARE(Names(pc), (QStringList{"..", "sub", "a.zip", "b.txt"}));
    QCOMPARE(Control<PanelBar>(window, "StatusBar5")->panelText(0), home.file(QStringLiteral("box")));
    QVERIFY(Control<PanelBar>(window, "StatusBar4")->panelText(1).contains(QLatin1Char('2')));
    QCOMPARE(pc->rowIcon(1), static_cast<int>(kImgFolder));
    QCOMPARE(pc->rowIcon(2), static_cast<int>(kImgFolder));
    QCOMPARE(pc->rowIcon(3), static_cast<int>(kImgArchive));
    QCOMPARE(pc->rowIcon(4), static_cast<int>(kImgText));

    // A click on the name header reverses the order; folders stay first.
    emit pc->cellPressed(0, 0, Qt::LeftButton, QPoint());
    emit pc->mouseReleased();
    QCOMPARE(pc->nameSortMode(), 2);
    QCOMPARE(Names(pc), (QStringList{"..", "sub", "b.txt", "a.zip"}));
    // The size header sorts nothing.
    emit pc->cellPressed(0, 1, Qt::LeftButton, QPoint());
    emit pc->mouseReleased();
    QCOMPARE(pc->nameSortMode(), 2);

    // A double click on a folder row opens it; on a file row nothing happens.
    emit pc->cellDoubleClicked(3, 0);
    QCOMPARE(Control<PanelBar>(window, "StatusBar5")->panelText(0), home.file(QStringLiteral("box")));
    emit pc->cellDoubleClicked(2, 0);
    QCOMPARE(Control<PanelBar>(window, "StatusBar5")->panelText(0), home.file(QStringLiteral("box/sub")));
    QCOMPARE(Names(pc), (QStringList{".."}));
  }

  void deviceCommandsWithoutADeviceKeepTheTwoRows() {
    ScratchHome home;
    qputenv("TROVIK_RAPI", QByteArray(home.file(QStringLiteral("no-such-library.so")).toUtf8()));
    ScriptedWindow window;
    window.activateOnce();
    window.deviceLink().connectTimeoutMs = 200;
    Control<QPushButton>(window, "SpeedButton12")->click();
    FileGrid* device = window.managerTab()->deviceGrid();
    QCOMPARE(Names(device), (QStringList{".."}));
    QVERIFY(!Control<QCheckBox>(window, "CheckBox1")->isEnabled());
    qunsetenv("TROVIK_RAPI");
  }

  void confirmationCarriesTheContentsBothWays() {
    ScratchHome home;
    ScriptedWindow window;
    window.move(100, 80);
    PotvrdConfirm confirm(window.potvrd(), &window);
    device::ConfirmDialog contents;
    contents.label1 = "Kop\xEDrova\x9D s\xFA" "bor";
    contents.edit1 = "/pc/a.txt";
    contents.label2 = "sem ?";
    contents.edit2 = "\\Storage Card\\a.txt";
    // Seen while the dialog is up; checked once it is closed again.
    QString label1, edit1;
    QPoint offset;
    QTimer::singleShot(0, [&] {
      TPotvrd* d = window.potvrd();
      label1 = d->label1()->text();
      edit1 = d->edit1()->text();
      offset = d->pos() - window.pos();
      d->edit2()->setText(QStringLiteral("\\Storage Card\\b.txt"));
      d->checkBox1()->setChecked(true);
      d->yes()->click();
    });
    QVERIFY(confirm.Ask(contents));
    QCOMPARE(label1, QStringLiteral("Kopírovať súbor"));
    QCOMPARE(edit1, QStringLiteral("/pc/a.txt"));
    // 10 pixels right of and below the window's corner (frames aside).
    QVERIFY2(qAbs(offset.x() - 10) <= 4 && qAbs(offset.y() - 10) <= 4, qPrintable(QString::number(offset.x())));
    QCOMPARE(contents.edit2, std::string("\\Storage Card\\b.txt"));
    QVERIFY(contents.dontAsk);

    // The create-folder form hides Edit1 and Label2 while it asks.
    device::ConfirmDialog folder;
    folder.label1 = "Do edita\xE8n\xE9ho okna zadajte n\xE1zov adres\xE1ra";
    folder.edit1Visible = false;
    folder.label2Visible = false;
    folder.edit2 = "Nov\xFD adres\xE1r";
    bool edit1Hidden = false, label2Hidden = false;
    QString edit2;
    QTimer::singleShot(0, [&] {
      TPotvrd* d = window.potvrd();
      edit1Hidden = d->edit1()->isHidden();
      label2Hidden = d->label2()->isHidden();
      edit2 = d->edit2()->text();
      d->no()->click();
    });
    QVERIFY(!confirm.Ask(folder));
    QVERIFY(edit1Hidden);
    QVERIFY(label2Hidden);
    QCOMPARE(edit2, QStringLiteral("Nový adresár"));
    QVERIFY(!window.potvrd()->edit1()->isHidden());
  }
};

QTEST_MAIN(ManagerTest)
#include "manager_test.moc"
