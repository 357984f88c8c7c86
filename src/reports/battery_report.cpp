#include "reports/battery_report.h"

#include <algorithm>

#include "config/text.h"

namespace tervo::reports {

BatteryReport UpdateBatteryReport(const config::ScreenStore& store,
                                  screens::SessionState& sessions) {
  BatteryReport r;
  for (screens::Session& session : sessions.records) {
    std::int32_t& level = session.TerminalScreen.BatteryLevel;
    level = std::clamp(level, kBatteryScaleMin, kBatteryScaleMax);
  }
  int top = kBatteryFirstRowTop;
  for (int j = 0; j < config::kSessionSlots; ++j) {
    const auto u = static_cast<std::size_t>(j);
    if (text::TrimBlanks(store.TerminalIDDef[u]).empty()) continue;
    r.rows.push_back({j, store.TerminalIDDef[u], sessions[j].TerminalScreen.BatteryLevel, top});
    top += kBatteryRowHeight;
  }
  r.windowHeight = top + 1000;
  r.buttonsTop = top + 200;
  return r;
}

}  // namespace tervo::reports
