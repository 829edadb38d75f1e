#include "base/profile.h"

#include <optional>

#include "base/error.h"
#include "base/files.h"
#include "text/text.h"

namespace trovik::profile {
namespace {

enum class Kind { Blank, Comment, Section, Key, Other };

// One line of the file as byte offsets: [begin, contentEnd) is the text,
// [contentEnd, end) its line end (empty on a last line without one).
struct Line {
  std::size_t begin = 0, contentEnd = 0, end = 0;
  Kind kind = Kind::Other;
  std::string name;          // section or key name, trimmed
  std::size_t valueBegin = 0;  // key lines: first byte after "="
};

std::vector<Line> Scan(std::string_view bytes) {
  std::vector<Line> lines;
  std::size_t i = 0;
  const std::size_t n = bytes.size();
  while (i < n) {
    Line line;
    line.begin = i;
    std::size_t j = i;
    while (j < n && bytes[j] != '\r' && bytes[j] != '\n') ++j;
    line.contentEnd = j;
    if (j < n) {
      if (bytes[j] == '\r' && j + 1 < n && bytes[j + 1] == '\n')
        j += 2;
      else
        ++j;
    }
    line.end = j;
    i = j;

    std::string_view content = bytes.substr(line.begin, line.contentEnd - line.begin);
    std::size_t first = 0;
    while (first < content.size() && static_cast<unsigned char>(content[first]) <= 0x20) ++first;
    if (first == content.size()) {
      line.kind = Kind::Blank;
    } else if (content[first] == ';') {
      line.kind = Kind::Comment;
    } else if (content[first] == '[' && content.find(']', first) != std::string_view::npos) {
      std::size_t close = content.find(']', first);
      line.kind = Kind::Section;
      line.name = text::Trim(content.substr(first + 1, close - first - 1));
    } else if (std::size_t eq = content.find('='); eq != std::string_view::npos) {
      line.kind = Kind::Key;
      line.name = text::Trim(content.substr(0, eq));
      line.valueBegin = line.begin + eq + 1;
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

// Index range [first, last) of the lines of the first section named `section`
// (header included at `first`), or nothing.
struct SectionRange {
  std::size_t header, end;
};

std::optional<SectionRange> FindSection(const std::vector<Line>& lines, std::string_view section) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].kind != Kind::Section || !text::SameTextAscii(lines[i].name, section)) continue;
    std::size_t end = i + 1;
    while (end < lines.size() && lines[end].kind != Kind::Section) ++end;
    return SectionRange{i, end};
  }
  return std::nullopt;
}

std::optional<std::size_t> FindKey(const std::vector<Line>& lines, SectionRange range, std::string_view key) {
  for (std::size_t i = range.header + 1; i < range.end; ++i)
    if (lines[i].kind == Kind::Key && text::SameTextAscii(lines[i].name, key)) return i;
  return std::nullopt;
}

std::string CleanValue(std::string_view raw) {
  std::string v = text::Trim(raw);
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    v = v.substr(1, v.size() - 2);
  if (v.size() > kMaxValueLength) v.resize(kMaxValueLength);
  return v;
}

std::string OneLine(std::string_view value) {
  std::string v(value);
  for (char& c : v)
    if (c == '\r' || c == '\n') c = ' ';
  return v;
}

// The file's bytes, or nothing when it is missing or cannot be read.
std::optional<std::string> Load(const std::string& path) {
  const std::string fs = files::PcPath(path);
  if (!files::Exists(fs) || files::IsDirectory(fs)) return std::nullopt;
  try {
    return files::ReadAll(fs);
  } catch (const Error&) {
    return std::nullopt;
  }
}

}  // namespace

std::string GetValue(std::string_view bytes, std::string_view section, std::string_view key,
                     std::string_view def) {
  const auto lines = Scan(bytes);
  const auto range = FindSection(lines, section);
  if (!range) return std::string(def);
  const auto k = FindKey(lines, *range, key);
  if (!k) return std::string(def);
  const Line& line = lines[*k];
  return CleanValue(bytes.substr(line.valueBegin, line.contentEnd - line.valueBegin));
}

std::string SetValue(std::string_view bytes, std::string_view section, std::string_view key,
                     std::string_view value) {
  const std::string v = OneLine(value);
  const auto lines = Scan(bytes);
  std::string out;
  out.reserve(bytes.size() + section.size() + key.size() + v.size() + 8);

  const auto range = FindSection(lines, section);
  if (!range) {
    out.append(bytes);
    if (!out.empty() && out.back() != '\n' && out.back() != '\r') out += "\r\n";
    out.append("[").append(OneLine(section)).append("]\r\n");
    out.append(OneLine(key)).append("=").append(v).append("\r\n");
    return out;
  }

  if (const auto k = FindKey(lines, *range, key)) {
    // Only the value changes; the key as spelt in the file and the line end stay.
    const Line& line = lines[*k];
    out.append(bytes.substr(0, line.valueBegin));
    out.append(v);
    out.append(bytes.substr(line.contentEnd));
    return out;
  }

  // After the section's last key (or its header), before the blank lines and
  // comments that usually lead into the next section.
  std::size_t after = range->header;
  for (std::size_t i = range->header + 1; i < range->end; ++i)
    if (lines[i].kind == Kind::Key || lines[i].kind == Kind::Other) after = i;
  const Line& line = lines[after];
  out.append(bytes.substr(0, line.end));
  if (line.end == line.contentEnd) out += "\r\n";
  out.append(OneLine(key)).append("=").append(v).append("\r\n");
  out.append(bytes.substr(line.end));
  return out;
}

std::vector<std::string> GetKeyNames(std::string_view bytes, std::string_view section, std::size_t bufferChars) {
  std::vector<std::string> names;
  const auto lines = Scan(bytes);
  const auto range = FindSection(lines, section);
  if (!range) return names;
  std::size_t room = bufferChars;
  for (std::size_t i = range->header + 1; i < range->end; ++i) {
    if (lines[i].kind != Kind::Key || lines[i].name.empty()) continue;
    if (bufferChars == 0) {
      names.push_back(lines[i].name);
      continue;
    }
    // Each name and its zero must leave room for the closing zero.
    if (room <= 2) break;
    std::string name = lines[i].name.substr(0, room - 2);
    room -= name.size() + 1;
    names.push_back(std::move(name));
    if (room < 2) break;
  }
  return names;
}

std::string ReadString(const std::string& path, std::string_view section, std::string_view key,
                       std::string_view def) {
  const auto bytes = Load(path);
  if (!bytes) return std::string(def);
  return GetValue(*bytes, section, key, def);
}

bool ReadFlag(const std::string& path, std::string_view section, std::string_view key, bool def) {
  const std::string v = ReadString(path, section, key, def ? "1" : "0");
  const auto n = text::ParseInt(v);
  if (!n) return def;
  return *n != 0;
}

void WriteString(const std::string& path, std::string_view section, std::string_view key,
                 std::string_view value) {
  const std::string fs = files::PcPath(path);
  std::string old;
  try {
    // A file that is there but cannot be read is refused rather than replaced,
    // which would lose everything else it holds.
    if (files::Exists(fs)) {
      if (files::IsDirectory(fs)) throw UnableToWrite(path);
      old = files::ReadAll(fs);
    }
    files::WriteAtomic(fs, SetValue(old, section, key, value));
  } catch (const Error&) {
    throw UnableToWrite(path);
  }
}

void WriteFlag(const std::string& path, std::string_view section, std::string_view key, bool value) {
  WriteString(path, section, key, value ? "1" : "0");
}

std::vector<std::string> KeyNames(const std::string& path, std::string_view section, std::size_t bufferChars) {
  const auto bytes = Load(path);
  if (!bytes) return {};
  return GetKeyNames(*bytes, section, bufferChars);
}

std::string SettingsPath(const std::string& programFolder) { return programFolder + "Trovik.ini"; }

void WriteLogin(const std::string& settingsPath, const std::string& user, const std::string& password) {
  WriteString(settingsPath, "Prihlasovanie", "username", user);
  WriteString(settingsPath, "Prihlasovanie", "password", password);
}

}  // namespace trovik::profile
