// Files and folders of the simulated handheld.

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "folderdevice/fd_api.h"
#include "folderdevice/fd_handles.h"

namespace trovik::folderdevice {

namespace {

bool NeedConnection() {
  if (Connected()) return true;
  SetLastError(ERROR_DEVICE_NOT_CONNECTED);
  return false;
}

bool ReadOnly(const struct stat& st) { return (st.st_mode & S_IWUSR) == 0; }

timespec ToTimespec(const FILETIME* t) {
  if (!t) return timespec{0, UTIME_OMIT};
  uint64_t ticks = Ticks(*t);
  return timespec{static_cast<time_t>(static_cast<int64_t>(ticks / 10000000) - kEpochDeltaSeconds),
                  static_cast<long>((ticks % 10000000) * 100)};
}

}  // namespace

FILETIME FromTimespec(int64_t sec, int64_t nsec) {
  int64_t s = sec + kEpochDeltaSeconds;
  if (s < 0) return FileTime(0);
  return FileTime(static_cast<uint64_t>(s) * 10000000u + static_cast<uint64_t>(nsec / 100));
}

bool FillFindData(int dirFd, const char* name, CE_FIND_DATA& data, bool topLevel) {
  struct stat st;
  if (fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
  if (S_ISLNK(st.st_mode) && topLevel && (fstatat(dirFd, name, &st, 0) != 0 || !S_ISDIR(st.st_mode))) return false;
  if (!S_ISDIR(st.st_mode) && !S_ISREG(st.st_mode)) return false;
  const char* base = std::strrchr(name, '/');
  base = base ? base + 1 : name;
  DWORD attrs = 0;
  if (S_ISDIR(st.st_mode)) {
    attrs = FILE_ATTRIBUTE_DIRECTORY;
  } else {
    // A file the owner may not write plays a read-only file; others carry the
    // archive bit, as files copied onto a card do.
    attrs = ReadOnly(st) ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_ARCHIVE;
  }
  if (base[0] == '.') attrs |= FILE_ATTRIBUTE_HIDDEN;
  data.dwFileAttributes = attrs;
  data.ftLastWriteTime = FromTimespec(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
  data.ftCreationTime = data.ftLastWriteTime;
  data.ftLastAccessTime = FromTimespec(st.st_atim.tv_sec, st.st_atim.tv_nsec);
  uint64_t size = S_ISDIR(st.st_mode) ? 0 : static_cast<uint64_t>(st.st_size);
  data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
  data.nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFFu);
  data.dwOID = 0;
  Utf8ToUtf16(base, data.cFileName, 260);
  return true;
}

HANDLE CreateFileImpl(const WCHAR* name, DWORD access, DWORD /*share*/, void* /*security*/, DWORD creation,
                      DWORD /*flags*/, HANDLE /*templateFile*/) {
  if (!NeedConnection()) return INVALID_HANDLE_VALUE;
  HostPath p;
  if (!MapPath(name, false, p)) return INVALID_HANDLE_VALUE;
  const bool writing = (access & GENERIC_WRITE) != 0;
  const std::string fault = FaultText("TROVIK_DEVICE_CREATE_FAIL");
  if (fault == "1" || fault == "all" || (fault == "write" && writing) || (fault == "read" && !writing)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  if (p.last.empty()) {
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  if (!p.parentExists) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  struct stat st;
  const bool existed = stat(p.path.c_str(), &st) == 0;
  if (existed && (S_ISDIR(st.st_mode) || (writing && ReadOnly(st)))) {
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  int flags = O_CLOEXEC | O_NOFOLLOW;
  flags |= (access & GENERIC_READ) && writing ? O_RDWR : writing ? O_WRONLY : O_RDONLY;
  switch (creation) {
    case CREATE_NEW: flags |= O_CREAT | O_EXCL; break;
    case CREATE_ALWAYS: flags |= O_CREAT | O_TRUNC; break;
    case OPEN_EXISTING: break;
    case OPEN_ALWAYS: flags |= O_CREAT; break;
    case TRUNCATE_EXISTING: flags |= O_TRUNC; break;
    default: SetLastError(ERROR_INVALID_PARAMETER); return INVALID_HANDLE_VALUE;
  }
  int fd = open(p.path.c_str(), flags, 0666);
  if (fd < 0) {
    int err = errno;
    if (err == EEXIST) {
      SetLastError(ERROR_FILE_EXISTS);
    } else {
      SetLastErrno(err, false);
    }
    return INVALID_HANDLE_VALUE;
  }
  Object object;
  object.kind = Object::Kind::File;
  object.fd = fd;
  HANDLE h = AddObject(object);
  SetLastError(existed && (creation == CREATE_ALWAYS || creation == OPEN_ALWAYS) ? ERROR_ALREADY_EXISTS : 0);
  return h;
}

BOOL ReadFileImpl(HANDLE h, void* buffer, DWORD count, DWORD* done, void* /*overlapped*/) {
  if (done) *done = 0;
  if (!NeedConnection()) return 0;
  Object* o = FindObject(h, Object::Kind::File);
  if (!o) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  if (FaultOn("TROVIK_DEVICE_READ_FAIL")) {
    SetLastError(ERROR_READ_FAULT);
    return 0;
  }
  DWORD total = 0;
  char* p = static_cast<char*>(buffer);
  while (total < count) {
    ssize_t n = read(o->fd, p + total, count - total);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      SetLastErrno(errno);
      if (done) *done = total;
      return 0;
    }
    if (n == 0) break;
    total += static_cast<DWORD>(n);
  }
  if (done) *done = total;
  return 1;
}

BOOL WriteFileImpl(HANDLE h, const void* buffer, DWORD count, DWORD* done, void* /*overlapped*/) {
  if (done) *done = 0;
  if (!NeedConnection()) return 0;
  Object* o = FindObject(h, Object::Kind::File);
  if (!o) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  // The storage fills up after N bytes of this handle: what fits is written,
  // then the write fails (at once when nothing fits, even for 0 bytes).
  DWORD allowed = count;
  bool fails = false;
  long limit = FaultNumber("TROVIK_DEVICE_WRITE_FAIL_AFTER", -1);
  if (limit >= 0) {
    uint64_t room = o->written >= static_cast<uint64_t>(limit) ? 0 : static_cast<uint64_t>(limit) - o->written;
    if (room == 0 || room < count) {
      fails = true;
      allowed = static_cast<DWORD>(room < count ? room : count);
    }
  }
  DWORD total = 0;
  const char* p = static_cast<const char*>(buffer);
  while (total < allowed) {
    ssize_t n = write(o->fd, p + total, allowed - total);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      SetLastErrno(n < 0 ? errno : ENOSPC);
      o->written += total;
      if (done) *done = total;
      return 0;
    }
    total += static_cast<DWORD>(n);
  }
  o->written += total;
  if (done) *done = total;
  if (fails) {
    SetLastError(ERROR_DISK_FULL);
    return 0;
  }
  return 1;
}

BOOL CloseHandleImpl(HANDLE h) {
  if (!CloseObject(h, Object::Kind::File)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return 1;
}

DWORD GetFileSizeImpl(HANDLE h, DWORD* high) {
  if (!NeedConnection()) return INVALID_FILE_SIZE;
  Object* o = FindObject(h, Object::Kind::File);
  if (!o) {
    SetLastError(ERROR_INVALID_HANDLE);
    return INVALID_FILE_SIZE;
  }
  if (FaultOn("TROVIK_DEVICE_SIZE_FAIL")) {
    SetLastError(ERROR_IO_DEVICE);
    return INVALID_FILE_SIZE;
  }
  struct stat st;
  if (fstat(o->fd, &st) != 0) {
    SetLastErrno(errno);
    return INVALID_FILE_SIZE;
  }
  uint64_t size = static_cast<uint64_t>(st.st_size);
  if (high) *high = static_cast<DWORD>(size >> 32);
  SetLastError(0);
  return static_cast<DWORD>(size & 0xFFFFFFFFu);
}

BOOL SetFileTimeImpl(HANDLE h, const FILETIME* creation, const FILETIME* access, const FILETIME* write) {
  (void)creation;  // the host keeps no settable creation time
  if (!NeedConnection()) return 0;
  Object* o = FindObject(h, Object::Kind::File);
  if (!o) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  if (FaultOn("TROVIK_DEVICE_SETTIME_FAIL")) {
    SetLastError(ERROR_ACCESS_DENIED);
    return 0;
  }
  timespec times[2] = {ToTimespec(access), ToTimespec(write)};
  if (futimens(o->fd, times) != 0) {
    SetLastErrno(errno);
    return 0;
  }
  return 1;
}

BOOL GetFileTimeImpl(HANDLE h, FILETIME* creation, FILETIME* access, FILETIME* write) {
  if (!NeedConnection()) return 0;
  Object* o = FindObject(h, Object::Kind::File);
  struct stat st;
  if (!o || fstat(o->fd, &st) != 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  FILETIME w = FromTimespec(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
  if (creation) *creation = w;
  if (access) *access = FromTimespec(st.st_atim.tv_sec, st.st_atim.tv_nsec);
  if (write) *write = w;
  return 1;
}

DWORD GetFileAttributesImpl(const WCHAR* name) {
  if (!NeedConnection()) return 0xFFFFFFFFu;
  HostPath p;
  if (!MapPath(name, false, p)) return 0xFFFFFFFFu;
  CE_FIND_DATA data;
  if (!FillFindData(AT_FDCWD, p.path.c_str(), data, p.topLevel)) {
    SetLastError(p.parentExists ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
    return 0xFFFFFFFFu;
  }
  return data.dwFileAttributes;
}

BOOL CreateDirectoryImpl(const WCHAR* name, void* /*security*/) {
  if (!NeedConnection()) return 0;
  HostPath p;
  if (!MapPath(name, false, p)) return 0;
  if (p.last.empty()) {
    SetLastError(ERROR_ALREADY_EXISTS);
    return 0;
  }
  if (mkdir(p.path.c_str(), 0777) != 0) {
    SetLastErrno(errno, !p.parentExists);
    return 0;
  }
  return 1;
}

BOOL RemoveDirectoryImpl(const WCHAR* name) {
  if (!NeedConnection()) return 0;
  HostPath p;
  if (!MapPath(name, false, p)) return 0;
  if (p.last.empty()) {
    SetLastError(ERROR_ACCESS_DENIED);
    return 0;
  }
  if (rmdir(p.path.c_str()) != 0) {
    int err = errno;
    if (err == ENOTDIR) {
      SetLastError(ERROR_DIRECTORY);
    } else {
      SetLastErrno(err, !p.parentExists);
    }
    return 0;
  }
  return 1;
}

BOOL DeleteFileImpl(const WCHAR* name) {
  if (!NeedConnection()) return 0;
  HostPath p;
  if (!MapPath(name, false, p)) return 0;
  struct stat st;
  if (lstat(p.path.c_str(), &st) != 0) {
    SetLastErrno(errno, !p.parentExists);
    return 0;
  }
  if (S_ISDIR(st.st_mode) || ReadOnly(st)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return 0;
  }
  if (unlink(p.path.c_str()) != 0) {
    SetLastErrno(errno);
    return 0;
  }
  return 1;
}

BOOL MoveFileImpl(const WCHAR* from, const WCHAR* to) {
  if (!NeedConnection()) return 0;
  HostPath a, b;
  if (!MapPath(from, false, a) || !MapPath(to, false, b)) return 0;
  struct stat st;
  if (lstat(b.path.c_str(), &st) == 0) {
    SetLastError(ERROR_ALREADY_EXISTS);
    return 0;
  }
  // A card that fails to write a new entry: moves of names ending with the
  // switch's text fail.
  const std::string fault = FaultText("TROVIK_DEVICE_MOVE_FAIL");
  if (!fault.empty() && a.last.size() >= fault.size() &&
      a.last.compare(a.last.size() - fault.size(), fault.size(), fault) == 0) {
    SetLastError(ERROR_WRITE_FAULT);
    return 0;
  }
  if (rename(a.path.c_str(), b.path.c_str()) != 0) {
    SetLastErrno(errno, !a.parentExists || !b.parentExists);
    return 0;
  }
  return 1;
}

BOOL GetDiskFreeSpaceExImpl(const WCHAR* folder, uint64_t* freeToCaller, uint64_t* total, uint64_t* totalFree) {
  if (!NeedConnection()) return 0;
  HostPath p;
  if (!MapPath(folder, false, p)) return 0;
  struct stat st;
  if (stat(p.path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    SetLastError(p.parentExists ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
    return 0;
  }
  // The volume the folder lies on: a card mounted below the root answers for itself.
  struct statvfs vfs;
  if (statvfs(p.path.c_str(), &vfs) != 0) {
    SetLastErrno(errno);
    return 0;
  }
  const uint64_t unit = vfs.f_frsize ? vfs.f_frsize : vfs.f_bsize;
  uint64_t available = static_cast<uint64_t>(vfs.f_bavail) * unit;
  uint64_t free = static_cast<uint64_t>(vfs.f_bfree) * unit;
  uint64_t size = static_cast<uint64_t>(vfs.f_blocks) * unit;
  // A card with little room left, for tests: the volume reports this many free bytes.
  const long room = FaultNumber("TROVIK_DEVICE_FREE_BYTES", -1);
  if (room >= 0) {
    available = free = static_cast<uint64_t>(room);
    if (size < free) size = free;
  }
  if (freeToCaller) *freeToCaller = available;
  if (total) *total = size;
  if (totalFree) *totalFree = free;
  SetLastError(0);
  return 1;
}

}  // namespace trovik::folderdevice
