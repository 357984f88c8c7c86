#include "config/session_grid.h"

#include <cmath>

#include "config/text.h"

namespace tervo::config {

namespace {

void SetRows(GeneralOptions& options, int sessions, int columns) {
  // Int() floors, so a count of 0 over 2 columns gives 0 rows, not 1.
  const double rows = std::floor(static_cast<double>(sessions - 1) / columns) + 1;
  options.SetText("DisplayRow", text::FromInt(static_cast<std::int64_t>(rows)));
}

}  // namespace

void SessionCountChanged(GeneralOptions& options, int sessionCount) {
  if (options.Text("SessionCt").empty()) return;
  int sessions = options.Number("SessionCt");
  if (sessions > sessionCount) {
    sessions = sessionCount;
    options.SetText("SessionCt", text::FromInt(sessions));
  }
  // A negative count has no square root; it gets no columns, like 0.
  const double root = sessions > 0 ? std::sqrt(static_cast<double>(sessions)) : 0.0;
  int columns = static_cast<int>(std::floor(root + 0.9));
  if (columns <= 0) columns = 0;
  options.SetText("DisplayCol", text::FromInt(columns));
  if (columns > 0) SetRows(options, sessions, columns);
}

void DisplayColumnsChanged(GeneralOptions& options) {
  if (options.Text("DisplayCol").empty()) return;
  const int columns = options.Number("DisplayCol");
  if (columns <= 0) return;
  SetRows(options, options.Number("SessionCt"), columns);
}

}  // namespace tervo::config
