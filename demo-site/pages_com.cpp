// The international listing site: an ASP.NET-style site whose pages are one
// form "Form1" with its own __doPostBack script. The nearest search pages with
// the upper pager "pgrTop", whose control _ctl16 is the next page.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "html.h"
#include "pages.h"

namespace trovik::demo {

namespace {

const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

std::string DateCom(const std::string& iso) {
  if (iso.size() != 10) return iso;
  int month = std::atoi(iso.substr(5, 2).c_str());
  if (month < 1 || month > 12) return iso;
  return iso.substr(8, 2) + " " + kMonths[month - 1] + " " + iso.substr(2, 2);
}

std::string LowerAscii(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

std::string Header(const PageContext& ctx) {
  std::string h = "<TABLE id=header width=\"100%\" cellspacing=0 cellpadding=4><TBODY><TR>\r\n<TD>";
  h += "<A href=\"/com/Default.aspx\">" +
       Tag("IMG", {{"src", "/img/cache/logo_com.png"}, {"width", "120"}, {"height", "40"}, {"alt", "Geocaching"},
                   {"border", "0"}}) +
       "</A></TD>\r\n<TD align=right>";
  if (ctx.user.empty())
    h += "Not signed in. [<A href=\"/com/login/default.aspx\">Log in</A>]";
  else
    h += "Hello, <B>" + Esc(ctx.user) + "</B> - you are logged in. [<A href=\"/com/logout.aspx\">Log out</A>]";
  h += "</TD></TR></TBODY></TABLE>\r\n";
  return h;
}

std::string PostBackScript() {
  return "<SCRIPT language=javascript>\r\n<!--\r\n"
         "function __doPostBack(eventTarget, eventArgument) {\r\n"
         "\tvar theform = document.forms[\"Form1\"];\r\n"
         "\ttheform.__EVENTTARGET.value = eventTarget;\r\n"
         "\ttheform.__EVENTARGUMENT.value = eventArgument;\r\n"
         "\ttheform.submit();\r\n"
         "}\r\n"
         "// -->\r\n</SCRIPT>\r\n";
}

std::string OpenForm(const std::string& action, const std::string& viewState) {
  return "<FORM id=Form1 name=Form1 method=post" + Attr("action", action) + ">\r\n" +
         "<INPUT type=hidden name=__EVENTTARGET id=__EVENTTARGET value=\"\">\r\n"
         "<INPUT type=hidden name=__EVENTARGUMENT id=__EVENTARGUMENT value=\"\">\r\n"
         "<INPUT type=hidden name=__VIEWSTATE id=__VIEWSTATE" +
         Attr("value", viewState) + ">\r\n";
}

std::string Footer() { return "<P class=footer>Geocaching demo site of the Trovik program.</P>\r\n"; }

std::string DegMinCom(double value, int degreeDigits) {
  long long total = std::llround(value * 60000.0);
  char buf[40];
  std::snprintf(buf, sizeof buf, "%0*lld° %02lld.%03lld", degreeDigits, total / 60000, (total % 60000) / 1000,
                total % 1000);
  return buf;
}

std::string CoordsCom(double lat, double lon) { return "N " + DegMinCom(lat, 2) + " E " + DegMinCom(lon, 3); }

}  // namespace

std::string CompassPoint(double bearing) {
  static const char* const points[] = {"N", "NE", "E", "SE", "S", "SW", "W", "NW"};
  int index = static_cast<int>(std::floor((bearing + 22.5) / 45.0)) % 8;
  return points[index < 0 ? index + 8 : index];
}

std::string ComHome(const PageContext& ctx) {
  std::string b = Header(ctx);
  b += OpenForm("/com/Default.aspx", "dDwxMjM0NTY3ODk7Oz4=");
  b += "<H2>Geocaching demo</H2>\r\n";
  if (ctx.user.empty())
    b += "<P>Please <A href=\"/com/login/default.aspx\">log in</A> to see cache coordinates.</P>\r\n";
  else
    b += "<P>Welcome back. Find caches by their code or near a place.</P>\r\n";
  b += "<P>Waypoint: <INPUT name=wp size=10> <INPUT type=submit name=Submit6 value=Go></P>\r\n";
  b += "</FORM>\r\n" + PostBackScript() + Footer();
  return Document("Geocaching - The Official Demo Site", b);
}

std::string ComLogin(const PageContext& ctx, const std::string& actionQuery, const std::string& message) {
  std::string b = Header(ctx);
  b += OpenForm("/com/login/default.aspx" + (actionQuery.empty() ? std::string() : "?" + actionQuery),
                "dDwtMTQ5NzcxNjI5Mjs7Pg==");
  b += "<H2>Log in</H2>\r\n";
  if (!message.empty()) b += "<P class=error><B>" + Esc(message) + "</B></P>\r\n";
  b += "<TABLE><TBODY>\r\n"
       "<TR><TD>Username:</TD><TD><INPUT type=text name=myusername id=myusername size=20></TD></TR>\r\n"
       "<TR><TD>Password:</TD><TD><INPUT type=password name=mypassword id=mypassword size=20></TD></TR>\r\n"
       "<TR><TD></TD><TD><INPUT type=submit name=Button1 id=Button1 value=Login></TD></TR>\r\n"
       "</TBODY></TABLE>\r\n";
  b += "<P>Demo accounts: user <B>geocacher</B> with password <B>trovik</B>, or user <B>Ďurko</B> with password "
       "<B>kešky</B>.</P>\r\n";
  b += "</FORM>\r\n" + PostBackScript() + Footer();
  return Document("Geocaching - Log in", b);
}

std::string ComListing(const PageContext& ctx, const Cache& cache, bool decrypted) {
  std::string self = "/com/seek/cache_details.aspx?wp=" + cache.code;
  std::string b = Header(ctx);
  b += OpenForm(self + "&Submit6=Go", "dDwtODg1NjYxNDQ7Oz4=");
  b += "<TABLE width=\"100%\" cellspacing=0 cellpadding=6><TBODY><TR><TD valign=top>\r\n";
  b += "<H2>" +
       Tag("IMG", {{"src", "/img/cache/" + TypeIcon(cache.type)}, {"width", "32"}, {"height", "32"},
                   {"title", TypeNameCom(cache.type)}}) +
       " <SPAN id=CacheName>" + (cache.archived ? "<STRIKE>" + Esc(cache.name) + "</STRIKE>" : Esc(cache.name)) +
       "</SPAN></H2>\r\n";
  if (cache.archived) b += "<P class=error><B>This cache has been archived.</B></P>\r\n";
  b += "<P>A cache by <B>" + Esc(cache.owner) + "</B> (" + cache.code + ")<BR>\r\n";
  b += "Hidden on: " + DateCom(cache.hidden) + "<BR>\r\n";
  b += "Difficulty: " + Stars(cache.difficulty) + " " + FormatRating(cache.difficulty) + " Terrain: " +
       Stars(cache.terrain) + " " + FormatRating(cache.terrain) + "<BR>\r\n";
  b += "Size: " +
       Tag("IMG", {{"src", "/img/cache/vel_" + LowerAscii(cache.size) + ".gif"}, {"width", "45"}, {"height", "12"},
                   {"alt", "Size: " + cache.size}}) +
       " (" + cache.size + ")</P>\r\n";
  if (!ctx.user.empty())
    b += "<P><SPAN id=LatLon><B>" + CoordsCom(cache.lat, cache.lon) + "</B></SPAN><BR>In " +
         Region(cache.lat, cache.lon) + ", Slovakia</P>\r\n";
  else
    b += "<P>Coordinates are shown to members only. Please <A href=\"/com/login/default.aspx\">log in</A>.</P>\r\n";

  std::string paragraphs;
  size_t start = 0;
  while (start <= cache.description.size()) {
    size_t end = cache.description.find('\n', start);
    if (end == std::string::npos) end = cache.description.size();
    paragraphs += "<P>" + Esc(cache.description.substr(start, end - start)) + "</P>\r\n";
    start = end + 1;
  }
  b += "<DIV id=LongDescription>\r\n" + paragraphs;
  for (size_t i = 0; i < cache.pagePictures.size(); ++i)
    b += "<P>" +
         Tag("IMG", {{"src", (i == 0 ? ctx.origin : std::string()) + "/img/cache/" + cache.pagePictures[i]},
                     {"alt", "picture " + std::to_string(i + 1)}}) +
         "</P>\r\n";
  b += "</DIV>\r\n";

  if (!cache.headerPictures.empty()) {
    b += "<P><B>Spoiler images</B> (Obrázky:) ";
    for (size_t i = 0; i < cache.headerPictures.size(); ++i) {
      if (i) b += " | ";
      b += "<A href=\"" + ctx.origin + "/img/cache/" + cache.headerPictures[i].file + "\" target=_blank>" +
           Esc(cache.headerPictures[i].caption) + "</A>";
    }
    b += "<BR>\r\n<A href=\"/com/seek/log.aspx?wp=" + cache.code + "\">View logs</A></P>\r\n";
  }

  if (!cache.hint.empty()) {
    std::string hint = decrypted ? cache.hint : Rot13(cache.hint);
    std::string lines;
    for (char c : hint) lines += c == '\n' ? std::string("<BR>") : Esc(std::string(1, c));
    b += "<P><B>Additional Hints</B> (<A href=\"" + self + (decrypted ? "" : "&amp;decrypt=y") + "\">" +
         (decrypted ? "Encrypt" : "Decrypt") + "</A>)<BR>" + lines + "</P>\r\n";
  }

  b += "<H3>Logs</H3>\r\n<TABLE class=logs width=\"100%\" cellspacing=0 cellpadding=3><TBODY>\r\n";
  for (const LogEntry& log : cache.logs) {
    const char* kind = log.kind == 0 ? "Found it" : (log.kind == 1 ? "Didn't find it" : "Write note");
    const char* icon = log.kind == 0 ? "log_nasiel.gif" : (log.kind == 1 ? "log_nenasiel.gif" : "log_poznamka.gif");
    b += "<TR><TD>" +
         Tag("IMG", {{"src", std::string("/img/cache/") + icon}, {"width", "16"}, {"height", "16"}, {"alt", ""}}) +
         " <B>" + kind + "</B> " + DateCom(log.date) + " by " + Esc(log.author) + "<BR>" + Esc(log.text) +
         "</TD></TR>\r\n";
  }
  b += "</TBODY></TABLE>\r\n";
  b += "</TD></TR></TBODY></TABLE>\r\n";
  b += PostBackScript() + "</FORM>\r\n" + Footer();
  return Document("(" + cache.code + ") " + cache.name, b);
}

std::string ComNotFound(const PageContext& ctx, const std::string& code) {
  std::string b = Header(ctx);
  b += OpenForm("/com/seek/cache_details.aspx", "dDwtODg1NjYxNDQ7Oz4=");
  b += "<H2>Cache not found</H2>\r\n<P>Sorry, the cache <B>" + Esc(code) +
       "</B> does not exist or is not available.</P>\r\n";
  b += PostBackScript() + "</FORM>\r\n" + Footer();
  return Document("Geocaching - Cache not found", b);
}

NearestQuery ParseNearest(const std::string& latNs, const std::string& latH, const std::string& latMmss,
                          const std::string& longEw, const std::string& longH, const std::string& longMmss,
                          const std::string& dist) {
  auto number = [](std::string s, double fallback, bool& ok) {
    for (char& c : s)
      if (c == ',') c = '.';
    if (s.empty()) return fallback;
    char* end = nullptr;
    double v = std::strtod(s.c_str(), &end);
    if (!end || *end != '\0' || !std::isfinite(v)) {
      ok = false;
      return fallback;
    }
    return v;
  };
  NearestQuery q;
  bool ok = !latH.empty() && !longH.empty();
  double lat = number(latH, 0, ok) + number(latMmss, 0, ok) / 60.0;
  double lon = number(longH, 0, ok) + number(longMmss, 0, ok) / 60.0;
  if (latNs == "-1") lat = -lat;
  if (longEw == "-1") lon = -lon;
  q.distKm = number(dist, 100, ok);
  if (q.distKm <= 0 || q.distKm > 500) q.distKm = 100;
  q.lat = lat;
  q.lon = lon;
  q.valid = ok && std::fabs(lat) <= 90 && std::fabs(lon) <= 180;
  return q;
}

int PageAfterPostBack(const std::string& eventTarget, int currentPage) {
  std::string t = eventTarget;
  for (char& c : t)
    if (c == ':') c = '$';
  for (const char* pager : {"pgrTop$_ctl", "pgrBottom$_ctl"}) {
    std::string prefix = pager;
    if (t.rfind(prefix, 0) != 0) continue;
    int control = std::atoi(t.substr(prefix.size()).c_str());
    if (control == 16) return currentPage + 1;
    if (control == 5) return currentPage - 1;
    if (control >= 6 && control <= 15) return (currentPage - 1) / 10 * 10 + (control - 5);
  }
  return currentPage;
}

namespace {

std::string Pager(const char* id, int page, int pages) {
  std::string p = "<TABLE id=" + std::string(id) + " width=\"100%\"><TBODY><TR><TD>Page <B>" + std::to_string(page) +
                  "</B> of <B>" + std::to_string(pages) + "</B>: ";
  auto link = [&](int control, const std::string& text) {
    return "<A href=\"javascript:__doPostBack('" + std::string(id) + "$_ctl" + std::to_string(control) + "','')\">" +
           text + "</A> ";
  };
  if (page > 1) p += link(5, "&lt;&lt; Prev");
  int first = (page - 1) / 10 * 10 + 1;
  for (int k = 0; k < 10 && first + k <= pages; ++k) {
    if (first + k == page) p += "<B>" + std::to_string(page) + "</B> ";
    else p += link(6 + k, std::to_string(first + k));
  }
  if (page < pages) p += link(16, "<B>Next &gt;&gt;</B>");
  p += "</TD></TR></TBODY></TABLE>\r\n";
  return p;
}

}  // namespace

std::string ComNearest(const PageContext& ctx, const Catalog& catalog, const NearestQuery& query, int page) {
  std::vector<NearCache> found;
  if (query.valid) found = catalog.nearest(query.lat, query.lon, query.distKm);
  int pages = std::max(1, static_cast<int>((found.size() + kRowsPerPage - 1) / kRowsPerPage));
  page = std::clamp(page, 1, pages);

  std::string action = "/com/seek/nearest.aspx" + (query.query.empty() ? std::string() : "?" + query.query);
  std::string b = Header(ctx);
  b += OpenForm(action, "page" + std::to_string(page));
  b += PostBackScript();
  if (!query.valid) {
    b += "<H2>Nearest caches</H2>\r\n<P class=error><B>Please enter valid coordinates.</B></P>\r\n";
    b += "</FORM>\r\n" + Footer();
    return Document("Geocaching - Nearest caches", b);
  }
  char within[32];
  std::snprintf(within, sizeof within, "%g", query.distKm);
  b += "<H2>Caches nearest to " + CoordsCom(query.lat, query.lon) + "</H2>\r\n";
  b += "<P>Within " + std::string(within) + " km. Total records: <B>" + std::to_string(found.size()) + "</B></P>\r\n";
  b += Pager("pgrTop", page, pages);
  b += "<TABLE id=dlResults class=results width=\"100%\" cellspacing=0 cellpadding=3><TBODY>\r\n";
  b += "<TR class=hdr><TD>Distance</TD><TD>Type</TD><TD>(D/T)<BR>Size</TD><TD>Placed</TD><TD>Description</TD>"
       "<TD>Last found</TD></TR>\r\n";
  size_t from = static_cast<size_t>(page - 1) * kRowsPerPage;
  for (size_t i = from; i < found.size() && i < from + kRowsPerPage; ++i) {
    const NearCache& n = found[i];
    const Cache& c = *n.cache;
    char km[32];
    std::snprintf(km, sizeof km, "%.1f km", n.km);
    b += "<TR>\r\n<TD>" + std::string(km) + "<BR>" + CompassPoint(n.bearing) + "</TD>\r\n";
    // Type and size on lines of their own; the row's link, name, owner and
    // code on one line.
    b += "<TD>" +
         Tag("IMG", {{"title", TypeNameCom(c.type)}, {"src", "/img/cache/" + TypeIcon(c.type)}, {"width", "32"},
                     {"height", "32"}}) +
         "</TD>\r\n";
    b += "<TD>(" + FormatRating(c.difficulty) + "/" + FormatRating(c.terrain) + ")<BR>" +
         Tag("IMG", {{"src", "/img/cache/vel_" + LowerAscii(c.size) + ".gif"}, {"alt", "Size: " + c.size},
                     {"width", "45"}, {"height", "12"}}) +
         "</TD>\r\n";
    b += "<TD>" + DateCom(c.hidden) + "</TD>\r\n";
    std::string link = "/com/seek/cache_details.aspx?wp=" + c.code;
    if (c.archived)
      b += "<TD><A href=\"" + link + "\" class=archived><STRIKE title=\"Archived cache\">" + Esc(c.name) +
           "</STRIKE></A> by " + Esc(c.owner) + " (" + c.code + ")<BR>" + Region(c.lat, c.lon) + "</TD>\r\n";
    else
      b += "<TD><A href=\"" + link + "\">" + Esc(c.name) + "</A> by " + Esc(c.owner) + " (" + c.code + ")<BR>" +
           Region(c.lat, c.lon) + "</TD>\r\n";
    b += "<TD>" + (c.logs.empty() ? std::string("-") : DateCom(c.logs.back().date)) + "</TD>\r\n</TR>\r\n";
  }
  b += "</TBODY></TABLE>\r\n";
  b += Pager("pgrBottom", page, pages);
  b += "</FORM>\r\n" + Footer();
  return Document("Geocaching - Nearest caches", b);
}

}  // namespace trovik::demo
