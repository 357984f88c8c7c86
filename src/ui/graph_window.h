// "Graph": one bar per session for the screens (or errors) of today, the
// last seven days or the month.  The bars follow the window's width when it
// is resized.
#pragma once

#include <QWidget>
#include <functional>
#include <vector>

#include "config/daily_counters.h"
#include "config/screen_store.h"
#include "reports/usage_graph.h"

class QPushButton;

namespace tervo::ui {

class GraphCanvas;

class GraphWindow : public QWidget {
  Q_OBJECT

 public:
  struct Source {
    const config::DailyCounters* counters = nullptr;
    const config::ScreenStore* store = nullptr;  // terminal ids
    std::function<int()> sessions;               // sessions of the run
    std::function<int()> today;                  // day of the month
  };

  explicit GraphWindow(Source source, QWidget* parent = nullptr);

  // Opening presses the toggle once: utilization, today.
  void Open();
  void Show(reports::GraphPeriod period);
  void Toggle();

  const reports::UsageGraph& Model() const { return graph_; }
  const std::vector<std::int64_t>& Values() const { return values_; }
  // The bars as drawn at the window's width now.
  reports::GraphLayout Layout() const;
  QPushButton* Button(const char* name) const;

 private:
  Source source_;
  reports::UsageGraph graph_;
  std::vector<std::int64_t> values_;
  std::vector<std::string> ids_;
  GraphCanvas* canvas_;
};

}  // namespace tervo::ui
