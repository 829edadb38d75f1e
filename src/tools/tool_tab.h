#pragma once
// The tab "Pomôcky Geokešera": its fields as plain text and its commands as
// functions over them. The window shows the fields and calls the commands on
// its events; a command that throws trovik::Error changes no field.

#include <string>
#include <string_view>

#include "base/flags.h"
#include "base/host.h"
#include "text/cp1250.h"

namespace trovik::tools {

// The encoded sample that "Memo5" holds at start (1250 text, CR LF lines).
std::string SampleHintText();

struct ToolFields {
  // Coordinate converter "prepočet súradníc" / "Obojstranný".
  std::string edit9 = "48.123456°"_1250.bytes();  // "Formát Stupne "
  std::string edit10 = "48°07.407'"_1250.bytes();  // "Formát Stupne Minuty"
  // Two points in decimal degrees, "." as separator.
  std::string edit11 = "48.0";  // Bod 1 latitude
  std::string edit12 = "19.0";  // Bod 1 longitude
  std::string edit13 = "48.0";  // Bod 2 latitude
  std::string edit14 = "18.0";  // Bod 2 longitude
  std::string edit15;           // "Vzdialenost bodov v metroch", read-only
  std::string edit16;           // "Uhol tam", read-only
  std::string edit17;           // "Uhol naspať", read-only
  std::string memo5 = SampleHintText();
};

// Any key released in Edit9: Edit10 := the degree-minute form. Sets the
// process-wide decimal separator from Edit9's text first.
void Edit9KeyUp(ToolFields& fields, RunFlags& flags);
// Any key released in Edit10: Edit9 := the decimal-degree form with "°".
void Edit10KeyUp(ToolFields& fields);

// "Vzdialenosť BOD1-BOD2": Edit15..Edit17 from the two points.
void SpeedButton16Click(ToolFields& fields, RunFlags& flags);
// The text "BOD1+Uhol+vzdialenost=BOD2" shows: point 1 projected by the
// bearing of Edit16 and the distance of Edit15.
std::string ProjectionText(const ToolFields& fields, RunFlags& flags);
// "BOD1+Uhol+vzdialenost=BOD2" (SpeedButton25): the projection in a box.
void SpeedButton2Click(const ToolFields& fields, RunFlags& flags, Host& host);

// "Odkódovanie zašifrovaného textu": every line of Memo5 decoded in place.
void SpeedButton15Click(ToolFields& fields);

// The hidden self-test button: the listing conversion of a fixed text in a box.
inline constexpr std::string_view kSelfTestListing = text::Literal1250<"N 48°35.218' E 017°50.628'">;
void SpeedButton27Click(Host& host);

}  // namespace trovik::tools
