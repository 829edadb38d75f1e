#pragma once
// The hint decoder: ROT13 over the ASCII letters, byte by byte. Everything
// else (digits, tags, brackets, letters with diacritics) passes unchanged, so
// the result has the input's length and decoding twice gives the input back.

#include <string>
#include <string_view>

namespace trovik::tools {

std::string DecodeHint(std::string_view text);

}  // namespace trovik::tools
