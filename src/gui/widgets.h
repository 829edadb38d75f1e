#pragma once
// Small widgets that stand in for the classic controls the window is made of:
// a status bar of fixed-width panels and a check list that reports only the
// user's own clicks.

#include <QFrame>
#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <string>
#include <vector>

namespace trovik::gui {

// A status bar with panels of given widths; the last one is at least as wide
// as given and fills the bar to its right end.
class PanelBar : public QFrame {
  Q_OBJECT
 public:
  PanelBar(const QString& objectName, const std::vector<int>& widths, QWidget* parent = nullptr);

  int panelCount() const { return static_cast<int>(panels_.size()); }
  int panelWidth(int index) const;  // the designed width
  QString panelText(int index) const;
  void setPanelText(int index, const QString& text);
  // The frame of one panel, to lay a progress bar over it.
  QFrame* panel(int index) const { return panels_.at(static_cast<size_t>(index)); }

 private:
  std::vector<QFrame*> panels_;
  std::vector<QLabel*> labels_;
  std::vector<int> widths_;
};

// A list with a check box on every entry. `userClicked` fires only for the
// user's own clicks (on the box or on the entry, or the Space key), never for
// contents set by setEntries; it carries the entry's mark as the click left it.
class CheckListBox : public QListWidget {
  Q_OBJECT
 public:
  explicit CheckListBox(const QString& objectName, QWidget* parent = nullptr);

  // For setEntries: the list keeps its own current entry while its length stays.
  static constexpr int kOwnCurrent = -2;
  // A long list is filled a part per turn of the event loop: at least this
  // many entries, more while the turn is shorter than kTurnMs.
  static constexpr size_t kLeast = 500;
  static constexpr qint64 kTurnMs = 40;

  // Shows `entries` (core text) with their marks, converting and touching
  // only what changed. A long list gets its first part at once and the rest
  // part by part from the event loop, so the window never waits for it.
  void setEntries(const std::vector<std::string>& entries1250, const std::vector<bool>& marks, int currentIndex);
  // The current row (-1 for none), without a userClicked.
  void setCurrent(int index);
  bool isMarked(int index) const;
  QStringList entries() const;
  // Entries given but not yet made.
  bool filling() const { return static_cast<size_t>(count()) < entries_.size(); }

 signals:
  void userClicked(int index, bool marked);

 private:
  void addPart();

  std::vector<std::string> entries_;  // what the list shows, or will once filled
  std::vector<bool> marks_;
  // The marks as last announced, to tell a change from a repaint.
  std::vector<Qt::CheckState> shownMarks_;
  QTimer fillTimer_;
  bool quiet_ = false;  // changes made here, not by the user
};

// A flat push button of the window ("speed button"): caption, object name, hint.
QPushButton* MakeButton(const QString& objectName, const QString& caption, QWidget* parent,
                        const QString& hint = QString());
QLabel* MakeLabel(const QString& objectName, const QString& caption, QWidget* parent, bool bold = false);
// Refresh helpers: change a control only when the core's value differs.
void SetEditText(QLineEdit* edit, const QString& text);
void SetChecked(QAbstractButton* button, bool checked);
void SetProgress(QProgressBar* bar, int position, int maximum);

// A hidden control: present for the commands that use its contents, never shown.
template <typename W>
W* Hidden(W* widget) {
  widget->setVisible(false);
  widget->setProperty("trovikHidden", true);
  return widget;
}

}  // namespace trovik::gui
