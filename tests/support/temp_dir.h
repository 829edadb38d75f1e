#pragma once
// A fresh folder under the system's temporary folder, removed with its
// contents at the end of the test. path() ends with "/".

#include <filesystem>
#include <string>

namespace trovik::testing {

// A file's bytes as they are on disk; empty when it cannot be read.
std::string ReadBytes(const std::string& path);

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // path() + name
  std::string file(const std::string& name) const { return path_ + name; }
  // Writes bytes to path() + name (folders created) and returns the full path.
  std::string write(const std::string& name, const std::string& bytes) const;
  std::string read(const std::string& name) const;

 private:
  std::string path_;
};

}  // namespace trovik::testing
