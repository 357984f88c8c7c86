// Blank trimming, cutting and upper-casing of 8-bit Windows-1252 text.  They
// live here, below every other library, so that the platform libraries and
// the configuration's text rules (config/text.h) share one version.  Blanks
// are spaces only: tabs and other control characters are data.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tervo::os {

// s without its leading and trailing blanks, as a view into s.
std::string_view BlankTrimmed(std::string_view s);

std::string TrimBlanks(std::string_view s);
std::string TrimLeftBlanks(std::string_view s);
std::string TrimRightBlanks(std::string_view s);

// The first n characters of s (all of s when shorter).
std::string Left(std::string_view s, std::size_t n);
// The last n characters of s (all of s when shorter).
std::string Right(std::string_view s, std::size_t n);
// s cut or padded with pad to exactly n characters.
std::string PadRight(std::string_view s, std::size_t n, char pad = ' ');

// ASCII and Windows-1252 letters.
std::string ToUpper(std::string_view s);

}  // namespace tervo::os
