#pragma once
// The device operations that other modules call (offline pages, pictures,
// waypoint upload); here, below them, so they need not see the device module.
// The device link implements them; tests of other modules may pass a fake.
// Paths are 1250 text: PC paths full, device paths with "\".

#include <string>

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
};

}  // namespace trovik::device
