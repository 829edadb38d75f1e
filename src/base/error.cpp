#include "base/error.h"

namespace trovik {

Error CannotOpenFile(const std::string& path) { return Error("Cannot open file " + path); }
Error CannotCreateFile(const std::string& path) { return Error("Cannot create file " + path); }
Error UnableToWrite(const std::string& path) { return Error("Unable to write to " + path); }
Error NotValidFloat(const std::string& value) { return Error("'" + value + "' is not a valid floating point value"); }
Error NotValidInteger(const std::string& value) { return Error("'" + value + "' is not a valid integer value"); }

}  // namespace trovik
