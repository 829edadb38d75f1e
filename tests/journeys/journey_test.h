#pragma once
// The GoogleTest side of the journeys: one display and demo site for the
// program, one trip per journey, a screenshot beside the test logs when a
// journey fails, and a limit on each journey's time.

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "driver/journey.h"

#include <ostream>

// Failure messages show texts as a person reads them.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace trovik::journeys {

using namespace std::chrono_literals;

inline Scene& SharedScene() {
  static Scene scene;
  return scene;
}

class Journey : public ::testing::Test {
 protected:
  // Longer than any journey takes on a busy two-core machine.
  static constexpr auto kLimit = 180s;

  void SetUp() override {
    if (!SharedScene().ready()) GTEST_FAIL() << "no Xvfb or demo site";
    watchdog_ = std::thread([this] {
      std::unique_lock lock(mutex_);
      if (!done_cv_.wait_for(lock, kLimit, [this] { return done_; }) && trip_) {
        // Out of time: the picture first, then the window goes, which ends every wait.
        timedOut_ = true;
        trip_->saveScreen(Name() + "-timeout");
        kill(-trip_->window().pid(), SIGKILL);
      }
    });
  }

  void TearDown() override {
    {
      std::lock_guard lock(mutex_);
      done_ = true;
    }
    done_cv_.notify_all();
    watchdog_.join();
    EXPECT_FALSE(timedOut_) << "the journey took longer than " << kLimit.count() << " s";
    if (HasFailure() && trip_) {
      const std::string shot = trip_->saveScreen(Name());
      ADD_FAILURE() << "screen: " << shot << "\nwindow's output:\n" << trip_->logTail();
    }
    std::lock_guard lock(mutex_);
    trip_.reset();
  }

  // Starts the window for this journey.
  Trip& begin(TripOptions options = {}) {
    {
      std::lock_guard lock(mutex_);
      trip_ = std::make_unique<Trip>(SharedScene(), options);
    }
    if (!trip_->start()) ADD_FAILURE() << "the window did not show up";
    return *trip_;
  }
  Trip& trip() { return *trip_; }
  Person& me() { return trip_->person(); }
  const std::string& site() { return SharedScene().address(); }

  static std::string Name() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string("journey-") + info->test_suite_name() + "-" + info->name();
  }

 private:
  std::unique_ptr<Trip> trip_;
  std::thread watchdog_;
  std::mutex mutex_;
  std::condition_variable done_cv_;
  bool done_ = false;
  bool timedOut_ = false;
};

// Polls with a message on failure.
#define WAIT_UNTIL(person, condition, limit) \
  EXPECT_TRUE((person).waitFor([&] { return (condition); }, (limit))) << "not seen: " #condition

}  // namespace trovik::journeys
