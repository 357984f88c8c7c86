#include "config/session_grid.h"

#include <cmath>

#include "config/text.h"

namespace tervo::config {

namespace {

void SetRows(GeneralOptions& options, int sessions, int columns) {
  // Int() floors, so a count of 0 over 2 columns gives 0 rows, not 1.
  const double rows = std::floor(static_cast<double>(sessions - 1) / columns) + 1;
  options.SetText(Option::kDisplayRow, text::FromInt(static_cast<std::int64_t>(rows)));
}

}  // namespace

void SessionCountChanged(GeneralOptions& options, int sessionCount) {
  if (options.Text(Option::kSessionCt).empty()) return;
  int sessions = options.Number(Option::kSessionCt);
  if (sessions > sessionCount) {
    sessions = sessionCount;
    options.SetText(Option::kSessionCt, text::FromInt(sessions));
  }
  // A negative count has no square root; it gets no columns, like 0.
  const double root = sessions > 0 ? std::sqrt(static_cast<double>(sessions)) : 0.0;
  int columns = static_cast<int>(std::floor(root + 0.9));
  if (columns <= 0) columns = 0;
  options.SetText(Option::kDisplayCol, text::FromInt(columns));
  if (columns > 0) SetRows(options, sessions, columns);
}

void DisplayColumnsChanged(GeneralOptions& options) {
  if (options.Text(Option::kDisplayCol).empty()) return;
  const int columns = options.Number(Option::kDisplayCol);
  if (columns <= 0) return;
  SetRows(options, options.Number(Option::kSessionCt), columns);
}

}  // namespace tervo::config
