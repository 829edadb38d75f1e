// The nearest-results parser in both modes, with and without the type filter.

#include <cstdint>
#include <string>

#include "nearby/nearby.h"
#include "text/text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace trovik;
  std::string page(reinterpret_cast<const char*>(data), size);
  nearby::NearbyState state;
  state.memo3 = text::SplitLines(page);
  waypoints::CacheList caches;
  state.checkBox5 = size % 2 == 1;
  state.typeChecked[size % 6] = false;
  state.addMode = false;
  nearby::VyhodnotmemoHTM(state, caches);
  int counted = state.rowCount;
  state.addMode = true;
  nearby::VyhodnotmemoHTM(state, caches);
  // Adding never takes more rows than counting sees, and the lists stay parallel.
  if (state.rowCount > counted || caches.names.size() != caches.codes.size() ||
      caches.codes.size() != caches.positions.size())
    __builtin_trap();
  (void)nearby::DecodeEntities(page);
  return 0;
}
