#include "device/file_icons.h"

#include <cstdint>
#include <string>

#include "text/text.h"

namespace trovik::device {

namespace {

// The attribute cell read as a number; text that is none reads as 0.
uint32_t Attributes(const std::string& cell) {
  std::string t = text::Trim(cell);
  if (t.empty() || t.size() > 10) return 0;
  uint64_t v = 0;
  for (char c : t) {
    if (c < '0' || c > '9') return 0;
    v = v * 10 + static_cast<uint64_t>(c - '0');
  }
  return v > 0xFFFFFFFFu ? 0 : static_cast<uint32_t>(v);
}

}  // namespace

int FileTypeIcon(std::string_view name) {
  size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return kImageBlankPage;
  const std::string ext = text::UpperCase(name.substr(dot + 1));
  if (ext == "EXE") return kImageProgram;
  if (ext == "HTML" || ext == "HTM" || ext == "MHT") return kImageWebPage;
  if (ext == "MAP" || ext == "OZF3") return kImageMap;
  if (ext == "ABK" || ext == "ZIP" || ext == "RAR" || ext == "CAB") return kImageArchive;
  if (ext == "TXT") return kImageNotepad;
  if (ext == "PLT") return kImagePltBadge;
  if (ext == "JPG" || ext == "BMP") return kImagePicture;
  return kImageBlankPage;
}

int DeviceRowIcon(const GridRow& row) {
  uint32_t attrs = Attributes(row[3]);
  if (attrs & 0x10) return kImageFolder;
  if (attrs & 0x60) return FileTypeIcon(row[0]);
  return -1;
}

int PcRowIcon(const GridRow& row) { return row[1] == kDirCell ? kImageFolder : FileTypeIcon(row[0]); }

}  // namespace trovik::device
