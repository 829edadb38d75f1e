#pragma once
// A text area that shows core lines (a waypoint file, a captured page). It
// sets its text only when the lines changed, and a long text goes in a part
// at a time from the event loop, so a file of a million lines neither holds
// up the window nor is compared with the widget's text at every refresh.

#include <QObject>
#include <QPlainTextEdit>
#include <QTimer>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace trovik::gui {

class MemoLines : public QObject {
  Q_OBJECT
 public:
  explicit MemoLines(QPlainTextEdit* memo);

  // Shows `lines` (1250) unless they are shown already. The first part is in
  // at once, the rest is read from `lines` as it goes in; until then the text
  // area is read-only. `lines` must outlive this object (it is the core's).
  void show(const std::vector<std::string>& lines);
  // The user's edits since the text was last shown, as core lines.
  std::optional<std::vector<std::string>> edited();
  bool filling() const { return source_ != nullptr && next_ < count_; }

  // Lines go in by parts, the first at once, then more each turn of the
  // event loop for as long as a turn may take.
  static constexpr size_t kPart = 2000;
  static constexpr qint64 kTurnMs = 40;

 private:
  void fillMore();
  void finish();

  QPlainTextEdit* memo_;
  // What is shown: the core's lines, their count and a digest of their bytes
  // (a copy of a million lines would cost more than the text area itself).
  const std::vector<std::string>* source_ = nullptr;
  size_t count_ = 0;
  uint64_t digest_ = 0;
  size_t next_ = 0;
  bool readOnly_ = false;  // the area's own setting, back once the text is in
  QTimer timer_;
};

}  // namespace trovik::gui
