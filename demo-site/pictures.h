#pragma once
// The image server's pictures: drawn from their recipe on first use and
// kept, so every request for a name gets the same bytes.

#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "catalog.h"

namespace trovik::demo {

std::string DrawPicture(const PictureRecipe& recipe);
const char* PictureMime(PictureFormat format);

class PictureStore {
 public:
  explicit PictureStore(const Catalog& catalog) : catalog_(catalog) {}
  // The picture's bytes and MIME type; empty when the name is unknown.
  std::optional<std::pair<std::string, const char*>> get(const std::string& file);

 private:
  const Catalog& catalog_;
  std::mutex mutex_;
  std::map<std::string, std::string> drawn_;
};

}  // namespace trovik::demo
