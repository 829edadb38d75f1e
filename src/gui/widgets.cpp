#include "gui/widgets.h"

#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QProgressBar>
#include <algorithm>

#include "gui/accessibility.h"
#include "gui/qt_text.h"

namespace trovik::gui {

PanelBar::PanelBar(const QString& objectName, const std::vector<int>& widths, QWidget* parent)
    : QFrame(parent) {
  setObjectName(objectName);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 1, 0, 0);
  layout->setSpacing(2);
  for (size_t i = 0; i < widths.size(); ++i) {
    auto* frame = new QFrame(this);
    frame->setObjectName(objectName + QStringLiteral("_panel%1").arg(i));
    frame->setFrameShape(QFrame::Panel);
    frame->setFrameShadow(QFrame::Sunken);
    // As in a classic status bar the last panel runs to the bar's right end.
    if (i + 1 < widths.size()) {
      frame->setFixedWidth(widths[i]);
    } else {
      frame->setMinimumWidth(widths[i]);
      frame->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    }
    auto* inner = new QHBoxLayout(frame);
    inner->setContentsMargins(3, 0, 3, 0);
    auto* label = new QLabel(frame);
    label->setTextFormat(Qt::PlainText);
    inner->addWidget(label);
    layout->addWidget(frame);
    panels_.push_back(frame);
    widths_.push_back(widths[i]);
    labels_.push_back(label);
  }
  setFixedHeight(fontMetrics().height() + 8);
}

int PanelBar::panelWidth(int index) const { return widths_.at(static_cast<size_t>(index)); }

QString PanelBar::panelText(int index) const { return labels_.at(static_cast<size_t>(index))->text(); }

void PanelBar::setPanelText(int index, const QString& text) {
  if (index < 0 || index >= panelCount()) return;
  QLabel* label = labels_[static_cast<size_t>(index)];
  if (label->text() == text) return;
  label->setText(text);
  // The designed widths fit the classic narrow font; a text that this font
  // makes wider ("PDA OFF") widens its panel instead of being cut.
  if (index + 1 < panelCount()) {
    QFrame* frame = panels_[static_cast<size_t>(index)];
    const QMargins inner = frame->layout()->contentsMargins();
    const int needed =
        label->fontMetrics().horizontalAdvance(text) + inner.left() + inner.right() + 2 * frame->frameWidth() + 2;
    frame->setFixedWidth(std::max(widths_[static_cast<size_t>(index)], needed));
  }
}

CheckListBox::CheckListBox(const QString& objectName, QWidget* parent) : QListWidget(parent) {
  InstallCheckListAccessible();
  setObjectName(objectName);
  setSelectionMode(QAbstractItemView::SingleSelection);
  // One line each: the list lays out any length at once.
  setUniformItemSizes(true);
  fillTimer_.setSingleShot(true);
  fillTimer_.setInterval(0);
  connect(&fillTimer_, &QTimer::timeout, this, &CheckListBox::addPart);
  connect(this, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
    const int index = row(item);
    // Every change of mark, the user's or a command's, is heard.
    const auto at = static_cast<size_t>(index);
    if (at < shownMarks_.size() && item->checkState() != shownMarks_[at]) {
      shownMarks_[at] = item->checkState();
      AnnounceMark(this, index);
    }
    if (quiet_) return;
    setCurrentRow(index);
    emit userClicked(index, item->checkState() == Qt::Checked);
  });
  connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
    if (quiet_) return;
    emit userClicked(row(item), item->checkState() == Qt::Checked);
  });
}

namespace {

Qt::CheckState MarkOf(const std::vector<bool>& marks, size_t i) {
  return i < marks.size() && marks[i] ? Qt::Checked : Qt::Unchecked;
}

}  // namespace

void CheckListBox::setEntries(const std::vector<std::string>& entries1250, const std::vector<bool>& marks,
                              int currentIndex) {
  const bool sameLength = entries1250.size() == entries_.size();
  const int current = currentIndex == kOwnCurrent ? (sameLength ? currentRow() : -1) : currentIndex;
  if (entries1250 != entries_ || marks != marks_) {
    quiet_ = true;
    if (!sameLength) {
      entries_ = entries1250;
      marks_ = marks;
      clear();
      shownMarks_.clear();
      addPart();
    } else {
      // Only what changed (a position filled in, a mark), so the list keeps
      // its scroll position; entries not yet made get the new values when made.
      for (int i = 0; i < count(); ++i) {
        const auto at = static_cast<size_t>(i);
        if (entries1250[at] != entries_[at]) item(i)->setText(FromCore(entries1250[at]));
        const Qt::CheckState mark = MarkOf(marks, at);
        if (mark != MarkOf(marks_, at) && item(i)->checkState() != mark) item(i)->setCheckState(mark);
      }
      entries_ = entries1250;
      marks_ = marks;
    }
    quiet_ = false;
  }
  setCurrent(current);
}

void CheckListBox::addPart() {
  quiet_ = true;
  // A part is the first screenful and more for as long as a turn may take,
  // so paints and clicks get their turns however slow the machine is.
  QElapsedTimer turn;
  turn.start();
  const size_t from = static_cast<size_t>(count());
  const size_t least = std::min(entries_.size(), from + kLeast);
  for (size_t i = from; i < entries_.size(); ++i) {
    if (i >= least && (i & 255) == 0 && turn.elapsed() >= kTurnMs) break;
    // Each entry is made whole, its box included, before the list takes it:
    // a box set on an entry already in the list costs a change notice.
    auto* entry = new QListWidgetItem(FromCore(entries_[i]));
    entry->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    entry->setCheckState(MarkOf(marks_, i));
    shownMarks_.push_back(entry->checkState());
    addItem(entry);
  }
  quiet_ = false;
  // Every insertion puts the layout off until the list is idle, which while
  // filling it never is: laid out now, the entries made so far are painted.
  executeDelayedItemsLayout();
  if (filling()) fillTimer_.start();
}

void CheckListBox::setCurrent(int index) {
  quiet_ = true;
  if (index >= 0 && index < count()) {
    if (currentRow() != index) setCurrentRow(index);
  } else if (currentRow() != -1) {
    setCurrentRow(-1);
  }
  quiet_ = false;
}

bool CheckListBox::isMarked(int index) const {
  const QListWidgetItem* entry = item(index);
  return entry != nullptr && entry->checkState() == Qt::Checked;
}

QStringList CheckListBox::entries() const {
  QStringList out;
  for (int i = 0; i < count(); ++i) out << item(i)->text();
  return out;
}

QPushButton* MakeButton(const QString& objectName, const QString& caption, QWidget* parent, const QString& hint) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(objectName);
  if (!hint.isEmpty()) button->setToolTip(hint);
  button->setAutoDefault(false);
  return button;
}

QLabel* MakeLabel(const QString& objectName, const QString& caption, QWidget* parent, bool bold) {
  auto* label = new QLabel(caption, parent);
  label->setObjectName(objectName);
  label->setTextFormat(Qt::PlainText);
  if (bold) {
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
  }
  return label;
}

void SetEditText(QLineEdit* edit, const QString& text) {
  if (edit->text() != text) edit->setText(text);
}

void SetChecked(QAbstractButton* button, bool checked) {
  if (button->isChecked() != checked) button->setChecked(checked);
}

void SetProgress(QProgressBar* bar, int position, int maximum) {
  // Maximum first, as the browser's progress events set it.
  const int max = maximum < 0 ? 0 : maximum;
  if (bar->maximum() != max) bar->setMaximum(max);
  const int pos = position < 0 ? 0 : (position > max ? max : position);
  if (bar->value() != pos) bar->setValue(pos);
}

}  // namespace trovik::gui
