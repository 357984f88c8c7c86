#include "platform/demohost/app_text.h"

#include "platform/host5250/monocase.h"

namespace tervo::demohost {

std::string TrimBlanks(std::string_view s) {
  const std::size_t b = s.find_first_not_of(' ');
  if (b == std::string_view::npos) return {};
  const std::size_t e = s.find_last_not_of(' ');
  return std::string(s.substr(b, e - b + 1));
}

std::string Left(std::string_view s, std::size_t n) { return std::string(s.substr(0, n)); }

std::string PadRight(std::string_view s, std::size_t n) {
  std::string out(s.substr(0, n));
  out.resize(n, ' ');
  return out;
}

std::string ToUpper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = host5250::UpperCase1252(c);
  return out;
}

bool WholeNumber(std::string_view s, long long* out) {
  const bool minus = !s.empty() && s[0] == '-';
  if (!s.empty() && (s[0] == '-' || s[0] == '+')) s.remove_prefix(1);
  if (s.empty() || s.size() > 15) return false;
  long long v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  *out = minus ? -v : v;
  return true;
}

}  // namespace tervo::demohost
