#include "gui/widgets.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QProgressBar>

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
  if (label->text() != text) label->setText(text);
}

CheckListBox::CheckListBox(const QString& objectName, QWidget* parent) : QListWidget(parent) {
  setObjectName(objectName);
  setSelectionMode(QAbstractItemView::SingleSelection);
  connect(this, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
    if (filling_) return;
    const int index = row(item);
    setCurrentRow(index);
    emit userClicked(index, item->checkState() == Qt::Checked);
  });
  connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
    if (filling_) return;
    emit userClicked(row(item), item->checkState() == Qt::Checked);
  });
}

void CheckListBox::setEntries(const QStringList& entries, const std::vector<bool>& marks, int currentIndex) {
  filling_ = true;
  const bool sameTexts = this->entries() == entries;
  if (!sameTexts) {
    clear();
    for (const QString& entry : entries) {
      auto* item = new QListWidgetItem(entry, this);
      item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    }
  }
  for (int i = 0; i < count(); ++i) {
    const bool marked = static_cast<size_t>(i) < marks.size() && marks[static_cast<size_t>(i)];
    const Qt::CheckState state = marked ? Qt::Checked : Qt::Unchecked;
    if (item(i)->checkState() != state) item(i)->setCheckState(state);
  }
  if (currentIndex >= 0 && currentIndex < count()) {
    if (currentRow() != currentIndex) setCurrentRow(currentIndex);
  } else if (currentRow() != -1) {
    setCurrentRow(-1);
  }
  filling_ = false;
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
