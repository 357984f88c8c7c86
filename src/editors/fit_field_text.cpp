#include "editors/fit_field_text.h"

#include <algorithm>
#include <cctype>

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

// The characters of "AutoRemove" become blanks, then blank runs collapse.
std::string Clean(const std::string& text, const config::GeneralOptions& options) {
  std::string s = text;
  const std::string remove = options.Text(config::Option::kAutoRemove);
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
  return s;
}

bool IsEntryNumber(const std::string& word) {
  std::size_t digits = 0;
  while (digits < word.size() && word[digits] >= '0' && word[digits] <= '9') ++digits;
  return digits > 0 &&
         (digits == word.size() || (digits + 1 == word.size() && word[digits] == '.'));
}

}  // namespace

std::string FitFieldText(const std::string& text, int width, const config::GeneralOptions& options,
                         config::Log& log) {
  const std::size_t w = width > 0 ? static_cast<std::size_t>(width) : 0;
  std::string s = Clean(text, options);
  if (options.Checked(config::Option::kCut)) return text::Left(s, w);

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

std::string FitWords(const std::string& text, int width, const config::GeneralOptions& options) {
  const std::size_t w = width > 0 ? static_cast<std::size_t>(width) : 0;
  const std::string s = Clean(text, options);
  if (s.size() <= w || options.Checked(config::Option::kCut)) return text::Left(s, w);

  // Pieces: a word with the blank before it, or the part of a word after a
  // "/" or "-" that ends the piece before it.
  std::string out;
  std::size_t i = 0;
  bool onlyNumber = true;  // nothing kept yet but an entry number
  while (i < s.size()) {
    std::size_t end = i;
    if (s[end] == ' ') ++end;
    while (end < s.size() && s[end] != ' ' && s[end] != '/' && s[end] != '-') ++end;
    if (end < s.size() && s[end] != ' ') ++end;  // the "/" or "-" stays with its word
    const std::string piece = s.substr(i, end - i);
    if (out.size() + piece.size() <= w) {
      out += piece;
      if (!IsEntryNumber(text::TrimBlanks(piece))) onlyNumber = false;
      i = end;
      continue;
    }
    if (onlyNumber) {
      // The word does not fit on its own: cut it, and mark the cut.
      const std::size_t room = w - out.size();
      const std::size_t blank = piece[0] == ' ' ? 1 : 0;
      if (room >= blank + 2) {
        out += piece.substr(0, room - 1) + ".";
      } else if (out.empty()) {
        out = text::Left(piece, w);
      }
    }
    break;
  }
  // A word kept up to its "/" or "-" loses it when the rest was cut
  // ("Program/procedure" gives "Program"); a line of dashes stays one.
  const std::size_t n = out.size();
  if (n >= 2 && (out[n - 1] == '/' || out[n - 1] == '-') &&
      std::isalnum(static_cast<unsigned char>(out[n - 2])))
    out.pop_back();
  TrimInPlace(out);
  return text::Left(out, w);
}

}  // namespace tervo::editors
