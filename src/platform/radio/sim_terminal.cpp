#include "platform/radio/sim_terminal.h"

#include "platform/radio/terminal_auth.h"

namespace tervo::radio::sim {

SimTerminal::SimTerminal(std::string id, int width, std::int32_t battery)
    : id_(std::move(id)), display_(width), battery_(battery) {}

void SimTerminal::Send(wire::Type type, std::string payload) {
  if (send_) send_({static_cast<std::uint8_t>(type), id_, std::move(payload), version_});
}

void SimTerminal::GiveUp(const std::string& why) {
  helloPending_ = false;
  refusal_ = why;
  refusalCode_ = wire::RefusedCode::kNotAccepted;
  welcomed_ = false;
  Changed("refused: " + why);
  if (hangUp_) hangUp_();
}

void SimTerminal::Changed(const std::string& what) {
  if (onChange_) onChange_(what);
}

void SimTerminal::SayHello() {
  wire::Hello hello;
  hello.displayWidth = static_cast<std::uint16_t>(display_.Width());
  hello.battery = battery_;
  hello.client = "tervo-terminal";
  hello.features = wire::kFeatureInverse | wire::kFeatureLarge | wire::kFeatureBeeper;
  // One nonce per handshake: a HELLO said again before the gateway answered
  // (a radio base repeating it) carries the same one.
  if (!helloPending_ || nonce_.empty()) {
    nonce_ = auth::RandomBytes(wire::kNonceBytes);
    gatewayNonce_.clear();
  }
  helloPending_ = true;
  hello.nonce = nonce_;
  Send(wire::Type::kHello, wire::EncodeHello(hello, version_));
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
  helloPending_ = false;
  Changed("disconnected");
}

void SimTerminal::OnFrame(const wire::Frame& frame) {
  if (frame.terminalId != id_) return;
  std::string err;
  switch (static_cast<wire::Type>(frame.type)) {
    case wire::Type::kChallenge: {
      wire::Challenge c;
      if (!wire::DecodeChallenge(frame.payload, &c, &err) || c.method != wire::kAuthHmacSha256) {
        GiveUp("the gateway's challenge is not understood");
        return;
      }
      if (!secret_) {
        GiveUp("the gateway asks for a terminal secret and none is set");
        return;
      }
      if (c.nonce == gatewayNonce_) return;  // answered already (a repeated HELLO)
      Send(wire::Type::kAuth,
           wire::EncodeAuth(auth::TerminalProof(*secret_, id_, nonce_, c.nonce)));
      gatewayNonce_ = c.nonce;
      return;
    }
    case wire::Type::kGatewayPing:
      ++pings_;
      Send(wire::Type::kPong, {});
      return;
    case wire::Type::kWelcome: {
      welcome_ = wire::Welcome{};
      if (frame.version >= 2 && !wire::DecodeWelcome(frame.payload, &welcome_, &err)) {
        GiveUp("malformed WELCOME: " + err);
        return;
      }
      // A terminal that holds a secret talks only to a gateway that knows it:
      // anything else may be a stranger collecting what the operator types.
      if (secret_ && version_ >= 2 &&
          (!(welcome_.flags & wire::kWelcomeAuthenticated) ||
           !auth::SameBytes(welcome_.proof,
                            auth::GatewayProof(*secret_, id_, nonce_, gatewayNonce_)))) {
        GiveUp("the gateway did not prove the terminal secret");
        return;
      }
      helloPending_ = false;
      const bool first = !everWelcomed_;
      welcomed_ = everWelcomed_ = true;
      refusal_.clear();
      Changed("welcome");
      if (first && autoStart_) SendStart();
      return;
    }
    case wire::Type::kRefused: {
      wire::Refusal refusal;
      wire::DecodeRefused(frame.payload, frame.version, &refusal, &err);
      helloPending_ = false;
      refusal_ = refusal.reason.empty() ? "refused" : refusal.reason;
      refusalCode_ = refusal.code;
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
