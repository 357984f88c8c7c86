#include "platform/radio/screen_program.h"

namespace tervo::radio {

bool CountsAsItem(OpCode code) {
  return code == OpCode::kSay || code == OpCode::kGetCheckEnter || code == OpCode::kGetText;
}

}  // namespace tervo::radio
