#pragma once
// Internals of the folder device library. Everything runs on the caller's
// thread; the state is the library's own (one simulated handheld per process).

#include <dirent.h>

#include <cstdint>
#include <string>

#include "device/rapi_abi.h"

namespace trovik::folderdevice {

using namespace trovik::rapi;

// Last error of the calling thread, as CeGetLastError reports it.
void SetLastError(DWORD error);
DWORD LastError();
// Sets the last error from an errno value; `parentMissing` picks 3 over 2.
void SetLastErrno(int err, bool parentMissing = false);

// Fault switches, read at each call so a test can change them between calls.
bool FaultOn(const char* name);             // variable set and not "0"
long FaultNumber(const char* name, long otherwise);  // variable as a number
std::string FaultText(const char* name);    // variable's text, "" when unset

// The folder that plays the storage: TROVIK_DEVICE_ROOT, or the folder "PDA"
// in the program folder (TROVIK_HOME, else the executable's folder). No
// trailing "/".
std::string RootFolder();

// A device path mapped into the root. Refused (false, last error set) when it
// is too long, holds a "." or ".." segment, a control character or a
// character no device name may hold, or when a folder on the way is a
// symbolic link (a folder directly in the root may be one: a card mounted
// elsewhere). Wildcards are allowed in the last segment only when
// `pattern` is set; `last` then holds that segment. Existing segments are
// matched without regard to case, as the handheld's file system does.
struct HostPath {
  std::string path;        // root + "/" + segments as they exist on disk
  std::string folder;      // the folder holding the last segment
  std::string last;        // the last segment as given (UTF-8)
  bool parentExists = false;
  bool topLevel = false;   // the last segment lies directly in the root
};
bool MapPath(const WCHAR* devicePath, bool pattern, HostPath& out);

// 16-bit text of the handheld <-> UTF-8 of the host.
bool Utf16ToUtf8(const WCHAR* s, std::string& out);
void Utf8ToUtf16(const std::string& s, WCHAR* out, int capacity);

// Case-insensitive comparison and wildcard match on UTF-8 names.
bool SameNameNoCase(const std::string& a, const std::string& b);
bool WildcardMatch(const std::string& pattern, const std::string& name);

// Fills a find record from a host entry; false when it is neither a file nor
// a folder. `topLevel`: a link to a folder counts as that folder.
bool FillFindData(int dirFd, const char* name, CE_FIND_DATA& data, bool topLevel = false);
FILETIME FromTimespec(int64_t sec, int64_t nsec);

// The connection state: file operations need an open connection.
bool Connected();

}  // namespace trovik::folderdevice
