#include "reports/debug_lines.h"

#include <algorithm>

namespace tervo::reports {

DebugLines::DebugLines(int sessions)
    : host_(static_cast<std::size_t>(std::max(sessions, 0))),
      terminal_(static_cast<std::size_t>(std::max(sessions, 0))) {}

void DebugLines::Set(core::DebugList list, int session, const std::string& line) {
  std::vector<std::string>& lines = list == core::DebugList::kHost ? host_ : terminal_;
  if (session < 0 || session >= static_cast<int>(lines.size())) return;
  lines[static_cast<std::size_t>(session)] = line;
}

}  // namespace tervo::reports
