#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <random>
#include <string>
#include <utility>

#include "base/error.h"
#include "base/files.h"
#include "pages/jpeg_halving.h"
#include "support/run_program.h"
#include "support/temp_dir.h"
#include "text/text.h"

namespace trovik::pages {
namespace {

using testing::TempDir;

Bitmap Pattern(int w, int h) {
  Bitmap b;
  b.width = w;
  b.height = h;
  b.bgr.resize(static_cast<size_t>(w) * h * 3);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* p = b.row(y) + x * 3;
      p[0] = static_cast<uint8_t>((x * 7 + y * 3) & 255);
      p[1] = static_cast<uint8_t>((x * y) & 255);
      p[2] = static_cast<uint8_t>((255 - x + y * 11) & 255);
    }
  return b;
}

Bitmap Gray(int w, int h, std::initializer_list<int> values) {
  Bitmap b;
  b.width = w;
  b.height = h;
  for (int v : values)
    for (int c = 0; c < 3; ++c) b.bgr.push_back(static_cast<uint8_t>(v));
  return b;
}

int Channel(const Bitmap& b, int x, int y, int c = 0) { return b.row(y)[x * 3 + c]; }

std::string WriteJpeg(const TempDir& dir, const std::string& name, int w, int h) {
  return dir.write(name, EncodeJpeg(Pattern(w, h), 90, name));
}

// Byte offset of the first marker 0xFF `code`, or npos.
size_t Marker(const std::string& jpeg, unsigned char code) {
  for (size_t i = 0; i + 1 < jpeg.size(); ++i)
    if (static_cast<unsigned char>(jpeg[i]) == 0xFF && static_cast<unsigned char>(jpeg[i + 1]) == code) return i;
  return std::string::npos;
}

TEST(ResampleBilinear, TopLeftPixelIsTheSourcesFirstPixel) {
  Bitmap b = Pattern(37, 23);
  uint8_t first[3] = {b.bgr[0], b.bgr[1], b.bgr[2]};
  ResampleBilinear(b, 18, 12);
  ASSERT_EQ(b.width, 18);
  ASSERT_EQ(b.height, 12);
  EXPECT_EQ(b.bgr[0], first[0]);
  EXPECT_EQ(b.bgr[1], first[1]);
  EXPECT_EQ(b.bgr[2], first[2]);
}

TEST(ResampleBilinear, SmallPictureByHandWithHalvesToEven) {
  // 3 x 3 to 4 x 4: XS = YS = 4 / 2 = 2, so target x samples source x / 2
  // with weights of exactly 1 or one half.
  Bitmap b = Gray(3, 3, {0, 1, 4,  //
                         2, 3, 9,  //
                         10, 20, 30});
  ResampleBilinear(b, 4, 4);
  // Row 0 (sy = 0): x = 0 -> 0; 0.5 -> (0+1)/2 = 0.5 -> 0; 1 -> 1; 1.5 -> 2.5 -> 2.
  EXPECT_EQ(Channel(b, 0, 0), 0);
  EXPECT_EQ(Channel(b, 1, 0), 0);
  EXPECT_EQ(Channel(b, 2, 0), 1);
  EXPECT_EQ(Channel(b, 3, 0), 2);
  // Row 1 (sy = 0.5): x = 0 -> (0+2)/2 = 1; 0.5 -> (0+2+1+3)/4 = 1.5 -> 2;
  // 1 -> (1+3)/2 = 2; 1.5 -> (1+3+4+9)/4 = 4.25 -> 4.
  EXPECT_EQ(Channel(b, 0, 1), 1);
  EXPECT_EQ(Channel(b, 1, 1), 2);
  EXPECT_EQ(Channel(b, 2, 1), 2);
  EXPECT_EQ(Channel(b, 3, 1), 4);
  // Row 3 (sy = 1.5): x = 1.5 -> (3+20+9+30)/4 = 15.5 -> 16.
  EXPECT_EQ(Channel(b, 3, 3), 16);
  // Every channel gets the same treatment.
  EXPECT_EQ(Channel(b, 3, 3, 1), 16);
  EXPECT_EQ(Channel(b, 3, 3, 2), 16);
}

TEST(ResampleBilinear, HalvingNeverReadsPastTheSourceEdge) {
  // The last target column and row sample just below the last source pixel,
  // so a bright last column shows in the last target column only through its weight.
  for (int w : {2, 3, 5, 101, 640, 4001}) {
    Bitmap b = Pattern(w, 3);
    ResampleBilinear(b, (w + 1) / 2, 2);
    EXPECT_EQ(b.width, (w + 1) / 2);
  }
}

TEST(ResizeJpg, HalvesSizesRoundingHalfToEven) {
  TempDir dir;
  struct Case {
    int w, h, nw, nh;
  } cases[] = {{640, 480, 320, 240}, {101, 75, 50, 38}, {103, 3, 52, 2}};
  for (const auto& c : cases) {
    std::string path = WriteJpeg(dir, "p.jpg", c.w, c.h);
    ResizeJpg(path, path, 0.5);
    Bitmap out = DecodeJpeg(files::ReadAll(path), path);
    EXPECT_EQ(out.width, c.nw) << c.w;
    EXPECT_EQ(out.height, c.nh) << c.h;
  }
}

TEST(ResizeJpg, IsDecodeResampleEncodeAtQuality90Baseline) {
  TempDir dir;
  std::string path = WriteJpeg(dir, "p.jpg", 64, 48);
  std::string original = files::ReadAll(path);
  ResizeJpg(path, path, 0.5);
  std::string got = files::ReadAll(path);

  Bitmap expected = DecodeJpeg(original, "x");
  ResampleBilinear(expected, 32, 24);
  EXPECT_EQ(got, EncodeJpeg(expected, 90, "x"));
  // The halving made while the rows decode gives the same bytes at any size,
  // the vector code on or off.
  for (bool wide : {true, false}) {
    ResampleAllowWideVectors(wide);
    for (auto [w, h] : {std::pair{101, 75}, {103, 3}, {3, 103}, {2, 2}, {517, 389}}) {
      const std::string odd = WriteJpeg(dir, "odd.jpg", w, h);
      Bitmap whole = DecodeJpeg(files::ReadAll(odd), "x");
      ResampleBilinear(whole, static_cast<int>(text::RoundHalfEven(w * 0.5)), static_cast<int>(text::RoundHalfEven(h * 0.5)));
      ResizeJpg(odd, dir.file("odd-half.jpg"), 0.5);
      EXPECT_EQ(files::ReadAll(dir.file("odd-half.jpg")), EncodeJpeg(whole, 90, "x")) << w << "x" << h << " wide " << wide;
    }
  }
  ResampleAllowWideVectors(true);
  std::filesystem::remove(dir.file("odd.jpg"));
  std::filesystem::remove(dir.file("odd-half.jpg"));
  // Baseline frame, no progressive frame.
  EXPECT_NE(Marker(got, 0xC0), std::string::npos);
  EXPECT_EQ(Marker(got, 0xC2), std::string::npos);
  // Quality 90 scales the standard luminance table's first entry 16 to 3.
  size_t dqt = Marker(got, 0xDB);
  ASSERT_NE(dqt, std::string::npos);
  EXPECT_EQ(static_cast<unsigned char>(got[dqt + 5]), 3);
  // Only the temporary file's rename touched the folder.
  int files = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.path())) files += e.is_regular_file();
  EXPECT_EQ(files, 1);
}

TEST(ResizeJpg, MetadataIsNotCarriedOver) {
  TempDir dir;
  std::string jpeg = EncodeJpeg(Pattern(16, 16), 90, "x");
  // An Exif-like APP1 segment right after SOI.
  std::string app1 = std::string("\xFF\xE1\x00\x0E", 4) + "Exif" + std::string(2, '\0') + "secret";
  std::string path = dir.write("m.jpg", jpeg.substr(0, 2) + app1 + jpeg.substr(2));
  ResizeJpg(path, path, 0.5);
  std::string got = files::ReadAll(path);
  EXPECT_EQ(Marker(got, 0xE1), std::string::npos);
  EXPECT_EQ(got.find("secret"), std::string::npos);
}

TEST(ResizeJpg, OnePixelWideOrHighIsLeftAsItIs) {
  TempDir dir;
  for (auto [w, h] : {std::pair{1, 300}, std::pair{300, 1}}) {
    std::string path = WriteJpeg(dir, "thin.jpg", w, h);
    std::string before = files::ReadAll(path);
    ResizeJpg(path, path, 0.5);
    EXPECT_EQ(files::ReadAll(path), before);
  }
}

TEST(ResizeJpg, NotAJpegRaisesTheCodecErrorWithTheNameAndKeepsTheFile) {
  TempDir dir;
  std::string page = "<html><body>404 Not Found</body></html>";
  std::string path = dir.write("err.jpg", page);
  try {
    ResizeJpg(path, path, 0.5);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_NE(e.text().find("Not a JPEG file"), std::string::npos) << e.text();
    EXPECT_NE(e.text().find(path), std::string::npos) << e.text();
  }
  EXPECT_EQ(files::ReadAll(path), page);
  std::string empty = dir.write("empty.jpg", "");
  EXPECT_THROW(ResizeJpg(empty, empty, 0.5), Error);

  // Broken half-way through its rows, while the halving of the first half is
  // under way: the same error, no output, nothing left waiting.
  std::string jpeg = EncodeJpeg(Pattern(1200, 900), 90, "x");
  const size_t scan = Marker(jpeg, 0xDA);
  ASSERT_NE(scan, std::string::npos);
  jpeg.replace(scan + (jpeg.size() - scan) / 2, 4, "\xFF\xC0\x00\x11");
  std::string broken = dir.write("broken.jpg", jpeg);
  try {
    ResizeJpg(broken, dir.file("broken-half.jpg"), 0.5);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_NE(e.text().find("two SOF markers"), std::string::npos) << e.text();
  }
  EXPECT_EQ(files::ReadAll(broken), jpeg);
  EXPECT_FALSE(std::filesystem::exists(dir.file("broken-half.jpg")));
}

TEST(ResizeJpg, TruncatedFileStillDecodes) {
  TempDir dir;
  std::string jpeg = EncodeJpeg(Pattern(64, 64), 90, "x");
  std::string path = dir.write("cut.jpg", jpeg.substr(0, jpeg.size() / 2));
  ResizeJpg(path, path, 0.5);
  EXPECT_EQ(DecodeJpeg(files::ReadAll(path), path).width, 32);
}

TEST(DecodeJpeg, RefusesAHeaderAbove100Megapixels) {
  std::string jpeg = EncodeJpeg(Pattern(16, 16), 90, "x");
  size_t sof = Marker(jpeg, 0xC0);
  ASSERT_NE(sof, std::string::npos);
  // Height and width follow the length and the precision: 20000 x 5001.
  jpeg[sof + 5] = static_cast<char>(20000 >> 8), jpeg[sof + 6] = static_cast<char>(20000 & 255);
  jpeg[sof + 7] = static_cast<char>(5001 >> 8), jpeg[sof + 8] = static_cast<char>(5001 & 255);
  try {
    DecodeJpeg(jpeg, "big.jpg");
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_NE(e.text().find("5001 x 20000"), std::string::npos) << e.text();
    EXPECT_NE(e.text().find("big.jpg"), std::string::npos);
  }
}

TEST(DecodeJpeg, RefusesAProgressiveFileWithMoreThan500Scans) {
  // A progressive picture whose last scan is repeated: the decoder only warns
  // about the repeated progression and would go on through every copy.
  TempDir dir;
  std::string path = WriteJpeg(dir, "p.jpg", 32, 32);
  trovik::testing::RunOptions decode;
  decode.args = {path};
  const trovik::testing::RunResult pixels = trovik::testing::RunProgram("djpeg", decode);
  ASSERT_EQ(pixels.exitCode, 0) << "djpeg: " << pixels.describe();
  trovik::testing::RunOptions encode;
  encode.args = {"-progressive"};
  encode.input = pixels.out;
  const trovik::testing::RunResult progressive = trovik::testing::RunProgram("cjpeg", encode);
  ASSERT_EQ(progressive.exitCode, 0) << "cjpeg: " << progressive.describe();
  std::string jpeg = progressive.out;
  size_t last = jpeg.rfind(std::string("\xFF\xDA", 2));
  size_t eoi = jpeg.rfind(std::string("\xFF\xD9", 2));
  ASSERT_TRUE(last != std::string::npos && eoi != std::string::npos && last < eoi);
  std::string scan = jpeg.substr(last, eoi - last);
  auto build = [&](int copies) {
    std::string out = jpeg.substr(0, eoi);
    for (int i = 0; i < copies; ++i) out += scan;
    return out + jpeg.substr(eoi);
  };
  EXPECT_EQ(DecodeJpeg(build(10), "few.jpg").width, 32);
  try {
    DecodeJpeg(build(600), "many.jpg");
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_NE(e.text().find("500 scans"), std::string::npos) << e.text();
  }
}

class ShrinkRuleTest : public ::testing::Test {
 protected:
  std::string Picture(const std::string& name) { return WriteJpeg(dir, name, 40, 30); }
  bool Halved(const std::string& path) { return DecodeJpeg(files::ReadAll(path), path).width == 20; }
  TempDir dir;
};

TEST_F(ShrinkRuleTest, LimitIsStrictlyExceeded) {
  std::string p = Picture("a.jpg");
  std::string size = std::to_string(files::Size(p));
  EXPECT_FALSE(ShrinkRule(p, true, size));
  EXPECT_FALSE(Halved(p));
  EXPECT_TRUE(ShrinkRule(p, true, std::to_string(files::Size(p) - 1)));
  EXPECT_TRUE(Halved(p));
}

TEST_F(ShrinkRuleTest, ZeroAndNegativeLimitsShrinkEveryPicture) {
  std::string a = Picture("a.jpg"), b = Picture("b.jpg");
  EXPECT_TRUE(ShrinkRule(a, true, "0"));
  EXPECT_TRUE(ShrinkRule(b, true, "-20"));
  EXPECT_TRUE(Halved(a) && Halved(b));
}

TEST_F(ShrinkRuleTest, LimitThatIsNotAWholeNumberMeans50000) {
  std::string p = Picture("a.jpg");
  ASSERT_LT(files::Size(p), 50000);
  EXPECT_FALSE(ShrinkRule(p, true, "abc"));
  EXPECT_FALSE(ShrinkRule(p, true, ""));
  EXPECT_FALSE(ShrinkRule(p, true, "1.5"));
  // A picture above 50000 bytes is shrunk with the same texts.
  std::string big = WriteJpeg(dir, "big.jpg", 400, 300);
  ASSERT_GT(files::Size(big), 50000);
  EXPECT_TRUE(ShrinkRule(big, true, "abc"));
}

TEST_F(ShrinkRuleTest, OnlyJpgNamesInAnyCaseWithTheOptionOn) {
  std::string lower = Picture("a.jpg"), upper = Picture("B.JPG"), mixed = Picture("c.JpG");
  std::string jpeg = Picture("d.jpeg"), none = Picture("e");
  EXPECT_TRUE(ShrinkRule(lower, true, "0"));
  EXPECT_TRUE(ShrinkRule(upper, true, "0"));
  EXPECT_TRUE(ShrinkRule(mixed, true, "0"));
  EXPECT_FALSE(ShrinkRule(jpeg, true, "0"));
  EXPECT_FALSE(ShrinkRule(none, true, "0"));
  EXPECT_FALSE(Halved(jpeg));
  std::string kept = Picture("f.jpg");
  EXPECT_FALSE(ShrinkRule(kept, false, "0"));
  EXPECT_FALSE(Halved(kept));
  EXPECT_FALSE(ShrinkRule(dir.file("missing.jpg"), true, "0"));
}

TEST(FileByteSize, MissingFileIsAFileError) {
  TempDir dir;
  EXPECT_EQ(FileByteSize(dir.write("x.jpg", "12345")), 5);
  EXPECT_THROW(FileByteSize(dir.file("none.jpg")), Error);
}

}  // namespace
}  // namespace trovik::pages

namespace trovik::pages {
namespace {

// The resampling written out pixel by pixel as the rule reads, with no
// precomputed taps and no vector lanes: the fast code must match it exactly.
Bitmap ReferenceResample(const Bitmap& s, int nw, int nh) {
  Bitmap d;
  d.width = nw, d.height = nh;
  d.bgr.resize(static_cast<size_t>(nw) * nh * 3);
  float xs = static_cast<float>(nw) / static_cast<float>(s.width - 1);
  float ys = static_cast<float>(nh) / static_cast<float>(s.height - 1);
  for (int y = 0; y < nh; ++y) {
    float sy = static_cast<float>(y) / ys;
    int iy = static_cast<int>(sy);
    float fy = sy - static_cast<float>(iy);
    float wy[2] = {1.0f - fy, fy};
    for (int x = 0; x < nw; ++x) {
      float sx = static_cast<float>(x) / xs;
      int ix = static_cast<int>(sx);
      float fx = sx - static_cast<float>(ix);
      float wx[2] = {1.0f - fx, fx};
      float sum[3] = {0, 0, 0};
      for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j) {
          float w = wx[i] * wy[j];
          int cx = std::min(ix + i, s.width - 1), cy = std::min(iy + j, s.height - 1);
          for (int c = 0; c < 3; ++c) {
            double v = s.row(cy)[cx * 3 + c];
            sum[c] = static_cast<float>(static_cast<double>(sum[c]) + v * static_cast<double>(w));
          }
        }
      for (int c = 0; c < 3; ++c) d.row(y)[x * 3 + c] = static_cast<uint8_t>(std::nearbyint(sum[c]));
    }
  }
  return d;
}

TEST(ResampleBilinear, MatchesThePixelByPixelRule) {
  std::mt19937 rng(7);
  for (auto [w, h, nw, nh] : {std::array{37, 23, 18, 12}, std::array{101, 75, 50, 38}, std::array{2, 2, 1, 1},
                               std::array{640, 480, 320, 240}, std::array{5, 9, 11, 3}, std::array{3, 3, 4, 4}, std::array{4000, 6, 2000, 3}, std::array{29, 4, 17, 2}}) {
    Bitmap b;
    b.width = w, b.height = h;
    b.bgr.resize(static_cast<size_t>(w) * h * 3);
    for (auto& v : b.bgr) v = static_cast<uint8_t>(rng());
    Bitmap expected = ReferenceResample(b, nw, nh);
    for (bool wide : {true, false}) {
      Bitmap copy = b;
      ResampleAllowWideVectors(wide);
      ResampleBilinear(copy, nw, nh);
      EXPECT_EQ(copy.bgr, expected.bgr) << w << "x" << h << " -> " << nw << "x" << nh << " wide " << wide;
    }
    ResampleAllowWideVectors(true);
  }
}

}  // namespace
}  // namespace trovik::pages
