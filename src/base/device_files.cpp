#include "base/device_files.h"

#include <map>

#include "text/text.h"

namespace trovik::device {

namespace {

constexpr uint64_t kMb = 1024 * 1024;

}  // namespace

std::string RoomShortfall(DeviceFiles& device, const RoomNeeds& needs) {
  // Two folders on one volume report the same room; their needs add up.
  std::map<std::pair<uint64_t, uint64_t>, uint64_t> volumes;
  std::map<std::string, std::optional<DeviceFiles::Space>> asked;
  for (const auto& [folder, bytes] : needs) {
    auto it = asked.find(folder);
    if (it == asked.end()) it = asked.emplace(folder, device.FreeSpace(folder)).first;
    if (!it->second) continue;
    volumes[{it->second->freeBytes, it->second->totalBytes}] += bytes;
  }
  for (const auto& [space, need] : volumes) {
    if (need <= space.first) continue;
    // Free rounded down and need rounded up, so the two never read alike.
    return "Na zariadení je voľných "_1250.bytes() + std::to_string(space.first / kMb) + " MB, treba " +
           std::to_string((need + kMb - 1) / kMb) + " MB.";
  }
  return "";
}

std::string FormatRoom(uint64_t bytes) {
  if (bytes >= 1024 * kMb) {
    const uint64_t tenths = bytes * 10 / (1024 * kMb);
    return std::to_string(tenths / 10) + "," + std::to_string(tenths % 10) + " GB";
  }
  if (bytes >= kMb) return std::to_string(bytes / kMb) + " MB";
  return std::to_string(bytes / 1024) + " kB";
}

}  // namespace trovik::device
