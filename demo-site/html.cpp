#include "html.h"

#include <cstdio>
#include <set>

namespace trovik::demo {

std::string Esc(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '&') out += "&amp;";
    else if (c == '<') out += "&lt;";
    else if (c == '>') out += "&gt;";
    else out += c;
  }
  return out;
}

namespace {

bool IsSimple(const std::string& v) {
  if (v.empty()) return false;
  for (unsigned char c : v) {
    bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
              c == '.' || c == ':' || c == '#';
    if (!ok) return false;
  }
  return true;
}

bool IsAddress(const std::string& name) {
  static const std::set<std::string> names = {"href",     "src",     "action", "background", "cite",
                                              "longdesc", "usemap",  "lowsrc", "dynsrc",     "codebase",
                                              "data",     "poster"};
  return names.count(name) > 0;
}

bool IsBoolean(const std::string& name) {
  static const std::set<std::string> names = {"checked", "selected", "disabled", "readonly", "multiple",
                                              "nowrap",  "noshade",  "compact",  "ismap",    "defer",
                                              "noresize", "hidden",  "async",    "autofocus", "autoplay",
                                              "controls", "loop",    "muted",    "required"};
  return names.count(name) > 0;
}

std::string QuoteValue(const std::string& v) {
  std::string out = "\"";
  for (char c : v) {
    if (c == '&') out += "&amp;";
    else if (c == '"') out += "&quot;";
    else out += c;
  }
  return out + "\"";
}

}  // namespace

std::string Attr(const std::string& name, const std::string& value) {
  if (IsAddress(name)) return " " + name + "=" + QuoteValue(value);
  if (value.empty()) return IsBoolean(name) ? " " + name : " " + name + "=\"\"";
  if (IsSimple(value)) return " " + name + "=" + value;
  return " " + name + "=" + QuoteValue(value);
}

std::string Tag(const std::string& name, std::initializer_list<std::pair<std::string, std::string>> attrs) {
  std::string out = "<" + name;
  for (const auto& a : attrs) out += Attr(a.first, a.second);
  return out + ">";
}

std::string Document(const std::string& title, const std::string& body) {
  // Nothing after </BODY>: a parser would move trailing text into the body.
  return "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\r\n"
         "<HTML><HEAD><META http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"
         "<TITLE>" +
         Esc(title) + "</TITLE></HEAD>\r\n<BODY>" + body + "</BODY></HTML>";
}

std::string UrlEncode(const std::string& s) {
  std::string out;
  for (unsigned char c : s) {
    bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
                c == '.' || c == '~';
    if (keep) {
      out += static_cast<char>(c);
    } else {
      char buf[4];
      std::snprintf(buf, sizeof buf, "%%%02X", c);
      out += buf;
    }
  }
  return out;
}

}  // namespace trovik::demo
