#include "editors/exit_key.h"

#include <cctype>

#include "config/text.h"
#include "screens/legend.h"

namespace tervo::editors {

namespace {

// Bottom of the screen image: from the end of row 20 through column 73 of
// row 24, where host applications put their function-key hints.
constexpr std::size_t kHintStart = 1640 - 1;
constexpr std::size_t kHintLength = 320;
// How far before an exit word its key number may stand ("F12=Exit").
constexpr std::size_t kKeyReach = 11;

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string FindExitKey(const std::string& screenAspect, const std::string& exitWords) {
  const std::string area =
      Lower(kHintStart < screenAspect.size() ? screenAspect.substr(kHintStart, kHintLength) : "");
  const std::string list = Lower(exitWords) + ",";
  std::string key;
  std::size_t start = 0;
  while (start < list.size()) {
    const std::size_t comma = list.find(',', start);
    const std::string word = list.substr(start, comma - start);
    if (word.empty()) break;  // two commas in a row or the list's end
    start = comma + 1;
    const std::size_t p = area.find(word);
    if (p == std::string::npos) continue;
    // Nearest digit at or before the word, within reach.
    for (std::size_t back = 0; back <= kKeyReach && back <= p; ++back) {
      const std::size_t i = p - back;
      if (!IsDigit(area[i])) continue;
      const bool twoDigits = i > 0 && IsDigit(area[i - 1]);
      const int number = twoDigits ? (area[i - 1] - '0') * 10 + (area[i] - '0') : area[i] - '0';
      // "F12=Exit" is F12, which the key language writes "@c".
      key = screens::FunctionKeyMnemonic(number);
      break;
    }
  }
  return key;
}

bool IsNumeric(const std::string& text) {
  double unused = 0;
  return text::ToDouble(text, &unused, nullptr);
}

bool IsNumberedMenuEntry(const std::string& text) {
  std::size_t k = 0;
  while (k < 10 && k < text.size() && IsNumeric(text.substr(0, k + 1))) ++k;
  if (k == 0) return false;
  // A letter two or three places after the number: "1. Orders", "12 - Stock".
  for (std::size_t pos : {k + 3, k + 4}) {
    if (pos > text.size()) continue;  // a missing character counts as below "A"
    const auto c = static_cast<unsigned char>(text::ToUpper(text.substr(pos - 1, 1))[0]);
    if (c >= 'A') return true;
  }
  return false;
}

}  // namespace tervo::editors
