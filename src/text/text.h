#pragma once
// The 8-bit text rules every parser of the core follows. Text is std::string
// holding Windows-1250 bytes; positions count from 1, a missing text is 0, and
// every cut clamps, so parsers written with these never index out of range.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/cp1250.h"

namespace trovik::text {

// 1-based position of `needle` in `hay`, 0 when absent (or when needle is empty).
int Pos(std::string_view needle, std::string_view hay);
// Like Pos, starting the search at 1-based position `from` (clamped to 1).
int PosFrom(std::string_view needle, std::string_view hay, int from);
// Last 1-based position of needle, 0 when absent.
int LastPos(std::string_view needle, std::string_view hay);
// 1-based position of the first character past the first `needle` in `hay`, 0 when absent.
int PosPast(std::string_view needle, std::string_view hay);
// The listing parsers' PosAfter(needle, text, k): position of the first
// `needle` that begins at position k+1 or later; 0 when there is none (also
// when k is at or beyond the end).
int PosAfter(std::string_view needle, std::string_view hay, int k);

// `count` characters from 1-based `index`: a start before 1 starts at 1, a count
// of zero or less gives "", a cut past the end stops at the end.
std::string Copy(std::string_view s, int64_t index, int64_t count);
// Everything from 1-based `index` to the end, clamped like Copy.
std::string CopyFrom(std::string_view s, int64_t index);
// Removes `count` characters from 1-based `index`, clamped like Copy.
void Delete(std::string& s, int64_t index, int64_t count);

// Upper-cases only ASCII a..z; bytes of the code page's letters stay as they are.
std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
bool SameTextAscii(std::string_view a, std::string_view b);

// Removes leading and trailing blanks and control characters (bytes <= 0x20).
std::string Trim(std::string_view s);

bool StartsWith(std::string_view s, std::string_view prefix);
std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to);

// General number text: up to 15 significant digits, trailing zeros dropped,
// `separator` as the decimal mark, exponent form only where a double would need
// it (as "1E20"). NaN and infinities give "NAN", "INF", "-INF".
std::string FormatGeneral(double value, char separator);
// Nearest integer with an exact half going to the even neighbour.
int64_t RoundHalfEven(double value);
// Whole number in decimal with optional sign and surrounding blanks; nothing
// else. Empty optional when the text is not one or does not fit in 32 bits.
std::optional<int> ParseInt(std::string_view s);
// Decimal floating point text with the given separator (optional sign, digits,
// one separator, optional exponent E/e, surrounding blanks). Empty optional
// when the text is not such a number.
std::optional<double> ParseFloat(std::string_view s, char separator);

// Lines split at CR LF, a lone CR and a lone LF; a last line without a line end
// is kept, an empty text gives no lines.
std::vector<std::string> SplitLines(std::string_view s);
// Each line followed by CR LF.
std::string JoinLinesCrLf(const std::vector<std::string>& lines);

// Days since 30 December 1899 of a local date and time, the fraction being the
// part of the day.
double DayCount(int year, int month, int day, int hour, int minute, int second);

// UTF-8 to Windows-1250 at run time (a literal is written "..."_1250,
// cp1250.h). Characters the code page lacks are transliterated
// where iconv can (else "?"); every invalid UTF-8 byte becomes "?" and the
// conversion goes on.
std::string Utf8To1250(std::string_view utf8);
// True when every byte is below 0x80: the text reads the same in UTF-8 and 1250.
bool IsAscii(std::string_view s);
// Windows-1250 to UTF-8 (every byte has a character, so this never fails).
std::string Cp1250ToUtf8(std::string_view cp1250);
// UTF-8 to Windows-1250 without transliteration: anything the code page lacks,
// and invalid bytes, become "?".
std::string Utf8To1250Strict(std::string_view utf8);

// UTF-8 to Windows-1250 for HTML: a character the code page lacks becomes a
// numeric character reference ("&#8364;" stays "&#8364;"), so nothing is lost;
// an invalid byte becomes "?".
std::string Utf8To1250Html(std::string_view utf8);

// "&", "<", ">" and '"' as HTML writes them in text and attribute values.
std::string EscapeHtml(std::string_view s);

// The collation key of a 1250 text: Slovak order ("ch" after "h", "č" after
// "c"), letter case only as the last tie-break. Keys compare bytewise.
std::string CollationKey(const std::string& text1250);

}  // namespace trovik::text
