#pragma once
// Device paths are 1250 text inside the system and 16-bit text on the wire.

#include <string>
#include <string_view>

namespace trovik::device {

// Every 1250 byte has a 16-bit character (the five unassigned bytes keep
// their own values), so the widening never fails and never cuts.
std::u16string Widen1250(std::string_view text1250);
// 16-bit text back to 1250; characters the code page lacks become "?".
std::string Narrow1250(std::u16string_view wide);
char Narrow1250(char16_t c);
// Whether two device names are one name to the handheld's file system, which
// ignores the case of Latin letters.
bool SameDeviceName(std::u16string_view a, std::u16string_view b);

}  // namespace trovik::device
