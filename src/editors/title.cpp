#include "editors/title.h"

#include <algorithm>

#include "config/text.h"

namespace tervo::editors {

std::string StripTitleMarkers(const std::string& text) {
  std::string s = text::TrimBlanks(text);
  std::replace(s.begin(), s.end(), kTitleStart, ' ');
  std::replace(s.begin(), s.end(), kTitleEnd, ' ');
  return text::TrimBlanks(s);
}

std::string CenterTitle(const std::string& text, int displayLen) {
  const int w = std::max(displayLen, 0);
  const std::string s = StripTitleMarkers(text::Left(text, static_cast<std::size_t>(w)));
  const int room = w - static_cast<int>(s.size());
  const int before = std::max(0, static_cast<int>(text::RoundHalfEven(room / 2.0)));
  std::string centred = std::string(static_cast<std::size_t>(before), ' ') + s;
  centred = text::PadRight(centred, static_cast<std::size_t>(w));
  return kTitleStart + centred + kTitleEnd;
}

}  // namespace tervo::editors
