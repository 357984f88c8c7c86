#include "core/scaled_clock.h"

namespace tervo::core {

ScaledClock::ScaledClock(double factor, os::LocalTime start)
    : factor_(factor > 0 ? factor : 1.0), calendar_(start), origin_(real_.MonotonicMs()) {}

std::int64_t ScaledClock::MonotonicMs() const {
  return static_cast<std::int64_t>(static_cast<double>(real_.MonotonicMs() - origin_) * factor_);
}

os::LocalTime ScaledClock::Now() const {
  os::VirtualClock c = calendar_;
  c.Advance(MonotonicMs());
  return c.Now();
}

}  // namespace tervo::core
