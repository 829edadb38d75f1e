// The image server's pictures: real JPEG, PNG and GIF files of the sizes the
// harvester and the halving rule care about, decoded here independently.

#include <gtest/gtest.h>

#include <cstdio>
#include <jpeglib.h>

#include "demo_fixture.h"
#include "encoders.h"
#include "pictures.h"

namespace trovik::demo::testing {
namespace {

struct JpegInfo {
  bool ok = false;
  int width = 0, height = 0, components = 0;
  bool progressive = false;
};

JpegInfo DecodeJpeg(const std::string& bytes) {
  JpegInfo info;
  jpeg_decompress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jerr.error_exit = [](j_common_ptr c) { throw std::runtime_error(c->err->jpeg_message_table[c->err->msg_code]); };
  jpeg_create_decompress(&cinfo);
  try {
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    jpeg_read_header(&cinfo, TRUE);
    jpeg_start_decompress(&cinfo);
    std::vector<unsigned char> row(static_cast<size_t>(cinfo.output_width) * cinfo.output_components);
    while (cinfo.output_scanline < cinfo.output_height) {
      JSAMPROW r = row.data();
      jpeg_read_scanlines(&cinfo, &r, 1);
    }
    info.width = static_cast<int>(cinfo.output_width);
    info.height = static_cast<int>(cinfo.output_height);
    info.components = cinfo.output_components;
    info.progressive = cinfo.progressive_mode;
    jpeg_finish_decompress(&cinfo);
    info.ok = true;
  } catch (const std::exception&) {
    info.ok = false;
  }
  jpeg_destroy_decompress(&cinfo);
  return info;
}

uint32_t Be32(const std::string& s, size_t at) {
  return (uint32_t(uint8_t(s[at])) << 24) | (uint32_t(uint8_t(s[at + 1])) << 16) | (uint32_t(uint8_t(s[at + 2])) << 8) |
         uint32_t(uint8_t(s[at + 3]));
}

// Walks the chunks checking every CRC, inflates the stored blocks and checks
// the Adler sum; returns the raw scanlines.
bool ReadPng(const std::string& png, int& width, int& height, std::string& raw) {
  if (png.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) return false;
  std::string idat;
  bool sawEnd = false;
  for (size_t at = 8; at + 12 <= png.size();) {
    uint32_t len = Be32(png, at);
    if (at + 12 + len > png.size()) return false;
    std::string type = png.substr(at + 4, 4);
    uint32_t crc = Crc32(reinterpret_cast<const uint8_t*>(png.data() + at + 4), len + 4);
    if (crc != Be32(png, at + 8 + len)) return false;
    if (type == "IHDR") {
      width = static_cast<int>(Be32(png, at + 8));
      height = static_cast<int>(Be32(png, at + 12));
    } else if (type == "IDAT") {
      idat += png.substr(at + 8, len);
    } else if (type == "IEND") {
      sawEnd = true;
    }
    at += 12 + len;
  }
  if (!sawEnd || idat.size() < 6) return false;
  size_t at = 2;
  raw.clear();
  while (true) {
    uint8_t header = uint8_t(idat[at]);
    if ((header & 6) != 0) return false;  // only stored blocks are written
    size_t len = uint8_t(idat[at + 1]) | (size_t(uint8_t(idat[at + 2])) << 8);
    size_t nlen = uint8_t(idat[at + 3]) | (size_t(uint8_t(idat[at + 4])) << 8);
    if ((len ^ 0xFFFF) != nlen) return false;
    raw += idat.substr(at + 5, len);
    at += 5 + len;
    if (header & 1) break;
  }
  uint32_t a = 1, b = 0;
  for (unsigned char c : raw) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  return Be32(idat, at) == ((b << 16) | a);
}

// A plain GIF LZW decoder, enough to check every pixel comes back.
bool ReadGif(const std::string& gif, int& width, int& height, std::vector<uint8_t>& pixels) {
  if (gif.compare(0, 6, "GIF89a") != 0 || gif.back() != ';') return false;
  width = uint8_t(gif[6]) | (uint8_t(gif[7]) << 8);
  height = uint8_t(gif[8]) | (uint8_t(gif[9]) << 8);
  size_t at = 13 + ((uint8_t(gif[10]) & 0x80) ? 3 * (2 << (uint8_t(gif[10]) & 7)) : 0);
  if (gif[at] != ',') return false;
  at += 10;
  int minCode = uint8_t(gif[at++]);
  std::string data;
  while (uint8_t(gif[at]) != 0) {
    size_t n = uint8_t(gif[at]);
    data += gif.substr(at + 1, n);
    at += n + 1;
  }
  const int clear = 1 << minCode, end = clear + 1;
  std::vector<std::vector<uint8_t>> table;
  auto reset = [&] {
    table.assign(static_cast<size_t>(clear + 2), {});
    for (int i = 0; i < clear; ++i) table[static_cast<size_t>(i)] = {static_cast<uint8_t>(i)};
  };
  reset();
  int size = minCode + 1;
  size_t bitPos = 0;
  int prev = -1;
  while (bitPos + static_cast<size_t>(size) <= data.size() * 8) {
    int code = 0;
    for (int k = 0; k < size; ++k, ++bitPos)
      if (uint8_t(data[bitPos / 8]) & (1 << (bitPos % 8))) code |= 1 << k;
    if (code == clear) {
      reset();
      size = minCode + 1;
      prev = -1;
      continue;
    }
    if (code == end) return static_cast<int>(pixels.size()) == width * height;
    std::vector<uint8_t> entry;
    if (code < static_cast<int>(table.size())) entry = table[static_cast<size_t>(code)];
    else if (prev >= 0 && code == static_cast<int>(table.size())) {
      entry = table[static_cast<size_t>(prev)];
      entry.push_back(entry[0]);
    } else return false;
    pixels.insert(pixels.end(), entry.begin(), entry.end());
    if (prev >= 0) {
      auto added = table[static_cast<size_t>(prev)];
      added.push_back(entry[0]);
      table.push_back(added);
      if (static_cast<int>(table.size()) == (1 << size) && size < 12) ++size;
    }
    prev = code;
  }
  return false;
}

class DemoPictures : public ::testing::Test {
 protected:
  RunningServer server;
  std::unique_ptr<httplib::Client> http = server.client();
};

TEST_F(DemoPictures, SamplePhotosSpanTheHalvingLimits) {
  int below30k = 0, between = 0, above50k = 0;
  for (const Cache* c : server.catalog().samples()) {
    for (const std::string& p : c->pagePictures) {
      if (p.find(".jpg") == std::string::npos || p.find('?') != std::string::npos) continue;
      auto res = http->Get(("/img/cache/" + p).c_str());
      ASSERT_TRUE(res);
      if (res->status != 200) continue;
      EXPECT_EQ(res->get_header_value("Content-Type"), "image/jpeg");
      size_t n = res->body.size();
      if (n < 30000) ++below30k;
      else if (n <= 50000) ++between;
      else ++above50k;
    }
  }
  EXPECT_GE(below30k, 5);
  EXPECT_GE(between, 5);
  EXPECT_GE(above50k, 5);
}

TEST_F(DemoPictures, EveryPictureDecodesWithItsDeclaredSize) {
  for (const PictureRecipe& recipe : server.catalog().pictures()) {
    SCOPED_TRACE(recipe.file);
    auto res = http->Get(("/img/cache/" + recipe.file).c_str());
    ASSERT_TRUE(res);
    ASSERT_EQ(res->status, 200);
    int w = 0, h = 0;
    if (recipe.format == PictureFormat::Jpeg) {
      EXPECT_EQ(res->get_header_value("Content-Type"), "image/jpeg");
      JpegInfo info = DecodeJpeg(res->body);
      ASSERT_TRUE(info.ok);
      EXPECT_FALSE(info.progressive);
      EXPECT_EQ(info.components, 3);
      w = info.width;
      h = info.height;
    } else if (recipe.format == PictureFormat::Png) {
      EXPECT_EQ(res->get_header_value("Content-Type"), "image/png");
      std::string raw;
      ASSERT_TRUE(ReadPng(res->body, w, h, raw));
      EXPECT_EQ(raw.size(), static_cast<size_t>(h) * (3 * w + 1));
    } else {
      EXPECT_EQ(res->get_header_value("Content-Type"), "image/gif");
      std::vector<uint8_t> pixels;
      ASSERT_TRUE(ReadGif(res->body, w, h, pixels));
    }
    EXPECT_EQ(w, recipe.width);
    EXPECT_EQ(h, recipe.height);
  }
}

TEST_F(DemoPictures, GifWriterRoundTripsPixelsAcrossClearCodes) {
  IndexedImage img;
  img.width = 37;
  img.height = 29;  // 1073 pixels: several clear codes, a partial last run
  img.palette = {0, 0, 0, 255, 255, 255};
  for (int i = 0; i < img.width * img.height; ++i) img.pixels.push_back(static_cast<uint8_t>((i * 7) % 256));
  std::string gif = EncodeGif(img);
  int w = 0, h = 0;
  std::vector<uint8_t> back;
  ASSERT_TRUE(ReadGif(gif, w, h, back));
  EXPECT_EQ(back, img.pixels);
}

TEST_F(DemoPictures, PngWriterSplitsLargePicturesIntoStoredBlocks) {
  RgbImage img(200, 150);  // 90150 bytes of scanlines: two stored blocks
  for (int y = 0; y < img.height; ++y)
    for (int x = 0; x < img.width; ++x) img.set(x, y, uint8_t(x), uint8_t(y), uint8_t(x ^ y));
  std::string png = EncodePng(img);
  int w = 0, h = 0;
  std::string raw;
  ASSERT_TRUE(ReadPng(png, w, h, raw));
  ASSERT_EQ(raw.size(), 150u * 601u);
  EXPECT_EQ(uint8_t(raw[601 + 1 + 3 * 5 + 0]), 5);  // row 1, pixel 5, red = x
  EXPECT_EQ(uint8_t(raw[601 + 1 + 3 * 5 + 1]), 1);  // green = y
}

TEST_F(DemoPictures, RepeatedRequestsGetTheSameBytes) {
  auto a = http->Get("/img/cache/gc1a2b3_foto.jpg");
  auto b = http->Get("/img/cache/gc1a2b3_foto.jpg");
  ASSERT_TRUE(a && b);
  EXPECT_EQ(a->body, b->body);
  // And the drawing itself is deterministic across stores.
  const PictureRecipe* recipe = server.catalog().findPicture("gc1a2b3_foto.jpg");
  ASSERT_NE(recipe, nullptr);
  EXPECT_EQ(DrawPicture(*recipe), a->body);
}

TEST_F(DemoPictures, UnknownPictureIsA404AndQueriesAreIgnored) {
  auto missing = http->Get("/img/cache/gc1k8m2_chyba.jpg");
  ASSERT_TRUE(missing);
  EXPECT_EQ(missing->status, 404);
  EXPECT_EQ(missing->get_header_value("Content-Type").find("image/"), std::string::npos);
  auto outside = http->Get("/img/cache/../cache/typ0.gif");
  ASSERT_TRUE(outside);
  EXPECT_NE(outside->status, 200);
  auto query = http->Get("/img/cache/gc1h2k7_nahlad.jpg?size=2");
  ASSERT_TRUE(query);
  EXPECT_EQ(query->status, 200);
}

TEST_F(DemoPictures, AlbumHasOneNameForEachPictureFromOneTo9999) {
  auto first = http->Get("/img/cache/album1.jpg");
  auto last = http->Get("/img/cache/album9999.jpg");
  ASSERT_TRUE(first && last);
  ASSERT_EQ(first->status, 200);
  ASSERT_EQ(last->status, 200);
  EXPECT_TRUE(DecodeJpeg(first->body).ok);
  EXPECT_EQ(DecodeJpeg(last->body).width, 320);
  EXPECT_NE(first->body, last->body);
  for (const char* name : {"album0.jpg", "album01.jpg", "album10000.jpg", "album.jpg", "album1.png", "album1x.jpg"}) {
    auto res = http->Get((std::string("/img/cache/") + name).c_str());
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 404) << name;
  }
}

TEST_F(DemoPictures, SomeListingShowsOnePictureTwice) {
  bool twice = false;
  for (const Cache* c : server.catalog().samples())
    for (size_t i = 0; i < c->pagePictures.size(); ++i)
      for (size_t j = i + 1; j < c->pagePictures.size(); ++j) twice |= c->pagePictures[i] == c->pagePictures[j];
  EXPECT_TRUE(twice);
  auto page = http->Get("/sk/hladaj.php?query=GC1A2B3");
  ASSERT_TRUE(page);
  std::string pic = "/img/cache/gc1a2b3_foto.jpg\"";
  size_t first = page->body.find(pic);
  ASSERT_NE(first, std::string::npos);
  EXPECT_NE(page->body.find(pic, first + 1), std::string::npos);
}

}  // namespace
}  // namespace trovik::demo::testing
