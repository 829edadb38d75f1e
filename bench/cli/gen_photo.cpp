// Writes the halving benchmark's inputs: a photo-like 4000 x 3000 JPEG at
// quality 90 (IN.jpg) and its half-size picture as PPM (HALF.ppm), which the
// cjpeg side of the peer pair encodes.
//   bench_cli_gen_photo IN.jpg HALF.ppm

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>

#include "base/files.h"
#include "pages/jpeg_halving.h"

using namespace trovik;

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: bench_cli_gen_photo IN.jpg HALF.ppm\n");
    return 2;
  }
  // Smooth gradients, some edges and fine noise: the kind of detail a cache photo has.
  pages::Bitmap b;
  b.width = 4000, b.height = 3000;
  b.bgr.resize(static_cast<size_t>(b.width) * b.height * 3);
  std::mt19937 rng(42);
  std::uniform_int_distribution<int> noise(-12, 12);
  for (int y = 0; y < b.height; ++y) {
    uint8_t* row = b.row(y);
    for (int x = 0; x < b.width; ++x) {
      const double fx = x / static_cast<double>(b.width), fy = y / static_cast<double>(b.height);
      const int base = static_cast<int>(128 + 90 * std::sin(fx * 9.0 + fy * 3.0) * std::cos(fy * 7.0));
      const bool edge = ((x / 150) + (y / 150)) % 7 == 0;
      const int v[3] = {base + (edge ? 60 : 0), static_cast<int>(base * 0.8 + 40 * fy),
                        static_cast<int>(255 - base * 0.6)};
      for (int c = 0; c < 3; ++c) row[x * 3 + c] = static_cast<uint8_t>(std::clamp(v[c] + noise(rng), 0, 255));
    }
  }
  files::WriteAtomic(argv[1], pages::EncodeJpeg(b, 90, argv[1]));
  pages::ResampleBilinear(b, b.width / 2, b.height / 2);
  std::string ppm = "P6\n" + std::to_string(b.width) + " " + std::to_string(b.height) + "\n255\n";
  ppm.reserve(ppm.size() + b.bgr.size());
  for (size_t i = 0; i < b.bgr.size(); i += 3)
    ppm += {static_cast<char>(b.bgr[i + 2]), static_cast<char>(b.bgr[i + 1]), static_cast<char>(b.bgr[i])};
  files::WriteAtomic(argv[2], ppm);
  return 0;
}
