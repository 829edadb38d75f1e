#include "device/device_link.h"

#include <poll.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <memory>

#include "base/paths.h"
#include "device/wide_path.h"
#include "text/text.h"

namespace trovik::device {

namespace {

// Waits until the descriptor the library gave as its event is readable.
bool WaitForEvent(HANDLE event, int timeoutMs) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  pollfd p{static_cast<int>(event), POLLIN, 0};
  for (;;) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left < 0) left = 0;
    int r = poll(&p, 1, static_cast<int>(left));
    if (r > 0) return (p.revents & POLLIN) != 0;
    if (r == 0) return false;
    if (errno != EINTR) return false;
  }
}

enum class InitOutcome { Answered, Failed, TimedOut, Unavailable };

// CeRapiInitEx and the bounded wait on its event.
InitOutcome InitAndWait(DeviceLink& link) {
  if (!link.api.Available(kCeRapiInitEx)) return InitOutcome::Unavailable;
  RAPIINIT init{sizeof(RAPIINIT), 0, 0};
  HRESULT started = link.api.CeRapiInitEx(&init);
  if (started < 0) return InitOutcome::Failed;
  if (!WaitForEvent(init.heRapiInit, link.connectTimeoutMs)) return InitOutcome::TimedOut;
  return init.hrRapiInit >= 0 ? InitOutcome::Answered : InitOutcome::Failed;
}

}  // namespace

bool ConnectDevice(DeviceLink& link, Host& host) {
  host.setBusyCursor(true);
  host.processMessages();
  InitOutcome outcome = InitAndWait(link);
  bool ok = outcome == InitOutcome::Answered;
  if (!ok) link.api.CeRapiUninit();
  host.setBusyCursor(false);
  return ok;
}

bool SpeedButton7Click(DeviceLink& link, Host& host) {
  const bool ok = ConnectDevice(link, host);
  link.activeSyncGlyph = ok ? kGlyphOnline : kGlyphOffline;
  link.copyOption.enabled = ok;
  link.statusPanel3 = ok ? "PDA ON" : "PDA OFF";
  host.stateChanged();
  return ok;
}

bool DeviceFileExists(DeviceLink& link, Host& host, const std::string& devicePath) {
  // A device that does not answer gets nothing sent to it: the copy after a
  // "no" would only wait and say so again.
  if (!RapiInitBounded(link, host)) return true;
  auto record = std::make_unique<CE_FIND_DATA>();
  HANDLE h = link.api.CeFindFirstFile(Widen1250(devicePath), record.get());
  bool exists = h != rapi::INVALID_HANDLE_VALUE;
  link.api.CeFindClose(h);
  return exists;
}

bool RapiInitBounded(DeviceLink& link, Host& host) {
  // A library without the event-driven initialisation gets the plain one,
  // which it may take as long as it likes to answer.
  if (!link.api.Available(kCeRapiInitEx)) {
    link.api.CeRapiInit();
    return true;
  }
  if (InitAndWait(link) != InitOutcome::TimedOut) return true;
  link.api.CeRapiUninit();
  host.showError("PDA neodpovedá"_1250.bytes());
  return false;
}

void SetDefaultDeviceRoot() {
  const char* root = std::getenv("TROVIK_DEVICE_ROOT");
  if (root && *root) return;
  setenv("TROVIK_DEVICE_ROOT", (paths::ProgramFolder() + "PDA").c_str(), 1);
}

std::optional<DeviceFiles::Space> DeviceFreeSpace(DeviceLink& link, Host& host, const std::string& deviceFolder) {
  if (!link.api.Available(kCeGetDiskFreeSpaceEx)) return std::nullopt;
  if (!RapiInitBounded(link, host)) return std::nullopt;
  return FreeSpaceOverOpenLink(link.api, deviceFolder);
}

std::optional<DeviceFiles::Space> FreeSpaceOverOpenLink(DeviceApi& api, const std::string& deviceFolder) {
  // A folder a run is about to make has no room of its own yet: its parent's
  // volume answers.
  std::string folder = deviceFolder;
  for (;;) {
    uint64_t available = 0, total = 0, free = 0;
    if (api.CeGetDiskFreeSpaceEx(Widen1250(folder.empty() ? "\\" : folder), &available, &total, &free)) {
      return DeviceFiles::Space{available, total};
    }
    while (!folder.empty() && folder.back() == '\\') folder.pop_back();
    const size_t slash = folder.rfind('\\');
    if (slash == std::string::npos) return std::nullopt;
    folder.resize(slash + 1);
    if (folder == "\\") folder.clear();
  }
}

bool MakeDeviceFolders(DeviceLink& link, Host& host, const std::string& deviceFolder) {
  if (!RapiInitBounded(link, host)) return false;
  // Each level from the top: the device makes one folder at a time.
  for (size_t at = deviceFolder.find('\\', 1); at != std::string::npos; at = deviceFolder.find('\\', at + 1)) {
    link.api.CeCreateDirectory(Widen1250(deviceFolder.substr(0, at)));
  }
  std::string folder = deviceFolder;
  while (folder.size() > 1 && folder.back() == '\\') folder.pop_back();
  const DWORD attributes = link.api.CeGetFileAttributes(Widen1250(folder));
  return attributes != 0xFFFFFFFFu && (attributes & rapi::FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void ReleaseDevice(DeviceLink& link) { link.api.CeRapiUninit(); }

bool LinkDeviceFiles::DeviceFileExists(const std::string& devicePath) {
  return device::DeviceFileExists(link_, host_, devicePath);
}

Outcome LinkDeviceFiles::CopyFileToDevice(const std::string& pcPath, const std::string& devicePath) {
  return device::CopyFileToDevice(link_, host_, flags_, pcPath, devicePath);
}

std::optional<DeviceFiles::Space> LinkDeviceFiles::FreeSpace(const std::string& deviceFolder) {
  return device::DeviceFreeSpace(link_, host_, deviceFolder);
}

bool LinkDeviceFiles::MakeDeviceFolders(const std::string& deviceFolder) {
  return device::MakeDeviceFolders(link_, host_, deviceFolder);
}

Outcome LinkDeviceFiles::CopyFileFromDevice(const std::string& devicePath, const std::string& pcPath) {
  return device::CopyFileFromDevice(link_, host_, devicePath, pcPath);
}

}  // namespace trovik::device
