#include "platform/radio/screen_program.h"

namespace tervo::radio {

bool CountsAsItem(OpCode code) {
  return code == OpCode::kSay || code == OpCode::kGetCheckEnter || code == OpCode::kGetText;
}

std::int32_t ReadValueOf(const Answer& answer) {
  if (answer.chosen > 0 && (answer.sendKey || answer.chosen > kSendKeyOffset)) {
    return answer.chosen + kSendKeyOffset;
  }
  return answer.chosen;
}

}  // namespace tervo::radio
