#include "platform/radio/serial_transport.h"

#include "platform/os/blank_text.h"

namespace tervo::radio {

namespace {

constexpr std::int64_t kNever = -1;

}  // namespace

struct SerialTransport::Peer {
  // Terminals behind a base are not pinged: the base knows who is in range.
  explicit Peer(Gatekeeper& gate) : handshake(gate, false, false) {}
  Handshake handshake;
};

std::string SerialDeviceName(const std::string& comPort) {
  const std::string t = os::TrimBlanks(comPort);
  if (t.find('/') != std::string::npos) return t;
  std::string digits = t;
  if (digits.size() > 3 && (digits.compare(0, 3, "COM") == 0 || digits.compare(0, 3, "com") == 0)) {
    digits = digits.substr(3);
  }
  if (!digits.empty() && digits.find_first_not_of("0123456789") == std::string::npos) {
    if (digits.size() > 6) return {};
    const int n = std::stoi(digits);
    return n < 1 ? std::string() : "/dev/ttyS" + std::to_string(n - 1);
  }
  return t.empty() ? std::string() : "/dev/" + t;
}

SerialTransport::SerialTransport(std::string device, int baudRate, TransportSetup setup)
    : device_(std::move(device)),
      baudRate_(baudRate),
      setup_(std::move(setup)),
      out_(setup_.output) {}

SerialTransport::~SerialTransport() {
  QObject::disconnect(&port_, nullptr, nullptr, nullptr);
  port_.close();
}

void SerialTransport::Log(const std::string& s) const {
  if (setup_.callbacks.log) setup_.callbacks.log(s);
}

std::int64_t SerialTransport::Now() const { return setup_.clock->MonotonicMs(); }

bool SerialTransport::Open(std::string* err) {
  if (device_.empty()) {
    *err = "no serial device";
    return false;
  }
  port_.setPortName(QString::fromStdString(device_));
  if (!port_.open(QIODevice::ReadWrite)) {
    *err = "cannot open " + device_ + ": " + port_.errorString().toStdString();
    return false;
  }
  // Pseudo-terminals and some adapters refuse line settings; the frames do
  // not depend on them, so only a refused open counts.
  if (baudRate_ > 0 && !port_.setBaudRate(baudRate_)) {
    Log("radio: " + device_ + ": baud rate " + std::to_string(baudRate_) + " not set");
  }
  port_.setDataBits(QSerialPort::Data8);
  port_.setParity(QSerialPort::NoParity);
  port_.setStopBits(QSerialPort::OneStop);
  port_.setFlowControl(QSerialPort::NoFlowControl);
  QObject::connect(&port_, &QSerialPort::readyRead, &port_, [this] { OnReadyRead(); });
  QObject::connect(&port_, &QSerialPort::bytesWritten, &port_, [this] { Flush(); });

  AskAgain();
  lineHeard_ = Now();
  return true;
}

void SerialTransport::AskAgain() {
  // Base frames go out in version 1, which every base reads.
  Write({static_cast<std::uint8_t>(wire::Type::kProbe), {}, {}, wire::kVersion1});
}

void SerialTransport::OnReadyRead() {
  const QByteArray bytes = port_.readAll();
  decoder_.Feed(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  Drain();
}

void SerialTransport::Drain() {
  const std::int64_t now = Now();
  bool took = false;
  for (;;) {
    wire::Frame frame;
    std::string err;
    const auto r = decoder_.Next(&frame, &err);
    if (r == wire::FrameDecoder::Result::kNeedMore) break;
    if (r == wire::FrameDecoder::Result::kError) {
      // Line noise: hunt for the next frame start.  One log line per burst.
      if (!hunting_) Log("radio: serial line " + device_ + ": " + err + "; frame skipped");
      hunting_ = true;
      decoder_.Resync();
      took = true;
      continue;
    }
    hunting_ = false;
    took = true;
    lineHeard_ = now;
    probeSent_ = kNever;
    if (baseSilent_) {
      baseSilent_ = false;
      Log("radio: radio base on " + device_ + " answers again");
    }
    OnFrame(frame);
  }
  // A frame that has begun must end in time: noise that looks like the
  // start of a long frame must not swallow the frames behind it.
  if (decoder_.Buffered() == 0) {
    partialSince_ = kNever;
  } else if (took || partialSince_ == kNever) {
    partialSince_ = now;
  }
}

void SerialTransport::OnFrame(const wire::Frame& frame) {
  const auto type = static_cast<wire::Type>(frame.type);
  if (frame.terminalId.empty()) {
    if (type == wire::Type::kBaseReady) {
      std::string text, err;
      wire::DecodeText(frame.payload, wire::kMaxReason, &text, &err);
      const bool first = !baseReady_;
      if (first) Log("radio: radio base on " + device_ + " answered: " + text);
      baseReady_ = true;
      if (first && setup_.callbacks.ready) setup_.callbacks.ready();
    } else {
      Log("radio: " + std::string(wire::TypeName(frame.type)) + " without a terminal id refused");
    }
    return;
  }
  OnTerminalFrame(frame);
}

void SerialTransport::Refuse(const std::string& id, const wire::Refusal& refusal,
                             std::uint8_t version, const std::string& why) {
  Log("radio: terminal " + id + " refused: " + why);
  Write({static_cast<std::uint8_t>(wire::Type::kRefused), id, wire::EncodeRefused(refusal, version),
         version});
}

void SerialTransport::OnTerminalFrame(const wire::Frame& frame) {
  const std::string& id = frame.terminalId;
  const auto type = static_cast<wire::Type>(frame.type);
  auto it = peers_.find(id);
  // A HELLO from a welcomed terminal is the terminal back in range or
  // restarted: it starts over.  One during the handshake goes to it (it may
  // be the same HELLO passed on twice).
  if (type == wire::Type::kHello && (it == peers_.end() || it->second->handshake.Welcomed())) {
    it = peers_.insert_or_assign(id, std::make_unique<Peer>(*setup_.gate)).first;
  }
  const bool welcomed = it != peers_.end() && it->second->handshake.Welcomed();
  if (!welcomed) {
    if (it == peers_.end() || (type != wire::Type::kHello && type != wire::Type::kAuth)) {
      Log("radio: " + std::string(wire::TypeName(frame.type)) + " from terminal " + id +
          " before HELLO refused");
      const std::uint8_t version =
          it == peers_.end() ? frame.version : it->second->handshake.Version();
      Write({static_cast<std::uint8_t>(wire::Type::kRefused), id,
             wire::EncodeRefused({wire::RefusedCode::kProtocol, "HELLO first"}, version), version});
      return;
    }
    Handshake& hs = it->second->handshake;
    const Handshake::Step step = hs.OnFrame(frame);
    switch (step.kind) {
      case Handshake::Step::Kind::kChallenge:
        Write(step.reply);
        return;
      case Handshake::Step::Kind::kRefuse:
        Refuse(id, step.refusal, hs.Version(), step.why);
        peers_.erase(it);
        return;
      case Handshake::Step::Kind::kWelcome: {
        const bool back = !everWelcomed_.insert(id).second;
        Log("radio: terminal " + id + (back ? " is back" : " connected") +
            " through the radio base (v" + std::to_string(hs.Version()) +
            (hs.Authenticated() ? ", authenticated)" : ")"));
        Write(step.reply);
        if (setup_.callbacks.frame) {
          setup_.callbacks.frame({static_cast<std::uint8_t>(wire::Type::kHello), id,
                                  wire::EncodeHello(step.hello, hs.Version()), hs.Version()});
        }
        return;
      }
    }
    return;
  }
  const std::uint8_t version = it->second->handshake.Version();
  switch (type) {
    case wire::Type::kAuth:
      Log("radio: second AUTH from terminal " + id + " refused");
      return;
    case wire::Type::kPing:
      if (version >= 2) {
        Write({static_cast<std::uint8_t>(wire::Type::kGatewayPong), id, {}, version});
        return;
      }
      break;
    case wire::Type::kPong:
      if (version >= 2) return;
      break;
    default:
      break;
  }
  if (setup_.callbacks.frame) setup_.callbacks.frame(frame);
}

void SerialTransport::Write(wire::Frame frame) {
  std::string bytes, err;
  if (!wire::EncodeFrame(frame, &bytes, &err)) {
    Log("radio: " + std::string(wire::TypeName(frame.type)) + " for " + frame.terminalId +
        " not sent: " + err);
    return;
  }
  if (!port_.isOpen()) return;
  const std::string id = frame.terminalId;
  const auto pushed =
      out_.Push(id, frame.type == static_cast<std::uint8_t>(wire::Type::kScreen), std::move(bytes));
  if (pushed.firstDrop) {
    Log("radio: serial line " + device_ + " does not take the screens of terminal " +
        (id.empty() ? std::string("(base)") : id) + "; the oldest unsent ones are dropped");
  }
  if (pushed.overflow) {
    Log("radio: serial line " + device_ + " does not take what is sent to terminal " + id +
        "; its waiting frames are dropped");
    out_.ClearTerminal(id);
    return;
  }
  Flush();
}

void SerialTransport::Flush() {
  if (!port_.isOpen()) return;
  out_.Flush([this] { return static_cast<std::size_t>(port_.bytesToWrite()); },
             [this](const std::string& b) {
               return port_.write(b.data(), static_cast<qint64>(b.size())) ==
                      static_cast<qint64>(b.size());
             });
  for (const auto& caughtUp : out_.TakeCaughtUp()) {
    Log("radio: serial line " + device_ + " takes the screens of terminal " +
        caughtUp.terminalId + " again; " + std::to_string(caughtUp.droppedScreens) +
        " unsent screens were dropped");
  }
}

bool SerialTransport::Send(const wire::Frame& frame) {
  // The base queues frames for terminals out of range; a terminal that was
  // never welcomed cannot be reached.
  auto it = peers_.find(frame.terminalId);
  if (it == peers_.end() || !it->second->handshake.Welcomed()) return false;
  wire::Frame f = frame;
  f.version = it->second->handshake.Version();
  Write(std::move(f));
  return true;
}

void SerialTransport::ResetAll() {
  Write({static_cast<std::uint8_t>(wire::Type::kReset), {}, {}, wire::kVersion1});
}

bool SerialTransport::IsConnected(const std::string& terminalId) const {
  auto it = peers_.find(terminalId);
  return it != peers_.end() && it->second->handshake.Welcomed();
}

void SerialTransport::Release(const std::string& terminalId) {
  auto it = peers_.find(terminalId);
  if (it == peers_.end() || !it->second->handshake.Welcomed()) return;
  const std::uint8_t version = it->second->handshake.Version();
  peers_.erase(it);
  out_.ClearTerminal(terminalId);
  // Its frames are refused from now on ("HELLO first"); told why, it does
  // not come back by itself.
  Refuse(terminalId,
         {wire::RefusedCode::kReplaced, "replaced by a newer connection of terminal " + terminalId},
         version, "connected elsewhere; no longer served through the radio base");
}

void SerialTransport::CheckTimeouts() {
  if (!port_.isOpen()) return;
  const std::int64_t now = Now();
  const LinkTimeouts& t = setup_.gate->timeouts;
  if (partialSince_ != kNever && now - partialSince_ >= t.frameMs) {
    Log("radio: serial line " + device_ + ": frame not completed within " +
        std::to_string(t.frameMs) + " ms; skipped");
    hunting_ = true;
    decoder_.Resync();
    partialSince_ = kNever;
    Drain();
  }
  if (!baseReady_ || t.keepAliveMs <= 0) return;
  if (probeSent_ == kNever) {
    if (now - lineHeard_ >= t.keepAliveMs) {
      probeSent_ = now;
      Write({static_cast<std::uint8_t>(wire::Type::kProbe), {}, {}, wire::kVersion1});
    }
  } else if (now - probeSent_ >= t.answerMs) {
    if (!baseSilent_) {
      Log("radio: radio base on " + device_ +
          " does not answer PROBE; frames for its terminals may be lost");
    }
    baseSilent_ = true;
    probeSent_ = kNever;
    lineHeard_ = now;
  }
}

}  // namespace tervo::radio
