#pragma once
// The device link: the bound library, the connect with its bounded wait, the
// connection display of the main window, and the whole-file copies. A plain
// state struct; the functions take it with the Host and the run flags.

#include <optional>
#include <string>

#include "base/device_files.h"
#include "base/flags.h"
#include "base/host.h"
#include "device/device_api.h"

namespace trovik::device {

// Image indexes of the manager image list for the "ActiveSync" glyph.
constexpr int kGlyphOnline = 6;
constexpr int kGlyphOffline = 7;

struct DeviceLink {
  explicit DeviceLink(std::string libraryPath = "") : api(std::move(libraryPath)) {}

  DeviceApi api;
  CopyToDeviceOption copyOption;  // "Aj do PDA"
  std::string statusPanel3;       // third panel of StatusBar1: "", "PDA ON", "PDA OFF"
  int activeSyncGlyph = -1;       // -1 until the first press of "ActiveSync"
  // How long a connect (and the initialisation of the copies and commands)
  // waits for the device.
  int connectTimeoutMs = 5000;
};

// Opens the remote connection with CeRapiInitEx and waits for the library's
// event; closes it again when the device did not answer in time or failed.
bool ConnectDevice(DeviceLink& link, Host& host);
// "ActiveSync": connect and show the outcome (glyph, panel, option enabled);
// true when the device answered.
bool SpeedButton7Click(DeviceLink& link, Host& host);
// Find-first on the path, after the bounded initialisation: a copy before it
// may have closed the remote connection, and a check over a closed one would
// answer "absent" for a file the card holds. True when the library is
// unavailable (its fallback handle is not the invalid value) or the device
// does not answer in time (after "PDA neodpovedá"), so callers then copy
// nothing.
bool DeviceFileExists(DeviceLink& link, Host& host, const std::string& devicePath);

// The initialisation the copies and commands start with, bounded like the
// connect. False (after "PDA neodpovedá") when the device did not answer in
// time: the caller then does nothing.
bool RapiInitBounded(DeviceLink& link, Host& host);
// Points the folder device at the folder "PDA" of the program folder (which
// the CLI's --home may have moved) unless TROVIK_DEVICE_ROOT names one.
void SetDefaultDeviceRoot();
// The room of the volume holding `deviceFolder`, asked of its nearest folder
// that exists; nothing when the library cannot tell or the device does not
// answer.
std::optional<DeviceFiles::Space> DeviceFreeSpace(DeviceLink& link, Host& host, const std::string& deviceFolder);
// The same over a connection the caller has open.
std::optional<DeviceFiles::Space> FreeSpaceOverOpenLink(DeviceApi& api, const std::string& deviceFolder);
// Creates `deviceFolder` (ending with "\") and every missing folder above it;
// whether it is there afterwards.
bool MakeDeviceFolders(DeviceLink& link, Host& host, const std::string& deviceFolder);
// Shut-down: the remote connection is closed, whatever opened it.
void ReleaseDevice(DeviceLink& link);

// A copy to the device writes the target's name with kDeviceTempSuffix added
// first, and moves the old file to the name with kDeviceAsideSuffix while the
// new one takes its place. A copy cut short leaves them there, never in the
// target's place; the device listing does not show them, and the next copy
// of the same target clears them.
inline constexpr const char* kDeviceTempSuffix = "~trovik.tmp";
inline constexpr const char* kDeviceAsideSuffix = "~trovik.old";
bool IsDeviceWorkFile(const std::string& name);
// What copies cut short left in `folder` (a device path ending with "\"): an
// old file moved aside goes back where its target is missing and is deleted
// where the target is there; temporary files are deleted.
void TidyCutCopies(DeviceApi& api, const std::string& folder);
Outcome CopyFileToDevice(DeviceLink& link, Host& host, const RunFlags& flags, const std::string& pcPath,
                         const std::string& devicePath);
Outcome CopyFileFromDevice(DeviceLink& link, Host& host, const std::string& devicePath, const std::string& pcPath);

// The device operations as other subsystems see them.
class LinkDeviceFiles : public DeviceFiles {
 public:
  LinkDeviceFiles(DeviceLink& link, Host& host, const RunFlags& flags) : link_(link), host_(host), flags_(flags) {}
  bool DeviceFileExists(const std::string& devicePath) override;
  Outcome CopyFileToDevice(const std::string& pcPath, const std::string& devicePath) override;
  Outcome CopyFileFromDevice(const std::string& devicePath, const std::string& pcPath) override;
  std::optional<Space> FreeSpace(const std::string& deviceFolder) override;
  bool MakeDeviceFolders(const std::string& deviceFolder) override;

 private:
  DeviceLink& link_;
  Host& host_;
  const RunFlags& flags_;
};

}  // namespace trovik::device
