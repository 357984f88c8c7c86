// "Battery Voltage report": one row per session slot that has a terminal id,
// its last battery reading on a scale from 4300 to 5200 millivolts.  Rows of
// slots without an id are left out, so the rows close up.  Lengths are in
// twips.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/screen_store.h"
#include "screens/session_state.h"

namespace tervo::reports {

constexpr std::int32_t kBatteryScaleMin = 4300;
constexpr std::int32_t kBatteryScaleMax = 5200;
constexpr int kBatteryFirstRowTop = 1000;
constexpr int kBatteryRowHeight = 450;
constexpr int kBatteryLabelLeft = 360;
constexpr int kBatteryBarLeft = 2280;

struct BatteryRow {
  int slot = 0;
  std::string terminalId;
  std::int32_t value = kBatteryScaleMin;
  int top = 0;
};

struct BatteryReport {
  std::vector<BatteryRow> rows;
  int windowHeight = 0;
  int buttonsTop = 0;
};

// Opening and "Update": every slot's stored reading is clamped into the
// scale (the stored value changes: a terminal that reported 4100 keeps
// 4300), and a row is made for each slot whose trimmed terminal id is not
// empty.
BatteryReport UpdateBatteryReport(const config::ScreenStore& store,
                                  screens::SessionState& sessions);

}  // namespace tervo::reports
