// Reading a host screen's own hints: which key leaves it ("F3=Exit" near the
// bottom), and whether a label is a numbered menu entry.
#pragma once

#include <string>

namespace tervo::editors {

// The escape key named near an exit word in the bottom rows of a screen
// image (ScreenAspect, 82 characters a row), as the key language writes it:
// "@3" for "F3=Exit", "@c" for "F12=Cancel".  exitWords is the
// comma-separated ExitWord option; a later word that matches overrides an
// earlier one.  Empty when none matches, and for a key number no 5250
// keyboard has ("F0", "F25").
std::string FindExitKey(const std::string& screenAspect, const std::string& exitWords);

// True for a label that reads as a numbered menu entry ("1. Orders",
// "12 - Stock"); false for plain labels ("Qty") and bare numbers.
bool IsNumberedMenuEntry(const std::string& text);

// Whether the text, less surrounding blanks, is a number: an optional sign,
// digits and at most one decimal point.
bool IsNumeric(const std::string& text);

}  // namespace tervo::editors
