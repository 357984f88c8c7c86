#include "reports/usage_graph.h"

#include <algorithm>
#include <cmath>

#include "config/text.h"

namespace tervo::reports {

namespace {

std::size_t U(int i) { return static_cast<std::size_t>(i); }

constexpr int kAxisLeft = 100;
constexpr int kAxisWidth = 1000;
constexpr int kAxisStep = 550;
constexpr int kBarLabelWidth = 800;

int Day(int today) { return std::clamp(today, 1, 31); }

}  // namespace

std::array<int, 7> Last7Days(int today) {
  std::array<int, 7> days{};
  int d = Day(today);
  for (int& day : days) {
    day = d;
    d = d == 1 ? 31 : d - 1;
  }
  return days;
}

// Sums are 64-bit: a month of full 32-bit counts does not fit 32 bits.
std::vector<std::int64_t> GraphValues(const config::DayTable& table, int sessions, int today,
                                      GraphPeriod period) {
  const int n = std::clamp(sessions, 0, config::kCounterSlots);
  std::vector<std::int64_t> values(U(n), 0);
  for (int i = 0; i < n; ++i) {
    std::int64_t& v = values[U(i)];
    switch (period) {
      case GraphPeriod::kToday:
        v = table[U(Day(today))][U(i)];
        break;
      case GraphPeriod::kLast7Days:
        for (int d : Last7Days(today)) v += table[U(d)][U(i)];
        break;
      case GraphPeriod::kLast31Days:
        for (int d = 1; d <= 31; ++d) v += table[U(d)][U(i)];
        break;
    }
  }
  return values;
}

GraphLayout LayOutGraph(const std::vector<std::int64_t>& values,
                        const std::vector<std::string>& terminalIds, int windowWidth) {
  GraphLayout g;
  for (std::int64_t v : values) g.m = std::max(g.m, v);
  const int n = static_cast<int>(values.size());
  if (n > 0)
    g.barWidth =
        std::max(0, static_cast<int>(std::floor((windowWidth - kGraphLeft) / double(n) / 1.5)));
  double x = kGraphLeft;
  for (int j = 0; j < n; ++j) {
    GraphBar b;
    b.left = static_cast<int>(x);
    b.width = g.barWidth;
    b.colour = static_cast<std::uint32_t>(100 + 123456 * j);
    // A negative count (a damaged counter file) draws no bar rather than
    // one hanging below the base line.
    const double h = static_cast<double>(std::max<std::int64_t>(values[U(j)], 0)) /
                     static_cast<double>(g.m) * kGraphFullHeight;
    b.height = static_cast<int>(text::RoundHalfEven(h));
    b.top = kGraphBase - b.height;
    b.label = j < static_cast<int>(terminalIds.size()) ? terminalIds[U(j)] : std::string();
    b.labelLeft = b.left;
    b.labelTop = kGraphLabelTop;
    b.labelWidth = kBarLabelWidth;
    g.bars.push_back(b);
    x = text::RoundHalfEven(x + 1.5 * g.barWidth);
  }
  for (int k = 0; k < 10; ++k) {
    GraphAxisLabel& a = g.axis[U(k)];
    a.left = kAxisLeft;
    a.width = kAxisWidth;
    a.top = kGraphFullHeight - kAxisStep * k;
    a.text = std::to_string((k + 1) * g.m / 10);
  }
  return g;
}

void UsageGraph::Open() {
  toggle_ = "Errors";
  Toggle();
}

void UsageGraph::Toggle() {
  toggle_ = toggle_ != "Errors" ? "Errors" : "Utilization";
  period_ = GraphPeriod::kToday;
}

std::string UsageGraph::Caption() const {
  switch (period_) {
    case GraphPeriod::kToday:
      return toggle_ + " Screens / Today";
    case GraphPeriod::kLast7Days:
      return toggle_ + " Screens / Last 7 Days";
    case GraphPeriod::kLast31Days:
      return toggle_ + " Screens / Last 31 Days";
  }
  return toggle_;
}

}  // namespace tervo::reports
