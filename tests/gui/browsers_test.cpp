// The window with its real browsers, offscreen: both views sit in their
// places, and a page loaded in the main browser is captured into "HTML".

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QElapsedTimer>
#include <QWebEngineView>

#include "gui_test_support.h"
#include "webengine/web_browser.h"

using namespace trovik;
using namespace trovik::gui;
using namespace trovik::gui::testing;

class BrowsersTest : public QObject {
  Q_OBJECT

 public:
  explicit BrowsersTest(ScratchHome& home) : home_(home) {}

 private slots:
  void viewsAreEmbeddedAndPagesCaptured() {
    ScratchHome& home = home_;
    {
      QFile page(home.file(QStringLiteral("page.html")));
      QVERIFY(page.open(QIODevice::WriteOnly));
      page.write("<html><body><p><big><strong> N 48\xC2\xB0" "35.218' E 017\xC2\xB0" "50.628'</strong></big></p>"
                 "<a href=\"x\">odhl\xC3\xA1si\xC5\xA5</a></body></html>");
    }
    TForm1 window;
    window.show();
    QWidget* host1 = Control(window, "WebBrowser1");
    QWidget* host2 = Control(window, "WebBrowser2");
    QVERIFY(host1->findChild<QWebEngineView*>() != nullptr);
    QVERIFY(host2->findChild<QWebEngineView*>() != nullptr);

    // Through the listing request's own path: the capture fills Memo1 and sees the login marker.
    auto* memo1 = Control<QPlainTextEdit>(window, "Memo1");
    window.state().flags.pageDone = false;
    auto* view = host1->findChild<QWebEngineView*>();
    view->load(QUrl::fromLocalFile(home.file(QStringLiteral("page.html"))));
    QElapsedTimer clock;
    clock.start();
    while (!window.state().flags.pageDone && clock.elapsed() < 60000) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    QVERIFY(window.state().flags.pageDone);
    QVERIFY2(memo1->toPlainText().contains(QStringLiteral("<BIG><STRONG>")), qPrintable(memo1->toPlainText()));
    QVERIFY(window.state().flags.loggedIn);
    QVERIFY(Control<QLabel>(window, "Label3")->text().startsWith(QStringLiteral("Ste prihlásený")));
    QVERIFY(QFile::exists(home.file(QStringLiteral("HTM/getrawhtm.htm"))));
  }

 private:
  ScratchHome& home_;
};

int main(int argc, char** argv) {
  trovik::webengine::PrepareEnvironment(/*offscreen=*/true);
  // The engine writes its profile until it shuts down with the application,
  // so the program folder outlives the application object.
  ScratchHome home;
  QApplication app(argc, argv);
  BrowsersTest test(home);
  return QTest::qExec(&test, argc, argv);
}

#include "browsers_test.moc"
