#pragma once
// The handheld's remote API as its desktop library publishes it: 32-bit
// words and handles, 16-bit characters, file times as 100 ns ticks since
// 1601-01-01 UTC. Shared by the device link and the folder device library so
// both sides agree on every record byte for byte.
//
// On Linux the event handle of RAPIINIT is a file descriptor: the library
// makes it readable (poll/select) when the connection is made or has failed,
// and closes it at the next CeRapiInitEx or at CeRapiUninit.

#include <cstdint>

namespace trovik::rapi {

using DWORD = uint32_t;
using BOOL = int32_t;
using HRESULT = int32_t;
using HANDLE = uint32_t;
using WCHAR = char16_t;

constexpr HANDLE INVALID_HANDLE_VALUE = 0xFFFFFFFFu;
constexpr DWORD INVALID_FILE_SIZE = 0xFFFFFFFFu;

constexpr HRESULT S_OK = 0;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);

constexpr DWORD GENERIC_READ = 0x80000000u;
constexpr DWORD GENERIC_WRITE = 0x40000000u;
constexpr DWORD FILE_SHARE_READ = 1;
constexpr DWORD FILE_SHARE_WRITE = 2;

constexpr DWORD CREATE_NEW = 1;
constexpr DWORD CREATE_ALWAYS = 2;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD OPEN_ALWAYS = 4;
constexpr DWORD TRUNCATE_EXISTING = 5;

constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x01;
constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x02;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x20;
constexpr DWORD FILE_ATTRIBUTE_INROM = 0x40;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;

// Error numbers the library reports through CeGetLastError.
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_NO_MORE_FILES = 18;
constexpr DWORD ERROR_WRITE_FAULT = 29;
constexpr DWORD ERROR_READ_FAULT = 30;
constexpr DWORD ERROR_FILE_EXISTS = 80;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_DISK_FULL = 112;
constexpr DWORD ERROR_INVALID_NAME = 123;
constexpr DWORD ERROR_DIR_NOT_EMPTY = 145;
constexpr DWORD ERROR_ALREADY_EXISTS = 183;
constexpr DWORD ERROR_FILENAME_EXCED_RANGE = 206;
constexpr DWORD ERROR_DIRECTORY = 267;
constexpr DWORD ERROR_IO_DEVICE = 1117;
constexpr DWORD ERROR_DEVICE_NOT_CONNECTED = 1167;

// The longest wide path, without its terminating zero.
constexpr int kMaxWidePath = 511;

struct FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
};

struct CE_FIND_DATA {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  DWORD dwOID;
  WCHAR cFileName[260];
};
static_assert(sizeof(CE_FIND_DATA) == 560, "one find record is 560 bytes");

struct RAPIINIT {
  DWORD cbSize;        // 12
  HANDLE heRapiInit;   // the event: a pollable file descriptor on Linux
  HRESULT hrRapiInit;  // valid once the event is signalled
};
static_assert(sizeof(RAPIINIT) == 12, "RAPIINIT is 12 bytes");

inline uint64_t Ticks(const FILETIME& t) { return (uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime; }
inline FILETIME FileTime(uint64_t ticks) {
  return FILETIME{static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
}
// Seconds between 1601-01-01 and 1970-01-01.
constexpr int64_t kEpochDeltaSeconds = 11644473600LL;

// Entry points with their published arguments (security attributes and
// overlapped records are opaque and always null here).
extern "C" {
using PfnCeRapiInit = HRESULT (*)();
using PfnCeRapiInitEx = HRESULT (*)(RAPIINIT*);
using PfnCeRapiUninit = HRESULT (*)();
using PfnCeFindFirstFile = HANDLE (*)(const WCHAR*, CE_FIND_DATA*);
using PfnCeFindNextFile = BOOL (*)(HANDLE, CE_FIND_DATA*);
using PfnCeFindClose = BOOL (*)(HANDLE);
using PfnCeCreateFile = HANDLE (*)(const WCHAR*, DWORD, DWORD, void*, DWORD, DWORD, HANDLE);
using PfnCeReadFile = BOOL (*)(HANDLE, void*, DWORD, DWORD*, void*);
using PfnCeWriteFile = BOOL (*)(HANDLE, const void*, DWORD, DWORD*, void*);
using PfnCeCloseHandle = BOOL (*)(HANDLE);
using PfnCeGetLastError = DWORD (*)();
using PfnCeGetFileSize = DWORD (*)(HANDLE, DWORD*);
using PfnCeSetFileTime = BOOL (*)(HANDLE, const FILETIME*, const FILETIME*, const FILETIME*);
using PfnCeCreateDirectory = BOOL (*)(const WCHAR*, void*);
using PfnCeRemoveDirectory = BOOL (*)(const WCHAR*);
using PfnCeDeleteFile = BOOL (*)(const WCHAR*);
using PfnCeGetFileAttributes = DWORD (*)(const WCHAR*);
using PfnCeGetFileTime = BOOL (*)(HANDLE, FILETIME*, FILETIME*, FILETIME*);
using PfnCeMoveFile = BOOL (*)(const WCHAR*, const WCHAR*);
using PfnGetRapiError = HRESULT (*)();
// The room of the volume holding a folder: free to the caller, its size, free in all.
using PfnCeGetDiskFreeSpaceEx = BOOL (*)(const WCHAR*, uint64_t*, uint64_t*, uint64_t*);
}

}  // namespace trovik::rapi
