#include "platform/os/blank_text.h"

namespace tervo::os {

std::string_view BlankTrimmed(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

std::string TrimBlanks(std::string_view s) { return std::string(BlankTrimmed(s)); }

std::string TrimLeftBlanks(std::string_view s) {
  std::size_t b = 0;
  while (b < s.size() && s[b] == ' ') ++b;
  return std::string(s.substr(b));
}

std::string TrimRightBlanks(std::string_view s) {
  std::size_t e = s.size();
  while (e > 0 && s[e - 1] == ' ') --e;
  return std::string(s.substr(0, e));
}

std::string Left(std::string_view s, std::size_t n) { return std::string(s.substr(0, n)); }

std::string Right(std::string_view s, std::size_t n) {
  return n >= s.size() ? std::string(s) : std::string(s.substr(s.size() - n));
}

std::string PadRight(std::string_view s, std::size_t n, char pad) {
  std::string out(s.substr(0, n));
  out.resize(n, pad);
  return out;
}

std::string ToUpper(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    auto u = static_cast<unsigned char>(c);
    if (u >= 'a' && u <= 'z') {
      c = static_cast<char>(u - 32);
    } else if (u >= 0xE0 && u <= 0xFE && u != 0xF7) {
      c = static_cast<char>(u - 32);  // Latin-1 range of Windows-1252
    } else if (u == 0x9A || u == 0x9C || u == 0x9E) {
      c = static_cast<char>(u - 16);  // s caron, oe, z caron
    } else if (u == 0xFF) {
      c = static_cast<char>(0x9F);  // y diaeresis
    }
  }
  return out;
}

}  // namespace tervo::os
