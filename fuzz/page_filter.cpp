// The listing page filter's text steps on an arbitrary captured page: the
// cut for both sites, the picture references, the hint lines and the
// header picture lines.

#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "pages/page_filter.h"
#include "text/text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace trovik;
  fuzz::Input in(data, size);
  uint8_t choice = in.byte();
  std::string page = in.rest();
  std::vector<std::string> captured = text::SplitLines(page);
  std::vector<std::string> working;
  pages::CutPage(captured, (choice & 1) ? Site::Com : Site::Sk, working);
  if (working.size() < 2) __builtin_trap();  // prologue and epilogue at least
  std::string joined = pages::JoinPage(working);
  std::string rewritten = pages::RewritePictureReferences(joined);
  (void)pages::RewritePictureReferences(page);
  std::string part1, part2;
  auto hints = pages::HintLines(rewritten, part1, part2);
  if (hints.size() > 2) __builtin_trap();
  (void)pages::HintLines(page, part1, part2);
  std::vector<std::string> links = text::SplitLines(page.substr(0, 4096));
  std::vector<std::string> pictures;
  for (const auto& l : links) pictures.push_back(pages::LastSegment(l));
  if (choice & 2) pictures.resize(pictures.size() / 2);
  (void)pages::HeaderPictureLines(links, pictures);
  return 0;
}
