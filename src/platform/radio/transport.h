// How the link reaches its terminals: over TCP/IP, one connection per
// terminal, or over a serial line to a radio base that carries them all.
// A transport delivers only frames of terminals that said HELLO and were
// accepted, always labelled with that terminal's id.
#pragma once

#include <functional>
#include <string>

#include "platform/radio/wire_protocol.h"

namespace tervo::radio {

using LogFn = std::function<void(const std::string&)>;

struct TransportCallbacks {
  // A frame of an accepted terminal, HELLO included (sent again on reconnect).
  std::function<void(const wire::Frame&)> frame;
  // Whether the id may be served.
  std::function<bool(const std::string& id)> accept;
  LogFn log;
};

class Transport {
 public:
  virtual ~Transport() = default;
  // Starts listening or opens the line; false with *err when it cannot.
  virtual bool Open(std::string* err) = 0;
  // Sends one frame to frame.terminalId.  False when that terminal cannot be
  // reached now (not connected).
  virtual bool Send(const wire::Frame& frame) = 0;
  // Tells every terminal to reset.
  virtual void ResetAll() = 0;
  virtual bool IsConnected(const std::string& terminalId) const = 0;
};

}  // namespace tervo::radio
