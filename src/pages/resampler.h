#pragma once
// The bilinear rescaling of JPEG halving: one target row at a time from the
// two source rows its taps name, with vector code chosen at run time that
// gives the same bytes as the plain code. ResizeJpg runs it on its worker
// thread; a Resampler is read-only once made, so rows may be made anywhere.

#include <cstdint>
#include <memory>
#include <vector>

namespace trovik::pages {

// A target coordinate's two source indices and their weights.
struct Tap {
  int index0;
  int index1;
  float w0;
  float w1;
};

// The rescaling of a w x h source to newWidth x newHeight. Throws
// trovik::Error for a source under 2 x 2 or an empty target.
class Resampler {
 public:
  Resampler(int w, int h, int newWidth, int newHeight);
  ~Resampler();
  Resampler(const Resampler&) = delete;
  Resampler& operator=(const Resampler&) = delete;

  int width() const { return newWidth_; }
  int height() const { return newHeight_; }

  // The source rows target row y blends (index0, index1 and their weights).
  Tap rowTap(int y) const;

  // Target row y into `d` (width() * 3 bytes) from its source rows r0, r1.
  void row(int y, const uint8_t* r0, const uint8_t* r1, uint8_t* d) const;

 private:
  struct Lanes;  // the column taps laid out for the wide vector path, when the processor has it

  int w_, h_, newWidth_, newHeight_;
  float xs_ = 0, ys_ = 0;
  std::vector<Tap> cols_;
  std::unique_ptr<Lanes> lanes_;
};

}  // namespace trovik::pages
