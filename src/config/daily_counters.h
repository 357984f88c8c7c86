// Screens delivered and errors, per day of month (0..31) and session slot
// (0..32).  Stored beside the configuration file as ".TVH" and ".TVI".
#pragma once

#include <array>
#include <cstdint>

namespace tervo::config {

constexpr int kCounterDays = 32;
constexpr int kCounterSlots = 33;

using DayTable = std::array<std::array<std::int32_t, kCounterSlots>, kCounterDays>;

struct DailyCounters {
  DayTable DailyScreens{};
  DayTable DailyErrors{};
};

}  // namespace tervo::config
