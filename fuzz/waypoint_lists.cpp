// Cache-list building from arbitrary waypoint text, then the list buttons.

#include <cstdint>
#include <string>

#include "fuzz_input.h"
#include "text/text.h"
#include "waypoints/cache_lists.h"

namespace {
void CheckParallel(const trovik::waypoints::CacheList& c) {
  if (c.names.size() != c.codes.size() || c.codes.size() != c.positions.size() ||
      c.nameMarks.size() != c.names.size() || c.codeMarks.size() != c.codes.size())
    __builtin_trap();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace trovik;
  fuzz::Input in(data, size);
  uint8_t steps = in.byte();
  std::string file = in.piece(300);
  std::string text = in.rest();
  waypoints::WaypointState state;
  state.currentFile = file;
  state.wptText = text::SplitLines(text);
  waypoints::Spracujwpt(state);
  CheckParallel(state.caches);
  (void)waypoints::WptSaveName(file);
  for (const auto& line : state.wptText) (void)waypoints::CodeCandidate(line);
  // A few clicks at places taken from the input, some outside the lists.
  for (int i = 0; i < (steps & 7); ++i) {
    int n = static_cast<int>(state.caches.names.size());
    state.caches.itemIndex = n ? (steps * (i + 3)) % (n + 2) - 1 : -1;
    waypoints::CheckListBox1Click(state.caches);
    waypoints::CheckListBox2Click(state.caches, n ? (steps * (i + 5)) % (n + 2) - 1 : -1);
    if (steps & 8) waypoints::MarkAll(state.caches);
    if (steps & 16) waypoints::UnmarkAll(state.caches);
    CheckParallel(state.caches);
  }
  if (steps & 32) {
    waypoints::SpeedButton21Click(state);
    if (!state.caches.names.empty()) __builtin_trap();
  }
  return 0;
}
