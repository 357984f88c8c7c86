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

JoinEvaluation::JoinEvaluation(ScreenContext& ctx, const std::string& formula, int session,
                               int field)
    : ctx_(ctx), session_(session), steps_(config::JoinSteps(formula)) {
  for (const config::JoinStep& step : steps_)
    if (step.token && !step.token->closed)
      ctx_.log.WriteLog("Join field without ')': " + formula, false);
  if (!SessionState::ValidSession(session)) {
    done_ = true;
    return;
  }
  ctx_.sessions[session].ReadyToSendFlag = false;
  current_ = LiveText(ctx_, session, field);
}

bool JoinEvaluation::SendNext() {
  if (done_) return false;
  const config::JoinStep& step = steps_[next_];
  if (!step.token && step.keys.empty()) {
    Abandon();
    return false;
  }
  // The keys become the session's queue (empty keys leave it empty, so no
  // piece of an earlier queue goes out in their place), and its first piece
  // is sent at once; the gateway's queue sends the rest.
  ctx_.sessions[session_].PendingKeys = step.keys;
  if (ctx_.runPendingKeys) ctx_.runPendingKeys("", session_);
  return true;
}

void JoinEvaluation::Read() {
  if (done_) return;
  const config::JoinStep step = steps_[next_++];
  if (step.token) {
    const int n = step.token->field;
    const std::string& name = step.token->name;
    if (name == "@ADX") {
      const std::string joined = InterleaveRows(current_, LiveText(ctx_, session_, n));
      const int scr = ctx_.CurrentScreenOf(session_);
      // The capture has slots 0..500 only; a larger number changes nothing.
      if (ctx_.store.ValidScreen(scr) && config::ScreenStore::ValidField(n)) {
        ctx_.store.Originals[static_cast<std::size_t>(scr)][n].Text =
            joined;
      }
      current_ = joined;
    } else if (name == "@ADD") {
      current_ += LiveText(ctx_, session_, n);
    } else if (name == "@EQU") {
      current_ = LiveText(ctx_, session_, n);
    }
  }
  if (next_ >= steps_.size()) Abandon();
}

void JoinEvaluation::Abandon() {
  if (done_) return;
  done_ = true;
  ctx_.sessions[session_].ReadyToSendFlag = true;
}

std::string EvaluateJoinField(ScreenContext& ctx, const std::string& formula, int session,
                              int field) {
  JoinEvaluation join(ctx, formula, session, field);
  while (join.SendNext()) join.Read();
  return join.Result();
}

}  // namespace tervo::screens
