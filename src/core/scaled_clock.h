// A clock that runs faster than the wall clock by a fixed factor, so that
// end-to-end runs see the gateway's seconds-long waits pass in milliseconds
// while everything else (sockets, timers) stays real.
#pragma once

#include "platform/os/clock.h"

namespace tervo::core {

class ScaledClock : public os::Clock {
 public:
  // factor 20: one real second reads as twenty.
  ScaledClock(double factor, os::LocalTime start);
  std::int64_t MonotonicMs() const override;
  os::LocalTime Now() const override;
  double Factor() const { return factor_; }

 private:
  double factor_;
  os::VirtualClock calendar_;
  os::SystemClock real_;
  std::int64_t origin_;
};

}  // namespace tervo::core
