// How simulated terminals reach a gateway: each over its own TCP/IP
// connection, or all of them behind one simulated radio base on a serial
// device (a pseudo-terminal in tests).
#pragma once

#include <QSerialPort>
#include <QSocketNotifier>
#include <QSslConfiguration>
#include <QSslSocket>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/radio/sim_terminal.h"

namespace tervo::radio::sim {

// One terminal over TCP/IP, in TLS after UseTls.  HELLO goes out as soon
// as the connection is up (for TLS: once the gateway's certificate was
// verified).
class SimTcpClient {
 public:
  SimTcpClient(SimTerminal& terminal, std::string host, quint16 port);
  ~SimTcpClient();
  void UseTls(const QSslConfiguration& conf) { tls_ = conf; }
  void Connect();
  // Drops the connection as a radio drop-out would.
  void Disconnect();
  bool Connected() const { return socket_.state() == QAbstractSocket::ConnectedState; }
  bool Unconnected() const { return socket_.state() == QAbstractSocket::UnconnectedState; }
  // Raw bytes, for tests that speak the protocol badly on purpose.
  void WriteRaw(const std::string& bytes);
  // Why the last connection failed or ended (a TLS error, for one).
  const std::string& Error() const { return error_; }
  bool Encrypted() const { return socket_.isEncrypted(); }

 private:
  SimTerminal& terminal_;
  std::string host_;
  quint16 port_;
  std::optional<QSslConfiguration> tls_;
  QSslSocket socket_;
  wire::FrameDecoder decoder_;
  std::string error_;
};

// A byte stream to the gateway's serial port.
class ByteChannel {
 public:
  virtual ~ByteChannel() = default;
  virtual void Write(const std::string& bytes) = 0;
  std::function<void(const char*, std::size_t)> onData;
};

// A serial device opened with QSerialPort.
class SerialChannel final : public ByteChannel {
 public:
  // Fails (nullptr, *err) when the device cannot be opened.
  static std::unique_ptr<SerialChannel> Open(const std::string& device, int baudRate,
                                             std::string* err);
  void Write(const std::string& bytes) override;

 private:
  SerialChannel() = default;
  QSerialPort port_;
};

// A file descriptor such as a pseudo-terminal's master side.  Takes
// ownership of the descriptor.
class FdChannel final : public ByteChannel {
 public:
  explicit FdChannel(int fd);
  ~FdChannel() override;
  void Write(const std::string& bytes) override;
  int Fd() const { return fd_; }

  // Opens a pseudo-terminal pair in raw mode.  Returns the master as a
  // channel and the slave's device path in *slavePath (the slave stays open
  // so the pair survives until the channel goes); nullptr with *err on failure.
  static std::unique_ptr<FdChannel> OpenPty(std::string* slavePath, std::string* err);

 private:
  void OnReadable();
  int fd_;
  int slaveFd_ = -1;
  QSocketNotifier notifier_;
};

// A radio base carrying several terminals over one channel: it answers the
// gateway's PROBE, passes each terminal's frames on, and hands frames to the
// terminal they name (a RESET without id to every one of them).
class SimRadioBase {
 public:
  explicit SimRadioBase(std::unique_ptr<ByteChannel> channel);
  ~SimRadioBase();
  // The terminal stays owned by the caller and must outlive the base.  It
  // says HELLO at once, and again whenever the gateway probes the base
  // before welcoming it.
  void Add(SimTerminal& terminal);
  ByteChannel& Channel() { return *channel_; }
  int Probes() const { return probes_; }

 private:
  void OnData(const char* data, std::size_t size);
  void Write(const wire::Frame& frame);

  std::unique_ptr<ByteChannel> channel_;
  std::vector<SimTerminal*> terminals_;
  wire::FrameDecoder decoder_;
  int probes_ = 0;
};

}  // namespace tervo::radio::sim
