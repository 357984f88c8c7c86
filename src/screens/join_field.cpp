#include "screens/join_field.h"

#include "config/text.h"

namespace tervo::screens {

using text::Mid;

namespace {

std::string LiveText(ScreenContext& ctx, int session, int field) {
  host5250::HostDisplay* display = ctx.Display(session);
  return display != nullptr ? display->Fields().Item(field).Text : std::string();
}

}  // namespace

std::string InterleaveRows(const std::string& a, const std::string& b) {
  std::string out;
  for (long k = 1; k <= static_cast<long>(a.size()); k += 80) {
    out += Mid(a, k, 80);
    out += Mid(b, k, 80);
  }
  return out;
}

std::vector<JoinStep> ParseJoinFormula(const std::string& formula, config::Log& log) {
  std::vector<JoinStep> steps;
  std::string keys;
  const long len = static_cast<long>(formula.size());

  // A token `name` at p: the keys so far become a step of their own, the
  // field number is read and p moves past the ")".
  auto token = [&](long& p, const char* name, JoinStep::Token kind) {
    if (Mid(formula, p, 4) != name) return;
    const std::size_t close = formula.find(')', static_cast<std::size_t>(p - 1));
    const long end = close == std::string::npos ? len + 1 : static_cast<long>(close) + 1;
    if (close == std::string::npos) log.WriteLog("Join field without ')': " + formula, false);
    const double v = text::RoundHalfEven(text::LeadingNumber(Mid(formula, p + 5, end - (p + 5))));
    JoinStep step;
    step.keys = keys;
    step.token = kind;
    step.field = v < 0 ? -1 : v > 1e9 ? 1000000000 : static_cast<int>(v);
    steps.push_back(step);
    keys.clear();
    p = end + 1;
  };

  for (long p = 1; p <= len; ++p) {
    if (p < len - 4) {
      token(p, "@ADX", JoinStep::Token::kAdx);
      token(p, "@ADD", JoinStep::Token::kAdd);
      token(p, "@EQU", JoinStep::Token::kEqu);
    }
    keys += Mid(formula, p, 1);
  }
  steps.push_back({keys, JoinStep::Token::kNone, 0});
  return steps;
}

JoinEvaluation::JoinEvaluation(ScreenContext& ctx, const std::string& formula, int session,
                               int field)
    : ctx_(ctx), session_(session), steps_(ParseJoinFormula(formula, ctx.log)) {
  if (!SessionState::ValidSession(session)) {
    done_ = true;
    return;
  }
  ctx_.sessions.ReadyToSendFlag[static_cast<std::size_t>(session)] = false;
  current_ = LiveText(ctx_, session, field);
}

bool JoinEvaluation::SendNext() {
  if (done_) return false;
  const JoinStep& step = steps_[next_];
  if (step.token == JoinStep::Token::kNone && step.keys.empty()) {
    Abandon();
    return false;
  }
  // The keys become the session's queue (empty keys leave it empty, so no
  // piece of an earlier queue goes out in their place), and its first piece
  // is sent at once; the gateway's queue sends the rest.
  ctx_.sessions.PendingKeys[static_cast<std::size_t>(session_)] = step.keys;
  if (ctx_.runPendingKeys) ctx_.runPendingKeys("", session_);
  return true;
}

void JoinEvaluation::Read() {
  if (done_) return;
  const JoinStep step = steps_[next_++];
  const int n = step.field;
  switch (step.token) {
    case JoinStep::Token::kAdx: {
      const std::string joined = InterleaveRows(current_, LiveText(ctx_, session_, n));
      const int scr = ctx_.CurrentScreenOf(session_);
      // The capture has slots 0..500 only; a larger number changes nothing.
      if (ctx_.store.ValidScreen(scr) && config::ScreenStore::ValidField(n)) {
        ctx_.store.Originals[static_cast<std::size_t>(scr)].Text[static_cast<std::size_t>(n)] =
            joined;
      }
      current_ = joined;
      break;
    }
    case JoinStep::Token::kAdd:
      current_ += LiveText(ctx_, session_, n);
      break;
    case JoinStep::Token::kEqu:
      current_ = LiveText(ctx_, session_, n);
      break;
    case JoinStep::Token::kNone:
      break;
  }
  if (next_ >= steps_.size()) Abandon();
}

void JoinEvaluation::Abandon() {
  if (done_) return;
  done_ = true;
  ctx_.sessions.ReadyToSendFlag[static_cast<std::size_t>(session_)] = true;
}

std::string EvaluateJoinField(ScreenContext& ctx, const std::string& formula, int session,
                              int field) {
  JoinEvaluation join(ctx, formula, session, field);
  while (join.SendNext()) join.Read();
  return join.Result();
}

}  // namespace tervo::screens
