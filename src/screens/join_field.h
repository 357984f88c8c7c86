// Join formulas: key text mixed with the tokens "@ADX(n)", "@ADD(n)" and
// "@EQU(n)" that build a field's terminal text from several host fields,
// sending keys (a roll, an Enter) between the reads.
//
// A formula is taken apart into steps (config::JoinSteps, which the
// configuration checks read too): each step's keys are sent and, once the
// host accepts input again, its token reads the live fields.  The wait in
// between is the caller's: the gateway resumes the evaluation on the host's
// events, so no other session waits meanwhile.  A token without a closing
// ")" takes the rest of the formula as its field number and is logged;
// nothing after it is sent, so a broken formula never sends its own text
// ("@EQU(3" holds the Enter mnemonic "@E") to the host.
#pragma once

#include <string>
#include <vector>

#include "config/join_formula.h"
#include "screens/screen_context.h"

namespace tervo::screens {

// One evaluation of a formula for field `field` of a session.  While it runs
// the session is closed for new screens (ReadyToSendFlag), so the screens the
// keys bring are not handled as new ones.
class JoinEvaluation {
 public:
  JoinEvaluation(ScreenContext& ctx, const std::string& formula, int session, int field);

  // Sends the keys of the next step: they become the session's key queue and
  // its first piece goes out.  True when the caller must now wait until the
  // host accepts input and then call Read(); false when the formula is done
  // (the session is open for new screens again and Result() holds the text).
  bool SendNext();
  // The token of the step whose keys went out reads the live fields.
  void Read();
  const std::string& Result() const { return current_; }
  // Opens the session for new screens again without finishing (the wait was
  // given up).
  void Abandon();

 private:
  ScreenContext& ctx_;
  int session_;
  std::vector<config::JoinStep> steps_;
  std::size_t next_ = 0;
  std::string current_;
  bool done_ = false;
};

// Evaluates a formula as if the host accepted input again as soon as each
// step's keys went out; for callers that cannot wait (tests, benchmarks).
std::string EvaluateJoinField(ScreenContext& ctx, const std::string& formula, int session,
                              int field);

// Rows of 80 characters of a, each followed by the same row of b.
std::string InterleaveRows(const std::string& a, const std::string& b);

}  // namespace tervo::screens
