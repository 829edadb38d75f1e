#include "tree.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <system_error>

namespace trovik::hostile {

namespace fs = std::filesystem;

Tree Snapshot(const std::string& folder) {
  Tree tree;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(folder, fs::directory_options::skip_permission_denied, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    const fs::path& p = it->path();
    Entry e;
    auto st = it->symlink_status(ec);
    if (fs::is_symlink(st)) {
      e.type = 'l';
      e.digest = std::hash<std::string>{}(fs::read_symlink(p, ec).string());
    } else if (fs::is_directory(st)) {
      e.type = 'd';
    } else if (fs::is_regular_file(st)) {
      e.size = fs::file_size(p, ec);
      std::ifstream in(p, std::ios::binary);
      std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      e.digest = std::hash<std::string>{}(bytes);
    } else {
      e.type = 'o';
    }
    tree[fs::relative(p, folder, ec).string()] = e;
  }
  return tree;
}

std::vector<std::string> ChangedOutside(const Tree& before, const Tree& after, const std::vector<std::string>& allowed) {
  auto permitted = [&](const std::string& path) {
    for (const auto& a : allowed)
      if (path.compare(0, a.size(), a) == 0 || path + "/" == a) return true;
    return false;
  };
  std::vector<std::string> out;
  for (const auto& [path, e] : after) {
    auto it = before.find(path);
    bool same = it != before.end() && it->second.type == e.type && it->second.size == e.size &&
                it->second.digest == e.digest;
    if (!same && !permitted(path)) out.push_back(path);
  }
  for (const auto& [path, e] : before)
    if (!after.count(path) && !permitted(path)) out.push_back("(removed) " + path);
  return out;
}

}  // namespace trovik::hostile
