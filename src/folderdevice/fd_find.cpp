// Folder searches. Like the handheld, a search never returns "." or "..".

#include <dirent.h>
#include <fcntl.h>

#include <cstring>

#include "folderdevice/fd_api.h"
#include "folderdevice/fd_handles.h"

namespace trovik::folderdevice {

namespace {

bool HasWildcard(const std::string& s) { return s.find_first_of("*?") != std::string::npos; }

// The next entry of the search that matches; false at the end.
bool NextMatch(Object& o, CE_FIND_DATA& data) {
  while (dirent* e = readdir(o.dir)) {
    if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
    if (!WildcardMatch(o.pattern, e->d_name)) continue;
    if (FillFindData(dirfd(o.dir), e->d_name, data, o.topLevel)) return true;
  }
  return false;
}

}  // namespace

HANDLE FindFirstFileImpl(const WCHAR* pattern, CE_FIND_DATA* data) {
  if (!Connected()) {
    SetLastError(ERROR_DEVICE_NOT_CONNECTED);
    return INVALID_HANDLE_VALUE;
  }
  if (!data) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  HostPath p;
  if (!MapPath(pattern, true, p)) return INVALID_HANDLE_VALUE;
  if (p.last.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  if (!p.parentExists) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  Object o;
  o.kind = Object::Kind::Find;
  if (!HasWildcard(p.last)) {
    // One named entry: found without regard to case, and the search ends there.
    HostPath exact;
    if (!MapPath(pattern, false, exact)) return INVALID_HANDLE_VALUE;
    if (!FillFindData(AT_FDCWD, exact.path.c_str(), *data, exact.topLevel)) {
      SetLastError(ERROR_FILE_NOT_FOUND);
      return INVALID_HANDLE_VALUE;
    }
    return AddObject(o);
  }
  o.dir = opendir(p.folder.c_str());
  if (!o.dir) {
    SetLastErrno(errno, true);
    return INVALID_HANDLE_VALUE;
  }
  o.pattern = p.last;
  o.topLevel = p.topLevel;
  if (!NextMatch(o, *data)) {
    closedir(o.dir);
    SetLastError(ERROR_NO_MORE_FILES);
    return INVALID_HANDLE_VALUE;
  }
  return AddObject(o);
}

BOOL FindNextFileImpl(HANDLE h, CE_FIND_DATA* data) {
  Object* o = FindObject(h, Object::Kind::Find);
  if (!o || !data) {
    SetLastError(o ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
    return 0;
  }
  if (!o->dir || !NextMatch(*o, *data)) {
    SetLastError(ERROR_NO_MORE_FILES);
    return 0;
  }
  return 1;
}

BOOL FindCloseImpl(HANDLE h) {
  if (!CloseObject(h, Object::Kind::Find)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return 1;
}

}  // namespace trovik::folderdevice
