#include "config/option_rules.h"

#include <algorithm>
#include <cctype>

#include "config/text.h"

namespace tervo::config {

namespace {

// A whole number written as digits with an optional minus sign, blanks
// around it allowed.  "2.5", "1e3" and "" are not whole numbers.
bool WholeNumber(const std::string& text, long* out) {
  const std::string t = text::TrimBlanks(text);
  std::size_t i = t.size() > 0 && t[0] == '-' ? 1 : 0;
  if (i == t.size() || t.size() - i > 9) return false;
  for (std::size_t k = i; k < t.size(); ++k)
    if (!std::isdigit(static_cast<unsigned char>(t[k]))) return false;
  *out = std::stol(t);
  return true;
}

std::string Whole(const std::string& text, long min, long max, bool emptyAllowed, long* value) {
  long v = 0;
  if (emptyAllowed && text::TrimBlanks(text).empty()) {
    if (value) *value = 0;
    return "";
  }
  if (!WholeNumber(text, &v) || v < min || (max != kUnbounded && v > max))
    return "Enter " + WholeNumberRange(min, max) + ".";
  if (value) *value = v;
  return "";
}

// The option read the way the rules read it: a whole number, or -1.
long Number(const GeneralOptions& options, Option key) {
  long v = 0;
  return WholeNumber(options.ConfiguredText(key), &v) ? v : -1;
}

bool IpV4(const std::string& host) {
  int parts = 0;
  std::size_t start = 0;
  while (start <= host.size()) {
    const std::size_t dot = std::min(host.find('.', start), host.size());
    const std::string part = host.substr(start, dot - start);
    long v = 0;
    if (part.empty() || part.size() > 3 || part[0] == '-' || !WholeNumber(part, &v) || v > 255)
      return false;
    ++parts;
    start = dot + 1;
  }
  return parts == 4;
}

bool IpV6(const std::string& host) {
  return std::count(host.begin(), host.end(), ':') >= 2 &&
         host.find_first_not_of("0123456789abcdefABCDEF:.") == std::string::npos;
}

bool Port(const std::string& text) {
  long v = 0;
  return !text.empty() && text[0] != '-' && WholeNumber(text, &v) && v <= 65535;
}

std::string CheckAddress(const std::string& text) {
  const std::string t = text::TrimBlanks(text);
  bool ok = false;
  if (!t.empty() && t.front() == '[') {
    const std::size_t close = t.find(']');
    ok = close != std::string::npos && IpV6(t.substr(1, close - 1)) &&
         (close + 1 == t.size() || (t[close + 1] == ':' && Port(t.substr(close + 2))));
  } else if (std::count(t.begin(), t.end(), ':') == 1) {
    const std::string host = t.substr(0, t.find(':'));
    ok = (IpV4(host) || host == "localhost") && Port(t.substr(t.find(':') + 1));
  } else {
    ok = IpV4(t) || t == "localhost" || IpV6(t);
  }
  return ok ? "" : "Enter an IP address, optionally with :port (127.0.0.1:7300).";
}

std::string CheckComPort(const std::string& text) {
  const std::string t = text::TrimBlanks(text);
  long v = 0;
  if (t.empty() || (t.front() == '/' && t.find(' ') == std::string::npos)) return "";
  if (WholeNumber(t, &v) && v >= 1 && v <= 256) return "";
  return "Enter a port number (1 is the first serial port), a device such as /dev/ttyUSB0, "
         "or nothing for no radio base.";
}

// The rules that weigh one option against the others, for a value within
// its own range.
std::string CheckAgainstOthers(Option key, long v, const GeneralOptions& options) {
  if (key == Option::kDisplayRow) {
    const long rows = std::max(v, 1L);
    const long cols = Number(options, Option::kDisplayCol);
    const long sessions = Number(options, Option::kSessionCt);
    if (cols >= 1 && sessions >= 1 && rows * cols < sessions)
      return std::to_string(sessions) + " sessions need more than " + std::to_string(rows) +
             " row(s) of " + std::to_string(cols) + ".";
  }
  if (key == Option::kScreenIdAreaLen && v > 0 &&
      (Number(options, Option::kScreenIdAreaX) < 1 || Number(options, Option::kScreenIdAreaY) < 1))
    return "A length needs the area's X (column) and Y (row), both 1 or more.";
  if (key == Option::kErrorLineLen) {
    const long start = Number(options, Option::kErrorLineStart);
    if (start >= 1 && start + v - 1 > 80)
      return "Start " + std::to_string(start) + " leaves room for " + std::to_string(81 - start) +
             " characters on the line.";
  }
  return "";
}

}  // namespace

std::string WholeNumberRange(long min, long max) {
  if (max == kUnbounded) return "a whole number of " + std::to_string(min) + " or more";
  return "a whole number from " + std::to_string(min) + " to " + std::to_string(max);
}

bool HasOptionRule(OptionKey key) {
  const OptionSpec* s = key.entry();
  return s && s->kind != OptionKind::kText && s->kind != OptionKind::kCheck &&
         s->kind != OptionKind::kList;
}

std::string CheckOption(OptionKey key, const std::string& text, const GeneralOptions& options) {
  const OptionSpec* s = key.entry();
  if (!s) return "";
  switch (s->kind) {
    case OptionKind::kText:
    case OptionKind::kCheck:
    case OptionKind::kList:
      return "";
    case OptionKind::kTime:
      return CheckTime(text);
    case OptionKind::kAddress:
      return CheckAddress(text);
    case OptionKind::kSerialPort:
      return CheckComPort(text);
    case OptionKind::kSeconds: {
      double seconds = 0;
      const bool good =
          text::ToDouble(text, &seconds, nullptr) && seconds >= s->min && seconds <= s->max;
      return good ? "" : s->message;
    }
    case OptionKind::kNumber:
      break;
  }
  long v = 0;
  // "Send Error Line" needs the row it sends.
  if (s->option == Option::kErrorLineN && options.Checked(Option::kSendErrorLineN)) {
    std::string m = Whole(text, 1, s->max, false, nullptr);
    return m.empty() ? m : "Enter the row of the error line, 1 to 25.";
  }
  std::string m = Whole(text, s->min, s->max, s->emptyAllowed, &v);
  if (!m.empty()) return s->message ? s->message : m;
  return CheckAgainstOthers(s->option, v, options);
}

std::string CheckTime(const std::string& text) {
  if (text == "__:__" || text.empty()) return "";
  const std::string m = "Enter a time from 00:00 to 23:59, or clear it.";
  if (text.size() != 5 || text[2] != ':') return m;
  for (int i : {0, 1, 3, 4})
    if (!std::isdigit(static_cast<unsigned char>(text[static_cast<std::size_t>(i)]))) return m;
  const int h = (text[0] - '0') * 10 + (text[1] - '0');
  const int min = (text[3] - '0') * 10 + (text[4] - '0');
  return h <= 23 && min <= 59 ? "" : m;
}

std::string CheckTerminalId(const std::string& id, int row,
                            const std::array<std::string, kSessionSlots>& ids, int rows) {
  if (id.empty()) return "";
  if (id.size() > 8) return "A terminal id has at most 8 characters.";
  for (unsigned char c : id)
    if (c < 0x20 || c == 0x7F) return "A terminal id holds no control characters.";
  if (id.front() == ' ' || id.back() == ' ')
    return "Remove the blanks before or after the id: terminals are found without them.";
  for (int i = 0; i < rows && i < kSessionSlots; ++i) {
    if (i == row) continue;
    if (text::TrimBlanks(ids[static_cast<std::size_t>(i)]) == id)
      return "Session " + std::to_string(i) + " has this id already.";
  }
  return "";
}

}  // namespace tervo::config
