#include "waypoints/gpx_file.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

#include "base/error.h"
#include "base/files.h"
#include "text/text.h"
#include "waypoints/gpx_convert.h"

namespace trovik::waypoints {

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

constexpr size_t kChunk = 1 << 20;

bool isAscii(std::string_view s) {
  const char* p = s.data();
  size_t n = s.size();
  uint64_t any = 0;
  for (; n >= 8; p += 8, n -= 8) {
    uint64_t w;
    std::memcpy(&w, p, 8);
    any |= w;
  }
  for (; n > 0; ++p, --n) any |= static_cast<unsigned char>(*p);
  return (any & 0x8080808080808080ull) == 0;
}

// Code point -> Windows-1250 byte for the characters the code page holds,
// taken from text::Cp1250ToUtf8 so both directions share one table.
class ReverseTable {
 public:
  static constexpr uint32_t kSize = 0x2200;  // the code page's highest character is U+2122
  ReverseTable() {
    for (int b = 0x80; b <= 0xFF; ++b) {
      std::string u = text::Cp1250ToUtf8(std::string(1, static_cast<char>(b)));
      uint32_t cp = 0;
      if (u.size() == 2) cp = ((u[0] & 0x1Fu) << 6) | (u[1] & 0x3Fu);
      if (u.size() == 3) cp = ((u[0] & 0x0Fu) << 12) | ((u[1] & 0x3Fu) << 6) | (u[2] & 0x3Fu);
      if (cp != 0 && cp != 0xFFFD && cp < kSize) byte_[cp] = static_cast<unsigned char>(b);
    }
  }
  unsigned char byteOf(uint32_t cp) const { return cp < kSize ? byte_[cp] : 0; }

 private:
  unsigned char byte_[kSize] = {};
};

const ReverseTable& reverseTable() {
  static const ReverseTable table;
  return table;
}

// Lines whose characters all lie in the code page are converted here; any
// other line (a character to transliterate, an invalid byte) goes to
// text::Utf8To1250, which gives the same bytes for the characters handled here.
void reencodeInto(std::string_view utf8, std::string& out) {
  out.clear();
  if (isAscii(utf8)) {
    out.assign(utf8);
    return;
  }
  const ReverseTable& table = reverseTable();
  out.reserve(utf8.size());
  const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
  size_t n = utf8.size();
  for (size_t i = 0; i < n;) {
    unsigned char b = s[i];
    if (b < 0x80) {
      out += static_cast<char>(b);
      ++i;
      continue;
    }
    uint32_t cp = 0;
    size_t len = 0;
    if (b >= 0xC2 && b <= 0xDF && i + 1 < n && (s[i + 1] & 0xC0) == 0x80) {
      cp = ((b & 0x1Fu) << 6) | (s[i + 1] & 0x3Fu);
      len = 2;
    } else if (b >= 0xE0 && b <= 0xEF && i + 2 < n && (s[i + 1] & 0xC0) == 0x80 && (s[i + 2] & 0xC0) == 0x80) {
      cp = ((b & 0x0Fu) << 12) | ((s[i + 1] & 0x3Fu) << 6) | (s[i + 2] & 0x3Fu);
      len = cp >= 0x800 ? 3 : 0;
    }
    unsigned char mapped = len ? table.byteOf(cp) : 0;
    if (!mapped) {
      out = text::Utf8To1250(utf8);
      return;
    }
    out += static_cast<char>(mapped);
    i += len;
  }
}

}  // namespace

void ForEachFileLine(const std::string& path1250, const std::function<void(std::string_view, bool)>& onLine) {
  std::unique_ptr<std::FILE, FileCloser> f(std::fopen(files::PcPath(path1250).c_str(), "rb"));
  if (!f) throw CannotOpenFile(path1250);
  std::string buf;
  std::unique_ptr<char[]> chunk(new char[kChunk]);
  size_t start = 0;  // first byte of the line being assembled
  size_t scan = 0;   // bytes before this are known to hold no line end
  bool eof = false;
  for (;;) {
    if (!eof) {
      size_t n = std::fread(chunk.get(), 1, kChunk, f.get());
      if (n == 0) {
        // A folder opens on some systems and fails only here.
        if (std::ferror(f.get())) throw CannotOpenFile(path1250);
        eof = true;
      } else {
        if (start > 0) {
          buf.erase(0, start);
          scan -= start;
          start = 0;
        }
        buf.append(chunk.get(), n);
      }
    }
    for (;;) {
      const char* b = buf.data();
      size_t size = buf.size();
      size_t from = scan < start ? start : scan;
      const void* lf = std::memchr(b + from, '\n', size - from);
      size_t lfPos = lf ? static_cast<size_t>(static_cast<const char*>(lf) - b) : size;
      const void* cr = std::memchr(b + from, '\r', lfPos - from);
      size_t end, next;
      if (cr) {
        end = static_cast<size_t>(static_cast<const char*>(cr) - b);
        if (end + 1 < size) {
          next = b[end + 1] == '\n' ? end + 2 : end + 1;
        } else if (eof) {
          next = end + 1;
        } else {
          scan = end;  // a LF may follow in the next piece
          break;
        }
      } else if (lf) {
        end = lfPos;
        next = lfPos + 1;
      } else {
        if (eof) {
          if (start < size) onLine(std::string_view(b + start, size - start), true);
          return;
        }
        scan = size;
        break;
      }
      if (next == size && !eof) {
        scan = end;  // whether it is the last line shows after the next read
        break;
      }
      onLine(std::string_view(b + start, end - start), next == size);
      start = next;
      scan = next;
    }
  }
}

std::string ReencodeLine(std::string_view utf8) {
  std::string out;
  reencodeInto(utf8, out);
  return out;
}

std::vector<std::string> ReadGpxText(const std::string& path1250) {
  std::vector<std::string> lines;
  ForEachFileLine(path1250, [&lines](std::string_view line, bool) { lines.push_back(ReencodeLine(line)); });
  return lines;
}

void ConvertGpxFile(const std::string& path1250, RunFlags& flags, const std::function<void(std::string&&)>& onWptLine) {
  GpxLineWriter writer([&onWptLine](std::string&& line) { onWptLine(std::move(line)); });
  GpxRecordScanner scanner([&writer](std::string_view record) { writer.record(record); });
  // The header waits for the first line, so a file that cannot be opened
  // yields nothing and leaves the separator as it was.
  bool started = false;
  auto header = [&] {
    started = true;
    flags.decimalSeparator = '.';
    for (const auto& h : WptHeaderLines()) onWptLine(std::string(h));
  };
  std::string converted;
  ForEachFileLine(path1250, [&](std::string_view line, bool last) {
    if (!started) header();
    if (isAscii(line)) {
      scanner.line(line, last);
    } else {
      reencodeInto(line, converted);
      scanner.line(converted, last);
    }
  });
  if (!started) header();
  scanner.finish();
}

}  // namespace trovik::waypoints
