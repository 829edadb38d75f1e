// The panes' sort: one key per row, the keys sorted once in the Slovak order
// without regard to case, whole rows moved after them.

#include <algorithm>
#include <numeric>

#include "device/listing.h"
#include "text/text.h"

namespace trovik::device {

void SortGrid(Grid& grid, int nameSort, int dateSort) {
  if (grid.size() <= 2 || (nameSort == 0 && dateSort == 0)) return;
  std::string prefix;
  if (dateSort == 1) prefix = "z";
  if (dateSort == 2) prefix = " ";
  if (nameSort == 1) prefix = "z";
  if (nameSort == 2) prefix = " ";

  const size_t n = grid.size() - 2;
  std::vector<std::string> keys(n);
  for (size_t i = 0; i < n; ++i) {
    const GridRow& row = grid[i + 2];
    const std::string& p = row[1] == kDirCell ? std::string() : prefix;
    std::string key = p + row[0] + row[2];
    if (dateSort != 0) key = p + row[2] + row[0];
    keys[i] = text::CollationKey(key);
  }
  std::vector<size_t> order(n);
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return keys[a] < keys[b]; });
  if (nameSort != 1 && dateSort != 1) std::reverse(order.begin(), order.end());

  Grid sorted;
  sorted.reserve(grid.size());
  sorted.push_back(std::move(grid[0]));
  sorted.push_back(std::move(grid[1]));
  for (size_t i : order) sorted.push_back(std::move(grid[i + 2]));
  grid = std::move(sorted);
}

bool HeaderClick(int& nameSort, int& dateSort, int column) {
  if (column == 0) {
    nameSort = nameSort == 1 ? 2 : 1;
    dateSort = 0;
    return true;
  }
  if (column == 2) {
    nameSort = 0;
    dateSort = dateSort == 2 ? 1 : 2;
    return true;
  }
  return false;
}

bool StringPDAMouseUp(DevicePane& pane, int column) {
  if (!HeaderClick(pane.nameSort, pane.dateSort, column)) return false;
  Zotried(pane);
  return true;
}

bool StringPCMouseUp(PcPane& pane, int column) {
  if (!HeaderClick(pane.nameSort, pane.dateSort, column)) return false;
  Zotried2(pane);
  return true;
}

}  // namespace trovik::device
