// The LastDay setting, read for clearing the counter days that passed
// while the gateway was not running (config::ClearElapsedDays).
#pragma once

#include <string>

namespace tervo::core {

// The LastDay setting as a day of month.  A value that is not a day 1..31
// (missing, damaged, hand-edited) counts as today, so nothing is cleared on
// a guess.
int LastDaySetting(const std::string& value, int today);

}  // namespace tervo::core
