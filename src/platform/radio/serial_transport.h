// Serial transport: one line to a radio base that carries many terminals.
// Every frame names its terminal, so the line is multiplexed by the frame
// header; frames with a blank id belong to the base itself (PROBE,
// BASE-READY, RESET to all).  Each terminal is admitted by its own
// handshake (handshake.h), relayed by the base.
#pragma once

#include <QSerialPort>
#include <map>
#include <memory>
#include <set>

#include "platform/radio/transport.h"

namespace tervo::radio {

// The device for the ComPort option: a text holding "/" is a device path and
// used as it is; a number n (or "COMn") is the platform's n-th serial port,
// /dev/ttyS<n-1> on Linux, so COM1 is /dev/ttyS0; any other name is taken
// from /dev ("ttyUSB0" -> "/dev/ttyUSB0").  Empty for a number below 1.
std::string SerialDeviceName(const std::string& comPort);

class SerialTransport final : public Transport {
 public:
  SerialTransport(std::string device, int baudRate, TransportSetup setup);
  ~SerialTransport() override;

  // Opens the line and asks the base to answer (PROBE); false only when the
  // device cannot be opened.  The base's BASE-READY comes later, through
  // the event loop like every frame: Ready() from then on.
  bool Open(std::string* err) override;
  bool Ready() const override { return baseReady_; }
  void AskAgain() override;
  bool Send(const wire::Frame& frame) override;
  void ResetAll() override;
  bool IsConnected(const std::string& terminalId) const override;
  void CheckTimeouts() override;
  std::size_t Backlog() const override { return out_.Backlog(); }
  void Release(const std::string& terminalId) override;

 private:
  struct Peer;
  void OnReadyRead();
  void Drain();
  void OnFrame(const wire::Frame& frame);
  void OnTerminalFrame(const wire::Frame& frame);
  void Refuse(const std::string& id, const wire::Refusal& refusal, std::uint8_t version,
              const std::string& why);
  void Write(wire::Frame frame);
  void Flush();
  std::int64_t Now() const;
  void Log(const std::string& s) const;

  std::string device_;
  int baudRate_;
  TransportSetup setup_;
  QSerialPort port_;
  wire::FrameDecoder decoder_;
  OutputQueue out_;
  bool baseReady_ = false;
  bool hunting_ = false;  // logged a framing fault; quiet until the next good frame
  std::map<std::string, std::unique_ptr<Peer>> peers_;
  std::set<std::string> everWelcomed_;
  std::int64_t partialSince_ = -1;
  std::int64_t lineHeard_ = 0;
  std::int64_t probeSent_ = -1;
  bool baseSilent_ = false;
};

}  // namespace tervo::radio
