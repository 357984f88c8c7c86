#include "core/elapsed_days.h"

#include "config/text.h"

namespace tervo::core {

int LastDaySetting(const std::string& value, int today) {
  std::int32_t day = 0;
  std::string err;
  if (!text::ToInt32(value, &day, &err) || day < 1 || day > 31) return today;
  return day;
}

void ClearElapsedDays(config::DayTable& table, int lastDay, int today) {
  if (today == lastDay || today < 1 || today > 31) return;
  int d = lastDay + 1;
  if (d >= 32 || d < 1) d = 1;
  for (;;) {
    table[static_cast<std::size_t>(d)].fill(0);
    if (d == today) return;
    d = d + 1;
    if (d >= 32) d = 1;
  }
}

}  // namespace tervo::core
