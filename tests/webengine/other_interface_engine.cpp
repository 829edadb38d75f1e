// An engine library built for another interface, as an older
// libtrovik-webengine.so left beside a newer trovik-cli would be. Its engine
// must never be asked for: creating one ends the process.

#include <cstdlib>

extern "C" __attribute__((visibility("default"))) const char* trovik_engine_interface() { return "0123456789abcdef"; }

extern "C" __attribute__((visibility("default"))) void* trovik_engine_create(const char*, const char*, int) {
  std::abort();
}
