#include "data_files.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <stdexcept>

namespace trovik::demo {

std::string ToCp1250(const std::string& utf8) {
  iconv_t cd = iconv_open("WINDOWS-1250", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("no WINDOWS-1250 converter");
  std::string out;
  char* in = const_cast<char*>(utf8.data());
  size_t inLeft = utf8.size();
  char buf[256];
  while (inLeft > 0) {
    char* o = buf;
    size_t oLeft = sizeof buf;
    size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
    out.append(buf, static_cast<size_t>(o - buf));
    if (r == static_cast<size_t>(-1) && errno != E2BIG) {
      // Skip one whole UTF-8 character the code page lacks.
      out += '?';
      do {
        ++in;
        --inLeft;
      } while (inLeft > 0 && (static_cast<unsigned char>(*in) & 0xC0) == 0x80);
    }
  }
  iconv_close(cd);
  return out;
}

std::string SampleWpt(const Catalog& catalog) {
  std::string text =
      "OziExplorer Waypoint File Version 1.1\r\n"
      "WGS 84\r\n"
      "Reserved 2\r\n"
      "garmin\r\n";
  int number = 1;
  for (const Cache* c : catalog.samples()) {
    char line[1024];
    // 39005.5 is noon of 15 October 2006, when the file was exported.
    std::snprintf(line, sizeof line,
                  "%d,%s, %.6f, %.6f, 39005.5,117,0,3,0,65535,%s (%s),0,0,0,0, 6, 0,17,0,10.0,2,,,\r\n", number++,
                  c->name.c_str(), c->lat, c->lon, c->name.c_str(), c->code.c_str());
    text += line;
  }
  return ToCp1250(text);
}

std::string TownList() {
  std::string text =
      "; Mestá pre hľadanie kešiek v okolí: zemepisná šírka a dĺžka v stupňoch\r\n"
      "[Mesta]\r\n";
  for (const Town& t : Towns()) {
    char line[256];
    std::snprintf(line, sizeof line, "%s=%.4f,%.4f\r\n", t.name, t.lat, t.lon);
    text += line;
  }
  return ToCp1250(text);
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::string temp = path + ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("cannot create " + temp);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) throw std::runtime_error("cannot write " + temp);
  }
  if (std::rename(temp.c_str(), path.c_str()) != 0) {
    std::remove(temp.c_str());
    throw std::runtime_error("cannot replace " + path);
  }
}

}  // namespace trovik::demo
