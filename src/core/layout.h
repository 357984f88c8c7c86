// Where the session displays go in the main window: a page of SessionCt
// displays on a DisplayRow x DisplayCol grid, the scroll bar that pages
// through the sessions and the two labels beside it.  Pure arithmetic on
// sizes (twips, like the stored options), so the window code only applies
// the rectangles.
#pragma once

#include <vector>

namespace tervo::core {

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const Rect&) const = default;
};

struct LayoutInput {
  int scaleWidth = 0;  // client area
  int scaleHeight = 0;
  int scrollHeight = 0;  // height of the scroll bar
  int labelHeight = 0;   // height of the two labels
  int logoWidth = 0;
  int logoHeight = 0;
  int sessionCount = 1;
  int sessionsPerPage = 1;  // SessionCt option
  int displayRow = 1;       // DisplayRow option
  int displayCol = 1;       // DisplayCol option
  int page = 0;             // the scroll bar's value
  bool minimised = false;
  bool showLogo = false;
};

struct PlacedDisplay {
  int session = 0;
  Rect rect;
  bool operator==(const PlacedDisplay&) const = default;
};

struct Layout {
  int scrollMax = 0;  // further pages
  Rect logo;
  // Displays of the page, in grid order; empty when SessionCt is 0 or less
  // or the window is minimised.  With the logo on they are placed but stay
  // hidden (visible is false).
  std::vector<PlacedDisplay> displays;
  bool visible = false;
  // SessionCt 1: the one display is the selected one.
  bool selectSingle = false;
  Rect label1;
  Rect label2;
  Rect scroll;
};

// Rows and columns below 1 count as 1 (a fresh dialog leaves DisplayRow
// empty), so the grid never divides by zero.
Layout ArrangeAs400Windows(const LayoutInput& in);

}  // namespace tervo::core
