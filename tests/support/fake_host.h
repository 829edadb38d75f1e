#pragma once
// A Host for tests: a virtual clock that sleeps advance, recorded messages,
// and hooks run on processMessages so a test can act "during" a wait (a
// document completing, "Brejk" being pressed).

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/host.h"

namespace trovik::testing {

class FakeHost : public Host {
 public:
  void processMessages() override {
    ++pumps;
    // Hooks may add hooks; run what is queued now.
    auto due = std::move(onPump);
    onPump.clear();
    for (auto& f : due) f();
    if (everyPump) everyPump();
  }
  void sleepMs(int ms) override {
    sleptMs += ms;
    now += static_cast<uint32_t>(ms);
    if (maxSleepMs > 0 && sleptMs > maxSleepMs) throw std::runtime_error("FakeHost: wait never ended");
    // The engine works during a pause, as it does on the real hosts' event loop.
    if (duringSleep) duringSleep();
  }
  uint32_t tickCount() override { return now += tickStep; }
  void showMessage(const std::string& text1250) override {
    messages.push_back(text1250);
    if (onMessage) onMessage(text1250);
  }
  void setBusyCursor(bool busy) override { busyCursor = busy; }
  void stateChanged() override { ++changes; }

  std::vector<std::string> messages;
  std::vector<std::function<void()>> onPump;  // run once, at the next pump
  std::function<void()> everyPump;            // run at every pump
  std::function<void()> duringSleep;          // run in every sleepMs, after the clock moved
  std::function<void(const std::string&)> onMessage;
  int pumps = 0;
  int changes = 0;
  int64_t sleptMs = 0;
  int64_t maxSleepMs = 10 * 60 * 1000;  // a test wait that never ends fails instead of hanging
  uint32_t now = 1000;
  uint32_t tickStep = 1;  // every tickCount() advances the clock a little
  bool busyCursor = false;
};

}  // namespace trovik::testing
