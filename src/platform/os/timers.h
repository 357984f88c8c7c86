// Deadlines on the gateway's clock.  Whatever waits in the gateway (a host
// connection settling, an unknown screen retried, a pause) does not block or
// process events: it leaves a callback here and its step goes on when the
// time has come.  Callbacks run from the event loop, one at a time, never
// inside the call that set them, so a step never runs inside another.
//
// The program uses QtTimers; tests use VirtualTimers, which run the
// callbacks as a virtual clock is moved on, so they never sleep.
#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>

#include "platform/os/clock.h"

class QTimer;

namespace tervo::os {

class Timers {
 public:
  using Id = std::uint64_t;  // 0 is never a timer
  virtual ~Timers() = default;
  // Runs fn once, ms milliseconds of the clock from now (0 or less: as soon
  // as the event loop is free).  The id cancels it.
  virtual Id After(std::int64_t ms, std::function<void()> fn) = 0;
  // Forgets a timer that has not run; 0 or an id that already ran is fine.
  virtual void Cancel(Id id) = 0;
};

// Timers of the Qt event loop.  scale is clock milliseconds per real
// millisecond: under a clock that runs 20 times faster (end-to-end runs), a
// 4 s deadline passes after 200 real milliseconds.
class QtTimers : public Timers {
 public:
  explicit QtTimers(double scale = 1.0);
  ~QtTimers() override;
  Id After(std::int64_t ms, std::function<void()> fn) override;
  void Cancel(Id id) override;

 private:
  double scale_;
  QObject owner_;
  std::map<Id, QTimer*> timers_;
  Id next_ = 1;
};

// Timers on a virtual clock.  Nothing runs until the test moves the clock
// (Advance) or asks for what is already due (RunDue).
class VirtualTimers : public Timers {
 public:
  explicit VirtualTimers(VirtualClock& clock) : clock_(clock) {}
  Id After(std::int64_t ms, std::function<void()> fn) override;
  void Cancel(Id id) override;

  // Runs every timer that is due now, including those that the callbacks
  // set for now, in order of due time and then of setting.  Returns how
  // many ran.
  int RunDue();
  // Moves the clock on by ms, stopping at each due time on the way to run
  // what falls due there.
  void Advance(std::int64_t ms);
  // Moves the clock on to the next due time and runs what is due there;
  // false when no timer is set.
  bool RunNext();
  std::size_t Pending() const { return due_.size(); }

 private:
  struct Key {
    std::int64_t at;
    Id id;
    bool operator<(const Key& o) const { return at != o.at ? at < o.at : id < o.id; }
  };
  VirtualClock& clock_;
  std::map<Key, std::function<void()>> due_;
  std::map<Id, std::int64_t> at_;
  Id next_ = 1;
};

}  // namespace tervo::os
