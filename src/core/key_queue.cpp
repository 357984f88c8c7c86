#include "core/key_queue.h"

#include <cstdint>

#include "config/text.h"

namespace tervo::core {

QueuePiece TakePiece(std::string& queue) {
  const auto comma = queue.find(',');
  if (comma == std::string::npos) {
    QueuePiece p{queue, true};
    queue.clear();
    return p;
  }
  QueuePiece p{queue.substr(0, comma), false};
  queue.erase(0, comma + 1);
  return p;
}

RepeatKeys BuildRepeatKeys(const config::RepeatRule& rule, const std::string& sessionUser) {
  std::int64_t count = 0;
  if (rule.Counter == 1) {
    count = rule.CounterVal +
            static_cast<std::int64_t>(text::RoundHalfEven(text::LeadingNumber(sessionUser)));
  } else if (rule.Counter == 2) {
    count = rule.CounterVal;
  }
  const std::string keys1 = text::TrimBlanks(rule.Keys1);
  const std::string keys2 = text::TrimBlanks(rule.Keys2);
  std::string keys;
  for (int step = 1; count > rule.IfCounter; ++step) {
    if (step > kMaxRepeatSteps) return {"", true};
    keys += keys1 + ",";
    count -= rule.SubCounter1;
  }
  for (int step = 1; count > 0; ++step) {
    if (step > kMaxRepeatSteps) return {"", true};
    keys += keys2 + ",";
    count -= rule.SubCounter2;
  }
  keys = text::TrimBlanks(keys);
  if (!keys.empty() && keys.back() == ',') keys.pop_back();
  const std::string tkeys = text::TrimBlanks(rule.TKeys);
  if (!keys.empty() && !tkeys.empty()) keys += ",";
  keys += tkeys;
  return {keys, false};
}

}  // namespace tervo::core
