// How a join formula ("Join field:") reads: key text mixed with the tokens
// "@ADX(n)", "@ADD(n)" and "@EQU(n)".  The gateway evaluates a formula while
// it scans it (it sends the keys before each token, then reads field n); this
// is the same scan without the host, so that tools can tell which fields a
// formula reads and which text it sends as keys.
//
// The scan's rules, which the gateway follows too: a token is recognised
// only while at least five characters follow it; after a token the next ones
// are looked for only in the order @ADX, @ADD, @EQU, so "@EQU(2)@ADD(4)"
// reads field 2 and sends "@ADD(4)" as keys; the field number is the leading
// number between "(" and the first ")" after the token; a token without ")"
// takes the rest of the formula and ends it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tervo::config {

struct JoinToken {
  std::string name;    // "@ADX", "@ADD" or "@EQU"
  int field = 0;       // -1 for a negative number
  bool closed = true;  // a ")" ended it
};

struct JoinScan {
  std::vector<JoinToken> tokens;
  // The key text sent before each token and after the last one; runs that
  // would send nothing are left out.
  std::vector<std::string> keys;
};

// The formula as the gateway runs it, step by step: a step's keys are sent
// (for a token even when empty) and, once the host takes input again, its
// token reads the field.  The last step has no token; its keys, when there
// are any, go out at the end.
struct JoinStep {
  std::string keys;
  std::optional<JoinToken> token;
};
std::vector<JoinStep> JoinSteps(std::string_view formula);

JoinScan ScanJoinFormula(std::string_view formula);

}  // namespace tervo::config
