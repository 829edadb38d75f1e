#pragma once
// The steps of the listing page filter that work on text alone, so that they
// can be checked byte for byte and measured on large pages.

#include <string>
#include <string_view>
#include <vector>

#include "base/fields.h"
#include "text/cp1250.h"

namespace trovik::pages {

// Texts of the offline page (Windows-1250).
inline constexpr std::string_view kPagePrologue =
    "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\"><html><head><meta "
    "http-equiv=\"content-type\" content=\"text/html;charset=windows-1250\" ></head><body>";
static_assert(kPagePrologue.size() == 162);
inline constexpr std::string_view kPageEpilogue = "</body></html>";
inline constexpr std::string_view kStartMarkerSk = "HLAVNIPANEL";
inline constexpr std::string_view kStartMarkerCom = "FORM ID=FORM1";
inline constexpr std::string_view kStopMarker = "<SCRIPT LANGUAGE=JAVASCRIPT>";
inline constexpr std::string_view kPictureFolderRef = "../Pictures/";
inline constexpr std::string_view kHintHeading = text::Literal1250<"<br><b><i>Pomôcku odkódoval Zorvik:</i><li>">;
inline constexpr std::string_view kHintSecondOpener = "<li><b>";
inline constexpr std::string_view kHintCloser = "</b><br>";
inline constexpr std::string_view kHeaderPictureOpener = "<img style=\"FLOAT: left\" src=\"../Pictures/";
inline constexpr std::string_view kHeaderLabel = text::Literal1250<"Obrázky:">;

// Fills `working` with the prologue, the lines from the first one holding the
// site's start marker up to (not including) the first holding the stop
// marker (both tested upper-cased), and the epilogue.
void CutPage(const std::vector<std::string>& captured, Site site, std::vector<std::string>& working);
// The working lines joined with nothing between them.
std::string JoinPage(const std::vector<std::string>& working);
// Every SRC="..." value (letter case ignored) pointed at "../Pictures/" + its
// last path segment. Linear in the page size.
std::string RewritePictureReferences(std::string_view page);
// The decoded hint lines of a national page (none, one or two); the encoded
// parts go to part1 and part2.
std::vector<std::string> HintLines(std::string_view page, std::string& part1, std::string& part2);
// Picture lines for the header links whose name holds ".JPG" (any case) and
// is not among the page pictures.
std::vector<std::string> HeaderPictureLines(const std::vector<std::string>& headerLinks,
                                            const std::vector<std::string>& pagePictures);
// The part of `address` after its last "/" (all of it without one).
std::string LastSegment(std::string_view address);

}  // namespace trovik::pages
