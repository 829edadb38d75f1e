#pragma once
// Small picture encoders for the image server: JPEG through libjpeg-turbo,
// PNG with stored (uncompressed) deflate blocks, GIF with literal-only LZW.

#include <cstdint>
#include <string>
#include <vector>

namespace trovik::demo {

// 24-bit picture, rows top to bottom, R G B per pixel.
struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;

  RgbImage(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h * 3, 0) {}
  uint8_t* at(int x, int y) { return &pixels[(static_cast<size_t>(y) * width + x) * 3]; }
  void set(int x, int y, uint8_t r, uint8_t g, uint8_t b);
};

// 8-bit palette picture for GIF.
struct IndexedImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;   // palette indices
  std::vector<uint8_t> palette;  // R G B, at most 256 entries
};

std::string EncodeJpeg(const RgbImage& image, int quality);
std::string EncodePng(const RgbImage& image);
std::string EncodeGif(const IndexedImage& image);

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0);

}  // namespace trovik::demo
