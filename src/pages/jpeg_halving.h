#pragma once
// Halving large JPEG pictures to save room on the handheld. Paths are 1250
// text, converted with files::PcPath right before each file-system call.

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace trovik::pages {

// An allocator whose resize leaves new bytes unset: the decoder and the
// resampler write every pixel byte, and zeroing a 12 MP picture first costs
// as much as decoding it.
template <class T>
struct UninitializedAllocator : std::allocator<T> {
  template <class U>
  struct rebind {
    using other = UninitializedAllocator<U>;
  };
  UninitializedAllocator() = default;
  template <class U>
  UninitializedAllocator(const UninitializedAllocator<U>&) noexcept {}
  template <class U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};

// 24 bits per pixel, blue, green, red in memory, rows one after another.
struct Bitmap {
  int width = 0;
  int height = 0;
  std::vector<uint8_t, UninitializedAllocator<uint8_t>> bgr;

  uint8_t* row(int y) { return bgr.data() + static_cast<size_t>(y) * static_cast<size_t>(width) * 3; }
  const uint8_t* row(int y) const {
    return bgr.data() + static_cast<size_t>(y) * static_cast<size_t>(width) * 3;
  }
};

// Pictures the decoder refuses rather than exhausting memory or time.
inline constexpr int64_t kMaxJpegPixels = 100'000'000;
inline constexpr int kMaxProgressiveScans = 500;
inline constexpr int64_t kDefaultSizeLimit = 50000;
inline constexpr int kJpegQuality = 90;

// Size of the file in bytes. It is opened for reading and writing, so a file
// that cannot be replaced afterwards (read-only, missing) raises a file error.
int64_t FileByteSize(const std::string& path);

// The shrink rule run after every picture download: a ".JPG" name (any letter
// case), an existing file, the shrink option on, and a size strictly above
// the limit text read as a whole number (50000 when it is not one). True when
// the picture was halved.
bool ShrinkRule(const std::string& path, bool shrinkOption, const std::string& limitText);

// Decodes `inPath`, scales it by `factor` (sizes rounded half to even) and
// writes a baseline JPEG of quality 90 without metadata to `outPath`, through
// a temporary file renamed over the target once it is complete. A picture one
// pixel wide or high is left as it is (the resampling would divide by zero).
// Throws trovik::Error with the codec's message and the file's name.
void ResizeJpg(const std::string& inPath, const std::string& outPath, double factor);

// Bilinear rescaling of `bitmap` to newWidth x newHeight in 32-bit floats.
// Needs a source at least 2 pixels wide and high, and a positive new size.
void ResampleBilinear(Bitmap& bitmap, int newWidth, int newHeight);
// The resampling uses AVX2 where the processor has it; tests switch it off
// to check that the other paths give the same bytes.
void ResampleAllowWideVectors(bool allowed);

// The codec behind ResizeJpg, over bytes in memory. `name` (1250) goes into
// error texts.
Bitmap DecodeJpeg(const std::string& bytes, const std::string& name);
// The same decoding handed out row by row, so a caller that needs only a few
// rows at a time never holds the whole picture: `start` once with the size,
// then for each row in order the decoder writes its BGR bytes to
// `rowBuffer(y)` (width * 3 bytes) and calls `row(y)`.
struct RowSink {
  virtual ~RowSink() = default;
  virtual void start(int width, int height) = 0;
  virtual uint8_t* rowBuffer(int y) = 0;
  virtual void row(int y) = 0;
};
void DecodeJpegRows(const std::string& bytes, const std::string& name, RowSink& sink);
std::string EncodeJpeg(const Bitmap& bitmap, int quality, const std::string& name);
// The encoding fed row by row (BGR, width * 3 bytes each, top to bottom), so
// rows can be written while later ones are still being made. Every call
// throws trovik::Error with the codec's message and `name` on failure.
class JpegRowEncoder {
 public:
  JpegRowEncoder(int width, int height, int quality, std::string name);
  ~JpegRowEncoder();
  JpegRowEncoder(const JpegRowEncoder&) = delete;
  JpegRowEncoder& operator=(const JpegRowEncoder&) = delete;
  void write(const uint8_t* bgr);
  // The whole file, once every row is written.
  std::string finish();

 private:
  struct Job;
  std::unique_ptr<Job> job_;
  std::string name_;
};

}  // namespace trovik::pages
