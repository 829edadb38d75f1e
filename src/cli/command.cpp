#include "cli/command.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include "base/error.h"
#include "text/text.h"

namespace trovik::cli {

std::string Args::option(const std::string& name) {
  std::string value;
  option(name, value);
  return value;
}

bool Args::option(const std::string& name, std::string& value) {
  for (size_t i = 0; i < items.size(); ++i) {
    const std::string& a = items[i];
    if (a == name) {
      if (i + 1 >= items.size()) throw UsageError{"Voľba " + name + " potrebuje hodnotu."};
      value = items[i + 1];
      items.erase(items.begin() + static_cast<long>(i), items.begin() + static_cast<long>(i) + 2);
      return true;
    }
    if (a.rfind(name + "=", 0) == 0) {
      value = a.substr(name.size() + 1);
      items.erase(items.begin() + static_cast<long>(i));
      return true;
    }
  }
  return false;
}

bool Args::flag(const std::string& name) {
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i] == name) {
      items.erase(items.begin() + static_cast<long>(i));
      return true;
    }
  }
  return false;
}

std::vector<std::string> Args::positional() const {
  std::vector<std::string> out;
  bool rest = false;
  for (const auto& a : items) {
    if (!rest && a == "--") {
      rest = true;
      continue;
    }
    // A lone "-" and negative numbers are values, not options.
    if (!rest && a.size() > 1 && a[0] == '-' && !(a[1] >= '0' && a[1] <= '9') && a[1] != '.')
      throw UsageError{"Neznáma voľba " + a + "."};
    out.push_back(a);
  }
  return out;
}

const Command* Registry::find(const std::string& name) const {
  for (const auto& c : commands_)
    if (c.name == name) return &c;
  return nullptr;
}

void PrintLine1250(const std::string& text1250) {
  std::string utf8 = text::Cp1250ToUtf8(text1250);
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
  std::fputc('\n', stdout);
}

void PrintError1250(const std::string& text1250) {
  std::string utf8 = text::Cp1250ToUtf8(text1250);
  std::fwrite(utf8.data(), 1, utf8.size(), stderr);
  std::fputc('\n', stderr);
}

std::string ArgTo1250(const std::string& utf8) { return text::Utf8To1250(utf8); }

void CliHost::processMessages() {
  if (pump_) pump_();
}

void CliHost::sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

uint32_t CliHost::tickCount() {
  using namespace std::chrono;
  return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void CliHost::showMessage(const std::string& text1250) {
  PrintLine1250(text1250);
  std::fflush(stdout);
}

void FailureCountingHost::showMessage(const std::string& text1250) {
  ++messages;
  std::string text = text1250;
  for (char& c : text) {
    if (c == '\r') c = '\n';
  }
  PrintError1250(text);
  std::fflush(stderr);
}

}  // namespace trovik::cli
