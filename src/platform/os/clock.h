// Time as the gateway sees it.  Everything that reads the time or waits takes
// a Clock, so tests run in virtual time and never sleep.
#pragma once

#include <cstdint>

namespace tervo::os {

// A local calendar time, as the operator's wall clock shows it.
struct LocalTime {
  int year = 2000;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds on a clock that never goes back and ignores midnight and
  // daylight-saving changes; only differences are meaningful.
  virtual std::int64_t MonotonicMs() const = 0;
  virtual LocalTime Now() const = 0;
};

// The machine's clocks.
class SystemClock : public Clock {
 public:
  std::int64_t MonotonicMs() const override;
  LocalTime Now() const override;
};

// A clock that moves only when told to; Now() advances with it.
class VirtualClock : public Clock {
 public:
  explicit VirtualClock(LocalTime start = {}) : start_(start) {}
  std::int64_t MonotonicMs() const override { return ms_; }
  LocalTime Now() const override;
  void Advance(std::int64_t ms) { ms_ += ms; }
  void SetNow(LocalTime t) {
    start_ = t;
    base_ = ms_;
  }

 private:
  LocalTime start_;
  std::int64_t ms_ = 0;
  std::int64_t base_ = 0;
};

}  // namespace tervo::os
