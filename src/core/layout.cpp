#include "core/layout.h"

#include <algorithm>
#include <cmath>

#include "config/text.h"

namespace tervo::core {

namespace {
int Round(double v) { return static_cast<int>(text::RoundHalfEven(v)); }
}  // namespace

Layout ArrangeAs400Windows(const LayoutInput& in) {
  Layout out;
  const int perPage = in.sessionsPerPage;
  out.scrollMax = perPage > 0 ? std::max(0, (in.sessionCount - 1) / perPage) : 0;
  out.logo = {Round(in.scaleWidth / 2.0 - in.logoWidth / 2.0),
              Round(in.scaleHeight / 2.0 - in.logoHeight / 2.0), in.logoWidth, in.logoHeight};

  // The status line sits on the bottom edge whatever else happens.
  const int labelWidth = Round(in.scaleWidth / 6.0);
  out.label1 = {0, in.scaleHeight - in.labelHeight, labelWidth, in.labelHeight};
  out.label2 = {labelWidth, in.scaleHeight - in.labelHeight, labelWidth, in.labelHeight};
  out.scroll = {2 * labelWidth, in.scaleHeight - in.scrollHeight, Round(in.scaleWidth * 2.0 / 3.0),
                in.scrollHeight};

  if (perPage <= 0 || in.minimised) return out;
  const int rows = std::max(1, in.displayRow);
  const int cols = std::max(1, in.displayCol);
  const int cellHeight = Round(static_cast<double>(in.scaleHeight - in.scrollHeight) / rows);
  const int cellWidth = Round(static_cast<double>(in.scaleWidth) / cols);
  for (int j = 0; j < perPage; ++j) {
    const int s = in.page * perPage + j;
    if (s >= in.sessionCount) continue;
    out.displays.push_back(
        {s, {cellWidth * (j % cols), (j / cols) * cellHeight, cellWidth - 15, cellHeight - 15}});
  }
  out.selectSingle = perPage == 1 && !out.displays.empty();
  out.visible = !in.showLogo;
  return out;
}

}  // namespace tervo::core
