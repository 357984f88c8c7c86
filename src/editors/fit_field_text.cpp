#include "editors/fit_field_text.h"

#include <algorithm>

#include "config/text.h"

namespace tervo::editors {

namespace {

// Trims blanks on both sides without a new string; fitting trims after
// every small edit.
void TrimInPlace(std::string& s) {
  const std::size_t end = s.find_last_not_of(' ');
  if (end == std::string::npos) {
    s.clear();
    return;
  }
  s.erase(end + 1);
  s.erase(0, s.find_first_not_of(' '));
}

bool IsSeparator(char c) { return c == ' ' || c == '/' || c == '.'; }

// Start and length of the longest word that does not start with a non-zero
// number (leftmost among equals); length 0 when there is none.
std::pair<std::size_t, std::size_t> LongestPlainWord(const std::string& s) {
  std::size_t bestStart = 0;
  std::size_t bestLength = 0;
  std::size_t i = 0;
  while (i < s.size()) {
    if (IsSeparator(s[i])) {
      ++i;
      continue;
    }
    const std::size_t start = i;
    while (i < s.size() && !IsSeparator(s[i])) ++i;
    const std::size_t length = i - start;
    if (length > bestLength &&
        text::LeadingNumber(std::string_view(s).substr(start, length)) == 0) {
      bestStart = start;
      bestLength = length;
    }
  }
  return {bestStart, bestLength};
}

}  // namespace

std::string FitFieldText(const std::string& text, int width, const config::GeneralOptions& options,
                         config::Log& log) {
  const std::size_t w = width > 0 ? static_cast<std::size_t>(width) : 0;
  std::string s = text;

  const std::string remove = options.Text("AutoRemove");
  const std::size_t removeCount = text::TrimBlanks(remove).size();
  for (std::size_t r = 0; r < removeCount && r < remove.size(); ++r) {
    TrimInPlace(s);
    std::replace(s.begin(), s.end(), remove[r], ' ');
  }

  TrimInPlace(s);
  for (std::size_t pair = s.find("  "); pair != std::string::npos; pair = s.find("  ")) {
    s.erase(pair, 1);
    TrimInPlace(s);
  }

  if (options.Checked("Cut")) return text::Left(s, w);

  // Every round either shortens a word that already has its mark or marks
  // one, and a word is marked once, so this settles well within the bound.
  const std::size_t maxRounds = 4 * s.size() + 16;
  std::size_t rounds = 0;
  while (s.size() > w) {
    if (++rounds > maxRounds) {
      log.WriteLog("Impossible to summarize !", true);
      return text::Left(text, w);
    }
    const auto [start, length] = LongestPlainWord(s);
    if (length == 0) {
      s = text::Left(s, w);
      break;
    }
    const std::size_t after = start + length;
    if (after < s.size() && s[after] == '.') {
      s.erase(after - 1, 1);  // already marked: one letter less
    } else {
      s += ' ';
      s[after] = '.';  // the separator (or the added blank) becomes the mark
    }
    TrimInPlace(s);
  }
  return text::Left(s, w);
}

}  // namespace tervo::editors
