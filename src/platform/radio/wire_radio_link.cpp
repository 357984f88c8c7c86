#include "platform/radio/wire_radio_link.h"

#include <QDebug>
#include <QHostAddress>
#include <algorithm>

#include "platform/os/blank_text.h"
#include "platform/radio/serial_transport.h"
#include "platform/radio/tcp_transport.h"

namespace tervo::radio {

namespace {

std::string Padded(std::string s, std::size_t n) {
  s.resize(n, ' ');
  return s;
}

// Replayed values end up in host fields: control characters typed or
// scanned on a terminal are blanked rather than passed on.
std::string CleanValue(const std::string& v) {
  std::string out = v.substr(0, v.find('\0'));
  for (char& c : out) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) c = ' ';
  }
  return out;
}

// "host", "host:port" or "[v6]:port".
void SplitAddress(const std::string& text, std::string* host, std::uint16_t* port) {
  const std::string t = os::TrimBlanks(text);
  std::string portText;
  if (!t.empty() && t.front() == '[') {
    const auto close = t.find(']');
    *host = t.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    if (close != std::string::npos && close + 1 < t.size() && t[close + 1] == ':') {
      portText = t.substr(close + 2);
    }
  } else if (std::count(t.begin(), t.end(), ':') == 1) {
    *host = t.substr(0, t.find(':'));
    portText = t.substr(t.find(':') + 1);
  } else {
    *host = t;
  }
  if (host->empty()) *host = "127.0.0.1";
  if (!portText.empty() && portText.size() <= 5 &&
      portText.find_first_not_of("0123456789") == std::string::npos) {
    const int p = std::stoi(portText);
    if (p <= 65535) *port = static_cast<std::uint16_t>(p);
  }
}

}  // namespace

WireRadioLink::WireRadioLink(RadioLinkOptions options)
    : options_(std::move(options)), tcpPort_(options_.tcpPort) {
  if (!options_.clock) {
    ownClock_ = std::make_unique<os::SystemClock>();
    options_.clock = ownClock_.get();
  }
  gate_.timeouts = options_.timeouts;
  gate_.log = [this](const std::string& s) { Log(s); };
  QObject::connect(&checkTimer_, &QTimer::timeout, &checkTimer_, [this] { CheckTimeouts(); });
}

WireRadioLink::~WireRadioLink() = default;

void WireRadioLink::CheckTimeouts() {
  if (transport_) transport_->CheckTimeouts();
  if (web_) web_->CheckTimeouts();
}

std::size_t WireRadioLink::Backlog() const {
  return (transport_ ? transport_->Backlog() : 0) + (web_ ? web_->Backlog() : 0);
}

Transport* WireRadioLink::Reaching(const std::string& id) const {
  for (Transport* t : {transport_.get(), web_.get()})
    if (t && t->IsConnected(id)) return t;
  return nullptr;
}

void WireRadioLink::OnFrameFrom(const Transport* from, const wire::Frame& frame) {
  if (frame.type == static_cast<std::uint8_t>(wire::Type::kHello)) {
    // One terminal, one device: the newest connection wins on whichever
    // transport it came.
    for (Transport* t : {transport_.get(), web_.get()})
      if (t && t != from) t->Release(frame.terminalId);
  }
  OnFrame(frame);
}

void WireRadioLink::ReportSecurity() {
  const TerminalKeys& keys = gate_.keys;
  switch (keys.GetState()) {
    case TerminalKeys::State::kNoFile:
      Log("radio: WARNING: no terminal key file" +
          (keys.Path().empty() ? std::string() : " (" + keys.Path() + ")") +
          "; any client that knows a terminal id gets its session");
      break;
    case TerminalKeys::State::kLoaded:
      Log("radio: terminals prove their secret (" + std::to_string(keys.TerminalCount()) +
          " terminal keys" + (keys.HasSiteKey() ? ", a site key" : "") + ", " + keys.Path() + ")");
      break;
    default:
      break;  // Load said why no terminal can sign in
  }
}

void WireRadioLink::Log(const std::string& s) const {
  if (options_.log) {
    options_.log(s);
  } else {
    qInfo("%s", s.c_str());
  }
}

void WireRadioLink::TCPIP_Start(const std::string& baseAddress) {
  tcpMode_ = true;
  tcpPort_ = options_.tcpPort;
  SplitAddress(baseAddress, &tcpAddress_, &tcpPort_);
}

bool WireRadioLink::BaseAnswerPending() const { return transport_ && !transport_->Ready(); }

int WireRadioLink::InitializeComm(int port, int baudRate) {
  if (transport_ && !up_) {
    // The line was opened and its base asked before.
    if (transport_->Ready()) return LinkUp();
    Log("radio: the radio base does not answer; asked again");
    transport_->AskAgain();
    return 0;
  }
  web_.reset();
  transport_.reset();
  up_ = false;
  checkTimer_.stop();
  TransportSetup setup;
  setup.callbacks.frame = [this](const wire::Frame& f) { OnFrameFrom(transport_.get(), f); };
  setup.callbacks.log = [this](const std::string& s) { Log(s); };
  // The base answered: whoever waits for the link is told, as for a message.
  setup.callbacks.ready = [this] {
    if (notify_) notify_();
  };
  setup.gate = &gate_;
  setup.clock = options_.clock;
  setup.output = options_.output;
  // Read on every attempt: a key file mended while the gateway retries counts.
  gate_.keys.Load(options_.keyFile, [this](const std::string& s) { Log(s); });
  TransportSetup webSetup = setup;  // the browsers' transport shares the gate
  std::string err;
  if (tcpMode_) {
    QHostAddress address;
    if (tcpAddress_ == "localhost") {
      address = QHostAddress(QHostAddress::LocalHost);
    } else if (!address.setAddress(QString::fromStdString(tcpAddress_))) {
      Log("radio: TCP/IP address " + tcpAddress_ + " is not an IP address");
      return 0;
    }
    std::optional<QSslConfiguration> tls;
    if (options_.tls.Enabled()) {
      QSslConfiguration conf;
      if (!ServerTlsConfiguration(options_.tls, &conf, &err)) {
        // No silent fall-back to clear text.
        Log("radio: TLS: " + err + "; terminals cannot connect");
        return 0;
      }
      tls = conf;
    } else if (!address.isLoopback()) {
      Log("radio: WARNING: terminals connect without TLS; what they type crosses the network "
          "in clear");
    }
    gate_.accept = [this](const std::string& id) { return accepted_.count(id) > 0; };
    transport_ = std::make_unique<TcpTransport>(address, tcpPort_, std::move(setup), tls);
  } else {
    if (options_.tls.Enabled()) {
      Log("radio: TLS applies to TCP/IP only; the serial line to the radio base is not encrypted");
    }
    // A radio base serves whichever terminals are in range; unknown ids are
    // told so by the gateway ("TERM ID NOT DEFINED").
    gate_.accept = nullptr;
    const std::string device =
        serialDevice_.empty() ? SerialDeviceName(std::to_string(port)) : serialDevice_;
    transport_ = std::make_unique<SerialTransport>(device, baudRate, std::move(setup));
  }
  if (!transport_->Open(&err)) {
    Log("radio: " + err);
    transport_.reset();
    return 0;
  }
  if (options_.web && options_.web->Listening()) {
    webSetup.callbacks.frame = [this](const wire::Frame& f) { OnFrameFrom(web_.get(), f); };
    web_ = std::make_unique<WebTransport>(*options_.web, options_.webPath, options_.web->Secure(),
                                          std::move(webSetup), options_.webLimits);
    if (!web_->Open(&err)) {
      Log("web: " + err);
      web_.reset();
    } else {
      Log("web: browsers connect to port " + std::to_string(options_.web->Port()) +
          (options_.web->Secure() ? " (TLS)" : ""));
    }
    if (web_ && !options_.web->Secure()) {
      Log("web: WARNING: the terminal page is served without TLS; what browsers type crosses "
          "the network in clear, and only a browser on this machine can prove an access key");
    }
  }
  // Browsers are served from here on; the radio base's answer may come later.
  if (!transport_->Ready()) return 0;
  return LinkUp();
}

int WireRadioLink::LinkUp() {
  up_ = true;
  ReportSecurity();
  if (options_.checkEveryMs > 0) checkTimer_.start(options_.checkEveryMs);
  return 1;
}

void WireRadioLink::ForceResetOnAllTerminal() {
  // Reset terminals start again with START; nothing sent before is owed.
  for (auto& [id, t] : terminals_) {
    t.awaitingAnswer = false;
    t.undelivered = false;
  }
  if (transport_) transport_->ResetAll();
  if (web_) web_->ResetAll();
}

void WireRadioLink::TCPIP_AcceptTerminalId(const std::string& terminalId) {
  const std::string id = os::TrimRightBlanks(terminalId);
  if (!id.empty()) accepted_.insert(id);
}

void WireRadioLink::TerminateComm(int) {
  checkTimer_.stop();
  web_.reset();
  transport_.reset();
  up_ = false;
  queue_.clear();
  queuedBy_.clear();
  overflowing_.clear();
  mode_ = Mode::kIdle;
}

std::uint16_t WireRadioLink::ListeningPort() const {
  if (!tcpMode_ || !transport_) return 0;
  return static_cast<const TcpTransport*>(transport_.get())->Port();
}

bool WireRadioLink::IsTerminalConnected(const std::string& terminalId) const {
  return Reaching(os::TrimRightBlanks(terminalId)) != nullptr;
}

std::uint64_t WireRadioLink::AnswersRefused(const std::string& terminalId) const {
  auto it = terminals_.find(os::TrimRightBlanks(terminalId));
  return it == terminals_.end() ? 0 : it->second.answersRefused;
}

int WireRadioLink::BatteryLevel(const std::string& terminalId) const {
  auto it = terminals_.find(os::TrimRightBlanks(terminalId));
  return it == terminals_.end() ? -1 : it->second.battery;
}

// --- receiving

bool WireRadioLink::Enqueue(Incoming in) {
  // One line a minute at most, not one per message or per overflow: a
  // terminal that floods the link must not flood the log as well.
  const auto held = queuedBy_.find(in.id);
  if (held != queuedBy_.end() && held->second >= options_.maxQueuedPerTerminal) {
    const std::int64_t now = options_.clock->MonotonicMs();
    auto note = overflowing_.find(in.id);
    if (note == overflowing_.end() || now - note->second.loggedAt >= kOverflowLogMs) {
      const int before = note == overflowing_.end() ? 0 : note->second.dropped;
      Log("radio: too many messages from terminal " + in.id + " waiting; more are dropped" +
          (before > 0 ? " (" + std::to_string(before) + " since the last such line)" : ""));
      overflowing_[in.id] = {now, 0};
    } else {
      ++note->second.dropped;
    }
    return false;
  }
  if (queue_.size() >= options_.maxQueued) {
    if (!queueFull_) Log("radio: receive queue full; messages from terminal " + in.id + " dropped");
    queueFull_ = true;
    return false;
  }
  queueFull_ = false;
  ++queuedBy_[in.id];
  queue_.push_back(std::move(in));
  if (notify_) notify_();
  return true;
}

void WireRadioLink::OnFrame(const wire::Frame& frame) {
  const std::string& id = frame.terminalId;
  const auto type = static_cast<wire::Type>(frame.type);
  const std::string what = std::string(wire::TypeName(frame.type)) + " from terminal " + id;
  std::string err;
  switch (type) {
    case wire::Type::kHello: {
      wire::Hello hello;
      if (!wire::DecodeHello(frame.payload, frame.version, &hello, &err)) break;
      Terminal& t = terminals_[id];
      if (hello.battery >= 0) t.battery = hello.battery;
      // Back after a drop-out: it gets the screen it has not answered yet.
      if (t.undelivered || t.awaitingAnswer) SendLastScreen(id);
      return;
    }
    case wire::Type::kStart:
      if (!wire::DecodeEmpty(frame.payload, &err)) break;
      Enqueue({id, "START", kScreenRequest, std::nullopt});
      return;
    case wire::Type::kRequest: {
      std::string name;
      if (!wire::DecodeText(frame.payload, wire::kMaxScreenName, &name, &err)) break;
      if (os::TrimRightBlanks(name).empty()) {
        err = "empty screen name";
        break;
      }
      Enqueue({id, name, kScreenRequest, std::nullopt});
      return;
    }
    case wire::Type::kAnswer: {
      Answer a;
      Terminal& t = terminals_[id];
      if (!wire::DecodeAnswer(frame.payload, &a, &err)) {
        ++t.answersRefused;
        break;
      }
      // Only the one screen the terminal holds may be answered, and only once:
      // a late or repeated answer would write stale values into the host.
      if (!t.awaitingAnswer || a.sequence != t.sequence) {
        ++t.answersRefused;
        Log("radio: " + what + " refused: answers screen " + std::to_string(a.sequence) +
            (t.awaitingAnswer ? ", awaiting " + std::to_string(t.sequence) : ", none awaited"));
        return;
      }
      if (a.screenName != t.lastName) {
        ++t.answersRefused;
        err = "answers screen " + a.screenName + ", " + t.lastName + " was sent";
        break;
      }
      if (a.battery >= 0) t.battery = a.battery;
      // A dropped answer leaves the screen awaited: the terminal gets it
      // again when it comes back and can answer then.
      if (Enqueue({id, a.screenName, kTerminalAnswer, std::move(a)}))
        t.awaitingAnswer = false;
      else
        ++t.answersRefused;
      return;
    }
    case wire::Type::kMessage: {
      std::string text;
      if (!wire::DecodeText(frame.payload, wire::kMaxMessageText, &text, &err)) break;
      Enqueue({id, text, kOther, std::nullopt});
      return;
    }
    default:
      err = "not a terminal message";
      break;
  }
  Log("radio: " + what + " refused: " + err);
}

int WireRadioLink::T_CheckIfReceiveData(std::string& id, std::string& data, std::uint8_t& kind,
                                        std::int32_t& value, std::string& block) {
  if (queue_.empty()) return 0;
  Incoming in = std::move(queue_.front());
  queue_.pop_front();
  if (--queuedBy_[in.id] == 0) queuedBy_.erase(in.id);
  id = Padded(in.id, kTerminalIdSize);
  data = Padded(in.data + '\r', kDataSize);
  kind = in.kind;
  value = 0;
  std::string blockText;
  if (in.answer) {
    value = ReadValueOf(*in.answer);
    for (std::size_t i = 0; i < in.answer->values.size(); ++i) {
      if (i) blockText += '\r';
      blockText += CleanValue(in.answer->values[i]);
    }
    terminals_[in.id].current = std::move(in.answer);
  }
  block = Padded(blockText, kBlockSize);
  return 1;
}

void WireRadioLink::T_RefreshScreen(const std::string& terminalId, const std::string&) {
  mode_ = Mode::kReplaying;
  replay_ = Answer{};
  replayInput_ = 0;
  auto it = terminals_.find(os::TrimRightBlanks(terminalId));
  if (it != terminals_.end() && it->second.current) {
    replay_ = *it->second.current;
  } else {
    Log("radio: no answer of terminal " + os::TrimRightBlanks(terminalId) + " to replay");
  }
}

// --- building

void WireRadioLink::T_InitScreen(const std::string& terminalId, const std::string& screenName,
                                 int format, int, int) {
  mode_ = Mode::kBuilding;
  buildFor_ = os::TrimRightBlanks(terminalId);
  building_ = ScreenProgram{};
  building_.name = screenName;
  building_.format = format;
  sent_ = false;
}

void WireRadioLink::Append(ScreenOp op) {
  if (mode_ == Mode::kBuilding && !sent_) building_.ops.push_back(std::move(op));
}

void WireRadioLink::T_Cls() { Append(MakeOp(OpCode::kCls)); }
void WireRadioLink::T_NewLine() { Append(MakeOp(OpCode::kNewLine)); }
void WireRadioLink::T_WaitChar() { Append(MakeOp(OpCode::kWaitChar)); }
void WireRadioLink::T_HardReset() { Append(MakeOp(OpCode::kHardReset)); }
void WireRadioLink::T_GetCheckEnter() { Append(MakeOp(OpCode::kGetCheckEnter)); }
void WireRadioLink::T_PrintString(const std::string& t) { Append(MakeOp(OpCode::kPrintString, t)); }
void WireRadioLink::T_PrintInverse(const std::string& t) {
  Append(MakeOp(OpCode::kPrintInverse, t));
}
void WireRadioLink::T_PrintLarge(const std::string& t) { Append(MakeOp(OpCode::kPrintLarge, t)); }
void WireRadioLink::T_Say(const std::string& t) { Append(MakeOp(OpCode::kSay, t)); }
void WireRadioLink::T_Scroll(const std::string& a, const std::string& b) {
  Append(MakeOp(OpCode::kScroll, a, b));
}
void WireRadioLink::T_NoSay(std::uint8_t size) { Append(MakeOp(OpCode::kNoSay, {}, {}, size)); }
void WireRadioLink::T_Delay(int units) { Append(MakeOp(OpCode::kDelay, {}, {}, units)); }
void WireRadioLink::T_Beep(int frequency, int duration) {
  Append(MakeOp(OpCode::kBeep, {}, {}, frequency, duration));
}
void WireRadioLink::T_CapsLock(int on) { Append(MakeOp(OpCode::kCapsLock, {}, {}, on ? 1 : 0)); }
void WireRadioLink::T_SetLargeFunctionKeys(const std::string& legend, std::uint8_t count) {
  Append(MakeOp(OpCode::kSetLargeFunctionKeys, legend, {}, count));
}
void WireRadioLink::T_ChangeScreenAttributtes(int format, int item, int attributes) {
  Append(MakeOp(OpCode::kChangeScreenAttributes, {}, {}, format, item, attributes));
}

void WireRadioLink::T_GetText(std::string& buffer, int size, int attributes) {
  if (mode_ == Mode::kReplaying) {
    if (replayInput_ < replay_.values.size()) {
      buffer = Padded(CleanValue(replay_.values[replayInput_]), buffer.size());
    }
    ++replayInput_;
    return;
  }
  std::string initial = buffer.substr(0, buffer.find('\0'));
  if (size >= 0 && initial.size() > static_cast<std::size_t>(size)) initial.resize(size);
  Append(MakeOp(OpCode::kGetText, initial, {}, size < 0 ? 0 : size, attributes));
}

int WireRadioLink::T_Read() {
  if (mode_ == Mode::kReplaying) return ReadValueOf(replay_);
  Append(MakeOp(OpCode::kRead));
  return 0;
}

// --- sending

void WireRadioLink::T_SendScreenToPc(const std::string& screenName, int code) {
  if (mode_ != Mode::kBuilding || sent_) return;
  building_.name = screenName;
  building_.answerCode = code;
}

void WireRadioLink::T_WaitAnyScreenFromPc() {
  if (mode_ == Mode::kBuilding && !sent_) SendBuilt();
}

void WireRadioLink::T_SendScreen() {
  if (mode_ == Mode::kBuilding && !sent_) SendBuilt();
}

void WireRadioLink::SendBuilt() {
  sent_ = true;
  mode_ = Mode::kIdle;
  Terminal& t = terminals_[buildFor_];
  building_.sequence = t.sequence + 1;
  std::string payload, err;
  if (!wire::EncodeScreen(building_, &payload, &err)) {
    Log("radio: screen " + building_.name + " for terminal " + buildFor_ + " not sent: " + err);
    return;
  }
  t.sequence = building_.sequence;
  t.lastName = building_.name;
  t.lastScreen = std::move(payload);
  t.awaitingAnswer = building_.answerCode != 0;
  t.undelivered = true;
  SendLastScreen(buildFor_);
  if (t.undelivered) {
    Log("radio: terminal " + buildFor_ + " not reachable; its screen waits until it is back");
  }
}

void WireRadioLink::SendLastScreen(const std::string& id) {
  Terminal& t = terminals_[id];
  if (t.lastScreen.empty() || !transport_) return;
  const wire::Frame f{static_cast<std::uint8_t>(wire::Type::kScreen), id, t.lastScreen};
  Transport* to = Reaching(id);
  if ((to ? to : transport_.get())->Send(f)) t.undelivered = false;
}

}  // namespace tervo::radio
