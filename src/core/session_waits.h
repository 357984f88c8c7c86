// What each session's current step waits for before it goes on.  A session
// never blocks the gateway: its step leaves a continuation here with a
// deadline, a condition, or both, and returns.  The gateway checks the
// conditions of a session whenever something happens to it (a host event,
// the operator's Enter, a poll tick); the deadlines run from the timers.
//
// A session has two lanes, so that the wait of its host connection (START)
// and the wait of the screen it is handling are independent.  A new wait in
// a lane replaces the old one: a newer step of a session always wins over an
// older one of the same kind, and the older one's cancel hook puts back what
// it had changed for the time of the wait.
//
// Continuations capture session and screen numbers, never references into
// the configuration tables: the tables may grow while a step waits.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "config/screen_store.h"
#include "platform/os/timers.h"

namespace tervo::core {

enum class Lane { kConnect, kScreen };

struct Continuation {
  // Resume early when this holds (checked by Check); unset: only the deadline.
  std::function<bool()> until;
  // The rest of the step.
  std::function<void()> then;
  // Runs instead of `then` when the wait is replaced or cancelled.
  std::function<void()> cancelled;
};

class SessionWaits {
 public:
  explicit SessionWaits(os::Timers& timers) : timers_(timers) {}
  ~SessionWaits() { CancelAll(); }
  SessionWaits(const SessionWaits&) = delete;
  SessionWaits& operator=(const SessionWaits&) = delete;

  // Session s's step is suspended in lane for at most ms (negative: no
  // deadline, only the condition), then goes on with c.then; when the
  // condition holds already, it goes on at once.  Whatever the lane held
  // before is cancelled first.
  void Suspend(int s, Lane lane, std::int64_t ms, Continuation c);
  // Drops what the lane waits for, running its cancel hook.
  void Cancel(int s, Lane lane);
  void CancelSession(int s);
  // Drops everything without running any hook (shutdown).
  void CancelAll();
  // Resumes the waits of session s whose condition holds.
  void Check(int s);
  bool Waiting(int s, Lane lane) const;

 private:
  struct Slot {
    Continuation c;
    os::Timers::Id deadline = 0;
    std::uint64_t serial = 0;  // tells a resumed wait from a newer one in the slot
  };
  Slot* At(int s, Lane lane);
  const Slot* At(int s, Lane lane) const;
  void Resume(int s, Lane lane);

  os::Timers& timers_;
  std::array<std::array<Slot, 2>, config::kSessionSlots> slots_{};
  std::uint64_t serial_ = 0;
};

}  // namespace tervo::core
