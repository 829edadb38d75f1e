// The exported entry points. Each is resolved when a caller looks it up by
// name, so TROVIK_DEVICE_MISSING (a comma-separated list of names) can make
// the library lack some of them, as an older library would.

#include <cstdlib>
#include <cstring>
#include <string>

#include "folderdevice/fd_api.h"

namespace {

bool Missing(const char* name) {
  const char* list = std::getenv("TROVIK_DEVICE_MISSING");
  if (!list) return false;
  std::string all = std::string(",") + list + ",";
  for (char& c : all) {
    if (c == ' ') c = ',';
  }
  return all.find(std::string(",") + name + ",") != std::string::npos;
}

}  // namespace

#define TROVIK_EXPORT(name, impl)                                                             \
  extern "C" {                                                                                \
  __attribute__((used, visibility("hidden"))) decltype(&trovik::folderdevice::impl) Resolve_##name() {         \
    return Missing(#name) ? nullptr : &trovik::folderdevice::impl;                            \
  }                                                                                           \
  __attribute__((visibility("default"), ifunc("Resolve_" #name))) decltype(trovik::folderdevice::impl) name; \
  }

TROVIK_EXPORT(CeRapiInit, RapiInitImpl)
TROVIK_EXPORT(CeRapiInitEx, RapiInitExImpl)
TROVIK_EXPORT(CeRapiUninit, RapiUninitImpl)
TROVIK_EXPORT(GetRapiError, GetRapiErrorImpl)
TROVIK_EXPORT(CeGetLastError, GetLastErrorImpl)
TROVIK_EXPORT(CeFindFirstFile, FindFirstFileImpl)
TROVIK_EXPORT(CeFindNextFile, FindNextFileImpl)
TROVIK_EXPORT(CeFindClose, FindCloseImpl)
TROVIK_EXPORT(CeCreateFile, CreateFileImpl)
TROVIK_EXPORT(CeReadFile, ReadFileImpl)
TROVIK_EXPORT(CeWriteFile, WriteFileImpl)
TROVIK_EXPORT(CeCloseHandle, CloseHandleImpl)
TROVIK_EXPORT(CeGetFileSize, GetFileSizeImpl)
TROVIK_EXPORT(CeSetFileTime, SetFileTimeImpl)
TROVIK_EXPORT(CeGetFileTime, GetFileTimeImpl)
TROVIK_EXPORT(CeGetFileAttributes, GetFileAttributesImpl)
TROVIK_EXPORT(CeCreateDirectory, CreateDirectoryImpl)
TROVIK_EXPORT(CeRemoveDirectory, RemoveDirectoryImpl)
TROVIK_EXPORT(CeDeleteFile, DeleteFileImpl)
TROVIK_EXPORT(CeMoveFile, MoveFileImpl)
TROVIK_EXPORT(CeGetDiskFreeSpaceEx, GetDiskFreeSpaceExImpl)
