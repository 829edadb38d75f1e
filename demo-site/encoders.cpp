#include "encoders.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include <jpeglib.h>

namespace trovik::demo {

void RgbImage::set(int x, int y, uint8_t r, uint8_t g, uint8_t b) {
  if (x < 0 || y < 0 || x >= width || y >= height) return;
  uint8_t* p = at(x, y);
  p[0] = r;
  p[1] = g;
  p[2] = b;
}

std::string EncodeJpeg(const RgbImage& image, int quality) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = static_cast<JDIMENSION>(image.width);
  cinfo.image_height = static_cast<JDIMENSION>(image.height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(&image.pixels[static_cast<size_t>(cinfo.next_scanline) * image.width * 3]);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  std::string out(reinterpret_cast<const char*>(buffer), size);
  jpeg_destroy_compress(&cinfo);
  std::free(buffer);
  return out;
}

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc) {
  static uint32_t table[256];
  static bool ready = [] {
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      table[n] = c;
    }
    return true;
  }();
  (void)ready;
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

namespace {

void PutBe32(std::string& out, uint32_t v) {
  out += static_cast<char>(v >> 24);
  out += static_cast<char>(v >> 16);
  out += static_cast<char>(v >> 8);
  out += static_cast<char>(v);
}

void PngChunk(std::string& out, const char* type, const std::string& data) {
  PutBe32(out, static_cast<uint32_t>(data.size()));
  std::string body = std::string(type, 4) + data;
  out += body;
  PutBe32(out, Crc32(reinterpret_cast<const uint8_t*>(body.data()), body.size()));
}

}  // namespace

std::string EncodePng(const RgbImage& image) {
  // Filter byte 0 before every row, then zlib with stored blocks only.
  std::string raw;
  raw.reserve(static_cast<size_t>(image.height) * (image.width * 3 + 1));
  for (int y = 0; y < image.height; ++y) {
    raw += '\0';
    raw.append(reinterpret_cast<const char*>(&image.pixels[static_cast<size_t>(y) * image.width * 3]),
               static_cast<size_t>(image.width) * 3);
  }
  std::string z;
  z += '\x78';
  z += '\x01';
  size_t pos = 0;
  do {
    size_t len = std::min<size_t>(65535, raw.size() - pos);
    bool last = pos + len == raw.size();
    z += static_cast<char>(last ? 1 : 0);
    z += static_cast<char>(len & 0xFF);
    z += static_cast<char>(len >> 8);
    z += static_cast<char>(~len & 0xFF);
    z += static_cast<char>((~len >> 8) & 0xFF);
    z.append(raw, pos, len);
    pos += len;
  } while (pos < raw.size());
  uint32_t a = 1, b = 0;
  for (unsigned char c : raw) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  PutBe32(z, (b << 16) | a);

  std::string ihdr;
  PutBe32(ihdr, static_cast<uint32_t>(image.width));
  PutBe32(ihdr, static_cast<uint32_t>(image.height));
  ihdr += '\x08';  // bit depth
  ihdr += '\x02';  // colour type RGB
  ihdr += std::string(3, '\0');

  std::string out = "\x89PNG\r\n\x1a\n";
  PngChunk(out, "IHDR", ihdr);
  PngChunk(out, "IDAT", z);
  PngChunk(out, "IEND", "");
  return out;
}

namespace {

class BitWriter {
 public:
  void put(unsigned code, int bits) {
    acc_ |= static_cast<uint32_t>(code) << count_;
    count_ += bits;
    while (count_ >= 8) {
      bytes_ += static_cast<char>(acc_ & 0xFF);
      acc_ >>= 8;
      count_ -= 8;
    }
  }
  std::string finish() {
    if (count_ > 0) bytes_ += static_cast<char>(acc_ & 0xFF);
    return bytes_;
  }

 private:
  uint32_t acc_ = 0;
  int count_ = 0;
  std::string bytes_;
};

void PutLe16(std::string& out, unsigned v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}

}  // namespace

std::string EncodeGif(const IndexedImage& image) {
  // Minimum code size 8, so codes are 9 bits wide; a clear code every 250
  // pixels keeps the decoder's table from ever growing to 10-bit codes.
  const unsigned clear = 256, end = 257;
  BitWriter bits;
  bits.put(clear, 9);
  int sinceClear = 0;
  for (uint8_t px : image.pixels) {
    if (sinceClear == 250) {
      bits.put(clear, 9);
      sinceClear = 0;
    }
    bits.put(px, 9);
    ++sinceClear;
  }
  bits.put(end, 9);
  std::string lzw = bits.finish();

  std::string out = "GIF89a";
  PutLe16(out, static_cast<unsigned>(image.width));
  PutLe16(out, static_cast<unsigned>(image.height));
  out += '\xF7';  // global colour table of 256 entries, 8 bits per primary
  out += '\0';    // background colour
  out += '\0';    // aspect
  std::string palette = std::string(image.palette.begin(), image.palette.end());
  palette.resize(256 * 3, '\0');
  out += palette;
  out += ',';
  PutLe16(out, 0);
  PutLe16(out, 0);
  PutLe16(out, static_cast<unsigned>(image.width));
  PutLe16(out, static_cast<unsigned>(image.height));
  out += '\0';  // no local table, not interlaced
  out += '\x08';
  for (size_t pos = 0; pos < lzw.size(); pos += 255) {
    size_t len = std::min<size_t>(255, lzw.size() - pos);
    out += static_cast<char>(len);
    out.append(lzw, pos, len);
  }
  out += '\0';
  out += ';';
  return out;
}

}  // namespace trovik::demo
