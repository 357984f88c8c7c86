#include "screens/session_state.h"

#include <algorithm>

#include "config/text.h"

namespace tervo::screens {

std::string NormalTerminalId(std::string_view id) { return text::TrimRightBlanks(id); }

int FindSession(const config::ScreenStore& store, const SessionState& sessions,
                const std::string& terminalId) {
  const int count = std::clamp(sessions.SessionCount, 0, kSessionSlots - 1);
  const std::string id = NormalTerminalId(terminalId);
  if (id.empty()) return count;
  for (int i = 0; i < count; ++i) {
    if (NormalTerminalId(store.TerminalIDDef[static_cast<std::size_t>(i)]) == id) return i;
  }
  return count;
}

}  // namespace tervo::screens
