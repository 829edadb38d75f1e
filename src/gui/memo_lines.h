#pragma once
// A text area that shows core lines (a waypoint file, a captured page). It
// sets its text only when the lines changed, and a long text goes in a part
// at a time from the event loop, so a file of a million lines neither holds
// up the window nor is compared with the widget's text at every refresh.

#include <QObject>
#include <QPlainTextEdit>
#include <QTimer>
#include <optional>
#include <string>
#include <vector>

namespace trovik::gui {

class MemoLines : public QObject {
  Q_OBJECT
 public:
  explicit MemoLines(QPlainTextEdit* memo);

  // Shows `lines` (1250) unless they are shown already. The first part is in
  // at once; until the rest is, the text area is read-only.
  void show(const std::vector<std::string>& lines);
  // The user's edits since the text was last shown, as core lines.
  std::optional<std::vector<std::string>> edited();
  bool filling() const { return next_ < shown_.size(); }

  static constexpr size_t kPart = 20000;  // lines per turn of the event loop

 private:
  void fillMore();
  void finish();

  QPlainTextEdit* memo_;
  std::vector<std::string> shown_;
  size_t next_ = 0;
  bool readOnly_ = false;  // the area's own setting, back once the text is in
  QTimer timer_;
};

}  // namespace trovik::gui
