#include "tools/hint.h"

namespace trovik::tools {

std::string DecodeHint(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if ((c >= 'A' && c <= 'M') || (c >= 'a' && c <= 'm'))
      c = static_cast<char>(c + 13);
    else if ((c >= 'N' && c <= 'Z') || (c >= 'n' && c <= 'z'))
      c = static_cast<char>(c - 13);
  }
  return out;
}

}  // namespace trovik::tools
