#include "jpeg_inputs.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

namespace trovik::hostile {

namespace {

void Put16(std::string& s, int v) {
  s += static_cast<char>((v >> 8) & 0xFF);
  s += static_cast<char>(v & 0xFF);
}

}  // namespace

std::string DeclaredJpeg(int width, int height) {
  std::string s = "\xFF\xD8";
  // One quantisation table of ones.
  s += "\xFF\xDB";
  Put16(s, 67);
  s += '\0';
  s += std::string(64, '\x01');
  // Frame: 8 bits, height, width, one component.
  s += "\xFF\xC0";
  Put16(s, 11);
  s += '\x08';
  Put16(s, height);
  Put16(s, width);
  s += std::string("\x01\x01\x11\x00", 4);
  // A Huffman table pair with one code each: every symbol is 0.
  for (int cls : {0x00, 0x10}) {
    s += "\xFF\xC4";
    Put16(s, 2 + 1 + 16 + 1);
    s += static_cast<char>(cls);
    s += '\x01';
    s += std::string(15, '\0');
    s += '\0';
  }
  s += "\xFF\xDA";
  Put16(s, 8);
  s += std::string("\x01\x01\x00\x00\x3F\x00", 6);
  s += std::string(32, '\0');  // then the file simply ends
  return s;
}

std::string NoiseJpeg(int width, int height, bool progressive) {
  jpeg_compress_struct c{};
  jpeg_error_mgr err{};
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &buffer, &size);
  c.image_width = static_cast<JDIMENSION>(width);
  c.image_height = static_cast<JDIMENSION>(height);
  c.input_components = 3;
  c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 95, TRUE);
  if (progressive) jpeg_simple_progression(&c);
  jpeg_start_compress(&c, TRUE);
  std::vector<unsigned char> row(static_cast<size_t>(width) * 3);
  unsigned seed = 12345;
  while (c.next_scanline < c.image_height) {
    for (auto& b : row) b = static_cast<unsigned char>((seed = seed * 1103515245u + 12345u) >> 24);
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&c, &r, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::string out(reinterpret_cast<char*>(buffer), size);
  std::free(buffer);
  return out;
}

std::string ScanBombJpeg(int repeats) {
  std::string p = NoiseJpeg(16, 16, true);
  // The last scan runs from the last SOS marker to the end marker.
  size_t sos = p.rfind("\xFF\xDA");
  size_t eoi = p.rfind("\xFF\xD9");
  if (sos == std::string::npos || eoi == std::string::npos || eoi < sos) return p;
  std::string scan = p.substr(sos, eoi - sos);
  std::string out = p.substr(0, eoi);
  for (int i = 0; i < repeats; ++i) out += scan;
  return out + "\xFF\xD9";
}

}  // namespace trovik::hostile
