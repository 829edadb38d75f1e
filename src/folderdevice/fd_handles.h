#pragma once
// The library's open files and searches, addressed by 32-bit handles.

#include <dirent.h>

#include <cstdint>
#include <string>

#include "folderdevice/fd_internal.h"

namespace trovik::folderdevice {

struct Object {
  enum class Kind { File, Find } kind = Kind::File;
  int fd = -1;           // file
  uint64_t written = 0;  // bytes written through this handle (write fault)
  DIR* dir = nullptr;    // search
  std::string pattern;   // search: last segment, with wildcards
  bool topLevel = false; // search: of the root, where links to folders count
};

HANDLE AddObject(const Object& object);
Object* FindObject(HANDLE handle, Object::Kind kind);
// Closes what the handle holds; false when there is no such handle.
bool CloseObject(HANDLE handle, Object::Kind kind);

}  // namespace trovik::folderdevice
