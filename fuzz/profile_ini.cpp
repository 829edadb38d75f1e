// Settings and town files (private-profile text) on arbitrary bytes: reads,
// key listings with and without the name buffer, and writes that must read
// back what they wrote.

#include <cstdint>
#include <string>

#include "base/profile.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace trovik;
  fuzz::Input in(data, size);
  uint8_t choice = in.byte();
  std::string section = in.piece(40);
  std::string key = in.piece(40);
  std::string bytes = in.rest();
  (void)profile::GetValue(bytes, section, key, "def");
  (void)profile::GetKeyNames(bytes, section);
  (void)profile::GetKeyNames(bytes, section, choice);
  (void)profile::GetKeyNames(bytes, "Mesta");
  // The program's own keys, written over whatever the file holds, read back.
  static const char* const sections[] = {"Prihlasovanie", "LastCesty", "Setrenie", "Adresy"};
  static const char* const keysOf[] = {"username", "PDA", "Velkost", "sk"};
  const int k = choice % 4;
  const std::string value = "v" + std::to_string(size);
  std::string after = profile::SetValue(bytes, sections[k], keysOf[k], value);
  if (profile::GetValue(after, sections[k], keysOf[k], "") != value) __builtin_trap();
  // A write over arbitrary names and values never fails either.
  (void)profile::SetValue(bytes, section, key, in.all().substr(0, 64));
  return 0;
}
