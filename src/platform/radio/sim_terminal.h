// One simulated handheld: its display, its id and battery, and its side of
// the wire protocol.  It does not own a connection: frames go out through
// the send function and come in through OnFrame, so the same terminal runs
// over TCP/IP or behind a simulated radio base.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/radio/sim_display.h"
#include "platform/radio/wire_protocol.h"

namespace tervo::radio::sim {

class SimTerminal {
 public:
  SimTerminal(std::string id, int width, std::int32_t battery = 5000);

  const std::string& Id() const { return id_; }
  TerminalDisplay& Display() { return display_; }
  const TerminalDisplay& Display() const { return display_; }
  std::int32_t Battery() const { return battery_; }
  void SetBattery(std::int32_t millivolts) { battery_ = millivolts; }

  // Where frames leave the terminal.
  void SetSender(std::function<void(const wire::Frame&)> send) { send_ = std::move(send); }
  // Called after anything the operator sees changed (a screen, a refusal,
  // a reset); the text says what happened.
  void SetOnChange(std::function<void(const std::string& what)> f) { onChange_ = std::move(f); }

  // The secret this terminal proves when the gateway asks (CHALLENGE).  A
  // terminal with a secret also insists that the gateway prove it: a
  // WELCOME without the gateway's proof is taken as a refusal.
  void SetSecret(std::optional<std::string> secret) { secret_ = std::move(secret); }
  // The protocol version it speaks (1 or 2, default the newest).
  void SetProtocolVersion(std::uint8_t v) { version_ = v; }
  std::uint8_t ProtocolVersion() const { return version_; }
  // Called when the terminal gives up on its connection (the gateway could
  // not prove the secret); the link hangs up.
  void SetOnHangUp(std::function<void()> f) { hangUp_ = std::move(f); }

  // Sends HELLO.  The first WELCOME is followed by START unless autoStart is
  // off; a later one (back after a drop-out) is not: the gateway resends the
  // unanswered screen.
  void SayHello();
  void SetAutoStart(bool on) { autoStart_ = on; }
  void OnFrame(const wire::Frame& frame);
  void OnDisconnected();

  void SendStart();
  void SendRequest(const std::string& screenName);
  void SendMessage(const std::string& text);

  // Operator actions; an action that answers the screen sends the answer.
  void Press(Key key);
  void Type(const std::string& text);

  bool Welcomed() const { return welcomed_; }
  bool Refused() const { return !refusal_.empty(); }
  const std::string& Refusal() const { return refusal_; }
  // The code of the last refusal (version 2; kProtocol for version 1 or a
  // refusal of the terminal's own making).
  wire::RefusedCode RefusalCode() const { return refusalCode_; }
  // What the last WELCOME said (version 2).
  const wire::Welcome& LastWelcome() const { return welcome_; }
  int PingsAnswered() const { return pings_; }
  // Counts screens received; a screen shown again after a wait for a key
  // does not count.
  int Screens() const { return screens_; }
  // Counts frames sent to the gateway that call for a new screen.
  int Sent() const { return sent_; }

 private:
  void Send(wire::Type type, std::string payload);
  void Handle(TerminalDisplay::Outcome outcome);
  void Changed(const std::string& what);
  void GiveUp(const std::string& why);

  std::string id_;
  TerminalDisplay display_;
  std::int32_t battery_;
  std::function<void(const wire::Frame&)> send_;
  std::function<void(const std::string&)> onChange_;
  std::function<void()> hangUp_;
  std::optional<std::string> secret_;
  std::uint8_t version_ = wire::kVersion;
  std::string nonce_;          // of the last HELLO
  std::string gatewayNonce_;   // of the last CHALLENGE
  bool helloPending_ = false;  // said HELLO, not yet welcomed or refused
  wire::Welcome welcome_;
  wire::RefusedCode refusalCode_ = wire::RefusedCode::kProtocol;
  int pings_ = 0;
  bool autoStart_ = true;
  bool everWelcomed_ = false;
  bool welcomed_ = false;
  std::string refusal_;
  int screens_ = 0;
  int sent_ = 0;
};

// Plain text of what the terminal shows, as scripts print it.
std::string ScreenText(const SimTerminal& terminal);

}  // namespace tervo::radio::sim
