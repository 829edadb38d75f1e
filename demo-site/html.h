#pragma once
// Markup helpers. The pages are written in the old style the program's page
// capture produces (upper-case tags, unquoted simple attribute values, CR LF),
// in markup an HTML parser keeps as it is, so a captured page equals its source.

#include <initializer_list>
#include <string>
#include <utility>

namespace trovik::demo {

// Text content: &, < and > as entities.
std::string Esc(const std::string& text);
// One attribute, with its leading blank, quoted only where the old style quotes it.
std::string Attr(const std::string& name, const std::string& value);
// A start tag: Tag("IMG", {{"src", "/a.gif"}, {"width", "32"}}) -> <IMG src="/a.gif" width=32>
std::string Tag(const std::string& name, std::initializer_list<std::pair<std::string, std::string>> attrs = {});
// A whole document; the body is taken as it is.
std::string Document(const std::string& title, const std::string& body);
// A value for a URL query: everything but unreserved characters percent-encoded.
std::string UrlEncode(const std::string& s);

inline const char* const kCrLf = "\r\n";

}  // namespace trovik::demo
