// How the gateway lets the rest of the program run while it waits.  The
// engine never blocks: a wait processes events (timer ticks, host events,
// terminal data) until its time has passed on the injected clock.
#pragma once

#include <cstdint>

namespace tervo::core {

class EventPump {
 public:
  virtual ~EventPump() = default;
  // Processes the events that are pending; when there are none, waits for
  // one, but never longer than maxWaitMs (real time).
  virtual void ProcessEvents(int maxWaitMs) = 0;
};

// The Qt event loop of the thread.
class QtEventPump : public EventPump {
 public:
  void ProcessEvents(int maxWaitMs) override;
};

}  // namespace tervo::core
