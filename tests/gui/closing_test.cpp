// Closing the window while a command pauses: the pause runs the window's
// events (so the close is seen at all), ends at once, and the shut-down
// settings are written.

#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include "gui_test_support.h"

using namespace trovik;
using namespace trovik::gui;
using namespace trovik::gui::testing;

class ClosingTest : public QObject {
  Q_OBJECT

 private slots:
  void pausesRunEventsAndEndWhenTheWindowCloses() {
    ScratchHome home;
    ScriptedWindow window;
    window.host().messageHook = [](const QString&) {};
    window.activateOnce();

    // An event due during a pause runs in it; the pause still lasts.
    bool fired = false;
    QTimer::singleShot(20, &window, [&] { fired = true; });
    QElapsedTimer clock;
    clock.start();
    window.host().sleepMs(300);
    QVERIFY(fired);
    QVERIFY(clock.elapsed() >= 299);

    // The close box during a long pause of a command ("Brejk" never comes).
    bool returned = false;
    QTimer::singleShot(200, &window, &QWidget::close);
    clock.restart();
    window.dispatcher().run([&] {
      window.host().sleepMs(60000);
      window.host().sleepMs(60000);  // a later pause of the same command ends too
      returned = true;
    });
    QVERIFY(returned);
    QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(window.state().flags.shutDown);
    QFile ini(home.file(QStringLiteral("Trovik.ini")));
    QVERIFY(ini.open(QIODevice::ReadOnly));
    const QByteArray text = ini.readAll();
    QVERIFY(text.contains("[LastCesty]"));
    QVERIFY(text.contains("[LastWPT]"));
  }
};

QTEST_MAIN(ClosingTest)
#include "closing_test.moc"
