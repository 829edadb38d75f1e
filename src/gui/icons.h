#pragma once
// The pictures of the window, drawn rather than shipped: the manager image
// list (`ImageList2`, 19 images of 16 x 16, by index) and the tool icons.

#include <QIcon>
#include <QPixmap>
#include <vector>

namespace trovik::gui {

enum ImageIndex {
  kImgFolder = 0, kImgWebPage = 1, kImgArchive = 2, kImgExe = 3, kImgMap = 4, kImgJpgBadge = 5,
  kImgSyncOn = 6, kImgSyncOff = 7, kImgMagnifier = 8, kImgPicture = 9, kImgOpenFolder = 10,
  kImgDiskette = 11, kImgTicked = 12, kImgBlankSheet = 13, kImgPlt = 14, kImgText = 15,
  kImgBlankPage = 16, kImgSortUp = 17, kImgSortDown = 18, kImgCount = 19
};

// The 19 images, built once per process on first use.
const std::vector<QPixmap>& ImageList2();

QIcon OpenIcon();        // "Open GPX"
QIcon ExportIcon();      // batch export
QIcon ListingIcon();     // "GC"
// Small pictures of the nearby tab: traditional, multi, mystery, webcam.
QPixmap CacheTypePicture(int index);

}  // namespace trovik::gui
