#include "core/run_metrics.h"

namespace tervo::core {

void LatencyHistogram::Observe(double seconds) {
  if (seconds < 0) seconds = 0;
  for (std::size_t i = 0; i < kLatencyBounds.size(); ++i)
    if (seconds <= kLatencyBounds[i]) ++atOrBelow[i];
  ++count;
  sumSeconds += seconds;
}

void RunMetrics::ScreenSent(int s, std::int64_t nowMs, bool next, bool errorShown) {
  if (!Valid(s)) return;
  Slot& slot = slots_[static_cast<std::size_t>(s)];
  ++slot.counts.screensSent;
  if (!next) return;
  if (errorShown) ++slot.counts.hostErrors;
  if (slot.answeredAt) {
    latency_.Observe(static_cast<double>(nowMs - *slot.answeredAt) / 1000.0);
    slot.answeredAt.reset();
  }
}

void RunMetrics::AnswerTaken(int s, std::int64_t nowMs) {
  if (!Valid(s)) return;
  Slot& slot = slots_[static_cast<std::size_t>(s)];
  if (!slot.answeredAt) slot.answeredAt = nowMs;
}

void RunMetrics::AnswerProcessed(int s) {
  if (Valid(s)) ++slots_[static_cast<std::size_t>(s)].counts.answersProcessed;
}

void RunMetrics::AnswerDropped(int s) {
  if (Valid(s)) ++slots_[static_cast<std::size_t>(s)].counts.answersDropped;
}

void RunMetrics::HostError(int s) {
  if (Valid(s)) ++slots_[static_cast<std::size_t>(s)].counts.hostErrors;
}

void RunMetrics::HostConnecting(int s) {
  if (!Valid(s)) return;
  Slot& slot = slots_[static_cast<std::size_t>(s)];
  slot.unreachable = false;
  slot.reason.clear();
}

void RunMetrics::HostUnreachable(int s, const std::string& reason) {
  if (!Valid(s)) return;
  Slot& slot = slots_[static_cast<std::size_t>(s)];
  ++slot.counts.hostUnreachable;
  slot.unreachable = true;
  slot.reason = reason;
}

void RunMetrics::ScreenDefined(int s) {
  if (Valid(s)) ++slots_[static_cast<std::size_t>(s)].counts.screensDefined;
}

void RunMetrics::TerminalStarted(int s) {
  if (Valid(s)) slots_[static_cast<std::size_t>(s)].answeredAt.reset();
}

const SessionCounts& RunMetrics::Counts(int s) const {
  static const SessionCounts kNone;
  return Valid(s) ? slots_[static_cast<std::size_t>(s)].counts : kNone;
}

bool RunMetrics::Unreachable(int s) const {
  return Valid(s) && slots_[static_cast<std::size_t>(s)].unreachable;
}

const std::string& RunMetrics::UnreachableReason(int s) const {
  static const std::string kNone;
  return Valid(s) ? slots_[static_cast<std::size_t>(s)].reason : kNone;
}

}  // namespace tervo::core
