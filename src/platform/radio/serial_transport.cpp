#include "platform/radio/serial_transport.h"

#include <QEventLoop>
#include <QTimer>

#include "platform/os/blank_text.h"

namespace tervo::radio {

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

SerialTransport::SerialTransport(std::string device, int baudRate, int baseAnswerMs,
                                 TransportCallbacks callbacks)
    : device_(std::move(device)),
      baudRate_(baudRate),
      baseAnswerMs_(baseAnswerMs),
      cb_(std::move(callbacks)) {}

SerialTransport::~SerialTransport() {
  QObject::disconnect(&port_, nullptr, nullptr, nullptr);
  port_.close();
}

void SerialTransport::Log(const std::string& s) const {
  if (cb_.log) cb_.log(s);
}

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

  Write({static_cast<std::uint8_t>(wire::Type::kProbe), {}, {}});
  // Wait processing events, as the gateway's own waits do: the base's answer
  // arrives through readyRead like everything else.
  if (!baseReady_) {
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    waitLoop_ = &loop;
    timer.start(baseAnswerMs_);
    loop.exec();
    waitLoop_ = nullptr;
  }
  if (!baseReady_) {
    *err = "radio base on " + device_ + " does not answer";
    QObject::disconnect(&port_, nullptr, nullptr, nullptr);
    port_.close();
    return false;
  }
  return true;
}

void SerialTransport::OnReadyRead() {
  const QByteArray bytes = port_.readAll();
  decoder_.Feed(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  for (;;) {
    wire::Frame frame;
    std::string err;
    const auto r = decoder_.Next(&frame, &err);
    if (r == wire::FrameDecoder::Result::kNeedMore) return;
    if (r == wire::FrameDecoder::Result::kError) {
      // Line noise: hunt for the next frame start.  One log line per burst.
      if (!hunting_) Log("radio: serial line " + device_ + ": " + err + "; frame skipped");
      hunting_ = true;
      decoder_.Resync();
      continue;
    }
    hunting_ = false;
    OnFrame(frame);
  }
}

void SerialTransport::OnFrame(const wire::Frame& frame) {
  const auto type = static_cast<wire::Type>(frame.type);
  if (frame.terminalId.empty()) {
    if (type == wire::Type::kBaseReady) {
      std::string text, err;
      wire::DecodeText(frame.payload, 200, &text, &err);
      if (!baseReady_) Log("radio: radio base on " + device_ + " answered: " + text);
      baseReady_ = true;
      if (waitLoop_) waitLoop_->quit();
    } else {
      Log("radio: " + std::string(wire::TypeName(frame.type)) + " without a terminal id refused");
    }
    return;
  }
  const bool known = hello_.count(frame.terminalId) > 0;
  if (type == wire::Type::kHello) {
    wire::Hello hello;
    std::string err;
    if (!wire::DecodeHello(frame.payload, &hello, &err)) {
      Log("radio: terminal " + frame.terminalId + " refused: malformed HELLO: " + err);
      Write({static_cast<std::uint8_t>(wire::Type::kRefused), frame.terminalId,
             wire::EncodeText("malformed HELLO")});
      return;
    }
    if (cb_.accept && !cb_.accept(frame.terminalId)) {
      Log("radio: terminal " + frame.terminalId + " refused: terminal id not accepted");
      Write({static_cast<std::uint8_t>(wire::Type::kRefused), frame.terminalId,
             wire::EncodeText("terminal id " + frame.terminalId + " not accepted")});
      return;
    }
    // A second HELLO is the same terminal back in range or restarted.
    hello_.insert(frame.terminalId);
    Log("radio: terminal " + frame.terminalId + (known ? " is back" : " connected") +
        " through the radio base");
    Write({static_cast<std::uint8_t>(wire::Type::kWelcome), frame.terminalId, {}});
    if (cb_.frame) cb_.frame(frame);
    return;
  }
  if (!known) {
    Log("radio: " + std::string(wire::TypeName(frame.type)) + " from terminal " + frame.terminalId +
        " before HELLO refused");
    Write({static_cast<std::uint8_t>(wire::Type::kRefused), frame.terminalId,
           wire::EncodeText("HELLO first")});
    return;
  }
  if (cb_.frame) cb_.frame(frame);
}

bool SerialTransport::Write(const wire::Frame& frame) {
  std::string bytes, err;
  if (!wire::EncodeFrame(frame, &bytes, &err)) {
    Log("radio: " + std::string(wire::TypeName(frame.type)) + " for " + frame.terminalId +
        " not sent: " + err);
    return false;
  }
  if (!port_.isOpen()) return false;
  return port_.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
         static_cast<qint64>(bytes.size());
}

bool SerialTransport::Send(const wire::Frame& frame) {
  // The base queues frames for terminals out of range; a terminal that never
  // said HELLO cannot be reached.
  if (!hello_.count(frame.terminalId)) return false;
  return Write(frame);
}

void SerialTransport::ResetAll() { Write({static_cast<std::uint8_t>(wire::Type::kReset), {}, {}}); }

bool SerialTransport::IsConnected(const std::string& terminalId) const {
  return hello_.count(terminalId) > 0;
}

}  // namespace tervo::radio
