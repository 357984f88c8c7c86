#include "platform/demohost/app_text.h"

namespace tervo::demohost {

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
