// The old-style serializer on arbitrary engine-like HTML: both outputs, and
// its own output in the old form passes through again unchanged.

#include <cstdint>
#include <string>

#include "site/old_style_html.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string html(reinterpret_cast<const char*>(data), size);
  std::string once = trovik::site::OldStyleHtmlUtf8(html);
  (void)trovik::site::OldStyleHtml(html);
  (void)trovik::site::OldStyleHtmlUtf8(once);
  return 0;
}
