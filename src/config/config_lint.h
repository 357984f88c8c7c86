// The mistakes a site engineer makes in a configuration, found without a
// host: definitions that identify alike, masters that can never match, fields
// too wide for the terminal, input fields the terminal never shows, keys that
// cannot be sent, join formulas and divided-field entries that point at
// fields that do not exist, repeat rules that never end.  Each finding names
// where it is and says why in one line.  docs/config-tools.md lists the rules.
#pragma once

#include <string>
#include <vector>

#include "config/general_options.h"
#include "config/screen_store.h"

namespace tervo::config {

// Rule names, as printed after each finding.
inline constexpr const char* kRuleBadLine = "bad-line";
inline constexpr const char* kRuleSameIdentification = "same-identification";
inline constexpr const char* kRuleMasterWithoutKeys = "master-without-keys";
inline constexpr const char* kRuleTooWide = "too-wide";
inline constexpr const char* kRuleHiddenInput = "hidden-input";
inline constexpr const char* kRuleUnsendableKeys = "unsendable-keys";
inline constexpr const char* kRuleJoinMissingField = "join-missing-field";
inline constexpr const char* kRuleDivisionMissingField = "division-missing-field";
inline constexpr const char* kRuleEndlessRepeat = "endless-repeat";

struct LintFinding {
  std::string rule;
  int line = -1;  // a line of the file (bad lines)
  int screen = -1;
  int field = -1;
  int division = -1;  // an entry of DivideFields
  std::string reason;
};

// Every finding, in the order of screen, field and division (general
// findings first).
std::vector<LintFinding> LintConfiguration(const ScreenStore& store, const GeneralOptions& options);

// "screen 3 field 4: Size 30 is wider than the display (DisplayLen 20)
// [too-wide]"; "general: ..." when the finding names no place.
std::string FormatFinding(const LintFinding& f);

}  // namespace tervo::config
