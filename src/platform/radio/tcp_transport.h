// TCP/IP transport: the gateway listens (in TLS when given a certificate);
// each terminal connects, is admitted by the handshake (handshake.h), and
// owns that connection until it drops, goes silent, or a newer connection
// with the same id takes over.
#pragma once

#include <QHostAddress>
#include <QSslConfiguration>
#include <QTcpServer>
#include <map>
#include <memory>
#include <optional>

#include "platform/radio/transport.h"

class QTcpSocket;

namespace tervo::http {
class TlsTcpServer;
}

namespace tervo::radio {

class TcpTransport final : public Transport {
 public:
  // tls set: every connection must open with a TLS handshake.
  TcpTransport(QHostAddress address, quint16 port, TransportSetup setup,
               std::optional<QSslConfiguration> tls = std::nullopt);
  ~TcpTransport() override;

  bool Open(std::string* err) override;
  bool Send(const wire::Frame& frame) override;
  void ResetAll() override;
  bool IsConnected(const std::string& terminalId) const override;
  void CheckTimeouts() override;
  std::size_t Backlog() const override;
  void Release(const std::string& terminalId) override;

  quint16 Port() const;

  // Connections that have not been welcomed yet are kept to this many:
  // idle sockets must not pile up.  A new connection closes the oldest of
  // them, so idle sockets cannot lock real terminals out either.
  static constexpr std::size_t kMaxPending = 64;

 private:
  struct Connection;
  void OnNewConnection();
  void OnReadyRead(QTcpSocket* socket);
  void OnFrame(Connection& c, const wire::Frame& frame);
  void OnWelcomed(Connection& c, const Handshake::Step& step);
  // Tells the connection of id that a newer one took the terminal over,
  // and closes it.
  void Replace(const std::string& id);
  // Logs why, tells the peer (a REFUSED in its version) and closes.  c is
  // not touched afterwards.
  void Refuse(Connection& c, const wire::Refusal& refusal, const std::string& why);
  void Drop(QTcpSocket* socket);
  // Queues one frame for the connection and sends what the socket takes.
  void Write(Connection& c, wire::Frame frame);
  void Flush(Connection& c);
  std::string Who(const Connection& c) const;
  std::int64_t Now() const;
  void Log(const std::string& s) const;

  QHostAddress address_;
  quint16 port_;
  TransportSetup setup_;
  std::optional<QSslConfiguration> tls_;
  std::unique_ptr<http::TlsTcpServer> server_;
  std::map<QTcpSocket*, std::unique_ptr<Connection>> connections_;
  std::map<std::string, QTcpSocket*> byId_;
  std::uint64_t accepted_ = 0;  // numbers connections in arrival order
};

}  // namespace tervo::radio
