#pragma once
// A small RTF reader for the about text: what word processors write (groups,
// font and colour tables, paragraphs and line breaks, bold, italic,
// underline, strike-through, sizes, colours, alignment, 8-bit text in the
// file's code page, Unicode characters with their fallback) becomes the rich
// text HTML that the window's text area shows. Destinations it does not know
// are skipped, so a document always gives its readable text.

#include <string>
#include <string_view>

namespace trovik::app {

// RTF bytes to a UTF-8 HTML document. A text that is not RTF at all is shown
// as plain Windows-1250 text, one paragraph a line.
std::string RtfToHtml(std::string_view rtf);

// Bytes of a Windows code page (1250, 1252, ...) as UTF-8; bytes the code page
// lacks become "?".
std::string CodePageToUtf8(std::string_view bytes, int codePage);

}  // namespace trovik::app
