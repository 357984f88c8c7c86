// Title lines on the terminal: centred on the display line and framed by two
// marker characters that the terminal shows as the title's edges.
#pragma once

#include <string>

namespace tervo::editors {

constexpr char kTitleStart = static_cast<char>(254);
constexpr char kTitleEnd = static_cast<char>(253);

// Trims blanks, turns both marker characters into blanks, trims again.
std::string StripTitleMarkers(const std::string& text);

// The text cut to displayLen, stripped of old markers, centred in displayLen
// characters (halves of the spare room round to even) and framed by the
// markers: always displayLen + 2 characters.
std::string CenterTitle(const std::string& text, int displayLen);

}  // namespace tervo::editors
