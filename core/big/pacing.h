#pragma once

// How the big-number loops ask their Work whether to stop, and report where they stand, about
// every millisecond: by counting steps of known cost (StepPacer), or by the clock (ClockPacer).
// A long loop that asked the clock at every step of a few nanoseconds would spend its time there;
// one that asked too seldom could not be stopped at once.

#include <chrono>
#include <cstddef>
#include <cstdint>

#include "core/work.h"

namespace brindaq {

// For loops whose every step is a product modulo a number of `limbs` limbs, about k^2 word
// products, some 10^5 of which fit a millisecond: asks and reports once every so many steps.
class StepPacer {
 public:
  StepPacer(Work& work, std::size_t limbs, std::uint64_t steps_per_limb_squared = 100000)
      : work_(work), every_(1 + steps_per_limb_squared / (limbs * limbs)) {}

  // Called at every step; true when the work must stop. `progress` is reported when asked.
  bool Stopped(const Progress& progress) {
    if (--countdown_ > 0) {
      return false;
    }
    countdown_ = every_;
    if (work_.Stopped()) {
      return true;
    }
    work_.Report(progress);
    return false;
  }

 private:
  Work& work_;
  std::uint64_t every_;
  std::uint64_t countdown_ = every_;
};

// For loops whose steps take a millisecond or less, of unknown length: asks at every step,
// reports at most once a millisecond.
class ClockPacer {
 public:
  explicit ClockPacer(Work& work) : work_(work) {}

  bool Stopped(const Progress& progress) {
    if (work_.Stopped()) {
      return true;
    }
    const auto now = Work::Clock::now();
    if (now - last_report_ >= std::chrono::milliseconds(1)) {
      last_report_ = now;
      work_.Report(progress);
    }
    return false;
  }

 private:
  Work& work_;
  Work::Clock::time_point last_report_ = Work::Clock::now();
};

}  // namespace brindaq
