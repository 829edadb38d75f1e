#include "base/error.h"

namespace trovik {

namespace {
// Paths and values are 1250 text already.
text::Cp1250 Held(const std::string& text1250) { return text::Cp1250::FromBytes(text1250); }
}  // namespace

Error CannotOpenFile(const std::string& path) { return Error("Cannot open file "_1250 + Held(path)); }
Error CannotCreateFile(const std::string& path) { return Error("Cannot create file "_1250 + Held(path)); }
Error UnableToWrite(const std::string& path) { return Error("Unable to write to "_1250 + Held(path)); }
Error NotValidFloat(const std::string& value) {
  return Error("'"_1250 + Held(value) + "' is not a valid floating point value"_1250);
}
Error NotValidInteger(const std::string& value) {
  return Error("'"_1250 + Held(value) + "' is not a valid integer value"_1250);
}

}  // namespace trovik
