// "Prihlás!": the site's own login form filled in the main browser.
#include "base/error.h"
#include "base/profile.h"
#include "site/site_client.h"
#include "text/text.h"

namespace trovik::site {
namespace {

// The start page address as the international login page wants it in redir.
std::string EncodeRedirect(const std::string& address) {
  std::string out;
  for (char ch : address) {
    if (ch == ':')
      out += "%3a";
    else if (ch == '/')
      out += "%2f";
    else
      out += ch;
  }
  return out;
}

}  // namespace

std::string LoginAddress(Site site, const SiteAddresses& addresses) {
  if (site == Site::Sk) return addresses.sk + "/index.php";
  return addresses.com + "/login/default.aspx?RESET=Y&redir=" + EncodeRedirect(addresses.com + "/Default.aspx");
}

LoginElements LoginElementsOf(Site site) {
  if (site == Site::Sk) return {"username", "password", "login-b"};
  return {"myusername", "mypassword", "Button1"};
}

void WaitForLoad(SiteContext& c) {
  while (c.browser.Busy() || !c.flags.pageDone) {
    c.host.processMessages();
    c.host.sleepMs(100);
  }
}

void SpeedButton5Click(SiteContext& c) {
  c.browser.Stop();
  const Site site = c.fields.site;
  const LoginElements elements = LoginElementsOf(site);
  bool answered = false;  // a page that answered the submitted form showed the marker
  try {
    c.flags.pageDone = false;
    c.browser.Navigate(LoginAddress(site, c.fields.addresses));
    WaitForLoad(c);
    if (site == Site::Com) {
      while (c.browser.Busy()) c.host.processMessages();
    }
    c.browser.SetElementText(elements.user, c.fields.edit1User);
    c.browser.SetElementText(elements.password, c.fields.edit2Password);
    // An earlier session shows the marker on the login page itself, whatever
    // was typed; only what answers the form tells whether these credentials hold.
    c.flags.loggedIn = false;
    c.flags.pageDone = false;
    c.browser.ClickElement(elements.button);
    WaitForLoad(c);
    // The marker may arrive with a later document (a redirect, a frame).
    const uint32_t start = c.host.tickCount();
    while (static_cast<uint32_t>(c.host.tickCount() - start) < 3000) {
      if (c.flags.loggedIn) break;
      c.host.processMessages();
    }
    answered = c.flags.loggedIn;
  } catch (const Error&) {
    // A login page without the expected elements: nothing was submitted.
  }
  if (answered) {
    // Green first: a settings file that cannot be written is an error of its
    // own, shown by the caller, and does not undo the login.
    c.state.userFieldColour = UserFieldColour::Green;
    c.host.stateChanged();
    profile::WriteLogin(c.settingsPath, c.fields.edit1User, c.fields.edit2Password);
  } else {
    // Not logged in as far as this login can tell; the stored name and
    // password stay as they were. A later page with the marker sets it again.
    c.flags.loggedIn = false;
    c.state.loginLabel = LoginLabelInitial();
    c.state.userFieldColour = UserFieldColour::Red;
    c.host.stateChanged();
  }
}

void DetectLogin(SiteContext& c) {
  const std::string& marker = LoggedInMarker(c.fields.site);
  for (const std::string& line : c.memo1) {
    if (text::Pos(marker, line) > 0) {
      c.flags.loggedIn = true;
      c.state.loginLabel = LoginLabelLoggedIn() + c.fields.edit1User;
    }
  }
}

}  // namespace trovik::site
