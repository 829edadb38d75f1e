// The national listing site. Its listings carry the markers the program's
// page filter and harvester look for: the main panel "hlavniPanel", the
// coordinates in <BIG><STRONG>, the hint behind the "decrypt=y" link and
// "</A>]<BR>", the "Obrázky:" line, and a script right after the listing.

#include <cmath>
#include <cstdio>

#include "html.h"
#include "pages.h"

namespace trovik::demo {

std::string DateSk(const std::string& iso) {
  if (iso.size() != 10) return iso;
  return iso.substr(8, 2) + "." + iso.substr(5, 2) + "." + iso.substr(0, 4);
}

std::string FormatRating(double value) {
  char buf[16];
  if (value == std::floor(value)) std::snprintf(buf, sizeof buf, "%d", static_cast<int>(value));
  else std::snprintf(buf, sizeof buf, "%.1f", value);
  return buf;
}

std::string Stars(double value) {
  std::string out;
  for (int i = 0; i < static_cast<int>(std::ceil(value)); ++i)
    out += Tag("IMG", {{"src", "/img/cache/hviezda.gif"}, {"width", "12"}, {"height", "12"}, {"alt", "*"}});
  return out;
}

std::string Region(double lat, double lon) {
  if (lon < 17.6) return "Bratislavský kraj";
  if (lon < 18.3) return lat > 48.6 ? "Trenčiansky kraj" : "Nitriansky kraj";
  if (lon < 18.7) return lat > 48.55 ? "Trenčiansky kraj" : "Nitriansky kraj";
  if (lon < 20.0) return lat > 49.0 ? "Žilinský kraj" : "Banskobystrický kraj";
  if (lon < 21.0) return lat > 48.85 ? "Prešovský kraj" : "Košický kraj";
  return lat > 48.85 ? "Prešovský kraj" : "Košický kraj";
}

namespace {

const char* SizeSk(const std::string& size) {
  if (size == "Micro") return "mikro";
  if (size == "Small") return "malá";
  if (size == "Regular") return "stredná";
  if (size == "Large") return "veľká";
  if (size == "Virtual") return "virtuálna";
  return "iná";
}

std::string LowerAscii(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

const char* LogKindSk(int kind) { return kind == 0 ? "Našiel" : (kind == 1 ? "Nenašiel" : "Poznámka"); }
const char* LogIcon(int kind) {
  return kind == 0 ? "log_nasiel.gif" : (kind == 1 ? "log_nenasiel.gif" : "log_poznamka.gif");
}

std::string Header(const PageContext& ctx) {
  std::string h = "<TABLE id=hlavicka width=\"100%\" cellspacing=0 cellpadding=4><TBODY><TR>\r\n<TD>";
  h += "<A href=\"/sk/index.php\">" +
       Tag("IMG", {{"src", "/img/cache/logo_sk.png"}, {"width", "120"}, {"height", "40"}, {"alt", "Geokeš.sk"},
                   {"border", "0"}}) +
       "</A></TD>\r\n<TD align=right>";
  if (ctx.user.empty())
    h += "Nie ste prihlásený. [<A href=\"/sk/index.php\">prihlásenie</A>]";
  else
    h += "Prihlásený: <B>" + Esc(ctx.user) + "</B> [<A href=\"/sk/odhlas.php\">odhlásiť</A>]";
  h += "</TD></TR></TBODY></TABLE>\r\n";
  return h;
}

std::string LeftPanel() {
  return "<TD id=lavyPanel valign=top width=170>\r\n"
         "<UL><LI><A href=\"/sk/index.php\">Úvod</A></LI><LI><A href=\"/sk/hladaj.php?query=GC1A2B3\">Keška "
         "týždňa</A></LI></UL>\r\n"
         "<FORM method=get action=\"/sk/hladaj.php\">Kód kešky:<BR><INPUT name=query size=10> <INPUT type=submit "
         "value=\"Hľadaj\"></FORM>\r\n"
         "</TD>\r\n";
}

// Header, left panel and the opening of the main panel; Close() ends them.
std::string Open(const PageContext& ctx) {
  return Header(ctx) + "<TABLE width=\"100%\" cellspacing=0 cellpadding=6><TBODY><TR>\r\n" + LeftPanel() +
         "<TD id=hlavniPanel valign=top>\r\n";
}

std::string Close(const std::string& script) {
  std::string s = "</TD></TR></TBODY></TABLE>\r\n";
  s += "<SCRIPT language=javascript>\r\n<!--\r\n" + script + "// -->\r\n</SCRIPT>\r\n";
  s += "<DIV id=paticka>Geokeš.sk – ukážková stránka programu Trovik</DIV>\r\n";
  return s;
}

std::string Paragraphs(const std::string& text) {
  std::string out;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    out += "<P>" + Esc(text.substr(start, end - start)) + "</P>\r\n";
    start = end + 1;
  }
  return out;
}

std::string PicturesOf(const PageContext& ctx, const Cache& cache) {
  std::string out;
  for (size_t i = 0; i < cache.pagePictures.size(); ++i) {
    // The first picture by absolute address, the rest relative: the filter
    // rewrites both kinds.
    std::string src = (i == 0 ? ctx.origin : std::string()) + "/img/cache/" + cache.pagePictures[i];
    out += "<P>" + Tag("IMG", {{"src", src}, {"alt", "obrázok " + std::to_string(i + 1)}}) + "</P>\r\n";
  }
  return out;
}

std::string HintLines(const std::string& hint) {
  std::string out;
  size_t start = 0;
  while (true) {
    size_t end = hint.find('\n', start);
    out += Esc(hint.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    out += "<BR>";
    start = end + 1;
  }
  return out;
}

}  // namespace

std::string SkHome(const PageContext& ctx, const std::string& message) {
  std::string b = Open(ctx);
  b += "<H2>Vitajte na stránke Geokeš.sk</H2>\r\n";
  if (!message.empty()) b += "<P class=chyba><B>" + Esc(message) + "</B></P>\r\n";
  if (!ctx.user.empty()) b += "<P>Ste prihlásený ako <B>" + Esc(ctx.user) + "</B>.</P>\r\n";
  b += "<FORM id=prihlasenie name=prihlasenie method=post action=\"/sk/index.php\">\r\n"
       "<TABLE><TBODY>\r\n"
       "<TR><TD>Meno:</TD><TD><INPUT type=text name=username id=username size=20></TD></TR>\r\n"
       "<TR><TD>Heslo:</TD><TD><INPUT type=password name=password id=password size=20></TD></TR>\r\n"
       "<TR><TD></TD><TD><INPUT type=submit name=login-b id=login-b value=\"Prihlásiť\"></TD></TR>\r\n"
       "</TBODY></TABLE>\r\n</FORM>\r\n";
  b += "<P>Ukážkové kontá: meno <B>geocacher</B> a heslo <B>trovik</B>, alebo meno <B>Ďurko</B> a heslo "
       "<B>kešky</B>.</P>\r\n";
  b += "<P>Súradnice kešiek sa zobrazujú len prihláseným užívateľom.</P>\r\n";
  b += Close("var stranka = \"uvod\";\r\n");
  return Document("Geokeš.sk – prihlásenie", b);
}

std::string SkListing(const PageContext& ctx, const Cache& cache, bool decrypted) {
  std::string b = Open(ctx);
  b += "<H2>" +
       Tag("IMG", {{"src", "/img/cache/" + TypeIcon(cache.type)}, {"width", "32"}, {"height", "32"},
                   {"alt", TypeNameSk(cache.type)}}) +
       " " + (cache.archived ? "<STRIKE>" + Esc(cache.name) + "</STRIKE>" : Esc(cache.name)) + "</H2>\r\n";
  if (cache.archived) b += "<P class=chyba><B>Táto keška je archivovaná.</B></P>\r\n";
  b += "<P>Kód: <B>" + cache.code + "</B>, typ: " + TypeNameSk(cache.type) + ", veľkosť: " +
       Tag("IMG", {{"src", "/img/cache/vel_" + LowerAscii(cache.size) + ".gif"}, {"width", "45"}, {"height", "12"},
                   {"alt", SizeSk(cache.size)}}) +
       " " + SizeSk(cache.size) + "<BR>\r\n";
  b += "Obtiažnosť: " + Stars(cache.difficulty) + " " + FormatRating(cache.difficulty) + ", terén: " +
       Stars(cache.terrain) + " " + FormatRating(cache.terrain) + "<BR>\r\n";
  b += "Založená: " + DateSk(cache.hidden) + ", autor: <B>" + Esc(cache.owner) + "</B>, " +
       Region(cache.lat, cache.lon) + "</P>\r\n";
  if (!ctx.user.empty())
    b += "<P><BIG><STRONG> " + ListingCoords(cache.lat, cache.lon) + "</STRONG></BIG></P>\r\n";
  else
    b += "<P><I>Súradnice sa zobrazia len prihláseným užívateľom.</I></P>\r\n";

  b += "<DIV class=popis>\r\n" + Paragraphs(cache.description) + PicturesOf(ctx, cache);
  if (cache.sample && cache.terrain <= 1.5)
    b += "<P>" + Tag("IMG", {{"src", "/img/cache/atr_deti.png"}, {"width", "30"}, {"height", "30"}, {"alt", "deti"}}) +
         " " + Tag("IMG", {{"src", "/img/cache/atr_pes.png"}, {"width", "30"}, {"height", "30"}, {"alt", "pes"}}) +
         "</P>\r\n";
  b += "</DIV>\r\n";

  // Header pictures on the label's line, log pictures on the next one.
  std::string logLinks;
  for (size_t i = 0; i < cache.logs.size(); ++i)
    if (!cache.logs[i].picture.empty())
      logLinks += "<A href=\"/sk/log/" + cache.code + "-" + std::to_string(i + 1) + ".html\">Fotka z logu (" +
                  Esc(cache.logs[i].author) + ")</A>";
  if (!cache.headerPictures.empty() || !logLinks.empty()) {
    b += "<P>Obrázky: ";
    for (size_t i = 0; i < cache.headerPictures.size(); ++i) {
      if (i) b += " | ";
      b += "<A href=\"" + ctx.origin + "/img/cache/" + cache.headerPictures[i].file + "\" target=_blank>" +
           Esc(cache.headerPictures[i].caption) + "</A>";
    }
    b += "<BR>\r\n" + logLinks + "</P>\r\n";
  }

  if (!cache.hint.empty()) {
    std::string self = "/sk/hladaj.php?query=" + cache.code;
    if (decrypted)
      b += "<DIV id=napoveda><B>Pomôcka</B> [<A href=\"" + self + "\">zakódovať</A>]<BR>" + HintLines(cache.hint);
    else
      b += "<DIV id=napoveda><B>Pomôcka</B> [<A href=\"" + self + "&amp;decrypt=y\">dekódovať</A>]<BR>" +
           HintLines(Rot13(cache.hint));
    b += "<P class=kluc>A|B|C|D|E|F|G|H|I|J|K|L|M<BR>N|O|P|Q|R|S|T|U|V|W|X|Y|Z</P></DIV>\r\n";
  }

  b += "<H3>Logy</H3>\r\n<TABLE class=logy width=\"100%\" cellspacing=0 cellpadding=3><TBODY>\r\n";
  for (size_t i = 0; i < cache.logs.size(); ++i) {
    const LogEntry& log = cache.logs[i];
    b += "<TR><TD>" +
         Tag("IMG", {{"src", std::string("/img/cache/") + LogIcon(log.kind)}, {"width", "16"}, {"height", "16"},
                     {"alt", ""}}) +
         " <B>" + LogKindSk(log.kind) + "</B> " + DateSk(log.date) + " <I>" + Esc(log.author) + "</I></TD></TR>\r\n";
    b += "<TR><TD>" + Esc(log.text);
    if (!log.picture.empty())
      b += "<BR><A href=\"/sk/log/" + cache.code + "-" + std::to_string(i + 1) + ".html\">fotka k logu</A>";
    b += "</TD></TR>\r\n";
  }
  b += "</TBODY></TABLE>\r\n";
  b += Close("var kod = \"" + cache.code + "\";\r\n");
  return Document(cache.code + " " + cache.name, b);
}

std::string SkNotFound(const PageContext& ctx, const std::string& code) {
  std::string b = Open(ctx);
  b += "<H2>Keška nebola nájdená</H2>\r\n<P>Keška s kódom <B>" + Esc(code) +
       "</B> v našej databáze nie je. Skontrolujte, prosím, kód kešky.</P>\r\n";
  b += Close("var kod = \"\";\r\n");
  return Document("Geokeš.sk – keška nebola nájdená", b);
}

std::string SkLog(const PageContext& ctx, const Cache& cache, size_t index) {
  const LogEntry& log = cache.logs.at(index);
  std::string b = Open(ctx);
  b += "<H2>Log ku keške <A href=\"/sk/hladaj.php?query=" + cache.code + "\">" + Esc(cache.name) + "</A></H2>\r\n";
  b += "<P><B>" + std::string(LogKindSk(log.kind)) + "</B> " + DateSk(log.date) + " <I>" + Esc(log.author) +
       "</I></P>\r\n<P>" + Esc(log.text) + "</P>\r\n";
  if (!log.picture.empty()) b += "<P>" + Tag("IMG", {{"src", "/img/cache/" + log.picture}, {"alt", "fotka"}}) + "</P>\r\n";
  b += Close("var kod = \"" + cache.code + "\";\r\n");
  return Document("Log " + cache.code, b);
}

}  // namespace trovik::demo
