#pragma once
// The manager image list (19 images of 16 x 16) by index and role, and the
// rules that pick an image for a grid cell.

#include <string_view>

#include "device/panes.h"

namespace trovik::device {

enum ManagerImage : int {
  kImageFolder = 0,        // folder rows
  kImageWebPage = 1,       // HTML, HTM, MHT
  kImageArchive = 2,       // ABK, ZIP, RAR, CAB
  kImageProgram = 3,       // EXE
  kImageMap = 4,           // MAP, OZF3
  kImageJpgBadge = 5,      // not drawn
  kImageSyncOn = 6,        // "ActiveSync" after a successful connect
  kImageSyncOff = 7,       // "ActiveSync" after a failed connect
  kImageMagnifier = 8,     // not drawn
  kImagePicture = 9,       // JPG, BMP
  kImageOpenFolder = 10,   // not drawn
  kImageDiskette = 11,     // not drawn
  kImageTicked = 12,       // not drawn
  kImageBlankSheet = 13,   // not drawn
  kImagePltBadge = 14,     // PLT
  kImageNotepad = 15,      // TXT
  kImageBlankPage = 16,    // every other file
  kImageSortAscending = 17,
  kImageSortDescending = 18,
  kManagerImageCount = 19,
};

// The image of a file name by its extension (after the last ".", ASCII upper-cased).
int FileTypeIcon(std::string_view name);
// The image drawn in the name cell of a data row, -1 for none. Device rows go
// by the attribute cell (folder bit, else archive or 0x40 bit); PC rows by "<DIR>".
int DeviceRowIcon(const GridRow& row);
int PcRowIcon(const GridRow& row);

}  // namespace trovik::device
