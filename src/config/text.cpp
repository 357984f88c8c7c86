#include "config/text.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "platform/os/blank_text.h"

namespace tervo::text {

// The blank and letter rules are shared with the platform libraries.
std::string TrimLeftBlanks(std::string_view s) { return os::TrimLeftBlanks(s); }
std::string TrimRightBlanks(std::string_view s) { return os::TrimRightBlanks(s); }
std::string TrimBlanks(std::string_view s) { return os::TrimBlanks(s); }
std::string Left(std::string_view s, std::size_t n) { return os::Left(s, n); }
std::string Right(std::string_view s, std::size_t n) { return os::Right(s, n); }
std::string PadRight(std::string_view s, std::size_t n, char pad) {
  return os::PadRight(s, n, pad);
}
std::string ToUpper(std::string_view s) { return os::ToUpper(s); }

std::string Mid(std::string_view s, long start, long count) {
  if (start < 1 || count < 1 || static_cast<std::size_t>(start) > s.size()) return "";
  return std::string(
      s.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(count)));
}

double RoundHalfEven(double v) {
  if (!std::isfinite(v)) return v;
  return std::nearbyint(v);  // default rounding mode is to nearest, ties to even
}

namespace {

// Parses sign, digits and one decimal point from s at pos.  Returns the number
// of characters used (0 when no digit was seen) and the value in *out.  The
// span is converted in one step so that "2.5" is exactly 2.5 and rounds to
// even as the rule says.
std::size_t ParseNumber(std::string_view s, std::size_t pos, double* out) {
  std::size_t i = pos;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    negative = s[i] == '-';
    ++i;
  }
  const std::size_t start = i;
  bool digits = false;
  bool point = false;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    if (c >= '0' && c <= '9') {
      digits = true;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (!digits) return 0;
  double value = 0;
  const auto res = std::from_chars(s.data() + start, s.data() + i, value, std::chars_format::fixed);
  if (res.ec == std::errc::result_out_of_range) value = std::numeric_limits<double>::infinity();
  *out = negative ? -value : value;
  return i - pos;
}

}  // namespace

double LeadingNumber(std::string_view s) {
  std::size_t pos = 0;
  while (pos < s.size() && s[pos] == ' ') ++pos;
  double v = 0;
  return ParseNumber(s, pos, &v) ? v : 0;
}

std::int32_t OptionNumber(std::string_view s) {
  const double v = RoundHalfEven(LeadingNumber(s));
  if (v >= std::numeric_limits<std::int32_t>::max())
    return std::numeric_limits<std::int32_t>::max();
  if (v <= std::numeric_limits<std::int32_t>::min())
    return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(v);
}

bool ToDouble(std::string_view s, double* out, std::string* err) {
  const std::string t = TrimBlanks(s);
  double v = 0;
  const std::size_t used = ParseNumber(t, 0, &v);
  if (used == 0 || used != t.size()) {
    if (err) *err = "not a number: \"" + std::string(s) + "\"";
    return false;
  }
  *out = v;
  return true;
}

bool ToInt32(std::string_view s, std::int32_t* out, std::string* err) {
  double v = 0;
  if (!ToDouble(s, &v, err)) return false;
  v = RoundHalfEven(v);
  if (v > std::numeric_limits<std::int32_t>::max() ||
      v < std::numeric_limits<std::int32_t>::min()) {
    if (err) *err = "number out of range: \"" + std::string(s) + "\"";
    return false;
  }
  *out = static_cast<std::int32_t>(v);
  return true;
}

bool ToBool(std::string_view s, bool* out, std::string* err) {
  const std::string t = ToUpper(TrimBlanks(s));
  if (t == "TRUE") {
    *out = true;
    return true;
  }
  if (t == "FALSE") {
    *out = false;
    return true;
  }
  double v = 0;
  if (!ToDouble(t, &v, nullptr)) {
    if (err) *err = "not a Boolean: \"" + std::string(s) + "\"";
    return false;
  }
  *out = v != 0;
  return true;
}

std::string FromInt(std::int64_t v) { return std::to_string(v); }

}  // namespace tervo::text
