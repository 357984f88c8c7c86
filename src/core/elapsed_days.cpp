#include "core/elapsed_days.h"

#include "config/text.h"

namespace tervo::core {

int LastDaySetting(const std::string& value, int today) {
  std::int32_t day = 0;
  std::string err;
  if (!text::ToInt32(value, &day, &err) || day < 1 || day > 31) return today;
  return day;
}

}  // namespace tervo::core
