// Line splitting, number parsing and code-page conversion on arbitrary bytes.

#include <cstdint>
#include <string>

#include "text/text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string s(reinterpret_cast<const char*>(data), size);
  using namespace trovik::text;
  auto lines = SplitLines(s);
  std::string joined = JoinLinesCrLf(lines);
  if (SplitLines(joined) != lines) __builtin_trap();  // joining with CR LF loses no line
  std::string cp = Utf8To1250(s);
  std::string back = Cp1250ToUtf8(cp);
  (void)ParseInt(s);
  (void)ParseFloat(s, '.');
  (void)ParseFloat(s, ',');
  (void)Trim(s);
  (void)Copy(s, static_cast<int64_t>(size % 7) - 3, static_cast<int64_t>(size % 11) - 2);
  (void)PosPast("<BR>", s);
  if (auto v = ParseFloat(s, '.')) (void)FormatGeneral(*v, ',');
  return 0;
}
