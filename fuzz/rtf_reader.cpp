// The about-text RTF reader and the code-page conversion on arbitrary bytes.

#include <cstdint>
#include <string>

#include "app/rtf.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  std::string html = trovik::app::RtfToHtml(bytes);
  // The text area gets no control characters but line ends and tabs.
  for (unsigned char c : html)
    if (c < 0x20 && c != '\n' && c != '\r' && c != '\t') __builtin_trap();
  static const int pages[] = {1250, 1252, 1251, 437, 65001, 0, -1, 874};
  (void)trovik::app::CodePageToUtf8(bytes, pages[size % 8]);
  return 0;
}
