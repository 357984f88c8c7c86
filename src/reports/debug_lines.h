// "Debug Window": per session, the last thing the gateway did on the host
// side (the screen it identified) and on the terminal side (the screen it
// sent, the keys it answered with).  The gateway writes the lines; the
// window shows one line per session in each of its two lists.
#pragma once

#include <string>
#include <vector>

#include "core/gateway_ui.h"

namespace tervo::reports {

class DebugLines {
 public:
  // One line per session 0..sessions-1 in each list, all empty.
  explicit DebugLines(int sessions = 1);

  int Sessions() const { return static_cast<int>(host_.size()); }
  // Lines for sessions outside 0..Sessions()-1 (a terminal no session
  // serves) are dropped.
  void Set(core::DebugList list, int session, const std::string& line);
  const std::vector<std::string>& Lines(core::DebugList list) const {
    return list == core::DebugList::kHost ? host_ : terminal_;
  }

 private:
  std::vector<std::string> host_;
  std::vector<std::string> terminal_;
};

}  // namespace tervo::reports
