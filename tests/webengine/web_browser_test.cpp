// The QtWebEngine adapter on real pages, offscreen.
#include <gtest/gtest.h>

#include <httplib.h>

#include <QElapsedTimer>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "base/error.h"
#include "engine_rig.h"
#include "text/text.h"

namespace trovik::testing {
namespace {

std::string Page(const std::string& bodyUtf8) {
  return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>t</title></head><body>" + bodyUtf8 +
         "</body></html>";
}

TEST(WebEngineBrowser, EngineBodyComesOutInTheOldStyle) {
  EngineRig rig;
  const std::string path = rig.dir.write(
      "p.htm", Page("<form id=\"Form1\" action=\"go.php?a=1&amp;b=2\"><input type=\"checkbox\" checked>"
                    "<table><tr><td nowrap width=\"50%\">x &amp; y&nbsp;z</td></tr></table></form>\n"
                    "<p>Ko\xC5\xA1ice <b><i>pod</i> most</b><!-- pozn --></p>\r\n"
                    "<img src=\"pic.png\"><br>\n"
                    "<script language=\"javascript\">var s = 1 < 2 && 3 > 2;</script>"));
  ASSERT_TRUE(rig.load("file://" + path));
  const std::string body = rig.browser->BodyHtml();
  EXPECT_EQ(body,
            "<FORM id=Form1 action=\"go.php?a=1&amp;b=2\"><INPUT type=checkbox checked>"
            "<TABLE><TBODY><TR><TD nowrap width=\"50%\">x &amp; y&nbsp;z</TD></TR></TBODY></TABLE></FORM>\r\n"
            "<P>Ko\x9A" "ice <B><I>pod</I> most</B><!-- pozn --></P>\r\n"
            "<IMG src=\"pic.png\"><BR>\r\n"
            "<SCRIPT language=javascript>var s = 1 < 2 && 3 > 2;</SCRIPT>");
}

TEST(WebEngineBrowser, OldStyleBodyRoundTripsThroughTheEngine) {
  EngineRig rig;
  const std::string body1250 =
      "<FORM id=Form1 method=post action=\"cache_details.aspx?wp=GC1A2B3\">\r\n"
      "<TABLE class=\"Table main\" cellspacing=0>\r\n<TBODY>\r\n<TR>\r\n"
      "<TD><BIG><STRONG> N 48\xB0" "24.072' E 018\xB0" "22.326'</STRONG></BIG></TD></TR></TBODY></TABLE>\r\n"
      "<P>Star\xFD mlyn pri \x9E" "elezni\xE8i &amp; potoku&nbsp;&lt;3 \"\x9A" "ed\xFD\"</P>\r\n"
      "[<A href=\"hladaj.php?query=GC1A2B3&amp;decrypt=y\">De\xE8ifruj</A>]<BR>\r\n"
      "<IMG src=\"http://127.0.0.1:1/img/cache/a.jpg\" border=0><HR>\r\n"
      "<SELECT name=s><OPTION selected value=\"\">-</OPTION></SELECT>\r\n"
      "</FORM>\r\n"
      "<SCRIPT language=javascript>\r\nvar t = \"<b>\" + (1 < 2);\r\n</SCRIPT>\r\n";
  const std::string path = rig.dir.write("r.htm", Page(text::Cp1250ToUtf8(body1250)));
  ASSERT_TRUE(rig.load("file://" + path));
  EXPECT_EQ(rig.browser->BodyHtml(), body1250);
}

TEST(WebEngineBrowser, ElementsByNameOrIdFirstInDocumentOrder) {
  EngineRig rig;
  const std::string path = rig.dir.write(
      "f.htm", Page("<input id=\"user\" value=\"\"><input name=\"user\" value=\"second\">"
                    "<div id=\"note\">old</div><div id=\"out\"></div>"
                    "<button name=\"go\" onclick=\"document.getElementById('out').textContent="
                    "document.getElementsByTagName('input')[0].value + '|' + "
                    "document.getElementsByTagName('input')[1].value\">go</button>"));
  ASSERT_TRUE(rig.load("file://" + path));
  rig.browser->SetElementText("user", "\x8Eo\x9Eo \"q\"");  // "Žožo" in 1250, with quotes
  rig.browser->SetElementText("note", "new");
  rig.browser->ClickElement("go");
  const std::string body = rig.browser->BodyHtml();
  EXPECT_NE(body.find("<DIV id=note>new</DIV>"), std::string::npos) << body;
  EXPECT_NE(body.find("<DIV id=out>\x8Eo\x9Eo \"q\"|second</DIV>"), std::string::npos) << body;
  EXPECT_THROW(rig.browser->SetElementText("nobody", "x"), Error);
  EXPECT_THROW(rig.browser->ClickElement("nobody"), Error);
}

TEST(WebEngineBrowser, PicturesAndLinksAreFullAddresses) {
  EngineRig rig;
  const std::string path =
      rig.dir.write("l.htm", Page("<img src=\"pic a.png\"><a href=\"sub/x.htm\">x</a><img src=\"http://h/i.gif\">"
                                  "<a name=\"anchor\">no link</a><map><area href=\"/m.htm\"></map>"));
  ASSERT_TRUE(rig.load("file://" + path));
  const std::string folder = "file://" + rig.dir.path();
  EXPECT_EQ(rig.browser->Pictures(), (std::vector<std::string>{folder + "pic%20a.png", "http://h/i.gif"}));
  EXPECT_EQ(rig.browser->Links(), (std::vector<std::string>{folder + "sub/x.htm", "file:///m.htm"}));
}

TEST(WebEngineBrowser, JavaScriptAddressRunsInTheLoadedPage) {
  EngineRig rig;
  const std::string path = rig.dir.write(
      "j.htm", Page("<script>function mark(t){document.getElementById('o').textContent=t;}</script><p id=\"o\">-</p>"));
  ASSERT_TRUE(rig.load("file://" + path));
  int completes = 0;
  rig.browser->onDocumentComplete = [&] { ++completes; };
  rig.browser->Navigate("javascript:mark('done%21')");
  EXPECT_TRUE(rig.pumpUntil([&] { return rig.browser->BodyHtml().find("<P id=o>done!</P>") != std::string::npos; }));
  EXPECT_EQ(completes, 0);
  EXPECT_FALSE(rig.browser->Busy());
}

// Answers every address with one page and keeps the request targets as received.
class RecordingSite {
 public:
  RecordingSite() {
    server_.Get(".*", [this](const httplib::Request& req, httplib::Response& res) {
      if (req.path == "/favicon.ico") {
        res.status = 404;
        return;
      }
      std::lock_guard<std::mutex> lock(mutex_);
      targets_.push_back(req.target);
      res.set_content(Page("<p>prihl\xC3\xA1senie</p>"), "text/html; charset=utf-8");
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ~RecordingSite() {
    server_.stop();
    thread_.join();
  }
  std::string base() const { return "http://127.0.0.1:" + std::to_string(port_); }
  std::vector<std::string> targets() {
    std::lock_guard<std::mutex> lock(mutex_);
    return targets_;
  }

 private:
  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
  std::mutex mutex_;
  std::vector<std::string> targets_;
};

TEST(WebEngineBrowser, AddressReachesTheSiteAsWrittenWithOneCompletion) {
  RecordingSite site;
  EngineRig rig;
  int completes = 0;
  rig.browser->onDocumentComplete = [&] { ++completes; };
  // Lower-case escapes, as the international login writes its return address.
  const std::string login = "/login/default.aspx?RESET=Y&redir=http%3a%2f%2fsite.example%2fDefault.aspx";
  rig.browser->Navigate(site.base() + login);
  ASSERT_TRUE(rig.pumpUntil([&] { return completes > 0; }));
  EXPECT_FALSE(rig.browser->Busy());
  EXPECT_EQ(rig.browser->BodyHtml(), "<P>prihl\xE1senie</P>");
  rig.pumpUntil([] { return false; }, 500);  // a second completion would come by now
  EXPECT_EQ(completes, 1);
  // The same in upper case and plain addresses take the ordinary road.
  const std::string upper = "/seek/nearest.aspx?origin=%3A%2F";
  ASSERT_TRUE(rig.load(site.base() + upper));
  ASSERT_TRUE(rig.load(site.base() + "/index.php"));
  EXPECT_EQ(site.targets(), (std::vector<std::string>{login, upper, "/index.php"}));
}

TEST(WebEngineBrowser, CompletionAndProgressArriveFromThePump) {
  EngineRig rig;
  const std::string path = rig.dir.write("b.htm", Page("<p>b</p>"));
  int completes = 0;
  std::vector<std::pair<int, int>> progress;
  rig.browser->onDocumentComplete = [&] { ++completes; };
  rig.browser->onProgressChange = [&](int p, int m) { progress.emplace_back(p, m); };
  rig.browser->Navigate("file://" + path);
  EXPECT_TRUE(rig.browser->Busy());  // at once, before the engine starts
  EXPECT_EQ(completes, 0);
  ASSERT_TRUE(rig.pumpUntil([&] { return completes > 0; }));
  EXPECT_FALSE(rig.browser->Busy());
  ASSERT_FALSE(progress.empty());
  EXPECT_EQ(progress.back(), std::make_pair(100, 100));
  for (auto& p : progress) EXPECT_EQ(p.second, 100);
}

TEST(WebEngineBrowser, FailedLoadStillCompletesAndStopEndsBusy) {
  EngineRig rig;
  ASSERT_TRUE(rig.load("http://127.0.0.1:1/nothing"));  // the engine's error page
  EXPECT_FALSE(rig.browser->Busy());

  const std::string path = rig.dir.write("s.htm", Page("<p>s</p>"));
  rig.browser->Navigate("file://" + path);
  rig.browser->Stop();
  EXPECT_FALSE(rig.browser->Busy());
}

TEST(WebEngineBrowser, AHungPageMakesCallsFailInsteadOfHanging) {
  EngineRig rig;
  const std::string path = rig.dir.write("h.htm", Page("<p>h</p>"));
  ASSERT_TRUE(rig.load("file://" + path));
  rig.browser->setCallTimeoutMs(1500);
  rig.browser->Navigate("javascript:for(;;){}");
  QElapsedTimer timer;
  timer.start();
  EXPECT_THROW(rig.browser->BodyHtml(), Error);
  EXPECT_THROW(rig.browser->Pictures(), Error);
  EXPECT_LT(timer.elapsed(), 10000);
}

TEST(WebEngineBrowser, TheEngineWorksDuringThePausesOfAWait) {
  EngineRig rig;
  // A wait whose pumping brings nothing: the page can come only in the pauses.
  struct PausesOnly : QtHost {
    void processMessages() override {}
  } host;
  const std::string path = rig.dir.write("w.htm", Page("<p>w</p>"));
  bool done = false;
  rig.browser->onDocumentComplete = [&] { done = true; };
  rig.browser->Navigate("file://" + path);
  for (int pauses = 0; !done && pauses < 300; ++pauses) {
    host.processMessages();
    host.sleepMs(100);
  }
  rig.browser->onDocumentComplete = nullptr;
  EXPECT_TRUE(done);
  // A pause still lasts what it was asked, events or not.
  QElapsedTimer timer;
  timer.start();
  host.sleepMs(300);
  EXPECT_GE(timer.elapsed(), 299);
  // The capture's pause inside the handler of a completion that arrived in
  // a wait's pause: the wait goes on as soon as the handler returns, not at
  // the engine's next event.
  for (int round = 0; round < 3; ++round) {
    done = false;
    qint64 handled = -1;
    rig.browser->onDocumentComplete = [&] {
      host.sleepMs(500);
      handled = timer.elapsed();
      done = true;
    };
    timer.restart();
    rig.browser->Navigate("file://" + path);
    for (int pauses = 0; !done && pauses < 300; ++pauses) {
      host.processMessages();
      host.sleepMs(100);
    }
    rig.browser->onDocumentComplete = nullptr;
    ASSERT_TRUE(done);
    EXPECT_LT(timer.elapsed() - handled, 1000) << "round " << round;
  }
}

TEST(WebEngineBrowser, FileAddressWith1250Name) {
  EngineRig rig;
  rig.dir.write("\xC5\xBE" "aba.htm", Page("<p>\xC5\xBE</p>"));  // "žaba.htm" on disk
  ASSERT_TRUE(rig.load("file://" + rig.dir.path() + "\x9E" "aba.htm"));
  EXPECT_EQ(rig.browser->BodyHtml(), "<P>\x9E</P>");
}

}  // namespace
}  // namespace trovik::testing
