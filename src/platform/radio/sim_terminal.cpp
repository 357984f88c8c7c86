#include "platform/radio/sim_terminal.h"

namespace tervo::radio::sim {

SimTerminal::SimTerminal(std::string id, int width, std::int32_t battery)
    : id_(std::move(id)), display_(width), battery_(battery) {}

void SimTerminal::Send(wire::Type type, std::string payload) {
  if (send_) send_({static_cast<std::uint8_t>(type), id_, std::move(payload)});
}

void SimTerminal::Changed(const std::string& what) {
  if (onChange_) onChange_(what);
}

void SimTerminal::SayHello() {
  wire::Hello hello;
  hello.displayWidth = static_cast<std::uint16_t>(display_.Width());
  hello.battery = battery_;
  hello.client = "tervo-terminal";
  Send(wire::Type::kHello, wire::EncodeHello(hello));
}

void SimTerminal::SendStart() {
  ++sent_;
  Send(wire::Type::kStart, {});
}

void SimTerminal::SendRequest(const std::string& screenName) {
  ++sent_;
  Send(wire::Type::kRequest, wire::EncodeText(screenName));
}

void SimTerminal::SendMessage(const std::string& text) {
  Send(wire::Type::kMessage, wire::EncodeText(text));
}

void SimTerminal::OnDisconnected() {
  welcomed_ = false;
  Changed("disconnected");
}

void SimTerminal::OnFrame(const wire::Frame& frame) {
  if (frame.terminalId != id_) return;
  std::string err;
  switch (static_cast<wire::Type>(frame.type)) {
    case wire::Type::kWelcome: {
      const bool first = !everWelcomed_;
      welcomed_ = everWelcomed_ = true;
      refusal_.clear();
      Changed("welcome");
      if (first && autoStart_) SendStart();
      return;
    }
    case wire::Type::kRefused: {
      std::string reason;
      wire::DecodeText(frame.payload, 200, &reason, &err);
      refusal_ = reason.empty() ? "refused" : reason;
      welcomed_ = false;
      Changed("refused: " + refusal_);
      return;
    }
    case wire::Type::kScreen: {
      ScreenProgram program;
      if (!wire::DecodeScreen(frame.payload, &program, &err)) {
        Changed("bad screen: " + err);
        return;
      }
      ++screens_;
      const auto outcome = display_.Load(program);
      Changed("screen");
      Handle(outcome);
      return;
    }
    case wire::Type::kReset:
      display_.Clear();
      Changed("reset");
      SendStart();
      return;
    default:
      return;
  }
}

void SimTerminal::Handle(TerminalDisplay::Outcome outcome) {
  if (outcome == TerminalDisplay::Outcome::kAnswer) {
    Answer a = display_.TakeAnswer();
    a.battery = battery_;
    ++sent_;
    Send(wire::Type::kAnswer, wire::EncodeAnswer(a));
    Changed("answered");
  } else if (outcome == TerminalDisplay::Outcome::kReset) {
    // A reset terminal starts again, as when it is switched on.
    display_.Clear();
    Changed("reset");
    SendStart();
  }
}

void SimTerminal::Press(Key key) {
  const bool waiting = display_.WaitingForKey();
  const auto outcome = display_.Press(key);
  if (waiting) Changed("continued");
  Handle(outcome);
}

void SimTerminal::Type(const std::string& text) {
  const bool waiting = display_.WaitingForKey();
  const auto outcome = display_.Type(text);
  if (waiting) Changed("continued");
  Handle(outcome);
}

std::string ScreenText(const SimTerminal& terminal) {
  const TerminalDisplay& d = terminal.Display();
  std::string out = "--- " + terminal.Id() + " screen " + d.ScreenName() + " #" +
                    std::to_string(d.Sequence()) + (d.WaitingForKey() ? " (waits for a key)" : "") +
                    "\n";
  for (const std::string& line : d.PlainLines()) out += line + "\n";
  if (!d.Legend().empty()) out += "keys: " + d.ShownLegend() + "\n";
  out += "---\n";
  return out;
}

}  // namespace tervo::radio::sim
