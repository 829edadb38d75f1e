#include "waypoints/gpx_file.h"

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

void reencodeInto(std::string_view utf8, std::string& out) { out = text::Utf8To1250(utf8); }

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
    if (text::IsAscii(line)) {
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
