#include "pages/jpeg_halving.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>

#include "base/error.h"
#include "base/files.h"
#include "text/text.h"

namespace trovik::pages {

int64_t FileByteSize(const std::string& path) {
  std::string fs = files::PcPath(path);
  int fd = ::open(fs.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) throw CannotOpenFile(path);
  struct stat st {};
  int rc = ::fstat(fd, &st);
  ::close(fd);
  if (rc != 0) throw CannotOpenFile(path);
  return static_cast<int64_t>(st.st_size);
}

bool ShrinkRule(const std::string& path, bool shrinkOption, const std::string& limitText) {
  if (text::UpperCase(files::ExtensionOf(path)) != ".JPG") return false;
  std::string fs = files::PcPath(path);
  if (!files::Exists(fs) || files::IsDirectory(fs)) return false;
  if (!shrinkOption) return false;
  auto parsed = text::ParseInt(limitText);
  int64_t limit = parsed ? *parsed : kDefaultSizeLimit;
  if (FileByteSize(path) <= limit) return false;
  ResizeJpg(path, path, 0.5);
  return true;
}

void ResizeJpg(const std::string& inPath, const std::string& outPath, double factor) {
  Bitmap bmp = DecodeJpeg(files::ReadAll(files::PcPath(inPath)), inPath);
  if (bmp.width < 2 || bmp.height < 2) {
    // One pixel wide or high: the scale factor would divide by zero. The
    // picture stays; a separate output still gets its copy.
    if (outPath != inPath) files::WriteAtomic(files::PcPath(outPath), files::ReadAll(files::PcPath(inPath)));
    return;
  }
  auto newHeight = text::RoundHalfEven(factor * bmp.height);
  auto newWidth = text::RoundHalfEven(factor * bmp.width);
  if (newWidth < 1) newWidth = 1;
  if (newHeight < 1) newHeight = 1;
  ResampleBilinear(bmp, static_cast<int>(newWidth), static_cast<int>(newHeight));
  files::WriteAtomic(files::PcPath(outPath), EncodeJpeg(bmp, kJpegQuality, outPath));
}

namespace {

// One channel step of the weighted sum: the product is carried exactly (a byte
// times a float fits a double), the sum is rounded to a float after each
// addition.
inline float addWeighted(float sum, uint8_t value, float weight) {
  return static_cast<float>(static_cast<double>(sum) + static_cast<double>(value) * static_cast<double>(weight));
}

inline uint8_t channelByte(float sum) {
  // lrintf rounds to nearest with ties to even in the default rounding mode.
  long v = std::lrintf(sum);
  return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

struct Tap {
  int index0;
  int index1;
  float w0;
  float w1;
};

}  // namespace

void ResampleBilinear(Bitmap& bitmap, int newWidth, int newHeight) {
  const int w = bitmap.width, h = bitmap.height;
  if (w < 2 || h < 2 || newWidth < 1 || newHeight < 1) {
    throw Error("ResampleBilinear: source of " + std::to_string(w) + " x " + std::to_string(h) + " cannot be scaled");
  }
  const float xs = static_cast<float>(newWidth) / static_cast<float>(w - 1);
  const float ys = static_cast<float>(newHeight) / static_cast<float>(h - 1);

  // The column mapping is the same for every row; each tap keeps the weights
  // the per-pixel formula gives, and a neighbour index clamped to the edge
  // only ever carries a zero weight.
  auto tap = [](int t, float scale, int size) {
    float s = static_cast<float>(t) / scale;
    int i = static_cast<int>(s);
    float f = s - static_cast<float>(i);
    if (i > size - 1) i = size - 1;
    return Tap{i, i + 1 < size ? i + 1 : size - 1, 1.0f - f, f};
  };
  std::vector<Tap> cols(static_cast<size_t>(newWidth));
  for (int x = 0; x < newWidth; ++x) cols[static_cast<size_t>(x)] = tap(x, xs, w);

  Bitmap out;
  out.width = newWidth;
  out.height = newHeight;
  out.bgr.resize(static_cast<size_t>(newWidth) * newHeight * 3);
  for (int y = 0; y < newHeight; ++y) {
    const Tap row = tap(y, ys, h);
    const uint8_t* r0 = bitmap.row(row.index0);
    const uint8_t* r1 = bitmap.row(row.index1);
    uint8_t* d = out.row(y);
    for (int x = 0; x < newWidth; ++x, d += 3) {
      const Tap& c = cols[static_cast<size_t>(x)];
      // Column offset outer, row offset inner.
      const uint8_t* p[4] = {r0 + c.index0 * 3, r1 + c.index0 * 3, r0 + c.index1 * 3, r1 + c.index1 * 3};
      const float wt[4] = {c.w0 * row.w0, c.w0 * row.w1, c.w1 * row.w0, c.w1 * row.w1};
      float b = 0.0f, g = 0.0f, r = 0.0f;
      for (int k = 0; k < 4; ++k) {
        b = addWeighted(b, p[k][0], wt[k]);
        g = addWeighted(g, p[k][1], wt[k]);
        r = addWeighted(r, p[k][2], wt[k]);
      }
      d[0] = channelByte(b);
      d[1] = channelByte(g);
      d[2] = channelByte(r);
    }
  }
  bitmap = std::move(out);
}

}  // namespace trovik::pages
