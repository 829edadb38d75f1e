// Listing requests and the main browser's page capture.
#include <exception>

#include "base/error.h"
#include "base/files.h"
#include "site/site_client.h"
#include "text/text.h"
#include "tools/coords.h"

namespace trovik::site {

const std::string& LoginLabelInitial() {
  static const std::string text = "Na zobrazenie súradníc musíte byť prihlásený !"_1250.bytes();
  return text;
}

const std::string& LoginLabelLoggedIn() {
  static const std::string text = "Ste prihlásený ako užívateľ s menom "_1250.bytes();
  return text;
}

const std::string& LoggedInMarker(Site site) {
  static const std::string sk = "odhlásiť"_1250.bytes();
  static const std::string com = "you are logged";
  return site == Site::Sk ? sk : com;
}

SiteState::SiteState() : loginLabel(LoginLabelInitial()) {}

std::string ListingAddress(Site site, const SiteAddresses& addresses, const std::string& code) {
  if (site == Site::Sk) return addresses.sk + "/hladaj.php?query=" + code;
  return addresses.com + "/seek/cache_details.aspx?wp=" + code + "&Submit6=Go";
}

std::string SafeFileName(const std::string& name) {
  std::string out = name;
  for (char& ch : out)
    if (ch == '/' || ch == ':' || ch == ';' || ch == '?' || ch == '\\') ch = '_';
  return out;
}

void SpeedButton4Click(SiteContext& c) {
  const int count = c.caches.count();
  for (int i = 0; i < count; ++i) {
    if (i != c.caches.itemIndex) continue;  // the one selected entry
    if (i >= static_cast<int>(c.caches.codes.size())) break;
    c.state.pageName = SafeFileName(c.caches.names[i]);
    const std::string address = ListingAddress(c.fields.site, c.fields.addresses, c.caches.codes[i]);
    if (c.fields.site == Site::Sk) {
      c.flags.pageDone = false;
      c.browser.Navigate(address);
      while (!c.flags.pageDone && !c.flags.shutDown) {
        c.host.processMessages();
        c.host.sleepMs(100);
      }
      c.host.processMessages();
    } else {
      // The international listing is captured when it completes; no wait.
      c.flags.pageDone = false;
      c.browser.Navigate(address);
    }
  }
}

void CheckListBox1DblClick(SiteContext& c) { SpeedButton4Click(c); }

namespace {

// The national listing prints the cache's coordinates in <BIG><STRONG>; they
// fill the current entry's position when the nearby search left it "?".
void CaptureCoordinates(SiteContext& c, const std::string& line) {
  const int p = text::Pos("<BIG><STRONG>", line);
  if (p == 0) return;
  const int q = text::Pos("</STRONG>", line);
  const std::string coords = text::Copy(line, p + 14, q - p - 14);
  const int index = c.caches.itemIndex;
  if (index < 0 || index >= static_cast<int>(c.caches.positions.size())) return;
  if (c.caches.positions[index] != waypoints::kPositionUnknown) return;
  c.caches.positions[index] = tools::ListingCoordsToDeg(coords);
  c.exportButtonEnabled = true;
}

}  // namespace

void WebBrowser1DocumentComplete(SiteContext& c) {
  std::vector<std::string> errors;
  try {
    c.memo1 = text::SplitLines(c.browser.BodyHtml());
  } catch (const Error& e) {
    // An unreadable document: nothing captured, but the wait still ends.
    c.memo1.clear();
    errors.push_back(e.text());
  }
  try {
    files::WriteLinesCrLf(files::PcPath(c.htmFolder + "getrawhtm.htm"), c.memo1);
  } catch (const Error& e) {
    errors.push_back(e.text());
  }
  if (c.fields.site == Site::Sk) {
    for (const std::string& line : c.memo1) {
      try {
        CaptureCoordinates(c, line);
      } catch (const Error& e) {
        errors.push_back(e.text());
      }
    }
  }
  DetectLogin(c);
  c.flags.pageDone = true;
  c.host.stateChanged();
  for (const std::string& text : errors) c.host.showMessage(text);
  c.host.sleepMs(500);
}

void WebBrowser1ProgressChange(SiteContext& c, int progress, int maximum) {
  c.state.progressMax = maximum;
  c.state.progress = progress;
  c.host.stateChanged();
}

void ConnectMainBrowser(SiteContext& c) {
  // The context must outlive the browser's use of these callbacks.
  SiteContext* context = &c;
  c.browser.onDocumentComplete = [context] { WebBrowser1DocumentComplete(*context); };
  c.browser.onProgressChange = [context](int progress, int maximum) {
    WebBrowser1ProgressChange(*context, progress, maximum);
  };
}

}  // namespace trovik::site
