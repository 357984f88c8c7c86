// A listening socket that hands out TLS sockets, already handshaking, when
// it has a certificate, and plain sockets otherwise.  The HTTP listener and
// the terminals' TCP link both listen this way.
#pragma once

#include <QSslConfiguration>
#include <QSslSocket>
#include <QTcpServer>
#include <optional>

namespace tervo::http {

class TlsTcpServer : public QTcpServer {
 public:
  // tls must outlive the server.
  explicit TlsTcpServer(const std::optional<QSslConfiguration>& tls) : tls_(tls) {}

 protected:
  void incomingConnection(qintptr fd) override {
    if (!tls_) {
      QTcpServer::incomingConnection(fd);
      return;
    }
    auto* socket = new QSslSocket(this);
    if (!socket->setSocketDescriptor(fd)) {
      delete socket;
      return;
    }
    socket->setSslConfiguration(*tls_);
    socket->startServerEncryption();
    addPendingConnection(socket);
  }

 private:
  const std::optional<QSslConfiguration>& tls_;
};

}  // namespace tervo::http
