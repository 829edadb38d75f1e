#pragma once
// The keys of "Trovik.ini" and the commands that read and write them. Every
// read passes the control's present content as its default, so a missing key
// leaves the control as designed. Writes throw trovik::Error
// ("Unable to write to " + path) and abandon the writes after the failing one.

#include <string>

#include "app/main_state.h"
#include "base/fields.h"

namespace trovik::app {

// Sections and keys (ASCII; the file matches them without regard to case).
namespace keys {
inline constexpr const char* kPrihlasovanie = "Prihlasovanie";
inline constexpr const char* kUsername = "username";
inline constexpr const char* kPassword = "password";
inline constexpr const char* kLastCesty = "LastCesty";
inline constexpr const char* kPda = "PDA";
inline constexpr const char* kPc = "PC";
inline constexpr const char* kKdeukladatdata = "Kdeukladatdata";
inline constexpr const char* kPdaWpt = "PDA_WPT";
inline constexpr const char* kPdaMht = "PDA_MHT";
inline constexpr const char* kWptSubor = "WPTsubor";
inline constexpr const char* kLastWpt = "LastWPT";
inline constexpr const char* kSubor = "Subor";
inline constexpr const char* kSetrenie = "Setrenie";
inline constexpr const char* kOriginal = "Original";
inline constexpr const char* kVacsi = "Vacsi";
inline constexpr const char* kVelkost = "Velkost";
inline constexpr const char* kSpooler = "Spooler";
inline constexpr const char* kAllFoto = "AllFoto";
inline constexpr const char* kMaxObrazokMB = "MaxObrazokMB";
inline constexpr const char* kAdresy = "Adresy";
inline constexpr const char* kSk = "sk";
inline constexpr const char* kCom = "com";
inline constexpr const char* kObrazky = "obrazky";
inline constexpr const char* kZoznam = "Zoznam";
inline constexpr const char* kKodZNazvu = "KodZNazvu";
inline constexpr const char* kStranky = "Stranky";
inline constexpr const char* kLogy = "Logy";
inline constexpr const char* kDomov = "Domov";
inline constexpr const char* kPoloha = "Poloha";
}  // namespace keys

// Start-up reads, in the order the second stage makes them.
// Login name and password.
void ReadLogin(MainState& s);
// "LastCesty": the device folder (panel, then the current device folder) and
// the PC folder (panel and folder tree, the program folder when the tree
// cannot switch to it).
void ReadLastFolders(MainState& s);
// "PDA_WPT", "PDA_MHT".
void ReadDeviceFolders(MainState& s);
// "LastWPT"/"Subor" into the current waypoint file.
void ReadLastWpt(MainState& s);
// "Adresy": the base addresses of the two sites and the image server.
void ReadAddresses(MainState& s);
// "Zoznam"/"KodZNazvu": whether a waypoint named by a cache code is listed
// without a "(GC...)" group. Read before a waypoint file is opened.
void ReadListOptions(MainState& s);
// "Setrenie": the picture-saving group. The two radio buttons are stored as
// two flags; the later one read ("Vacsi") decides when both are set. The cap
// of a picture download, "MaxObrazokMB" (whole megabytes, at least 1), has no
// control and is only read.
void ReadSetrenie(MainState& s);

// "Stranky"/"Logy" and "Domov"/"Poloha": the pages made from a waypoint file.
void ReadFilePageSettings(MainState& s);
// The number of logs a page shows: the field's whole number, 10 when it is not one.
int FilePageLogs(const Fields& f);

// Switches the PC folder tree to `folder1250` (an existing folder); false
// when it cannot. Shows the folder in the PC pane's panel and tells the pane.
bool SwitchPcFolder(MainState& s, const std::string& folder1250);

// SpeedButton8Click, "Zapíš do INI": "PDA_WPT", "PDA_MHT", "Original",
// "Vacsi", "Velkost", "Spooler", "AllFoto", then the "Adresy" keys, "Logy",
// "Poloha"; the
// MainState form then "Zoznam"/"KodZNazvu".
void SpeedButton8Click(const Fields& fields, const std::string& settingsPath);
void SpeedButton8Click(MainState& s);

// The shut-down write: "LastCesty"/"PDA" and "PC" from the panels of the two
// panes, then "LastWPT"/"Subor" from the current waypoint file.
void WriteShutdownSettings(const MainState& s);

// The first-start write: "Kdeukladatdata"/"WPTsubor".
void WriteFirstStartWpt(const std::string& settingsPath, const std::string& waypointFile);

}  // namespace trovik::app
