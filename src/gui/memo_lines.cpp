#include "gui/memo_lines.h"

#include <QTextCursor>
#include <algorithm>

#include "gui/qt_text.h"

namespace trovik::gui {
namespace {

QString Part(const std::vector<std::string>& lines, size_t from, size_t to) {
  QString out;
  for (size_t i = from; i < to; ++i) {
    if (i > 0) out += QLatin1Char('\n');
    out += FromCore(lines[i]);
  }
  return out;
}

}  // namespace

MemoLines::MemoLines(QPlainTextEdit* memo) : QObject(memo), memo_(memo) {
  timer_.setSingleShot(true);
  timer_.setInterval(0);
  connect(&timer_, &QTimer::timeout, this, &MemoLines::fillMore);
}

void MemoLines::show(const std::vector<std::string>& lines) {
  if (lines == shown_) return;
  if (!filling()) readOnly_ = memo_->isReadOnly();
  shown_ = lines;
  // No undo history for text the program puts in; it would double the memory.
  memo_->document()->setUndoRedoEnabled(false);
  next_ = std::min(kPart, shown_.size());
  memo_->setPlainText(Part(shown_, 0, next_));
  if (filling()) {
    memo_->setReadOnly(true);
    timer_.start();
  } else {
    finish();
  }
}

void MemoLines::fillMore() {
  const size_t to = std::min(next_ + kPart, shown_.size());
  QTextCursor cursor(memo_->document());
  cursor.movePosition(QTextCursor::End);
  cursor.insertText(Part(shown_, next_, to));
  next_ = to;
  if (filling()) {
    timer_.start();
  } else {
    finish();
  }
}

void MemoLines::finish() {
  timer_.stop();
  memo_->setReadOnly(readOnly_);
  memo_->document()->setUndoRedoEnabled(true);
  memo_->document()->setModified(false);
}

std::optional<std::vector<std::string>> MemoLines::edited() {
  if (filling() || !memo_->document()->isModified()) return std::nullopt;
  shown_ = LinesToCore(memo_->toPlainText());
  memo_->document()->setModified(false);
  return shown_;
}

}  // namespace trovik::gui
