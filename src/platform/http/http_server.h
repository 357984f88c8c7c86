// The gateway's own HTTP listener: one port, in TLS when given a
// certificate, that serves whatever routes are registered on it (the
// terminal page, its WebSocket, later status pages).  It keeps to what an
// exposed port needs: bounded request heads, a time limit for every
// request, a cap on open connections, and no request bodies.
//
// A WebSocket route is handed the connection itself once its request head
// has arrived, with that head still unread in the socket, so that a
// WebSocket server can read the upgrade request as if it had accepted the
// connection.
#pragma once

#include <QHostAddress>
#include <QSslConfiguration>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/http/http_request.h"
#include "platform/os/clock.h"

class QTcpServer;
class QTcpSocket;

namespace tervo::http {

class TlsTcpServer;

struct ServerOptions {
  std::size_t maxHeadBytes = 8192;
  // Open connections, WebSockets handed over not counted.  A new one
  // beyond it closes the oldest that is waiting for a request.
  std::size_t maxConnections = 128;
  // From a connection's first byte (or its previous response) to the end
  // of its request head; longer is answered 408 and closed.
  int requestMs = 10000;
  // A kept-alive connection that sends nothing for this long is closed.
  int idleMs = 30000;
  // What the limits read; unset: the system's clock.
  const os::Clock* clock = nullptr;
  // How often the limits are checked, real time; 0: only when
  // CheckTimeouts is called (tests on a virtual clock).
  int checkEveryMs = 500;
  std::function<void(const std::string&)> log;  // one line per event
};

class Server {
 public:
  using Handler = std::function<Response(const Request&)>;
  // Takes over the socket (and must delete it, e.g. with deleteLater); the
  // request head is still unread in it.
  using UpgradeHandler = std::function<void(QTcpSocket* socket, const Request&)>;

  explicit Server(ServerOptions options = {});
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  // Listens; port 0 picks a free one.  tls set: every connection starts
  // with a TLS handshake.  False with *err when the port cannot be had.
  bool Listen(const QHostAddress& address, quint16 port, std::optional<QSslConfiguration> tls,
              std::string* err);
  void Close();
  bool Listening() const;
  bool Secure() const { return tls_.has_value(); }
  quint16 Port() const;
  QHostAddress Address() const;

  // GET and HEAD of exactly this path (a query is allowed and passed on).
  void Route(const std::string& path, Handler handler);
  // GET of this path with "Upgrade: websocket"; a plain GET of it is
  // answered 426.
  void RouteUpgrade(const std::string& path, UpgradeHandler handler);
  void Unroute(const std::string& path);
  bool HasRoute(const std::string& path) const;

  // Applies the limits as of the clock's time now.
  void CheckTimeouts();
  std::size_t OpenConnections() const { return connections_.size(); }

 private:
  struct Connection;
  void OnNewConnection();
  void OnReadyRead(QTcpSocket* socket);
  void Answer(Connection& c, const Request* request, const Response& response, bool close);
  void Drop(QTcpSocket* socket);
  std::int64_t Now() const;
  void Log(const std::string& s) const;

  ServerOptions options_;
  std::unique_ptr<os::Clock> ownClock_;
  std::optional<QSslConfiguration> tls_;
  std::unique_ptr<TlsTcpServer> server_;
  QTimer checkTimer_;
  std::map<std::string, Handler> routes_;
  std::map<std::string, UpgradeHandler> upgrades_;
  std::map<QTcpSocket*, std::unique_ptr<Connection>> connections_;
  std::uint64_t accepted_ = 0;
};

}  // namespace tervo::http
