#include "folderdevice/fd_handles.h"

#include <unistd.h>

#include <map>

namespace trovik::folderdevice {

namespace {

std::map<HANDLE, Object>& Objects() {
  static std::map<HANDLE, Object> objects;
  return objects;
}
HANDLE nextHandle = 0x1000;

}  // namespace

HANDLE AddObject(const Object& object) {
  auto& objects = Objects();
  // Never hand out the invalid value or the caller's "library missing" value.
  do {
    ++nextHandle;
  } while (nextHandle == INVALID_HANDLE_VALUE || nextHandle == 0xFFFF || nextHandle == 0 || objects.count(nextHandle));
  objects[nextHandle] = object;
  return nextHandle;
}

Object* FindObject(HANDLE handle, Object::Kind kind) {
  auto& objects = Objects();
  auto it = objects.find(handle);
  if (it == objects.end() || it->second.kind != kind) return nullptr;
  return &it->second;
}

bool CloseObject(HANDLE handle, Object::Kind kind) {
  auto& objects = Objects();
  auto it = objects.find(handle);
  if (it == objects.end() || it->second.kind != kind) return false;
  if (it->second.fd >= 0) close(it->second.fd);
  if (it->second.dir) closedir(it->second.dir);
  objects.erase(it);
  return true;
}

}  // namespace trovik::folderdevice
