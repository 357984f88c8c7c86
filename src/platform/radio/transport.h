// How the link reaches its terminals: over TCP/IP, one connection per
// terminal, or over a serial line to a radio base that carries them all.
// A transport delivers only frames of terminals that were welcomed (see
// handshake.h), always labelled with that terminal's id, and keeps the
// link's time-outs: it drops half-received frames, probes silent peers and
// caps what waits to be sent.
#pragma once

#include <functional>
#include <string>

#include "platform/os/clock.h"
#include "platform/radio/handshake.h"
#include "platform/radio/output_queue.h"
#include "platform/radio/wire_protocol.h"

namespace tervo::radio {

using LogFn = std::function<void(const std::string&)>;

struct TransportCallbacks {
  // A frame of a welcomed terminal, its HELLO included (sent again on
  // reconnect).  Keep-alive frames are answered by the transport and not
  // passed on.
  std::function<void(const wire::Frame&)> frame;
  LogFn log;
  // The far end of a line answered (a radio base said BASE-READY): the
  // transport is Ready() from now on.
  std::function<void()> ready;
};

// What every transport shares with the link: the gate that admits
// terminals, the clock its time-outs read and the output caps.
struct TransportSetup {
  TransportCallbacks callbacks;
  Gatekeeper* gate = nullptr;
  const os::Clock* clock = nullptr;
  OutputLimits output;
};

class Transport {
 public:
  virtual ~Transport() = default;
  // Starts listening or opens the line; false with *err when it cannot.
  // It never waits: a line whose far end must answer first is open but not
  // Ready() until it does (callbacks.ready tells).
  virtual bool Open(std::string* err) = 0;
  virtual bool Ready() const { return true; }
  // Asks the far end of a line that has not answered again.
  virtual void AskAgain() {}
  // Sends one frame to frame.terminalId, in the version that terminal
  // speaks.  False when that terminal cannot be reached now (not
  // connected).
  virtual bool Send(const wire::Frame& frame) = 0;
  // Tells every terminal to reset.
  virtual void ResetAll() = 0;
  virtual bool IsConnected(const std::string& terminalId) const = 0;
  // Applies the time-outs as of the clock's time now.  The link calls it
  // every few hundred milliseconds; tests call it after moving a virtual
  // clock.
  virtual void CheckTimeouts() = 0;
  // Bytes waiting to be sent, over all terminals (for tests and the log).
  virtual std::size_t Backlog() const = 0;
};

}  // namespace tervo::radio
