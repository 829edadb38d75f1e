// JPEG halving on arbitrary bytes: the in-memory decoder (with its pixel and
// scan limits), and the whole file rule over a temporary folder. Damaged
// pictures are a trovik::Error; a failed halving leaves the original file.

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "base/error.h"
#include "pages/jpeg_halving.h"

namespace {
const std::string& Folder() {
  static const std::string folder = [] {
    char pattern[] = "/tmp/fuzz_jpeg_XXXXXX";
    static std::string removeAtExit = mkdtemp(pattern);
    std::atexit([] { std::error_code ec; std::filesystem::remove_all(removeAtExit, ec); });
    return removeAtExit + "/";
  }();
  return folder;
}
std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace trovik;
  std::string bytes(reinterpret_cast<const char*>(data), size);
  try {
    pages::Bitmap b = pages::DecodeJpeg(bytes, "fuzz.jpg");
    if (b.bgr.size() != static_cast<size_t>(b.width) * b.height * 3) __builtin_trap();
    if (b.width >= 2 && b.height >= 2 && static_cast<int64_t>(b.width) * b.height <= 1'000'000) {
      pages::ResampleBilinear(b, (b.width + 1) / 2, (b.height + 1) / 2);
      (void)pages::EncodeJpeg(b, pages::kJpegQuality, "fuzz.jpg");
    }
  } catch (const Error&) {
  }
  // The file rule, with a size limit of 0 so every picture qualifies.
  const std::string path = Folder() + "p.JPG";
  { std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes; }
  bool halved = false;
  try {
    halved = pages::ShrinkRule(path, true, "0");
  } catch (const Error&) {
    if (Read(path) != bytes) __builtin_trap();  // a refused picture stays as it was
  }
  (void)halved;
  unlink(path.c_str());
  return 0;
}
