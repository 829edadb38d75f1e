#pragma once
// The device library bound at run time: the 65 names of the handheld's remote
// API, looked up in their order on the first successful load, and one thin
// operation per entry the system calls. An operation whose library or entry
// is unavailable calls nothing and returns its fallback value.

#include <array>
#include <cstdint>
#include <string>

#include "device/rapi_abi.h"

namespace trovik::device {

using rapi::BOOL;
using rapi::CE_FIND_DATA;
using rapi::DWORD;
using rapi::FILETIME;
using rapi::HANDLE;
using rapi::HRESULT;
using rapi::RAPIINIT;

constexpr int kRapiNameCount = 65;
// The 65 names, then the later ones bound after them: the free-space call a
// library of today's handhelds has.
constexpr int kRapiBoundCount = 66;
extern const char* const kRapiNames[kRapiBoundCount];

// Positions in kRapiNames of the entries the system calls.
enum RapiEntry : int {
  kCeRapiInit = 0,
  kCeRapiInitEx = 1,
  kCeRapiUninit = 2,
  kCeFindFirstFile = 17,
  kCeFindNextFile = 18,
  kCeFindClose = 19,
  kCeGetFileAttributes = 20,
  kCeCreateFile = 22,
  kCeReadFile = 23,
  kCeWriteFile = 24,
  kCeCloseHandle = 25,
  kCeGetLastError = 27,
  kCeCreateDirectory = 31,
  kCeRemoveDirectory = 32,
  kCeMoveFile = 34,
  kCeDeleteFile = 36,
  kCeGetFileSize = 37,
  kCeSetFileTime = 56,
  kCeGetDiskFreeSpaceEx = 65,
};

// Fallback results when the library cannot be loaded or lacks the entry.
constexpr HRESULT kFallbackHresult = 0xFFFF;
constexpr HANDLE kFallbackHandle = 0xFFFF;
constexpr DWORD kFallbackDword = 0xFFFF;

class DeviceApi {
 public:
  // `libraryPath` empty: TROVIK_RAPI, else the folder device library in the
  // executable's folder.
  explicit DeviceApi(std::string libraryPath = "") : libraryPath_(std::move(libraryPath)) {}
  DeviceApi(const DeviceApi&) = delete;
  DeviceApi& operator=(const DeviceApi&) = delete;

  // The bind step. A failed load is not remembered: the next call tries again.
  // Once loaded the library stays loaded for the rest of the process.
  bool Bind();
  bool Loaded() const { return handle_ != nullptr; }
  // Binds, then says whether the entry is there.
  bool Available(int entry);
  void* EntryAt(int entry) const { return entries_[static_cast<size_t>(entry)]; }
  int loadAttempts() const { return loadAttempts_; }
  std::string LibraryPath() const;

  HRESULT CeRapiInit();
  HRESULT CeRapiInitEx(RAPIINIT* init);
  HRESULT CeRapiUninit();
  HANDLE CeFindFirstFile(const std::u16string& path, CE_FIND_DATA* data);
  BOOL CeFindNextFile(HANDLE h, CE_FIND_DATA* data);
  BOOL CeFindClose(HANDLE h);
  HANDLE CeCreateFile(const std::u16string& path, DWORD access, DWORD share, DWORD creation, DWORD flags);
  BOOL CeReadFile(HANDLE h, void* buffer, DWORD count, DWORD* done);
  BOOL CeWriteFile(HANDLE h, const void* buffer, DWORD count, DWORD* done);
  BOOL CeCloseHandle(HANDLE h);
  DWORD CeGetLastError();
  DWORD CeGetFileSize(HANDLE h, DWORD* high);
  BOOL CeSetFileTime(HANDLE h, const FILETIME* creation, const FILETIME* access, const FILETIME* write);
  BOOL CeCreateDirectory(const std::u16string& path);
  BOOL CeRemoveDirectory(const std::u16string& path);
  BOOL CeDeleteFile(const std::u16string& path);
  BOOL CeMoveFile(const std::u16string& from, const std::u16string& to);
  DWORD CeGetFileAttributes(const std::u16string& path);  // 0xFFFFFFFF when absent
  BOOL CeGetDiskFreeSpaceEx(const std::u16string& folder, uint64_t* freeToCaller, uint64_t* total, uint64_t* totalFree);

 private:
  template <typename Fn>
  Fn Entry(int entry) {
    return Bind() ? reinterpret_cast<Fn>(entries_[static_cast<size_t>(entry)]) : nullptr;
  }
  // A wide path that cannot travel as a zero-terminated string (it holds a
  // zero character) is refused here as the device refuses a bad name.
  bool Refused(const std::u16string& path);

  std::string libraryPath_;
  void* handle_ = nullptr;
  std::array<void*, kRapiBoundCount> entries_{};
  int loadAttempts_ = 0;
  DWORD refusedError_ = 0;
};

}  // namespace trovik::device
