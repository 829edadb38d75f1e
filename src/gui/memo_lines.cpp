#include "gui/memo_lines.h"

#include <QElapsedTimer>
#include <QTextCursor>
#include <algorithm>
#include <functional>
#include <string_view>

#include "gui/qt_text.h"

namespace trovik::gui {
namespace {

QString Part(const std::vector<std::string>& lines, size_t from, size_t to) {
  QString out;
  for (size_t i = from; i < to && i < lines.size(); ++i) {
    if (i > 0) out += QLatin1Char('\n');
    out += FromCore(lines[i]);
  }
  return out;
}

uint64_t Digest(const std::vector<std::string>& lines) {
  uint64_t digest = lines.size();
  for (const std::string& line : lines) {
    digest = (digest ^ std::hash<std::string_view>{}(line)) * 0x100000001B3ULL;
  }
  return digest;
}

}  // namespace

MemoLines::MemoLines(QPlainTextEdit* memo) : QObject(memo), memo_(memo) {
  timer_.setSingleShot(true);
  timer_.setInterval(0);
  connect(&timer_, &QTimer::timeout, this, &MemoLines::fillMore);
}

void MemoLines::show(const std::vector<std::string>& lines) {
  const uint64_t digest = Digest(lines);
  if (&lines == source_ && lines.size() == count_ && digest == digest_) return;
  if (!filling()) readOnly_ = memo_->isReadOnly();
  source_ = &lines;
  count_ = lines.size();
  digest_ = digest;
  // No undo history for text the program puts in; it would double the memory.
  memo_->document()->setUndoRedoEnabled(false);
  next_ = std::min(kPart, count_);
  memo_->setPlainText(Part(lines, 0, next_));
  if (filling()) {
    memo_->setReadOnly(true);
    timer_.start();
  } else {
    finish();
  }
}

void MemoLines::fillMore() {
  // A command may change the lines between two parts; the refresh after it
  // sees a new digest and starts again, so a part never reads past their end.
  QElapsedTimer turn;
  turn.start();
  QTextCursor cursor(memo_->document());
  while (filling() && turn.elapsed() < kTurnMs) {
    const size_t to = std::min(next_ + kPart, count_);
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(Part(*source_, next_, to));
    next_ = to;
  }
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
  std::vector<std::string> lines = LinesToCore(memo_->toPlainText());
  // The caller stores them in the core: that is what is shown now.
  count_ = lines.size();
  digest_ = Digest(lines);
  memo_->document()->setModified(false);
  return lines;
}

}  // namespace trovik::gui
