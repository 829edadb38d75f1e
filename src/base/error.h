#pragma once
// The one exception type of the core. It carries the text that the window's
// default error box shows ("Cannot open file %s", ...); the command dispatcher
// of the GUI or CLI catches it, shows the text and ends the command.

#include <stdexcept>
#include <string>

#include "text/cp1250.h"

namespace trovik {

class Error : public std::runtime_error {
 public:
  // Windows-1250 text, like every text of the core: "..."_1250, or
  // Cp1250::FromBytes for text that is 1250 already.
  explicit Error(const trovik::text::Cp1250& text) : std::runtime_error(text.bytes()) {}
  std::string text() const { return what(); }
};

// The platform's standard texts, with the path or value in place of %s.
Error CannotOpenFile(const std::string& path);
Error CannotCreateFile(const std::string& path);
Error UnableToWrite(const std::string& path);
Error NotValidFloat(const std::string& value);
Error NotValidInteger(const std::string& value);

}  // namespace trovik
