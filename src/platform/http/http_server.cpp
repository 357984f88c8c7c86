#include "platform/http/http_server.h"

#include <QTcpSocket>

#include "platform/http/tls_tcp_server.h"

namespace tervo::http {

namespace {

constexpr int kClosingMs = 2000;  // a response that cannot leave is cut after this

}  // namespace

struct Server::Connection {
  QTcpSocket* socket = nullptr;
  std::string peer;
  std::uint64_t arrival = 0;
  std::int64_t since = 0;  // waiting for the current request since
  int served = 0;          // requests answered on this connection
  bool closing = false;
  std::int64_t closingSince = 0;
};

Server::Server(ServerOptions options) : options_(std::move(options)) {
  if (!options_.clock) {
    ownClock_ = std::make_unique<os::SystemClock>();
    options_.clock = ownClock_.get();
  }
  QObject::connect(&checkTimer_, &QTimer::timeout, &checkTimer_, [this] { CheckTimeouts(); });
}

Server::~Server() { Close(); }

void Server::Log(const std::string& s) const {
  if (options_.log) options_.log(s);
}

std::int64_t Server::Now() const { return options_.clock->MonotonicMs(); }

bool Server::Listen(const QHostAddress& address, quint16 port, std::optional<QSslConfiguration> tls,
                    std::string* err) {
  Close();
  tls_ = std::move(tls);
  server_ = std::make_unique<TlsTcpServer>(tls_);
  QObject::connect(server_.get(), &QTcpServer::newConnection, server_.get(),
                   [this] { OnNewConnection(); });
  if (!server_->listen(address, port)) {
    *err = "cannot listen on " + address.toString().toStdString() + ":" + std::to_string(port) +
           ": " + server_->errorString().toStdString();
    server_.reset();
    return false;
  }
  if (options_.checkEveryMs > 0) checkTimer_.start(options_.checkEveryMs);
  return true;
}

void Server::Close() {
  checkTimer_.stop();
  std::vector<QTcpSocket*> sockets;
  for (const auto& [s, c] : connections_) sockets.push_back(s);
  for (QTcpSocket* s : sockets) Drop(s);
  if (server_) server_->close();
  server_.reset();
}

bool Server::Listening() const { return server_ && server_->isListening(); }
quint16 Server::Port() const { return server_ ? server_->serverPort() : 0; }
QHostAddress Server::Address() const { return server_ ? server_->serverAddress() : QHostAddress(); }

void Server::Route(const std::string& path, Handler handler) {
  upgrades_.erase(path);
  routes_[path] = std::move(handler);
}

void Server::RouteUpgrade(const std::string& path, UpgradeHandler handler) {
  routes_.erase(path);
  upgrades_[path] = std::move(handler);
}

void Server::Unroute(const std::string& path) {
  routes_.erase(path);
  upgrades_.erase(path);
}

bool Server::HasRoute(const std::string& path) const {
  return routes_.count(path) > 0 || upgrades_.count(path) > 0;
}

void Server::OnNewConnection() {
  while (QTcpSocket* socket = server_->nextPendingConnection()) {
    if (connections_.size() >= options_.maxConnections) {
      // The oldest connection still waiting for its request goes: a crowd
      // of idle connections must not lock real clients out.
      Connection* oldest = nullptr;
      for (const auto& [s, c] : connections_)
        if (!oldest || c->arrival < oldest->arrival) oldest = c.get();
      if (oldest) Drop(oldest->socket);
    }
    auto c = std::make_unique<Connection>();
    c->socket = socket;
    c->peer = socket->peerAddress().toString().toStdString();
    c->arrival = ++accepted_;
    c->since = Now();
    connections_[socket] = std::move(c);
    QObject::connect(socket, &QTcpSocket::readyRead, server_.get(),
                     [this, socket] { OnReadyRead(socket); });
    QObject::connect(socket, &QTcpSocket::disconnected, server_.get(),
                     [this, socket] { Drop(socket); });
    if (auto* ssl = qobject_cast<QSslSocket*>(socket)) {
      QObject::connect(ssl, &QAbstractSocket::errorOccurred, server_.get(),
                       [this, socket](QAbstractSocket::SocketError e) {
                         if (e == QAbstractSocket::SslHandshakeFailedError ||
                             e == QAbstractSocket::SslInvalidUserDataError ||
                             e == QAbstractSocket::SslInternalError)
                           Drop(socket);
                       });
    }
  }
}

void Server::Drop(QTcpSocket* socket) {
  auto it = connections_.find(socket);
  if (it == connections_.end()) return;
  QObject::disconnect(socket, nullptr, server_.get(), nullptr);
  connections_.erase(it);
  socket->abort();
  socket->deleteLater();
}

void Server::Answer(Connection& c, const Request* request, const Response& response, bool close) {
  const bool head = request && request->method == "HEAD";
  const std::string bytes = FormatResponse(response, head, close);
  c.socket->write(bytes.data(), static_cast<qint64>(bytes.size()));
  ++c.served;
  c.since = Now();
  if (close) {
    c.closing = true;
    c.closingSince = Now();
    // May drop the connection at once; the caller does not touch c again.
    c.socket->disconnectFromHost();
  }
}

void Server::OnReadyRead(QTcpSocket* socket) {
  for (;;) {
    auto it = connections_.find(socket);
    if (it == connections_.end()) return;
    Connection& c = *it->second;
    if (c.closing) {
      socket->readAll();  // nothing more is answered
      return;
    }
    if (socket->bytesAvailable() <= 0) return;
    // Peeked, not read: an upgrade hands the request on unread.
    const QByteArray bytes = socket->peek(static_cast<qint64>(options_.maxHeadBytes) + 1);
    Request request;
    const ParseOutcome parsed = ParseRequestHead(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
        options_.maxHeadBytes, &request);
    if (parsed.result == ParseResult::kNeedMore) return;
    if (parsed.result == ParseResult::kError) {
      Answer(c, nullptr, Response::Text(parsed.status, parsed.error), true);
      return;
    }
    if (request.Header("transfer-encoding") != "" ||
        (request.Header("content-length") != "" && request.Header("content-length") != "0")) {
      Answer(c, &request, Response::Text(413, "requests with a body are not accepted"), true);
      return;
    }
    const auto upgrade = upgrades_.find(request.path);
    if (upgrade != upgrades_.end()) {
      if (request.method == "GET" && request.HeaderHas("upgrade", "websocket") &&
          request.HeaderHas("connection", "upgrade")) {
        QObject::disconnect(socket, nullptr, server_.get(), nullptr);
        connections_.erase(it);  // the handler owns the socket now
        const UpgradeHandler handler = upgrade->second;
        handler(socket, request);
        return;
      }
      socket->skip(static_cast<qint64>(parsed.headBytes));
      Response r = Response::Text(426, "this address takes WebSocket connections only");
      r.headers.emplace_back("Upgrade", "websocket");
      Answer(c, &request, r, true);
      return;
    }
    socket->skip(static_cast<qint64>(parsed.headBytes));
    const auto route = routes_.find(request.path);
    if (route == routes_.end()) {
      Answer(c, &request, Response::Text(404, "no page at " + request.path), !request.KeepAlive());
      continue;
    }
    if (request.method != "GET" && request.method != "HEAD") {
      Response r = Response::Text(405, request.method + " is not served here");
      r.headers.emplace_back("Allow", "GET, HEAD");
      Answer(c, &request, r, !request.KeepAlive());
      continue;
    }
    const Handler handler = route->second;
    Answer(c, &request, handler(request), !request.KeepAlive());
  }
}

void Server::CheckTimeouts() {
  const std::int64_t now = Now();
  std::vector<QTcpSocket*> sockets;
  for (const auto& [s, c] : connections_) sockets.push_back(s);
  for (QTcpSocket* s : sockets) {
    auto it = connections_.find(s);
    if (it == connections_.end()) continue;
    Connection& c = *it->second;
    if (c.closing) {
      if (now - c.closingSince >= kClosingMs) Drop(s);
      continue;
    }
    const bool idle = c.served > 0 && s->bytesAvailable() == 0;
    if (idle && now - c.since >= options_.idleMs) {
      Drop(s);
    } else if (!idle && now - c.since >= options_.requestMs) {
      Answer(c, nullptr,
             Response::Text(408, "request not complete within " +
                                     std::to_string(options_.requestMs / 1000) + " s"),
             true);
    }
  }
}

}  // namespace tervo::http
