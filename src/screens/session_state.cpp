#include "screens/session_state.h"

#include <algorithm>

#include "config/text.h"

namespace tervo::screens {

int FindSession(const config::ScreenStore& store, const SessionState& sessions,
                const std::string& terminalId) {
  const int count = std::clamp(sessions.SessionCount, 0, kSessionSlots - 1);
  const std::string id = text::TrimRightBlanks(terminalId);
  if (id.empty()) return count;
  for (int i = 0; i < count; ++i) {
    if (text::TrimRightBlanks(store.TerminalIDDef[static_cast<std::size_t>(i)]) == id) return i;
  }
  return count;
}

}  // namespace tervo::screens
