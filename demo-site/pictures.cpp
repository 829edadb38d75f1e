#include "pictures.h"

#include <algorithm>
#include <cmath>

#include "encoders.h"

namespace trovik::demo {

namespace {

// 5x7 capitals and digits, one row of five bits per entry, top row first.
struct Glyph {
  char ch;
  uint8_t rows[7];
};

const Glyph kFont[] = {
    {'0', {14, 17, 19, 21, 25, 17, 14}}, {'1', {4, 12, 4, 4, 4, 4, 14}},      {'2', {14, 17, 1, 2, 4, 8, 31}},
    {'3', {31, 2, 4, 2, 1, 17, 14}},     {'4', {2, 6, 10, 18, 31, 2, 2}},     {'5', {31, 16, 30, 1, 1, 17, 14}},
    {'6', {6, 8, 16, 30, 17, 17, 14}},   {'7', {31, 1, 2, 4, 8, 8, 8}},       {'8', {14, 17, 17, 14, 17, 17, 14}},
    {'9', {14, 17, 17, 15, 1, 2, 12}},   {'A', {14, 17, 17, 31, 17, 17, 17}}, {'B', {30, 17, 17, 30, 17, 17, 30}},
    {'C', {14, 17, 16, 16, 16, 17, 14}}, {'D', {28, 18, 17, 17, 17, 18, 28}}, {'E', {31, 16, 16, 30, 16, 16, 31}},
    {'F', {31, 16, 16, 30, 16, 16, 16}}, {'G', {14, 17, 16, 23, 17, 17, 15}}, {'H', {17, 17, 17, 31, 17, 17, 17}},
    {'I', {14, 4, 4, 4, 4, 4, 14}},      {'J', {7, 2, 2, 2, 2, 18, 12}},      {'K', {17, 18, 20, 24, 20, 18, 17}},
    {'L', {16, 16, 16, 16, 16, 16, 31}}, {'M', {17, 27, 21, 21, 17, 17, 17}}, {'N', {17, 17, 25, 21, 19, 17, 17}},
    {'O', {14, 17, 17, 17, 17, 17, 14}}, {'P', {30, 17, 17, 30, 16, 16, 16}}, {'Q', {14, 17, 17, 17, 21, 18, 13}},
    {'R', {30, 17, 17, 30, 20, 18, 17}}, {'S', {15, 16, 16, 14, 1, 1, 30}},   {'T', {31, 4, 4, 4, 4, 4, 4}},
    {'U', {17, 17, 17, 17, 17, 17, 14}}, {'V', {17, 17, 17, 17, 17, 10, 4}},  {'W', {17, 17, 17, 21, 21, 21, 10}},
    {'X', {17, 17, 10, 4, 10, 17, 17}},  {'Y', {17, 17, 17, 10, 4, 4, 4}},    {'Z', {31, 1, 2, 4, 8, 16, 31}},
    {'.', {0, 0, 0, 0, 0, 12, 12}},      {'-', {0, 0, 0, 31, 0, 0, 0}},
};

const Glyph* FindGlyph(char c) {
  if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  for (const Glyph& g : kFont)
    if (g.ch == c) return &g;
  return nullptr;
}

// Text in white with a dark shadow, each font pixel drawn as scale x scale.
void DrawText(RgbImage& img, const std::string& text, int x0, int y0, int scale) {
  for (int pass = 0; pass < 2; ++pass) {
    int offset = pass == 0 ? scale / 2 + 1 : 0;
    uint8_t shade = pass == 0 ? 20 : 255;
    int x = x0;
    for (char c : text) {
      if (const Glyph* g = FindGlyph(c)) {
        for (int row = 0; row < 7; ++row)
          for (int col = 0; col < 5; ++col)
            if (g->rows[row] & (16 >> col))
              for (int dy = 0; dy < scale; ++dy)
                for (int dx = 0; dx < scale; ++dx)
                  img.set(x + col * scale + dx + offset, y0 + row * scale + dy + offset, shade, shade, shade);
      }
      x += 6 * scale;
    }
  }
}

uint32_t Hash(uint32_t x) {
  x ^= x >> 16;
  x *= 0x7feb352dU;
  x ^= x >> 15;
  x *= 0x846ca68bU;
  x ^= x >> 16;
  return x;
}

// A landscape: sky, two ranges of hills, a sun, and grain whose strength sets
// how well the picture compresses.
RgbImage DrawLandscape(const PictureRecipe& recipe) {
  RgbImage img(recipe.width, recipe.height);
  const int amplitude[] = {0, 4, 14, 40};
  int grain = amplitude[std::min(3, std::max(0, recipe.detail))];
  double phase = (recipe.seed % 1000) / 159.0;
  double sunX = recipe.width * (0.2 + 0.6 * ((recipe.seed >> 10) % 100) / 100.0);
  double sunY = recipe.height * 0.22;
  double sunR = recipe.height * 0.08;
  for (int y = 0; y < recipe.height; ++y) {
    for (int x = 0; x < recipe.width; ++x) {
      double fx = static_cast<double>(x) / recipe.width;
      double fy = static_cast<double>(y) / recipe.height;
      double far = 0.55 + 0.08 * std::sin(fx * 7.0 + phase) + 0.04 * std::sin(fx * 19.0 + phase * 2);
      double near = 0.72 + 0.07 * std::sin(fx * 4.0 - phase) + 0.03 * std::sin(fx * 27.0 + phase);
      int r, g, b;
      if (fy > near) {
        r = 60 + static_cast<int>(40 * fy);
        g = 110 + static_cast<int>(30 * std::sin(fx * 40));
        b = 40;
      } else if (fy > far) {
        r = 70;
        g = 120 + static_cast<int>(40 * fy);
        b = 90;
      } else {
        r = 110 + static_cast<int>(80 * fy);
        g = 160 + static_cast<int>(60 * fy);
        b = 235;
        double dx = x - sunX, dy = y - sunY;
        if (dx * dx + dy * dy < sunR * sunR) {
          r = 255;
          g = 220;
          b = 90;
        }
      }
      if (grain > 0) {
        int noise = static_cast<int>(Hash(recipe.seed ^ static_cast<uint32_t>(y * 7919 + x)) % (2 * grain + 1)) - grain;
        r += noise;
        g += noise;
        b += noise;
      }
      img.set(x, y, static_cast<uint8_t>(std::clamp(r, 0, 255)), static_cast<uint8_t>(std::clamp(g, 0, 255)),
              static_cast<uint8_t>(std::clamp(b, 0, 255)));
    }
  }
  if (!recipe.label.empty()) {
    int scale = std::max(1, std::min(recipe.width / (6 * static_cast<int>(recipe.label.size()) + 4), recipe.height / 10));
    DrawText(img, recipe.label, 4 * scale, recipe.height - 10 * scale, scale);
  }
  return img;
}

// An icon: a coloured disc or bar on white, picked by the recipe's detail.
IndexedImage DrawIcon(const PictureRecipe& recipe) {
  IndexedImage img;
  img.width = recipe.width;
  img.height = recipe.height;
  img.palette = {255, 255, 255, 0, 0, 0, 30, 130, 40, 230, 160, 20, 40, 80, 200, 200, 40, 40, 150, 60, 170, 255, 215, 0};
  uint8_t colour = static_cast<uint8_t>(2 + recipe.detail % 6);
  img.pixels.assign(static_cast<size_t>(img.width) * img.height, 0);
  double cx = (img.width - 1) / 2.0, cy = (img.height - 1) / 2.0;
  double rad = std::min(img.width, img.height) / 2.0 - 1;
  for (int y = 0; y < img.height; ++y)
    for (int x = 0; x < img.width; ++x) {
      uint8_t v = 0;
      if (img.width > 2 * img.height) {
        // Size icon: a bar whose filled length grows with the size.
        int filled = img.width * (1 + recipe.detail % 5) / 6;
        v = (y == 0 || y == img.height - 1 || x == 0 || x == img.width - 1) ? 1 : (x < filled ? colour : 0);
      } else {
        double d = std::hypot(x - cx, y - cy);
        v = d <= rad ? (d > rad - 1.5 ? 1 : colour) : 0;
      }
      img.pixels[static_cast<size_t>(y) * img.width + x] = v;
    }
  return img;
}

}  // namespace

const char* PictureMime(PictureFormat format) {
  switch (format) {
    case PictureFormat::Jpeg: return "image/jpeg";
    case PictureFormat::Png: return "image/png";
    case PictureFormat::Gif: return "image/gif";
  }
  return "application/octet-stream";
}

std::string DrawPicture(const PictureRecipe& recipe) {
  switch (recipe.format) {
    case PictureFormat::Jpeg: return EncodeJpeg(DrawLandscape(recipe), 90);
    case PictureFormat::Png: return EncodePng(DrawLandscape(recipe));
    case PictureFormat::Gif: return EncodeGif(DrawIcon(recipe));
  }
  return {};
}

std::optional<std::pair<std::string, const char*>> PictureStore::get(const std::string& file) {
  const std::optional<PictureRecipe> recipe = catalog_.recipe(file);
  if (!recipe) return std::nullopt;
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = drawn_.find(file);
  if (it == drawn_.end()) it = drawn_.emplace(file, DrawPicture(*recipe)).first;
  return std::make_pair(it->second, PictureMime(recipe->format));
}

}  // namespace trovik::demo
