#pragma once
// Private-profile (INI) files, read and written key by key over their
// Windows-1250 bytes the way the Windows profile functions do: section and key
// names match without regard to ASCII case, names and values are trimmed of
// blanks and control characters, one pair of outer quotes is stripped from a
// value on reading, ";" starts a comment line, and the first of duplicate
// sections or keys wins (and is the one a write updates). A write keeps every
// other byte of the file and replaces the file whole (temporary file beside it,
// then rename), so a failed write never leaves a half-written file.
//
// Nothing is held open: every call opens the file afresh. Paths are 1250 text,
// converted with files::PcPath for the file system.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace trovik::profile {

// Values longer than this are cut on reading (the platform's 2048-byte buffer).
inline constexpr std::size_t kMaxValueLength = 2047;

// The value of `key` in `section`, or `def` when the file, the section or the
// key is missing (an unreadable file counts as missing).
std::string ReadString(const std::string& path, std::string_view section, std::string_view key,
                       std::string_view def);
// A flag: a value that reads as an integer other than 0 is set, 0 is clear;
// absent or non-numeric gives `def`.
bool ReadFlag(const std::string& path, std::string_view section, std::string_view key, bool def);

// Sets `key` in `section` to `value`, creating the file, the section (at the
// end of the file) or the key (at the end of its section) as needed. Throws
// UnableToWrite(path) when the file cannot be read back or replaced. Line
// breaks in the value become blanks: they would start new lines in the file.
void WriteString(const std::string& path, std::string_view section, std::string_view key,
                 std::string_view value);
// "1" or "0".
void WriteFlag(const std::string& path, std::string_view section, std::string_view key, bool value);

// The key names of `section` in file order (duplicates included). With a
// non-zero `bufferChars` the names are cut to what the platform's buffer of
// that many characters would hold (each name followed by a zero character,
// one more at the end; the last name that does not fit is truncated).
std::vector<std::string> KeyNames(const std::string& path, std::string_view section,
                                  std::size_t bufferChars = 0);

// The same rules over file contents in memory: what a file of `bytes` would
// answer, and the bytes it holds after a write.
std::string GetValue(std::string_view bytes, std::string_view section, std::string_view key,
                     std::string_view def);
std::string SetValue(std::string_view bytes, std::string_view section, std::string_view key,
                     std::string_view value);
std::vector<std::string> GetKeyNames(std::string_view bytes, std::string_view section,
                                     std::size_t bufferChars = 0);

// The program's settings file: `programFolder` (with its trailing separator)
// followed by "Trovik.ini".
std::string SettingsPath(const std::string& programFolder);

// The login write of a successful login: "Prihlasovanie"/"username" and
// "password", as typed, in plain text. Lives here so that the site module,
// which sits below the application layer, can make it.
void WriteLogin(const std::string& settingsPath, const std::string& user, const std::string& password);

}  // namespace trovik::profile
