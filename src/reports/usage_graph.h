// "Graph": one bar per session for the screens its terminal handled (or the
// errors it had) today, in the last seven days or over the month, read from
// the daily counters.  Lengths are in twips, as the window lays them out.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "config/daily_counters.h"

namespace tervo::reports {

enum class GraphPeriod { kToday, kLast7Days, kLast31Days };

// The days of "Last 7 Days" from today back; after day 1 comes day 31, in
// every month.  On the 3rd: 3, 2, 1, 31, 30, 29, 28.
std::array<int, 7> Last7Days(int today);

// Per session slot 0..sessions-1, the period's sum from the table.
std::vector<std::int64_t> GraphValues(const config::DayTable& table, int sessions, int today,
                                      GraphPeriod period);

struct GraphBar {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  std::uint32_t colour = 0;  // 0x00BBGGRR
  std::string label;         // the session's terminal id
  int labelLeft = 0;
  int labelTop = 0;
  int labelWidth = 0;
};

struct GraphAxisLabel {
  int left = 0;
  int top = 0;
  int width = 0;
  std::string text;
};

struct GraphLayout {
  std::int64_t m = 1;  // the largest value, at least 1
  int barWidth = 0;
  std::vector<GraphBar> bars;
  std::array<GraphAxisLabel, 10> axis;
};

constexpr int kGraphLeft = 1200;        // where the first bar starts
constexpr int kGraphFullHeight = 5500;  // a bar of value m
constexpr int kGraphBase = 5740;        // the bars' bottom edge
constexpr int kGraphLabelTop = 6000;    // terminal ids under the bars

// Bars for the values (one per session) with their terminal ids under them,
// in a window windowWidth twips wide, and the ten value-axis labels.
GraphLayout LayOutGraph(const std::vector<std::int64_t>& values,
                        const std::vector<std::string>& terminalIds, int windowWidth);

// The window's state: which table the toggle names and which period shows.
class UsageGraph {
 public:
  UsageGraph() = default;
  // Opening presses the toggle once: "Utilization", today.
  void Open();
  // The toggle: "Errors" <-> "Utilization", then today.
  void Toggle();
  void Show(GraphPeriod period) { period_ = period; }

  const std::string& ToggleCaption() const { return toggle_; }
  bool ShowsErrors() const { return toggle_ == "Errors"; }
  GraphPeriod Period() const { return period_; }
  // "Utilization Screens / Today", "Errors Screens / Last 7 Days", ...
  std::string Caption() const;

  const config::DayTable& Table(const config::DailyCounters& counters) const {
    return ShowsErrors() ? counters.DailyErrors : counters.DailyScreens;
  }

 private:
  std::string toggle_ = "Errors";
  GraphPeriod period_ = GraphPeriod::kToday;
};

}  // namespace tervo::reports
