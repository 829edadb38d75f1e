// Putting a copy's temporary file in the target's place on the device, and
// tidying what a copy cut short left.

#include "device/replace.h"

#include <memory>
#include <string_view>
#include <vector>

#include "device/device_link.h"
#include "device/wide_path.h"

namespace trovik::device {

namespace {

std::string LastSegment(const std::string& devicePath) {
  const size_t sep = devicePath.find_last_of("\\/");
  return sep == std::string::npos ? devicePath : devicePath.substr(sep + 1);
}

// 0 when the target is one plain file that may be moved aside, else the error
// to report. A card written elsewhere can hold two names differing only in
// case: the moment one of them left, the other would answer to the name, and
// neither the new file nor the old one could take it again.
DWORD ReplaceableTarget(DeviceApi& api, const std::string& target) {
  const std::u16string name = Widen1250(LastSegment(target));
  if (name.empty()) return rapi::ERROR_ACCESS_DENIED;
  // Every spelling of the name matches its last character made a wildcard.
  std::string pattern = target;
  pattern.back() = '?';
  auto record = std::make_unique<CE_FIND_DATA>();
  int count = 0;
  DWORD attributes = 0;
  HANDLE h = api.CeFindFirstFile(Widen1250(pattern), record.get());
  if (h != rapi::INVALID_HANDLE_VALUE) {
    do {
      std::u16string found;
      for (int i = 0; i < 260 && record->cFileName[i]; ++i) found += record->cFileName[i];
      if (SameDeviceName(found, name)) {
        ++count;
        attributes = record->dwFileAttributes;
      }
    } while (api.CeFindNextFile(h, record.get()));
    api.CeFindClose(h);
  }
  if (count != 1) return rapi::ERROR_ALREADY_EXISTS;
  // What create-always refuses, the replace refuses too.
  if (attributes & (rapi::FILE_ATTRIBUTE_DIRECTORY | rapi::FILE_ATTRIBUTE_READONLY)) return rapi::ERROR_ACCESS_DENIED;
  return 0;
}

}  // namespace

HANDLE CreateDeviceTempFile(DeviceApi& api, const std::u16string& temp) {
  auto create = [&] {
    return api.CeCreateFile(temp, rapi::GENERIC_WRITE, rapi::FILE_SHARE_WRITE, rapi::CREATE_NEW, 0);
  };
  HANDLE h = create();
  if (h != rapi::INVALID_HANDLE_VALUE) return h;
  const DWORD error = api.CeGetLastError();
  if ((error == rapi::ERROR_FILE_EXISTS || error == rapi::ERROR_ALREADY_EXISTS) && api.CeDeleteFile(temp)) return create();
  return h;
}

bool ReplaceDeviceFile(DeviceApi& api, const std::string& temp, const std::string& target, DWORD& error) {
  const std::u16string from = Widen1250(temp), to = Widen1250(target);
  const std::u16string aside = Widen1250(target + kDeviceAsideSuffix);
  if (api.CeMoveFile(from, to)) return true;
  error = api.CeGetLastError();
  if (error != rapi::ERROR_ALREADY_EXISTS && error != rapi::ERROR_FILE_EXISTS) return false;
  if ((error = ReplaceableTarget(api, target)) != 0) return false;
  if (!api.CeMoveFile(to, aside)) {
    error = api.CeGetLastError();
    // The old file of a cut replace is still aside; the target is whole, so
    // that one is stale.
    if (error != rapi::ERROR_ALREADY_EXISTS && error != rapi::ERROR_FILE_EXISTS) return false;
    if (!api.CeDeleteFile(aside) || !api.CeMoveFile(to, aside)) {
      error = api.CeGetLastError();
      return false;
    }
  }
  if (api.CeMoveFile(from, to)) {
    api.CeDeleteFile(aside);
    return true;
  }
  error = api.CeGetLastError();
  api.CeMoveFile(aside, to);
  return false;
}

bool IsDeviceWorkFile(const std::string& name) {
  auto endsWith = [&](std::string_view suffix) {
    return name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
  };
  return endsWith(kDeviceTempSuffix) || endsWith(kDeviceAsideSuffix);
}

void TidyCutCopies(DeviceApi& api, const std::string& folder) {
  auto namesEndingWith = [&](const char* suffix) {
    std::vector<std::string> names;
    auto record = std::make_unique<CE_FIND_DATA>();
    HANDLE h = api.CeFindFirstFile(Widen1250(folder + "*" + suffix), record.get());
    if (h == rapi::INVALID_HANDLE_VALUE) return names;
    do {
      size_t n = 0;
      while (n < 260 && record->cFileName[n]) ++n;
      std::string name = Narrow1250(std::u16string_view(record->cFileName, n));
      if (!(record->dwFileAttributes & rapi::FILE_ATTRIBUTE_DIRECTORY) && IsDeviceWorkFile(name)) names.push_back(name);
    } while (api.CeFindNextFile(h, record.get()));
    api.CeFindClose(h);
    return names;
  };
  for (const std::string& name : namesEndingWith(kDeviceAsideSuffix)) {
    const std::string target = name.substr(0, name.size() - std::string_view(kDeviceAsideSuffix).size());
    if (!api.CeMoveFile(Widen1250(folder + name), Widen1250(folder + target))) {
      const DWORD error = api.CeGetLastError();
      if (error == rapi::ERROR_ALREADY_EXISTS || error == rapi::ERROR_FILE_EXISTS) api.CeDeleteFile(Widen1250(folder + name));
    }
  }
  for (const std::string& name : namesEndingWith(kDeviceTempSuffix)) api.CeDeleteFile(Widen1250(folder + name));
}

}  // namespace trovik::device
