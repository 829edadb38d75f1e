#pragma once
// The window's edge of the code-page rule: core text is Windows-1250 bytes,
// Qt text is Unicode. Every value that crosses between a widget and the core
// goes through these two.

#include <QString>
#include <QStringList>
#include <string>
#include <vector>

#include "text/text.h"

namespace trovik::gui {

inline QString FromCore(const std::string& text1250) {
  return QString::fromStdString(text::Cp1250ToUtf8(text1250));
}

inline std::string ToCore(const QString& text) {
  return text::Utf8To1250(text.toStdString());
}

inline QStringList FromCore(const std::vector<std::string>& lines1250) {
  QStringList out;
  out.reserve(static_cast<qsizetype>(lines1250.size()));
  for (const auto& line : lines1250) out << FromCore(line);
  return out;
}

// A text area's contents as core lines: the same split as a file read, so a
// memo and a file of the same text give the same lines.
inline std::vector<std::string> LinesToCore(const QString& text) {
  return text::SplitLines(ToCore(text));
}

// Core lines as a text area's contents, one paragraph per line.
inline QString LinesFromCore(const std::vector<std::string>& lines1250) {
  return FromCore(lines1250).join(QLatin1Char('\n'));
}

}  // namespace trovik::gui
