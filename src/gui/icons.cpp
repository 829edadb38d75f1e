#include "gui/icons.h"

#include <QPainter>
#include <QPainterPath>

namespace trovik::gui {
namespace {

QPixmap Blank(int size = 16) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

void Page(QPainter& p, const QColor& fill) {
  QPainterPath path;
  path.moveTo(3, 1);
  path.lineTo(10, 1);
  path.lineTo(13, 4);
  path.lineTo(13, 15);
  path.lineTo(3, 15);
  path.closeSubpath();
  p.setPen(QColor(90, 90, 90));
  p.setBrush(fill);
  p.drawPath(path);
  p.drawLine(10, 1, 10, 4);
  p.drawLine(10, 4, 13, 4);
}

void Folder(QPainter& p, bool open) {
  p.setPen(QColor(150, 110, 0));
  p.setBrush(QColor(250, 210, 80));
  p.drawRect(1, 4, 13, 10);
  p.drawRect(1, 2, 5, 2);
  if (open) {
    p.setBrush(QColor(255, 235, 140));
    QPolygon lid;
    lid << QPoint(3, 7) << QPoint(15, 7) << QPoint(13, 14) << QPoint(1, 14);
    p.drawPolygon(lid);
  }
}

void Badge(QPainter& p, const QString& text, const QColor& color) {
  p.setPen(Qt::NoPen);
  p.setBrush(color);
  p.drawRoundedRect(0, 3, 16, 10, 2, 2);
  QFont font = p.font();
  font.setPixelSize(7);
  font.setBold(true);
  p.setFont(font);
  p.setPen(Qt::white);
  p.drawText(QRect(0, 3, 16, 10), Qt::AlignCenter, text);
}

void Arrows(QPainter& p, const QColor& color) {
  QPen pen(color, 2);
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRect(2, 2, 12, 12), 30 * 16, 150 * 16);
  p.drawArc(QRect(2, 2, 12, 12), 210 * 16, 150 * 16);
  p.setPen(Qt::NoPen);
  p.setBrush(color);
  p.drawPolygon(QPolygon({QPoint(11, 1), QPoint(15, 5), QPoint(10, 6)}));
  p.drawPolygon(QPolygon({QPoint(5, 15), QPoint(1, 11), QPoint(6, 10)}));
}

void SortArrow(QPainter& p, bool up) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 128, 0));
  for (int i = 0; i < 4; ++i) {
    const int y = up ? 12 - 3 * i : 3 + 3 * i;
    const int half = i + 1;
    p.drawRect(7 - half, y, 2 * half + 1, 1);
  }
}

QPixmap Make(int index) {
  QPixmap pixmap = Blank();
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing, false);
  switch (index) {
    case kImgFolder: Folder(p, false); break;
    case kImgWebPage:
      Page(p, Qt::white);
      p.setPen(QColor(0, 90, 200));
      p.setBrush(QColor(120, 180, 255));
      p.drawEllipse(5, 6, 7, 7);
      break;
    case kImgArchive:
      p.setPen(QColor(150, 110, 0));
      p.setBrush(QColor(240, 200, 90));
      p.drawRect(2, 9, 11, 5);
      p.drawRect(4, 4, 9, 5);
      p.drawRect(6, 0, 7, 4);
      break;
    case kImgExe:
      p.setPen(QColor(60, 60, 60));
      p.setBrush(QColor(40, 60, 140));
      p.drawRect(1, 2, 14, 9);
      p.setBrush(QColor(160, 160, 160));
      p.drawRect(5, 12, 6, 2);
      break;
    case kImgMap:
      p.setPen(QColor(90, 90, 90));
      p.setBrush(QColor(200, 235, 180));
      p.drawRect(1, 2, 14, 12);
      p.setPen(QColor(40, 110, 200));
      p.drawLine(2, 11, 7, 6);
      p.drawLine(7, 6, 14, 9);
      break;
    case kImgJpgBadge: Badge(p, QStringLiteral("JPG"), QColor(200, 60, 60)); break;
    case kImgSyncOn: Arrows(p, QColor(0, 150, 0)); break;
    case kImgSyncOff: Arrows(p, QColor(140, 140, 140)); break;
    case kImgMagnifier:
      p.setPen(QPen(QColor(60, 60, 60), 2));
      p.setBrush(QColor(200, 230, 255));
      p.drawEllipse(2, 2, 8, 8);
      p.drawLine(9, 9, 14, 14);
      break;
    case kImgPicture:
      p.setPen(QColor(90, 90, 90));
      p.setBrush(QColor(150, 200, 255));
      p.drawRect(1, 2, 14, 12);
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(60, 150, 60));
      p.drawPolygon(QPolygon({QPoint(2, 13), QPoint(7, 7), QPoint(11, 13)}));
      p.setBrush(QColor(250, 220, 60));
      p.drawEllipse(10, 4, 3, 3);
      break;
    case kImgOpenFolder: Folder(p, true); break;
    case kImgDiskette:
      p.setPen(QColor(30, 30, 30));
      p.setBrush(QColor(60, 60, 160));
      p.drawRect(1, 1, 14, 14);
      p.setBrush(Qt::white);
      p.drawRect(4, 1, 8, 5);
      break;
    case kImgTicked:
      p.setPen(QColor(60, 60, 60));
      p.setBrush(Qt::white);
      p.drawRect(2, 2, 12, 12);
      p.setPen(QPen(QColor(0, 128, 0), 2));
      p.drawLine(4, 8, 7, 11);
      p.drawLine(7, 11, 12, 4);
      break;
    case kImgBlankSheet: Page(p, QColor(245, 245, 245)); break;
    case kImgPlt: Badge(p, QStringLiteral("PLT"), QColor(40, 120, 40)); break;
    case kImgText:
      Page(p, QColor(255, 255, 220));
      p.setPen(QColor(120, 120, 120));
      for (int y = 6; y <= 12; y += 2) p.drawLine(5, y, 11, y);
      break;
    case kImgBlankPage: Page(p, Qt::white); break;
    case kImgSortUp: SortArrow(p, true); break;
    case kImgSortDown: SortArrow(p, false); break;
    default: break;
  }
  return pixmap;
}

}  // namespace

const std::vector<QPixmap>& ImageList2() {
  static const std::vector<QPixmap> images = [] {
    std::vector<QPixmap> out;
    for (int i = 0; i < kImgCount; ++i) out.push_back(Make(i));
    return out;
  }();
  return images;
}

QIcon OpenIcon() {
  QPixmap pixmap = Blank(24);
  QPainter p(&pixmap);
  p.setPen(QColor(150, 110, 0));
  p.setBrush(QColor(250, 210, 80));
  p.drawRect(2, 7, 19, 14);
  p.drawRect(2, 4, 8, 3);
  p.setBrush(QColor(255, 235, 140));
  p.drawPolygon(QPolygon({QPoint(5, 11), QPoint(23, 11), QPoint(20, 21), QPoint(2, 21)}));
  QFont font = p.font();
  font.setPixelSize(8);
  font.setBold(true);
  p.setFont(font);
  p.setPen(QColor(0, 100, 0));
  p.drawText(QRect(4, 11, 18, 10), Qt::AlignCenter, QStringLiteral("GPX"));
  return QIcon(pixmap);
}

QIcon ExportIcon() {
  QPixmap pixmap = Blank(24);
  QPainter p(&pixmap);
  p.setPen(QColor(90, 90, 90));
  p.setBrush(Qt::white);
  p.drawRect(4, 2, 14, 19);
  p.setPen(QColor(0, 90, 200));
  for (int y = 6; y <= 16; y += 3) p.drawLine(7, y, 15, y);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 150, 0));
  p.drawPolygon(QPolygon({QPoint(14, 14), QPoint(23, 18), QPoint(14, 23)}));
  return QIcon(pixmap);
}

QIcon ListingIcon() {
  QPixmap pixmap = Blank(16);
  QPainter p(&pixmap);
  Badge(p, QStringLiteral("GC"), QColor(0, 110, 0));
  return QIcon(pixmap);
}

QPixmap CacheTypePicture(int index) {
  QPixmap pixmap = Blank(16);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing, true);
  static const QColor colors[] = {QColor(0, 130, 0), QColor(230, 150, 0), QColor(0, 70, 190), QColor(110, 110, 110)};
  p.setPen(Qt::NoPen);
  p.setBrush(colors[index & 3]);
  p.drawRoundedRect(1, 1, 14, 14, 3, 3);
  QFont font = p.font();
  font.setPixelSize(10);
  font.setBold(true);
  p.setFont(font);
  p.setPen(Qt::white);
  static const char* letters[] = {"T", "M", "?", "W"};
  p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, QString::fromLatin1(letters[index & 3]));
  return pixmap;
}

}  // namespace trovik::gui
