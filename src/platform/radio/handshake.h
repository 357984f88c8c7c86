// How a terminal gets in: HELLO, and where terminal keys are in force the
// CHALLENGE / AUTH exchange, ending in WELCOME or REFUSED.  The logic knows
// nothing of sockets: a transport feeds it the frames a connection (or a
// terminal behind a radio base) sends before it is welcomed and sends back
// what it answers.  Any transport that carries the wire protocol (TCP, a
// serial radio base, a WebSocket) admits terminals the same way.
#pragma once

#include <functional>
#include <string>

#include "platform/radio/terminal_keys.h"
#include "platform/radio/wire_protocol.h"

namespace tervo::radio {

// Timing of the link, in milliseconds.  Defaults are what the gateway runs
// with; tests shorten them or run them on a virtual clock.
struct LinkTimeouts {
  int frameMs = 3000;       // a frame begun must be complete within this
  int handshakeMs = 10000;  // from connecting to WELCOME
  int keepAliveMs = 30000;  // silence after which the gateway sends PING; 0 never
  int answerMs = 15000;     // how long a PING waits for any frame
  int closingMs = 2000;     // a refused connection that does not read is cut after this
};

// What admits terminals: the ids the gateway serves and their keys.
struct Gatekeeper {
  TerminalKeys keys;
  std::function<bool(const std::string& id)> accept;  // unset: every id
  LinkTimeouts timeouts;
  std::function<void(const std::string&)> log;  // what reading the key file again says

  bool Serves(const std::string& id) const { return !accept || accept(id); }
};

class Handshake {
 public:
  // encrypted: the connection is TLS; pinged: the transport sends PING
  // after the keep-alive time (both told to the terminal in WELCOME).
  Handshake(Gatekeeper& gate, bool encrypted, bool pinged = true)
      : gate_(gate), encrypted_(encrypted), pinged_(pinged) {}

  struct Step {
    enum class Kind { kChallenge, kWelcome, kRefuse } kind = Kind::kRefuse;
    wire::Frame reply;      // CHALLENGE, WELCOME or REFUSED, to send back
    wire::Refusal refusal;  // kRefuse: as sent (version 1 sees the text only)
    std::string why;        // kRefuse: for the gateway's log, never a secret
    wire::Hello hello;      // kWelcome: what the terminal said in HELLO
  };

  // A frame from a terminal that has not been welcomed yet: HELLO, or AUTH
  // after a CHALLENGE.  Anything else is refused.
  Step OnFrame(const wire::Frame& frame);

  bool Welcomed() const { return welcomed_; }
  bool Authenticated() const { return authenticated_; }
  // The version the terminal speaks (that of its HELLO; 1 before one).
  std::uint8_t Version() const { return version_; }
  const std::string& TerminalId() const { return id_; }

 private:
  Step Refuse(wire::RefusedCode code, const std::string& reason, const std::string& why,
              std::uint8_t version);
  Step Welcome(const std::string& proof);
  Step OnHello(const wire::Frame& frame);
  Step OnAuth(const wire::Frame& frame);

  Gatekeeper& gate_;
  bool encrypted_;
  bool pinged_;
  bool challenged_ = false;
  bool welcomed_ = false;
  bool authenticated_ = false;
  std::uint8_t version_ = wire::kVersion1;
  std::string id_;
  wire::Hello hello_;
  std::string gatewayNonce_;
};

// The texts of REFUSED that an unauthenticated client may see: they say
// nothing about which terminal ids exist.
constexpr const char* kRefusedNotAccepted = "terminal not accepted";
constexpr const char* kRefusedNeedsVersion2 =
    "this gateway requires protocol version 2 and a terminal secret";

}  // namespace tervo::radio
