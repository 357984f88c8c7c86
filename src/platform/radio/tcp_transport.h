// TCP/IP transport: the gateway listens; each terminal connects, says HELLO
// with its id, and owns that connection until it drops or a newer connection
// with the same id replaces it.
#pragma once

#include <QHostAddress>
#include <QTcpServer>
#include <map>
#include <memory>

#include "platform/radio/transport.h"

class QTcpSocket;

namespace tervo::radio {

class TcpTransport final : public Transport {
 public:
  TcpTransport(QHostAddress address, quint16 port, TransportCallbacks callbacks);
  ~TcpTransport() override;

  bool Open(std::string* err) override;
  bool Send(const wire::Frame& frame) override;
  void ResetAll() override;
  bool IsConnected(const std::string& terminalId) const override;

  quint16 Port() const { return server_.serverPort(); }

  // Connections that have not said HELLO yet are kept to this many: idle
  // sockets must not pile up.  A new connection closes the oldest of them,
  // so idle sockets cannot lock real terminals out either.
  static constexpr std::size_t kMaxPending = 64;

 private:
  struct Connection;
  void OnNewConnection();
  void OnReadyRead(QTcpSocket* socket);
  void OnFrame(Connection& c, const wire::Frame& frame);
  // Logs, tells the peer (as terminal id) why, and closes the connection.
  void Refuse(Connection& c, const std::string& reason, const std::string& id);
  void Drop(QTcpSocket* socket);
  bool Write(QTcpSocket* socket, const wire::Frame& frame);
  void Log(const std::string& s) const;

  QHostAddress address_;
  quint16 port_;
  TransportCallbacks cb_;
  QTcpServer server_;
  std::map<QTcpSocket*, std::unique_ptr<Connection>> connections_;
  std::map<std::string, QTcpSocket*> byId_;
  std::uint64_t accepted_ = 0;  // numbers connections in arrival order
};

}  // namespace tervo::radio
