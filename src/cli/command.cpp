#include "cli/command.h"

#include <algorithm>
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
      throw UnknownArgument{"Neznáma voľba " + a + "."};
    out.push_back(a);
  }
  return out;
}

const Command* Registry::find(const std::string& name) const {
  for (const auto& c : commands_)
    if (c.name == name) return &c;
  return nullptr;
}

namespace {

// Columns count characters, not the bytes of their UTF-8.
size_t Width(const std::string& utf8) {
  size_t width = 0;
  for (unsigned char c : utf8) width += (c & 0xC0) != 0x80;
  return width;
}

// Two-column lines: each left text padded to the widest.
std::string Columns(const std::vector<std::pair<std::string, std::string>>& rows) {
  size_t widest = 0;
  for (const auto& [left, right] : rows) widest = std::max(widest, Width(left));
  std::string out;
  for (const auto& [left, right] : rows)
    out += "  " + left + std::string(widest - Width(left) + 2, ' ') + right + "\n";
  return out;
}

std::string GroupText(const OptionGroup& group) { return group.heading + ":\n" + Columns(group.options); }

}  // namespace

std::string Registry::overview() const {
  std::string out =
      "Použitie: trovik-cli [--home ADRESÁR] [--verbose] PRÍKAZ [voľby]\n"
      "          trovik-cli PRÍKAZ --help\n"
      "          trovik-cli --version\n\nPríkazy:\n";
  std::vector<std::pair<std::string, std::string>> rows;
  for (const auto& c : commands_) rows.emplace_back(c.usage, c.summary);
  out += Columns(rows);
  // Each group once, in the order the commands first name it, with the commands that take it.
  std::vector<const OptionGroup*> groups;
  for (const auto& c : commands_)
    for (const OptionGroup* g : c.shared)
      if (std::find(groups.begin(), groups.end(), g) == groups.end()) groups.push_back(g);
  for (const OptionGroup* g : groups) {
    std::string users;
    for (const auto& c : commands_)
      if (std::find(c.shared.begin(), c.shared.end(), g) != c.shared.end()) users += (users.empty() ? "" : ", ") + c.name;
    out += "\n" + g->heading + " (" + users + "):\n" + Columns(g->options);
  }
  out += "\nCelé použitie príkazu: trovik-cli PRÍKAZ --help\n";
  return out;
}

std::string Registry::usageOf(const Command& command) {
  std::string out = "Použitie: trovik-cli " + command.usage + "\n\n" + command.summary + "\n";
  if (!command.details.empty()) out += command.details + (command.details.back() == '\n' ? "" : "\n");
  for (const OptionGroup* g : command.shared) out += "\n" + GroupText(*g);
  return out;
}

void PrintLine1250(const text::Cp1250& text) {
  std::string utf8 = text::Cp1250ToUtf8(text.bytes());
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
  std::fputc('\n', stdout);
}

void PrintError1250(const text::Cp1250& text) {
  std::string utf8 = text::Cp1250ToUtf8(text.bytes());
  std::fwrite(utf8.data(), 1, utf8.size(), stderr);
  std::fputc('\n', stderr);
}

std::string ArgTo1250(const std::string& utf8) { return text::Utf8To1250(utf8); }

void CliHost::processMessages() {
  if (pump_) pump_();
}

void CliHost::sleepMs(int ms) {
  if (ms <= 0) return;
  if (wait_)
    wait_(ms);
  else
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

uint32_t CliHost::tickCount() {
  using namespace std::chrono;
  return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void CliHost::showMessage(const std::string& text1250) {
  PrintLine1250(text::Cp1250::FromBytes(text1250));
  std::fflush(stdout);
}

void CliHost::showError(const std::string& text1250) {
  std::string text = text1250;
  for (char& c : text) {
    if (c == '\r') c = '\n';
  }
  std::fflush(stdout);
  PrintError1250(text::Cp1250::FromBytes(std::move(text)));
  std::fflush(stderr);
}

void FailureCountingHost::showMessage(const std::string& text1250) {
  ++messages;
  showError(text1250);
}

}  // namespace trovik::cli
