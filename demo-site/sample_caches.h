#pragma once
// The hand-written sample caches, before the catalog adds their pictures and logs.

#include <vector>

#include "catalog.h"

namespace trovik::demo {

struct SampleCache {
  const char* code;
  const char* name;
  const char* owner;
  CacheType type;
  const char* size;
  double lat;
  double lon;
  double difficulty;
  double terrain;
  const char* hidden;
  bool archived;
  const char* description;
  const char* hint;
};

const std::vector<SampleCache>& SampleCaches();

}  // namespace trovik::demo
