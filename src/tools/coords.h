#pragma once
// Coordinate texts: decimal degrees ("48.12345°"), degrees with decimal
// minutes ("48°07.407'") and the listing's "N 48°35.218' E 017°50.628'".
// All text is Windows-1250; "°" is the single byte 0xB0.

#include <cstdint>
#include <string>

#include "text/cp1250.h"

namespace trovik::tools {

inline constexpr char kDegree = text::Literal1250<"°">[0];

// "07" for 7, "00" for 0, "12" for 12; a negative number gets the "0" before
// its minus sign ("0-5"), as the converter has always written it.
std::string TwoDigits(int64_t value);

// The separator the decimal-degree field is read with: "." when the text has
// one, else ",".
char DegreeTextSeparator(const std::string& text);

// The decimal-degree field's text (optional trailing "°") as degree-minute
// text "DD°MM.mmm'". Throws NotValidFloat with the number text.
std::string DegToDegMin(const std::string& text);

// Degree-minute text as decimal degrees "DD.ddddd" (no "°"). A degree or minute
// part that is not a whole number counts as 0; a minute fraction that is not
// one throws NotValidInteger with that fraction's text.
std::string DegMinToDeg(const std::string& text);

// "N 48°35.218' E 017°50.628'" -> "48.58697,17.84380". Hemisphere letters are
// not read: every value is taken as north and east. Throws like DegMinToDeg.
std::string ListingCoordsToDeg(const std::string& text);

}  // namespace trovik::tools
