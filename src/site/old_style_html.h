#pragma once
// The browser engine hands over the body HTML in its own serialization
// (lower-case tags, every attribute quoted, LF line ends). The page markers of
// the listing parsers were written against the old control's form, so the
// body is re-serialized here into that form before anyone reads it:
//   - tag names upper-case; attribute names lower-case, in DOM order;
//   - a value bare when it holds only ASCII letters, digits and - _ . : #,
//     else in double quotes with & and " escaped; address attributes always
//     quoted and written as the DOM holds them; an empty value is the name
//     alone for boolean attributes, name="" otherwise;
//   - void elements without end tag; every other element with its end tag;
//   - text escapes & < > and U+00A0 (&nbsp;); script and style are raw;
//   - every line break is CR LF.
// Markup already in that form comes back byte for byte.

#include <string>
#include <string_view>

namespace trovik::site {

// `bodyUtf8`: the body's inner HTML as the engine gives it (UTF-8). Result:
// the old-style text in UTF-8.
std::string OldStyleHtmlUtf8(std::string_view bodyUtf8);
// The same as Windows-1250 text; characters the code page lacks become "?".
std::string OldStyleHtml(std::string_view bodyUtf8);

}  // namespace trovik::site
