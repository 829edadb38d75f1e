#include "gui/file_grid.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "gui/icons.h"

namespace trovik::gui {
namespace {

constexpr int kCells = 5;

// The header of a file grid: a sorted column gets a green frame, the others a
// white one, around the marker and the bold caption.
class FileGridHeader : public QHeaderView {
 public:
  explicit FileGridHeader(FileGrid* grid) : QHeaderView(Qt::Horizontal, grid), grid_(grid) {}

 protected:
  void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override {
    QHeaderView::paintSection(painter, rect, logicalIndex);
    const int mode = logicalIndex == 0 ? grid_->nameSortMode() : (logicalIndex == 2 ? grid_->dateSortMode() : -1);
    if (mode < 0) return;
    painter->save();
    // The style clips the painter to the caption; the frame runs round the cell.
    painter->setClipRect(rect);
    painter->setPen(mode == 0 ? QColor(Qt::white) : QColor(0, 128, 0));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(rect.adjusted(0, 0, -1, -1));
    painter->restore();
  }

 private:
  FileGrid* grid_;
};

}  // namespace

FileGrid::FileGrid(const QString& objectName, Kind kind, const std::vector<int>& widths, QWidget* parent)
    : QTableWidget(0, kCells, parent), kind_(kind) {
  setObjectName(objectName);
  setHorizontalHeader(new FileGridHeader(this));
  QFont gridFont = font();
  gridFont.setPixelSize(11);
  setFont(gridFont);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setWordWrap(false);
  setShowGrid(true);
  setTabKeyNavigation(false);
  verticalHeader()->setVisible(false);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(18);
  verticalHeader()->setMinimumSectionSize(18);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setSectionsClickable(false);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  horizontalHeader()->setStretchLastSection(false);
  horizontalHeader()->setMinimumSectionSize(4);
  QFont headerFont = gridFont;
  headerFont.setBold(true);
  horizontalHeader()->setFont(headerFont);
  horizontalHeader()->viewport()->installEventFilter(this);
  for (int c = 0; c < kCells; ++c) {
    if (c < static_cast<int>(widths.size())) {
      setColumnWidth(c, widths[static_cast<size_t>(c)]);
    } else {
      setColumnHidden(c, true);
    }
  }
  headerTexts_ = {QStringLiteral("Názov súboru"), QStringLiteral("Veľkosť"), QStringLiteral("Dátum a čas"),
                  QStringLiteral("Attr"), QString()};
  updateHeaderMarks();
  setItemDelegate(new FileGridDelegate(this));
}

void FileGrid::setRows(const QList<QStringList>& rows) {
  const QStringList header = rows.isEmpty() ? QStringList() : rows.first();
  for (int c = 0; c < kCells; ++c) headerTexts_[static_cast<size_t>(c)] = header.value(c);
  updateHeaderMarks();
  const int count = rows.isEmpty() ? 0 : static_cast<int>(rows.size()) - 1;
  if (rowCount() != count) setRowCount(count);
  for (int r = 0; r < count; ++r) {
    const QStringList& cells = rows.at(r + 1);
    for (int c = 0; c < kCells; ++c) {
      const QString text = cells.value(c);
      QTableWidgetItem* cell = item(r, c);
      if (cell == nullptr) {
        cell = new QTableWidgetItem(text);
        setItem(r, c, cell);
      } else if (cell->text() != text) {
        cell->setText(text);
      }
    }
  }
}

QList<QStringList> FileGrid::rows() const {
  QList<QStringList> out;
  QStringList header;
  for (const QString& text : headerTexts_) header << text;
  out << header;
  for (int r = 0; r < rowCount(); ++r) {
    QStringList cells;
    for (int c = 0; c < kCells; ++c) cells << (item(r, c) ? item(r, c)->text() : QString());
    out << cells;
  }
  return out;
}

void FileGrid::setSortModes(int nameMode, int dateMode) {
  if (nameMode == nameMode_ && dateMode == dateMode_) return;
  nameMode_ = nameMode;
  dateMode_ = dateMode;
  updateHeaderMarks();
  horizontalHeader()->viewport()->update();
}

void FileGrid::updateHeaderMarks() {
  for (int c = 0; c < kCells; ++c) {
    auto* header = horizontalHeaderItem(c);
    if (header == nullptr) {
      header = new QTableWidgetItem();
      setHorizontalHeaderItem(c, header);
    }
    header->setText(headerTexts_[static_cast<size_t>(c)]);
    int mode = c == 0 ? nameMode_ : (c == 2 ? dateMode_ : 0);
    if (mode == 1) {
      header->setIcon(QIcon(ImageList2()[kImgSortUp]));
    } else if (mode == 2) {
      header->setIcon(QIcon(ImageList2()[kImgSortDown]));
    } else {
      header->setIcon(QIcon());
    }
    header->setForeground(mode != 0 ? QBrush(QColor(0, 128, 0)) : QBrush());
    header->setTextAlignment((c == 1 || c == 3) ? (Qt::AlignRight | Qt::AlignVCenter)
                                                : (Qt::AlignLeft | Qt::AlignVCenter));
    // The designed widths fit the classic narrow font; a caption this font
    // makes wider ("Attr") widens its column, so it reads whole.
    if (!isColumnHidden(c)) {
      const int margin = style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, horizontalHeader());
      const int marker = header->icon().isNull() ? 0 : 16 + margin;
      const int needed = QFontMetrics(horizontalHeader()->font()).horizontalAdvance(header->text()) + 6 * margin + marker;
      if (columnWidth(c) < needed) setColumnWidth(c, needed);
    }
  }
}

std::vector<int> FileGrid::selectedCoreRows() const {
  std::vector<int> out;
  for (int r = 0; r < rowCount(); ++r) {
    if (selectionModel()->isRowSelected(r, QModelIndex())) out.push_back(r + 1);
  }
  return out;
}

void FileGrid::selectCoreRows(const std::vector<int>& coreRows) {
  clearSelection();
  for (int coreRow : coreRows) {
    const int r = coreRow - 1;
    if (r < 0 || r >= rowCount()) continue;
    selectionModel()->select(model()->index(r, 0),
                             QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }
}

void FileGrid::mousePressEvent(QMouseEvent* event) {
  const QModelIndex index = indexAt(event->position().toPoint());
  // A right press keeps the selection: the menu acts on the marked rows.
  if (event->button() != Qt::RightButton) QTableWidget::mousePressEvent(event);
  emit cellPressed(index.isValid() ? index.row() + 1 : -1, index.isValid() ? index.column() : -1,
                   event->button(), event->globalPosition().toPoint());
}

void FileGrid::mouseReleaseEvent(QMouseEvent* event) {
  QTableWidget::mouseReleaseEvent(event);
  emit mouseReleased();
}

void FileGrid::mouseDoubleClickEvent(QMouseEvent* event) {
  const QModelIndex index = indexAt(event->position().toPoint());
  QTableWidget::mouseDoubleClickEvent(event);
  if (index.isValid()) emit cellDoubleClicked(index.row() + 1, index.column());
}

void FileGrid::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Tab) {
    event->accept();
    return;
  }
  QTableWidget::keyPressEvent(event);
}

void FileGrid::keyReleaseEvent(QKeyEvent* event) {
  QTableWidget::keyReleaseEvent(event);
  if (!event->isAutoRepeat()) emit keyReleased(event->key());
}

bool FileGrid::focusNextPrevChild(bool next) {
  // Tab is a command of the grid (focus to the other pane), not focus travel;
  // Shift+Tab leaves the grid, the keyboard's way to the other controls.
  return next ? false : QTableWidget::focusNextPrevChild(false);
}

bool FileGrid::eventFilter(QObject* watched, QEvent* event) {
  // Presses on the header are presses on row 0 of the grid.
  if (watched == horizontalHeader()->viewport()) {
    if (event->type() == QEvent::MouseButtonPress) {
      auto* mouse = static_cast<QMouseEvent*>(event);
      const int column = horizontalHeader()->logicalIndexAt(mouse->position().toPoint());
      emit cellPressed(0, column, mouse->button(), mouse->globalPosition().toPoint());
    } else if (event->type() == QEvent::MouseButtonRelease) {
      emit mouseReleased();
    }
  }
  return QTableWidget::eventFilter(watched, event);
}

void FileGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  QStyleOptionViewItem opt = option;
  initStyleOption(&opt, index);
  const QString text = opt.text;
  opt.text.clear();
  const QWidget* widget = opt.widget;
  QStyle* style = widget ? widget->style() : QApplication::style();
  style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

  painter->save();
  painter->setPen(opt.state & QStyle::State_Selected ? opt.palette.color(QPalette::HighlightedText)
                                                      : opt.palette.color(QPalette::Text));
  QRect cell = opt.rect.adjusted(2, 0, -2, 0);
  const int column = index.column();
  if (column == 0) {
    const int icon = grid_->rowIcon(index.row() + 1);
    if (icon >= 0 && icon < kImgCount) {
      painter->drawPixmap(opt.rect.left(), opt.rect.top() + (opt.rect.height() - 16) / 2, ImageList2()[icon]);
    }
    cell = opt.rect.adjusted(18, 0, -2, 0);
    painter->drawText(cell, Qt::AlignLeft | Qt::AlignVCenter, text);
  } else if (column == 1) {
    painter->drawText(cell, Qt::AlignRight | Qt::AlignVCenter, text);
  } else {
    painter->drawText(cell, Qt::AlignLeft | Qt::AlignVCenter, text);
  }
  painter->restore();
}

}  // namespace trovik::gui
