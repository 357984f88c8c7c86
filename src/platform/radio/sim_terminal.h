// One simulated handheld: its display, its id and battery, and its side of
// the wire protocol.  It does not own a connection: frames go out through
// the send function and come in through OnFrame, so the same terminal runs
// over TCP/IP or behind a simulated radio base.
#pragma once

#include <functional>
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
  // Counts screens received; a screen shown again after a wait for a key
  // does not count.
  int Screens() const { return screens_; }
  // Counts frames sent to the gateway that call for a new screen.
  int Sent() const { return sent_; }

 private:
  void Send(wire::Type type, std::string payload);
  void Handle(TerminalDisplay::Outcome outcome);
  void Changed(const std::string& what);

  std::string id_;
  TerminalDisplay display_;
  std::int32_t battery_;
  std::function<void(const wire::Frame&)> send_;
  std::function<void(const std::string&)> onChange_;
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
