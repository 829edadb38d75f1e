#pragma once
// Pictures no camera makes, built at run time.

#include <string>

namespace trovik::hostile {

// A baseline header declaring width x height (up to 65535 each) with a few
// bytes of scan data and no end: a small file that claims a huge picture.
std::string DeclaredJpeg(int width, int height);
// A small progressive picture whose last scan is repeated `repeats` times.
std::string ScanBombJpeg(int repeats);
// A real baseline picture of noise (so it does not compress away).
std::string NoiseJpeg(int width, int height, bool progressive = false);

}  // namespace trovik::hostile
