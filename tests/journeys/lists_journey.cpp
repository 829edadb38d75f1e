// Caches marked one by one with the mouse and the keyboard, on a window
// started with a remembered waypoint file.

#include "steps.h"

namespace trovik::journeys {
namespace {

std::vector<int> Marked(const std::vector<int>& checks) {
  std::vector<int> out;
  for (size_t i = 0; i < checks.size(); ++i) {
    if (checks[i] == 2) out.push_back(static_cast<int>(i));
  }
  return out;
}

TEST_F(Journey, MarkSingleCachesByClicking) {
  begin();
  Person& p = me();
  WAIT_UNTIL(p, p.entries(kNames).size() == 31, 20s);
  const QStringList names = p.entries(kNames);
  ASSERT_GE(names.size(), 5);
  // Every entry shows its box from the start, unmarked.
  EXPECT_EQ(p.checks(kNames), std::vector<int>(31, 0));
  EXPECT_EQ(p.checks(kCodes), std::vector<int>(31, 0));

  // A click on a box marks that cache, in both lists.
  p.clickEntryBox(kNames, names[1]);
  WAIT_UNTIL(p, Marked(p.checks(kNames)) == std::vector<int>{1}, 5s);
  WAIT_UNTIL(p, Marked(p.checks(kCodes)) == std::vector<int>{1}, 5s);
  p.clickEntryBox(kNames, names[3]);
  WAIT_UNTIL(p, Marked(p.checks(kNames)) == (std::vector<int>{1, 3}), 5s);
  // A second click takes the mark away again.
  p.clickEntryBox(kNames, names[1]);
  WAIT_UNTIL(p, Marked(p.checks(kNames)) == std::vector<int>{3}, 5s);
  WAIT_UNTIL(p, Marked(p.checks(kCodes)) == std::vector<int>{3}, 5s);

  // The Space key on the current entry marks it too.
  p.clickEntry(kNames, names[4]);
  p.key("space");
  WAIT_UNTIL(p, Marked(p.checks(kNames)) == (std::vector<int>{3, 4}), 5s);
  WAIT_UNTIL(p, Marked(p.checks(kCodes)) == (std::vector<int>{3, 4}), 5s);

  // In the codes list the mark goes the other way.
  p.clickTab(QStringLiteral("PageControl2"), QStringLiteral("Podľa GCxxxx"));
  const QStringList codes = p.entries(kCodes);
  p.clickEntryBox(kCodes, codes[2]);
  WAIT_UNTIL(p, Marked(p.checks(kCodes)) == (std::vector<int>{2, 3, 4}), 5s);
  WAIT_UNTIL(p, Marked(p.checks(kNames)) == (std::vector<int>{2, 3, 4}), 5s);
}

}  // namespace
}  // namespace trovik::journeys
