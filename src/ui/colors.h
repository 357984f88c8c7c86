// The colours of the main window that are not the style's own, chosen so
// that text and the selection stand out: every text colour has a contrast
// of at least 4.5:1 on its background (WCAG 2 relative luminance).
#pragma once

#include <QColor>

namespace tervo::ui {

// The main window's background around the session displays.
inline const QColor kWindowBackground(0x40, 0x40, 0x40);
// The terminal id and user labels of the status line, and the page text.
inline const QColor kStatusText(0xF2, 0xF2, 0xF2);
inline const QColor kStatusBackground(0x20, 0x20, 0x20);
// The frame around the selected session display.
inline const QColor kSelectionFrame(0xFF, 0xC8, 0x3C);

// The contrast ratio of two colours, 1 to 21.
double ContrastRatio(const QColor& a, const QColor& b);

}  // namespace tervo::ui
