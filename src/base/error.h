#pragma once
// The one exception type of the core. It carries the text that the window's
// default error box shows ("Cannot open file %s", ...); the command dispatcher
// of the GUI or CLI catches it, shows the text and ends the command.

#include <stdexcept>
#include <string>

namespace trovik {

class Error : public std::runtime_error {
 public:
  // `text1250` is Windows-1250 text, like every text of the core.
  explicit Error(const std::string& text1250) : std::runtime_error(text1250) {}
  std::string text() const { return what(); }
};

// The platform's standard texts, with the path or value in place of %s.
Error CannotOpenFile(const std::string& path);
Error CannotCreateFile(const std::string& path);
Error UnableToWrite(const std::string& path);
Error NotValidFloat(const std::string& value);
Error NotValidInteger(const std::string& value);

}  // namespace trovik
