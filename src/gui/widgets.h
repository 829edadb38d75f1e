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
#include <QToolButton>
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

// A list with a check box per entry. `userClicked` fires only for the user's
// own clicks (on the box or on the entry), never for contents set by
// setEntries; it carries the entry's mark as the click left it.
class CheckListBox : public QListWidget {
  Q_OBJECT
 public:
  explicit CheckListBox(const QString& objectName, QWidget* parent = nullptr);

  // Shows `entries` with their marks; keeps the current row when it still exists.
  void setEntries(const QStringList& entries, const std::vector<bool>& marks, int currentIndex);
  bool isMarked(int index) const;
  QStringList entries() const;

 signals:
  void userClicked(int index, bool marked);

 private:
  bool filling_ = false;
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
