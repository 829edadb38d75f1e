#pragma once
// The replace steps of a copy to the device (transfer.cpp): the copy writes
// the target's name + kDeviceTempSuffix, then puts it in the target's place.

#include <string>

#include "device/device_api.h"

namespace trovik::device {

// Creates the copy's temporary file. The name is the copy's own, so a file
// holding it is what a cut copy of this target left: it goes, and the name
// is asked for again as a new file, never written over.
HANDLE CreateDeviceTempFile(DeviceApi& api, const std::u16string& temp);

// Puts the written temporary file in the target's place. The device's move
// refuses an existing name, so the old file is moved aside first, the new one
// takes the name, and only then is the old one deleted; when the new one
// cannot take the name the old one goes back. False, with the error to
// report, when the target was not replaced.
bool ReplaceDeviceFile(DeviceApi& api, const std::string& temp, const std::string& target, DWORD& error);

}  // namespace trovik::device
