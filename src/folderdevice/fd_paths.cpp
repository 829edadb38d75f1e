// Device paths onto the root folder, and the text rules of device names.

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "folderdevice/fd_internal.h"

namespace trovik::folderdevice {

namespace {

thread_local DWORD lastError = 0;

std::string StripSlashes(std::string s) {
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}

// Next code point of UTF-8 text; invalid bytes come through as themselves.
uint32_t NextCodePoint(const std::string& s, size_t& i) {
  unsigned char c = static_cast<unsigned char>(s[i++]);
  if (c < 0x80) return c;
  int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
  uint32_t cp = c & (0x3F >> extra);
  for (int k = 0; k < extra && i < s.size(); ++k) {
    unsigned char d = static_cast<unsigned char>(s[i]);
    if ((d & 0xC0) != 0x80) return c;
    cp = (cp << 6) | (d & 0x3F);
    ++i;
  }
  return cp;
}

// Lower case of the Latin letters names on the handheld use.
uint32_t FoldCase(uint32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return (c % 2 == 0) ? c + 1 : c;
  if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c % 2 == 1) ? c + 1 : c;
  if (c == 0x178) return 0xFF;
  return c;
}

std::vector<uint32_t> Folded(const std::string& s) {
  std::vector<uint32_t> out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) out.push_back(FoldCase(NextCodePoint(s, i)));
  return out;
}

bool MatchFrom(const std::vector<uint32_t>& p, size_t pi, const std::vector<uint32_t>& n, size_t ni) {
  // Iterative glob with one backtrack point: linear enough for file names.
  size_t starP = std::string::npos, starN = 0;
  while (ni < n.size()) {
    if (pi < p.size() && (p[pi] == '?' || p[pi] == n[ni])) {
      ++pi;
      ++ni;
    } else if (pi < p.size() && p[pi] == '*') {
      starP = pi++;
      starN = ni;
    } else if (starP != std::string::npos) {
      pi = starP + 1;
      ni = ++starN;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  return pi == p.size();
}

enum class Found { No, Yes, Link };

// Finds `name` in `folder`, exactly or else without regard to case; `actual`
// gets the name as it is on disk.
Found Lookup(const std::string& folder, const std::string& name, std::string& actual) {
  struct stat st;
  if (lstat((folder + "/" + name).c_str(), &st) == 0) {
    actual = name;
    return S_ISLNK(st.st_mode) ? Found::Link : Found::Yes;
  }
  DIR* dir = opendir(folder.c_str());
  if (!dir) return Found::No;
  Found found = Found::No;
  while (dirent* e = readdir(dir)) {
    if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
    if (SameNameNoCase(e->d_name, name)) {
      actual = e->d_name;
      found = (lstat((folder + "/" + actual).c_str(), &st) == 0 && S_ISLNK(st.st_mode)) ? Found::Link : Found::Yes;
      break;
    }
  }
  closedir(dir);
  return found;
}

// A volume of the handheld may be a link to a folder (a card mounted
// elsewhere); links anywhere below are refused.
bool LinksToFolder(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Refuse(DWORD error) {
  SetLastError(error);
  return false;
}

}  // namespace

void SetLastError(DWORD error) { lastError = error; }
DWORD LastError() { return lastError; }

void SetLastErrno(int err, bool parentMissing) {
  switch (err) {
    case ENOENT: SetLastError(parentMissing ? ERROR_PATH_NOT_FOUND : ERROR_FILE_NOT_FOUND); break;
    case ENOTDIR: SetLastError(ERROR_PATH_NOT_FOUND); break;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: SetLastError(ERROR_ACCESS_DENIED); break;
    case EEXIST: SetLastError(ERROR_ALREADY_EXISTS); break;
    case ENOTEMPTY: SetLastError(ERROR_DIR_NOT_EMPTY); break;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: SetLastError(ERROR_DISK_FULL); break;
    case ENAMETOOLONG: SetLastError(ERROR_FILENAME_EXCED_RANGE); break;
    case EBADF: SetLastError(ERROR_INVALID_HANDLE); break;
    case EINVAL: SetLastError(ERROR_INVALID_PARAMETER); break;
    default: SetLastError(ERROR_IO_DEVICE); break;
  }
}

bool FaultOn(const char* name) {
  const char* v = std::getenv(name);
  return v && *v && std::strcmp(v, "0") != 0;
}

long FaultNumber(const char* name, long otherwise) {
  const char* v = std::getenv(name);
  if (!v || !*v) return otherwise;
  char* end = nullptr;
  long n = std::strtol(v, &end, 10);
  return (end && *end == 0) ? n : otherwise;
}

std::string FaultText(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

std::string RootFolder() {
  if (const char* root = std::getenv("TROVIK_DEVICE_ROOT"); root && *root) return StripSlashes(root);
  std::string program;
  if (const char* home = std::getenv("TROVIK_HOME"); home && *home) {
    program = StripSlashes(home);
  } else {
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    std::string exe = n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string(".");
    size_t slash = exe.rfind('/');
    program = slash == std::string::npos ? "." : exe.substr(0, slash);
  }
  return (program == "/" ? "" : program) + "/PDA";
}

bool Utf16ToUtf8(const WCHAR* s, std::string& out) {
  out.clear();
  for (size_t i = 0; s[i]; ++i) {
    uint32_t c = s[i];
    if (c >= 0xD800 && c <= 0xDBFF) {
      uint32_t d = s[i + 1];
      if (d < 0xDC00 || d > 0xDFFF) return false;
      c = 0x10000 + ((c - 0xD800) << 10) + (d - 0xDC00);
      ++i;
    } else if (c >= 0xDC00 && c <= 0xDFFF) {
      return false;
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return true;
}

void Utf8ToUtf16(const std::string& s, WCHAR* out, int capacity) {
  int n = 0;
  for (size_t i = 0; i < s.size() && n < capacity - 1;) {
    uint32_t c = NextCodePoint(s, i);
    if (c >= 0x10000) {
      if (n + 2 > capacity - 1) break;
      c -= 0x10000;
      out[n++] = static_cast<WCHAR>(0xD800 + (c >> 10));
      out[n++] = static_cast<WCHAR>(0xDC00 + (c & 0x3FF));
    } else {
      out[n++] = static_cast<WCHAR>(c);
    }
  }
  out[n] = 0;
}

bool SameNameNoCase(const std::string& a, const std::string& b) { return Folded(a) == Folded(b); }

bool WildcardMatch(const std::string& pattern, const std::string& name) {
  // "*.*" means every name, with or without a dot, as on the handheld.
  if (pattern == "*" || pattern == "*.*") return true;
  return MatchFrom(Folded(pattern), 0, Folded(name), 0);
}

bool MapPath(const WCHAR* devicePath, bool pattern, HostPath& out) {
  out = HostPath{};
  if (!devicePath) return Refuse(ERROR_INVALID_PARAMETER);
  size_t length = 0;
  while (devicePath[length]) {
    if (++length > static_cast<size_t>(kMaxWidePath)) return Refuse(ERROR_FILENAME_EXCED_RANGE);
  }
  std::string utf8;
  if (!Utf16ToUtf8(devicePath, utf8)) return Refuse(ERROR_INVALID_NAME);

  // The handheld has no current folder and no drives: every path starts at
  // the root, and both slashes separate.
  std::vector<std::string> segments;
  std::string seg;
  for (size_t i = 0; i <= utf8.size(); ++i) {
    if (i == utf8.size() || utf8[i] == '\\' || utf8[i] == '/') {
      if (!seg.empty()) segments.push_back(seg);
      seg.clear();
    } else {
      seg += utf8[i];
    }
  }
  for (size_t k = 0; k < segments.size(); ++k) {
    const std::string& s = segments[k];
    if (s.find_first_not_of('.') == std::string::npos) return Refuse(ERROR_INVALID_NAME);
    for (unsigned char c : s) {
      if (c < 0x20 || std::strchr(":\"<>|", c)) return Refuse(ERROR_INVALID_NAME);
      if ((c == '*' || c == '?') && !(pattern && k + 1 == segments.size())) return Refuse(ERROR_INVALID_NAME);
    }
  }

  std::string current = RootFolder();
  struct stat st;
  bool exists = stat(current.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  if (!exists) {
    out.path = current;
    out.folder = current;
    return Refuse(ERROR_PATH_NOT_FOUND);
  }
  if (segments.empty()) {
    out.path = current;
    out.folder = current;
    out.parentExists = true;
    return true;
  }
  for (size_t k = 0; k + 1 < segments.size(); ++k) {
    std::string actual = segments[k];
    if (exists) {
      Found f = Lookup(current, segments[k], actual);
      if (f == Found::Link && !(k == 0 && LinksToFolder(current + "/" + actual))) return Refuse(ERROR_ACCESS_DENIED);
      exists = f != Found::No;
    }
    current += "/" + actual;
  }
  out.folder = current;
  out.parentExists = exists && stat(current.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  out.last = segments.back();
  out.topLevel = segments.size() == 1;
  std::string actual = out.last;
  if (!pattern && out.parentExists) {
    if (Lookup(current, out.last, actual) == Found::Link && !(segments.size() == 1 && LinksToFolder(current + "/" + actual)))
      return Refuse(ERROR_ACCESS_DENIED);
  }
  out.path = current + "/" + actual;
  return true;
}

}  // namespace trovik::folderdevice
