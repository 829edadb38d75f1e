// Device path mapping of the folder device library, through its entry
// points, on arbitrary 16-bit paths. The root holds a few files and a card
// linked from outside; a sibling folder of the root must never be reached.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "folderdevice/fd_api.h"
#include "fuzz_input.h"

namespace {

using namespace trovik::folderdevice;
namespace fs = std::filesystem;

struct Layout {
  std::string base, root, outside, card;
};

const Layout& Setup() {
  static const Layout layout = [] {
    char pattern[] = "/tmp/fuzz_device_XXXXXX";
    Layout l;
    l.base = mkdtemp(pattern);
    static std::string removeAtExit = l.base;
    std::atexit([] { std::error_code ec; fs::remove_all(removeAtExit, ec); });
    l.root = l.base + "/root";
    l.outside = l.base + "/outside";
    l.card = l.base + "/card";
    fs::create_directories(l.root + "/My Documents/Geo");
    fs::create_directories(l.outside);
    fs::create_directories(l.card + "/Pictures");
    std::ofstream(l.root + "/My Documents/Geo/a.wpt") << "wpt";
    std::ofstream(l.outside + "/secret") << "secret";
    std::ofstream(l.card + "/Pictures/p.jpg") << "jpg";
    fs::create_directory_symlink(l.card, l.root + "/Storage Card");
    fs::create_directory_symlink(l.outside, l.root + "/My Documents/escape");
    setenv("TROVIK_DEVICE_ROOT", l.root.c_str(), 1);
    return l;
  }();
  return layout;
}

bool Within(const std::string& path, const std::string& folder) {
  return path == folder || path.compare(0, folder.size() + 1, folder + "/") == 0;
}

// The deepest existing folder of a mapped path, resolved, lies in the root or the card.
void CheckInside(const HostPath& p, const Layout& l) {
  if (!Within(p.path, l.root)) __builtin_trap();
  std::error_code ec;
  fs::path real = fs::weakly_canonical(p.folder, ec);
  if (ec) return;
  std::string r = real.string();
  if (!Within(r, l.root) && !Within(r, l.card)) __builtin_trap();
}

void CheckOutsideUntouched(const Layout& l) {
  size_t n = 0;
  for (auto& e : fs::directory_iterator(l.outside)) (void)e, ++n;
  size_t m = 0;
  for (auto& e : fs::directory_iterator(l.base)) (void)e, ++m;
  if (n != 1 || m != 3) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Layout& l = Setup();
  trovik::fuzz::Input in(data, size);
  uint8_t choice = in.byte();
  std::string raw = in.rest();
  std::vector<WCHAR> path;
  for (size_t i = 0; i + 1 < raw.size(); i += 2)
    path.push_back(static_cast<WCHAR>(static_cast<uint8_t>(raw[i]) | (static_cast<uint8_t>(raw[i + 1]) << 8)));
  path.push_back(0);
  const WCHAR* p = path.data();

  RapiInitImpl();
  HostPath mapped;
  if (MapPath(p, (choice & 1) != 0, mapped)) CheckInside(mapped, l);
  (void)GetFileAttributesImpl(p);
  CE_FIND_DATA found;
  HANDLE h = FindFirstFileImpl(p, &found);
  if (h != INVALID_HANDLE_VALUE) {
    for (int i = 0; i < 50 && FindNextFileImpl(h, &found); ++i) {
    }
    FindCloseImpl(h);
  }
  h = CreateFileImpl(p, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, 0);
  if (h != INVALID_HANDLE_VALUE) {
    char buf[64];
    DWORD done = 0;
    ReadFileImpl(h, buf, sizeof buf, &done, nullptr);
    DWORD high = 0;
    (void)GetFileSizeImpl(h, &high);
    CloseHandleImpl(h);
  }
  if (choice & 2) {
    // A new file and a new folder at that path, removed again at once.
    h = CreateFileImpl(p, GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, 0);
    if (h != INVALID_HANDLE_VALUE) {
      DWORD done = 0;
      WriteFileImpl(h, "x", 1, &done, nullptr);
      CloseHandleImpl(h);
      DeleteFileImpl(p);
    }
    if (CreateDirectoryImpl(p, nullptr)) RemoveDirectoryImpl(p);
  }
  CheckOutsideUntouched(l);
  RapiUninitImpl();
  return 0;
}
