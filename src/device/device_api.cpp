#include "device/device_api.h"

#include <dlfcn.h>

#include <cstdlib>

#include "base/paths.h"

namespace trovik::device {

const char* const kRapiNames[kRapiBoundCount] = {
    "CeRapiInit", "CeRapiInitEx", "CeRapiUninit", "CeFindAllFiles", "RapiFreeBuffer", "CeCreateDatabase",
    "CeDeleteDatabase", "CeDeleteRecord", "CeFindFirstDatabase", "CeFindNextDatabase", "CeOidGetInfo",
    "CeEnumDBVolumes", "CeOpenDatabase", "CeReadRecordProps", "CeSeekDatabase", "CeSetDatabaseInfo",
    "CeWriteRecordProps", "CeFindFirstFile", "CeFindNextFile", "CeFindClose", "CeGetFileAttributes",
    "CeSetFileAttributes", "CeCreateFile", "CeReadFile", "CeWriteFile", "CeCloseHandle", "CeFindAllDatabases",
    "CeGetLastError", "GetRapiError", "CeSetFilePointer", "CeSetEndOfFile", "CeCreateDirectory",
    "CeRemoveDirectory", "CeCreateProcess", "CeMoveFile", "CeCopyFile", "CeDeleteFile", "CeGetFileSize",
    "CeRegOpenKeyEx", "CeRegEnumKeyEx", "CeRegCreateKeyEx", "CeRegCloseKey", "CeRegDeleteKey", "CeRegEnumValue",
    "CeRegDeleteValue", "CeRegQueryInfoKey", "CeRegQueryValueEx", "CeRegSetValueEx", "CeGetStoreInformation",
    "CeGetSystemMetrics", "CeGetDesktopDeviceCaps", "CeGetSystemInfo", "CeSHCreateShortcut",
    "CeSHGetShortcutTarget", "CeCheckPassword", "CeGetFileTime", "CeSetFileTime", "CeGetVersionEx", "CeGetWindow",
    "CeGetWindowLong", "CeGetWindowText", "CeGetClassName", "CeGlobalMemoryStatus", "CeGetSystemPowerStatusEx",
    "CeRapiInvoke", "CeGetDiskFreeSpaceEx"};

std::string DeviceApi::LibraryPath() const {
  if (!libraryPath_.empty()) return libraryPath_;
  if (const char* env = std::getenv("TROVIK_RAPI"); env && *env) return env;
  return paths::ExecutableFolder() + "libtrovik-folderdevice.so";
}

bool DeviceApi::Bind() {
  if (handle_) return true;
  ++loadAttempts_;
  void* handle = dlopen(LibraryPath().c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) return false;
  for (int i = 0; i < kRapiBoundCount; ++i) {
    dlerror();
    entries_[static_cast<size_t>(i)] = dlsym(handle, kRapiNames[i]);
  }
  handle_ = handle;
  return true;
}

bool DeviceApi::Available(int entry) { return Bind() && entries_[static_cast<size_t>(entry)] != nullptr; }

bool DeviceApi::Refused(const std::u16string& path) {
  if (path.find(u'\0') == std::u16string::npos) return false;
  refusedError_ = rapi::ERROR_INVALID_NAME;
  return true;
}

HRESULT DeviceApi::CeRapiInit() {
  auto fn = Entry<rapi::PfnCeRapiInit>(kCeRapiInit);
  return fn ? fn() : kFallbackHresult;
}

HRESULT DeviceApi::CeRapiInitEx(RAPIINIT* init) {
  auto fn = Entry<rapi::PfnCeRapiInitEx>(kCeRapiInitEx);
  return fn ? fn(init) : kFallbackHresult;
}

HRESULT DeviceApi::CeRapiUninit() {
  auto fn = Entry<rapi::PfnCeRapiUninit>(kCeRapiUninit);
  return fn ? fn() : kFallbackHresult;
}

HANDLE DeviceApi::CeFindFirstFile(const std::u16string& path, CE_FIND_DATA* data) {
  auto fn = Entry<rapi::PfnCeFindFirstFile>(kCeFindFirstFile);
  if (!fn) return kFallbackHandle;
  if (Refused(path)) return rapi::INVALID_HANDLE_VALUE;
  return fn(path.c_str(), data);
}

BOOL DeviceApi::CeFindNextFile(HANDLE h, CE_FIND_DATA* data) {
  auto fn = Entry<rapi::PfnCeFindNextFile>(kCeFindNextFile);
  return fn ? fn(h, data) : 0;
}

BOOL DeviceApi::CeFindClose(HANDLE h) {
  auto fn = Entry<rapi::PfnCeFindClose>(kCeFindClose);
  return fn ? fn(h) : 0;
}

HANDLE DeviceApi::CeCreateFile(const std::u16string& path, DWORD access, DWORD share, DWORD creation, DWORD flags) {
  auto fn = Entry<rapi::PfnCeCreateFile>(kCeCreateFile);
  if (!fn) return kFallbackHandle;
  if (Refused(path)) return rapi::INVALID_HANDLE_VALUE;
  return fn(path.c_str(), access, share, nullptr, creation, flags, 0);
}

BOOL DeviceApi::CeReadFile(HANDLE h, void* buffer, DWORD count, DWORD* done) {
  auto fn = Entry<rapi::PfnCeReadFile>(kCeReadFile);
  return fn ? fn(h, buffer, count, done, nullptr) : 0;
}

BOOL DeviceApi::CeWriteFile(HANDLE h, const void* buffer, DWORD count, DWORD* done) {
  auto fn = Entry<rapi::PfnCeWriteFile>(kCeWriteFile);
  return fn ? fn(h, buffer, count, done, nullptr) : 0;
}

BOOL DeviceApi::CeCloseHandle(HANDLE h) {
  auto fn = Entry<rapi::PfnCeCloseHandle>(kCeCloseHandle);
  return fn ? fn(h) : 0;
}

DWORD DeviceApi::CeGetLastError() {
  auto fn = Entry<rapi::PfnCeGetLastError>(kCeGetLastError);
  if (!fn) return kFallbackDword;
  if (refusedError_) {
    DWORD e = refusedError_;
    refusedError_ = 0;
    return e;
  }
  return fn();
}

DWORD DeviceApi::CeGetFileSize(HANDLE h, DWORD* high) {
  auto fn = Entry<rapi::PfnCeGetFileSize>(kCeGetFileSize);
  return fn ? fn(h, high) : kFallbackDword;
}

BOOL DeviceApi::CeSetFileTime(HANDLE h, const FILETIME* creation, const FILETIME* access, const FILETIME* write) {
  auto fn = Entry<rapi::PfnCeSetFileTime>(kCeSetFileTime);
  return fn ? fn(h, creation, access, write) : 0;
}

BOOL DeviceApi::CeCreateDirectory(const std::u16string& path) {
  auto fn = Entry<rapi::PfnCeCreateDirectory>(kCeCreateDirectory);
  if (!fn) return 0;
  if (Refused(path)) return 0;
  return fn(path.c_str(), nullptr);
}

BOOL DeviceApi::CeRemoveDirectory(const std::u16string& path) {
  auto fn = Entry<rapi::PfnCeRemoveDirectory>(kCeRemoveDirectory);
  if (!fn) return 0;
  if (Refused(path)) return 0;
  return fn(path.c_str());
}

BOOL DeviceApi::CeDeleteFile(const std::u16string& path) {
  auto fn = Entry<rapi::PfnCeDeleteFile>(kCeDeleteFile);
  if (!fn) return 0;
  if (Refused(path)) return 0;
  return fn(path.c_str());
}

BOOL DeviceApi::CeMoveFile(const std::u16string& from, const std::u16string& to) {
  auto fn = Entry<rapi::PfnCeMoveFile>(kCeMoveFile);
  if (!fn) return 0;
  if (Refused(from) || Refused(to)) return 0;
  return fn(from.c_str(), to.c_str());
}

}  // namespace trovik::device

namespace trovik::device {

DWORD DeviceApi::CeGetFileAttributes(const std::u16string& path) {
  auto fn = Entry<rapi::PfnCeGetFileAttributes>(kCeGetFileAttributes);
  if (!fn || Refused(path)) return 0xFFFFFFFFu;
  return fn(path.c_str());
}

BOOL DeviceApi::CeGetDiskFreeSpaceEx(const std::u16string& folder, uint64_t* freeToCaller, uint64_t* total,
                                     uint64_t* totalFree) {
  auto fn = Entry<rapi::PfnCeGetDiskFreeSpaceEx>(kCeGetDiskFreeSpaceEx);
  if (!fn) return 0;
  if (Refused(folder)) return 0;
  return fn(folder.c_str(), freeToCaller, total, totalFree);
}

}  // namespace trovik::device
