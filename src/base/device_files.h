#pragma once
// The device operations that other modules call (offline pages, pictures,
// waypoint upload); here, below them, so they need not see the device module.
// The device link implements them; tests of other modules may pass a fake.
// Paths are 1250 text: PC paths full, device paths with "\".

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace trovik::device {

// The check box `CheckBox1` "Aj do PDA": enabled once the device answered a
// connect, unticked and disabled after a failed device write. Callers test
// its tick.
struct CopyToDeviceOption {
  bool enabled = false;
  bool ticked = false;
};

// How a copy ended. Its messages are shown either way; the outcome tells the
// caller (and the CLI's exit status) whether the file arrived.
enum class Outcome {
  Done,
  DoneWithWarning,  // the file arrived whole, something lesser failed (its time stamps)
  Failed,
};
// The worse of two outcomes: a run of copies is as good as its worst one.
inline Outcome Worse(Outcome a, Outcome b) { return a > b ? a : b; }

class DeviceFiles {
 public:
  virtual ~DeviceFiles() = default;
  // Find-first on the device path, over the remote connection whenever the
  // device answers (an earlier copy may have closed it).
  virtual bool DeviceFileExists(const std::string& devicePath) = 0;
  // Whole-file copies; each reports its own failures through Host messages.
  virtual Outcome CopyFileToDevice(const std::string& pcPath, const std::string& devicePath) = 0;
  virtual Outcome CopyFileFromDevice(const std::string& devicePath, const std::string& pcPath) = 0;
  // The room of the volume that holds the device folder (or its nearest
  // folder that exists); nothing when the device cannot tell, and then no
  // copy is held back for want of room.
  struct Space {
    uint64_t freeBytes = 0;
    uint64_t totalBytes = 0;
  };
  virtual std::optional<Space> FreeSpace(const std::string& /*deviceFolder*/) { return std::nullopt; }
  // Makes the device folder (ending with "\") and the folders above it that
  // are missing; false when it is not there afterwards.
  virtual bool MakeDeviceFolders(const std::string& /*deviceFolder*/) { return true; }
};

// What a run of copies needs in each device folder it writes to, in bytes.
using RoomNeeds = std::vector<std::pair<std::string, uint64_t>>;
// The message when the copies clearly cannot fit ("Na zariadení je voľných
// 12 MB, treba 85 MB."), else "". Folders whose volumes report the same room
// count as one volume.
std::string RoomShortfall(DeviceFiles& device, const RoomNeeds& needs);
// "1,2 GB", "85 MB", "300 kB": the room as the status bar shows it.
std::string FormatRoom(uint64_t bytes);

}  // namespace trovik::device
