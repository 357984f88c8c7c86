// Clearing the counter days that passed while the gateway was not running.
#pragma once

#include <string>

#include "config/daily_counters.h"

namespace tervo::core {

// The LastDay setting as a day of month.  A value that is not a day 1..31
// (missing, damaged, hand-edited) counts as today, so nothing is cleared on
// a guess.
int LastDaySetting(const std::string& value, int today);

// Zeroes every day after lastDay up to and including today, wrapping from
// 31 to 1; nothing when they are equal.
void ClearElapsedDays(config::DayTable& table, int lastDay, int today);

}  // namespace tervo::core
