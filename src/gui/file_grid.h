#pragma once
// The file grids of the manager tab (`StringPDA`, `StringPC`). Rows are the
// core's rows: row 0 is the header (shown as the column headers), row 1 the
// ".." entry, then one row per entry; five cells per row, of which the grid
// shows the first `visibleColumns`. Mouse and key events are forwarded with
// the core's row numbers.

#include <QStyledItemDelegate>
#include <QTableWidget>
#include <functional>
#include <vector>

namespace trovik::gui {

class FileGrid : public QTableWidget {
  Q_OBJECT
 public:
  enum class Kind { Device, Pc };
  FileGrid(const QString& objectName, Kind kind, const std::vector<int>& widths, QWidget* parent = nullptr);

  // All rows, the header row first; each row's cells, missing cells empty.
  void setRows(const QList<QStringList>& rows);
  QList<QStringList> rows() const;
  // Sort markers of the name and date headers: 0 none, 1 ascending, 2 descending.
  void setSortModes(int nameMode, int dateMode);
  // Selected rows as core row numbers (1 = ".."), ascending.
  std::vector<int> selectedCoreRows() const;
  void selectCoreRows(const std::vector<int>& coreRows);
  Kind kind() const { return kind_; }
  int nameSortMode() const { return nameMode_; }
  int dateSortMode() const { return dateMode_; }
  // The picture of a row's name cell (an ImageList2 index, -1 for none), by
  // the core's rules for that pane; `coreRow` counts the header as row 0.
  void setRowIcon(std::function<int(int coreRow)> rule) { rowIcon_ = std::move(rule); }
  int rowIcon(int coreRow) const { return rowIcon_ ? rowIcon_(coreRow) : -1; }

 signals:
  // Core row and column of the press (row 0 for the header); right presses too.
  void cellPressed(int row, int column, Qt::MouseButton button, QPoint globalPos);
  void mouseReleased();
  void cellDoubleClicked(int row, int column);
  void keyReleased(int key);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool focusNextPrevChild(bool next) override;

 private:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void updateHeaderMarks();

  Kind kind_;
  int nameMode_ = 0;
  int dateMode_ = 0;
  std::vector<QString> headerTexts_;
  std::function<int(int)> rowIcon_;
};

// Draws names with their type icon and sizes right-aligned.
class FileGridDelegate : public QStyledItemDelegate {
 public:
  explicit FileGridDelegate(FileGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  FileGrid* grid_;
};

}  // namespace trovik::gui
