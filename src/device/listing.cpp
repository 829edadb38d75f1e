#include "device/listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>

#include "base/files.h"
#include "device/wide_path.h"
#include "text/text.h"

namespace trovik::device {

namespace {

// Days since 1970-01-01 to a civil date (proleptic Gregorian).
void CivilFromDays(int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
}

std::string DateText(int y, int mo, int d, int h, int mi, int s) {
  char buf[80];
  std::snprintf(buf, sizeof buf, "%04d.%02d.%02d %02d:%02d:%02d", y, mo, d, h, mi, s);
  return buf;
}

// The whole name, where the grid shows at most 101 characters of it.
std::string FullEntryName(const CE_FIND_DATA& data) {
  size_t n = 0;
  while (n < 260 && data.cFileName[n]) ++n;
  return Narrow1250(std::u16string_view(data.cFileName, n));
}

std::string Counts(const text::Cp1250& label, uint64_t n) { return label.bytes() + std::to_string(n); }

}  // namespace

Grid InitialGrid() {
  Grid g(2);
  g[0] = {"Názov súboru"_1250.bytes(), "Veľkosť"_1250.bytes(), "Dátum a čas"_1250.bytes(), "Attr", ""};
  g[1] = {"..", kDirCell, "", "", ""};
  return g;
}

std::string DeviceEntryName(const CE_FIND_DATA& data) {
  std::string out;
  for (int i = 0; i < 101 && data.cFileName[i]; ++i) out += Narrow1250(data.cFileName[i]);
  return out;
}

std::string FormatDeviceTime(uint64_t ticks) {
  // The handheld's clock shown as UTC plus exactly two hours, whatever the season.
  const int64_t seconds = static_cast<int64_t>(ticks / 10000000u) - rapi::kEpochDeltaSeconds + 2 * 3600;
  int64_t days = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
  int64_t rest = seconds - days * 86400;
  int y, m, d;
  CivilFromDays(days, y, m, d);
  return DateText(y, m, d, static_cast<int>(rest / 3600), static_cast<int>(rest / 60 % 60), static_cast<int>(rest % 60));
}

std::string FormatPcTime(int64_t unixSeconds) {
  time_t t = static_cast<time_t>(unixSeconds);
  tm local{};
  localtime_r(&t, &local);
  // The folder search's time stamps keep two seconds of resolution.
  return DateText(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                  local.tm_sec & ~1);
}

void GetDirPDA(DeviceLink& link, Host& host, DevicePane& pane, const std::string& pattern) {
  host.setBusyCursor(true);
  const uint32_t started = host.tickCount();
  pane.grid.resize(2);
  if (!ConnectDevice(link, host)) {
    link.copyOption.enabled = false;
    host.stateChanged();
    return;
  }
  link.copyOption.enabled = true;
  // The user looks here: what a cut copy left is put right first.
  TidyCutCopies(link.api, pattern.substr(0, pattern.find_last_of('\\') + 1));

  uint64_t folders = 0, fileCount = 0, bytes = 0;
  auto record = std::make_unique<CE_FIND_DATA>();
  HANDLE h = link.api.CeFindFirstFile(Widen1250(pattern), record.get());
  if (h != rapi::INVALID_HANDLE_VALUE) {
    do {
      const CE_FIND_DATA& r = *record;
      // A copy's own files are not the user's: one cut short leaves them.
      if (IsDeviceWorkFile(FullEntryName(r))) continue;
      const bool folder = (r.dwFileAttributes & rapi::FILE_ATTRIBUTE_DIRECTORY) != 0;
      pane.grid.push_back({DeviceEntryName(r), folder ? kDirCell : std::to_string(r.nFileSizeLow),
                           FormatDeviceTime(rapi::Ticks(r.ftLastWriteTime)), std::to_string(r.dwFileAttributes), ""});
      if (folder) {
        ++folders;
      } else {
        ++fileCount;
        bytes += r.nFileSizeLow;
      }
    } while (link.api.CeFindNextFile(h, record.get()));
  }
  link.api.CeFindClose(h);
  // What the card can still take, before the user copies onto it.
  const std::string folder = pattern.substr(0, pattern.find_last_of('\\') + 1);
  const auto space = FreeSpaceOverOpenLink(link.api, folder);
  pane.status3[2] = space ? "Voľné: "_1250.bytes() + FormatRoom(space->freeBytes) : std::string();
  link.api.CeRapiUninit();

  pane.status2 = {Counts("Adresárov:"_1250, folders), Counts("Súborov:"_1250, fileCount), Counts("Poč.bytov:"_1250, bytes)};
  pane.status3[1] = std::to_string(host.tickCount() - started) + "msec";
  Zotried(pane);
  host.setBusyCursor(false);
  host.stateChanged();
}

void ListPcFolder(PcPane& pane, const std::string& folder) {
  const std::string fsFolder = files::PcPath(folder);
  DIR* dir = opendir(fsFolder.empty() ? "." : fsFolder.c_str());
  if (!dir) {
    pane.status4 = {Counts("Adresárov:"_1250, 0), Counts("Súborov:"_1250, 0), Counts("Poč.bytov:"_1250, 0)};
    return;
  }
  Grid rows;
  rows.push_back(pane.grid.empty() ? InitialGrid()[0] : pane.grid[0]);
  rows.push_back({"..", kDirCell, "", "", ""});  // made up where the folder has none
  uint64_t folders = 1, fileCount = 0, bytes = 0;
  const int fd = dirfd(dir);
  while (dirent* e = readdir(dir)) {
    if (std::strcmp(e->d_name, ".") == 0) continue;
    struct stat st;
    // An entry that cannot be examined (a dangling link) is shown as a file.
    if (fstatat(fd, e->d_name, &st, 0) != 0 && fstatat(fd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    const bool isDir = S_ISDIR(st.st_mode);
    GridRow row{files::FromPcPath(e->d_name), isDir ? kDirCell : std::to_string(static_cast<uint64_t>(st.st_size)),
                FormatPcTime(st.st_mtim.tv_sec), "", ""};
    if (std::strcmp(e->d_name, "..") == 0) {
      rows[1] = row;
      continue;
    }
    rows.push_back(std::move(row));
    if (isDir) {
      ++folders;
    } else {
      ++fileCount;
      bytes += static_cast<uint64_t>(st.st_size);
    }
  }
  closedir(dir);
  pane.grid = std::move(rows);
  pane.status4 = {Counts("Adresárov:"_1250, folders), Counts("Súborov:"_1250, fileCount), Counts("Poč.bytov:"_1250, bytes)};
}

void DirectoryListBox1Change(PcPane& pane, const std::string& folder) {
  pane.folder = folder;
  pane.status5 = folder;
  ListPcFolder(pane, folder);
  Zotried2(pane);
}

}  // namespace trovik::device
