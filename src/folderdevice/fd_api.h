#pragma once
// The library's entry points before export (fd_exports.cpp publishes them).

#include "folderdevice/fd_internal.h"

namespace trovik::folderdevice {

HRESULT RapiInitImpl();
HRESULT RapiInitExImpl(RAPIINIT* init);
HRESULT RapiUninitImpl();
HRESULT GetRapiErrorImpl();
DWORD GetLastErrorImpl();

HANDLE FindFirstFileImpl(const WCHAR* pattern, CE_FIND_DATA* data);
BOOL FindNextFileImpl(HANDLE h, CE_FIND_DATA* data);
BOOL FindCloseImpl(HANDLE h);

HANDLE CreateFileImpl(const WCHAR* name, DWORD access, DWORD share, void* security, DWORD creation, DWORD flags,
                      HANDLE templateFile);
BOOL ReadFileImpl(HANDLE h, void* buffer, DWORD count, DWORD* done, void* overlapped);
BOOL WriteFileImpl(HANDLE h, const void* buffer, DWORD count, DWORD* done, void* overlapped);
BOOL CloseHandleImpl(HANDLE h);
DWORD GetFileSizeImpl(HANDLE h, DWORD* high);
BOOL SetFileTimeImpl(HANDLE h, const FILETIME* creation, const FILETIME* access, const FILETIME* write);
BOOL GetFileTimeImpl(HANDLE h, FILETIME* creation, FILETIME* access, FILETIME* write);
DWORD GetFileAttributesImpl(const WCHAR* name);
BOOL CreateDirectoryImpl(const WCHAR* name, void* security);
BOOL RemoveDirectoryImpl(const WCHAR* name);
BOOL DeleteFileImpl(const WCHAR* name);
BOOL MoveFileImpl(const WCHAR* from, const WCHAR* to);
BOOL GetDiskFreeSpaceExImpl(const WCHAR* folder, uint64_t* freeToCaller, uint64_t* total, uint64_t* totalFree);

}  // namespace trovik::folderdevice
