#include "core/session_waits.h"

#include <utility>

namespace tervo::core {

SessionWaits::Slot* SessionWaits::At(int s, Lane lane) {
  if (s < 0 || s >= config::kSessionSlots) return nullptr;
  return &slots_[static_cast<std::size_t>(s)][static_cast<std::size_t>(lane)];
}

const SessionWaits::Slot* SessionWaits::At(int s, Lane lane) const {
  if (s < 0 || s >= config::kSessionSlots) return nullptr;
  return &slots_[static_cast<std::size_t>(s)][static_cast<std::size_t>(lane)];
}

void SessionWaits::Suspend(int s, Lane lane, std::int64_t ms, Continuation c) {
  Cancel(s, lane);
  Slot* slot = At(s, lane);
  if (slot == nullptr) return;
  if (c.until && c.until()) {
    // What it waits for has already come.
    if (c.then) c.then();
    return;
  }
  slot->c = std::move(c);
  slot->serial = ++serial_;
  if (ms >= 0) {
    const std::uint64_t serial = slot->serial;
    slot->deadline = timers_.After(ms, [this, s, lane, serial] {
      Slot* now = At(s, lane);
      if (now == nullptr || now->serial != serial) return;
      now->deadline = 0;
      Resume(s, lane);
    });
  }
}

void SessionWaits::Resume(int s, Lane lane) {
  Slot* slot = At(s, lane);
  if (slot == nullptr || !slot->c.then) return;
  timers_.Cancel(slot->deadline);
  // The slot is emptied before the rest of the step runs, so the step may
  // wait again in the same lane.
  std::function<void()> then = std::move(slot->c.then);
  *slot = Slot{};
  then();
}

void SessionWaits::Cancel(int s, Lane lane) {
  Slot* slot = At(s, lane);
  if (slot == nullptr || !slot->c.then) return;
  timers_.Cancel(slot->deadline);
  std::function<void()> cancelled = std::move(slot->c.cancelled);
  *slot = Slot{};
  if (cancelled) cancelled();
}

void SessionWaits::CancelSession(int s) {
  Cancel(s, Lane::kConnect);
  Cancel(s, Lane::kScreen);
}

void SessionWaits::CancelAll() {
  for (auto& session : slots_) {
    for (Slot& slot : session) {
      timers_.Cancel(slot.deadline);
      slot = Slot{};
    }
  }
}

void SessionWaits::Check(int s) {
  for (Lane lane : {Lane::kConnect, Lane::kScreen}) {
    Slot* slot = At(s, lane);
    if (slot == nullptr || !slot->c.then || !slot->c.until) continue;
    if (slot->c.until()) Resume(s, lane);
  }
}

bool SessionWaits::Waiting(int s, Lane lane) const {
  const Slot* slot = At(s, lane);
  return slot != nullptr && static_cast<bool>(slot->c.then);
}

}  // namespace tervo::core
