#include "config/join_formula.h"

#include "config/text.h"

namespace tervo::config {

std::vector<JoinStep> JoinSteps(std::string_view formula) {
  std::vector<JoinStep> steps;
  std::string keys;
  const long len = static_cast<long>(formula.size());
  // Positions are 1-based, as the gateway counts them.
  auto token = [&](long& p, const char* name) {
    if (text::Mid(formula, p, 4) != name) return;
    const std::size_t close = formula.find(')', static_cast<std::size_t>(p - 1));
    const long end = close == std::string_view::npos ? len + 1 : static_cast<long>(close) + 1;
    const double v =
        text::RoundHalfEven(text::LeadingNumber(text::Mid(formula, p + 5, end - (p + 5))));
    steps.push_back({keys, JoinToken{name,
                                     v < 0     ? -1
                                     : v > 1e9 ? 1000000000
                                               : static_cast<int>(v),
                                     close != std::string_view::npos}});
    keys.clear();
    p = end + 1;
  };
  for (long p = 1; p <= len; ++p) {
    if (p < len - 4) {
      token(p, "@ADX");
      token(p, "@ADD");
      token(p, "@EQU");
    }
    keys += text::Mid(formula, p, 1);
  }
  steps.push_back({keys, std::nullopt});
  return steps;
}

JoinScan ScanJoinFormula(std::string_view formula) {
  JoinScan scan;
  for (JoinStep& step : JoinSteps(formula)) {
    if (!step.keys.empty()) scan.keys.push_back(std::move(step.keys));
    if (step.token) scan.tokens.push_back(*step.token);
  }
  return scan;
}

}  // namespace tervo::config
