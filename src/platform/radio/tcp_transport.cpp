#include "platform/radio/tcp_transport.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <QSslSocket>
#include <QTcpSocket>

#include "platform/http/tls_tcp_server.h"

namespace tervo::radio {

namespace {

constexpr std::int64_t kNever = -1;

// For a version-1 terminal, which cannot answer PING, the system's TCP
// keep-alive finds a dead peer instead: probes after the same silence.
void EnableSystemKeepAlive(QTcpSocket* socket, const LinkTimeouts& t) {
  const qintptr fd = socket->socketDescriptor();
  if (fd < 0 || t.keepAliveMs <= 0) return;
  const int on = 1;
  const int idle = std::max(1, t.keepAliveMs / 1000);
  const int interval = std::max(1, t.answerMs / 3000);
  const int count = 3;
  ::setsockopt(static_cast<int>(fd), SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
  ::setsockopt(static_cast<int>(fd), IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle);
  ::setsockopt(static_cast<int>(fd), IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval);
  ::setsockopt(static_cast<int>(fd), IPPROTO_TCP, TCP_KEEPCNT, &count, sizeof count);
}

std::string Features(const wire::Hello& h) {
  std::string s;
  const struct {
    std::uint32_t bit;
    const char* name;
  } names[] = {{wire::kFeatureInverse, "inverse"},
               {wire::kFeatureLarge, "large font"},
               {wire::kFeatureBeeper, "beeper"},
               {wire::kFeatureScanner, "scanner"}};
  for (const auto& n : names) {
    if (h.features & n.bit) s += std::string(s.empty() ? "" : ", ") + n.name;
  }
  return s;
}

}  // namespace

struct TcpTransport::Connection {
  explicit Connection(Gatekeeper& gate, bool encrypted, OutputLimits limits)
      : handshake(gate, encrypted), out(limits) {}
  QTcpSocket* socket = nullptr;
  std::string peer;  // the address, for the log
  wire::FrameDecoder decoder;
  Handshake handshake;
  OutputQueue out;
  std::string id;  // set once welcomed
  bool closing = false;
  std::uint64_t arrival = 0;
  std::int64_t opened = 0;
  std::int64_t lastHeard = 0;
  std::int64_t partialSince = kNever;  // when the frame still incomplete began
  std::int64_t pingSent = kNever;
  std::int64_t closingSince = kNever;
};

TcpTransport::TcpTransport(QHostAddress address, quint16 port, TransportSetup setup,
                           std::optional<QSslConfiguration> tls)
    : address_(std::move(address)),
      port_(port),
      setup_(std::move(setup)),
      tls_(std::move(tls)),
      server_(std::make_unique<http::TlsTcpServer>(tls_)) {
  QObject::connect(server_.get(), &QTcpServer::newConnection, server_.get(),
                   [this] { OnNewConnection(); });
}

TcpTransport::~TcpTransport() {
  for (auto& [socket, c] : connections_) {
    QObject::disconnect(socket, nullptr, server_.get(), nullptr);
    socket->abort();
    socket->deleteLater();
  }
  server_->close();
}

void TcpTransport::Log(const std::string& s) const {
  if (setup_.callbacks.log) setup_.callbacks.log(s);
}

std::int64_t TcpTransport::Now() const { return setup_.clock->MonotonicMs(); }

quint16 TcpTransport::Port() const { return server_->serverPort(); }

bool TcpTransport::Open(std::string* err) {
  if (!server_->listen(address_, port_)) {
    *err = "cannot listen on " + address_.toString().toStdString() + ":" + std::to_string(port_) +
           ": " + server_->errorString().toStdString();
    return false;
  }
  return true;
}

std::string TcpTransport::Who(const Connection& c) const {
  if (!c.id.empty()) return "terminal " + c.id;
  const std::string& claimed = c.handshake.TerminalId();
  return claimed.empty() ? c.peer : "terminal " + claimed + " from " + c.peer;
}

void TcpTransport::OnNewConnection() {
  while (QTcpSocket* socket = server_->nextPendingConnection()) {
    std::size_t pending = 0;
    const Connection* oldest = nullptr;
    for (const auto& [s, c] : connections_) {
      if (!c->id.empty() || c->closing) continue;
      ++pending;
      if (!oldest || c->arrival < oldest->arrival) oldest = c.get();
    }
    if (pending >= kMaxPending && oldest) {
      Log("radio: too many connections without HELLO; " + oldest->peer + " closed");
      Drop(oldest->socket);
    }
    auto c = std::make_unique<Connection>(*setup_.gate, tls_.has_value(), setup_.output);
    c->socket = socket;
    c->peer = socket->peerAddress().toString().toStdString();
    c->arrival = ++accepted_;
    c->opened = c->lastHeard = Now();
    connections_[socket] = std::move(c);
    QObject::connect(socket, &QTcpSocket::readyRead, server_.get(),
                     [this, socket] { OnReadyRead(socket); });
    QObject::connect(socket, &QTcpSocket::bytesWritten, server_.get(), [this, socket] {
      auto it = connections_.find(socket);
      if (it != connections_.end()) Flush(*it->second);
    });
    QObject::connect(socket, &QTcpSocket::disconnected, server_.get(), [this, socket] {
      auto it = connections_.find(socket);
      if (it == connections_.end()) return;
      if (!it->second->id.empty() && !it->second->closing) {
        Log("radio: terminal " + it->second->id + " disconnected");
      }
      Drop(socket);
    });
    if (auto* ssl = qobject_cast<QSslSocket*>(socket)) {
      QObject::connect(ssl, &QSslSocket::encryptedBytesWritten, server_.get(), [this, socket] {
        auto it = connections_.find(socket);
        if (it != connections_.end()) Flush(*it->second);
      });
      QObject::connect(ssl, &QAbstractSocket::errorOccurred, server_.get(),
                       [this, socket](QAbstractSocket::SocketError e) {
                         auto it = connections_.find(socket);
                         if (it == connections_.end()) return;
                         if (e == QAbstractSocket::SslHandshakeFailedError ||
                             e == QAbstractSocket::SslInvalidUserDataError ||
                             e == QAbstractSocket::SslInternalError) {
                           Log("radio: TLS handshake with " + it->second->peer +
                               " failed: " + socket->errorString().toStdString());
                           Drop(socket);
                         }
                       });
    }
  }
}

void TcpTransport::Drop(QTcpSocket* socket) {
  auto it = connections_.find(socket);
  if (it == connections_.end()) return;
  const std::string id = it->second->id;
  auto byId = byId_.find(id);
  if (byId != byId_.end() && byId->second == socket) byId_.erase(byId);
  QObject::disconnect(socket, nullptr, server_.get(), nullptr);
  connections_.erase(it);
  socket->abort();
  socket->deleteLater();
}

void TcpTransport::OnReadyRead(QTcpSocket* socket) {
  const QByteArray bytes = socket->readAll();
  auto it = connections_.find(socket);
  if (it == connections_.end() || it->second->closing) return;
  it->second->decoder.Feed(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  const std::int64_t now = Now();
  bool took = false;
  for (;;) {
    // Look the connection up again: handling a frame may have dropped it.
    it = connections_.find(socket);
    if (it == connections_.end() || it->second->closing) return;
    Connection& c = *it->second;
    wire::Frame frame;
    std::string err;
    const auto r = c.decoder.Next(&frame, &err);
    if (r == wire::FrameDecoder::Result::kNeedMore) {
      // A frame that has begun must end in time; its clock starts with its
      // first byte.
      if (c.decoder.Buffered() == 0) {
        c.partialSince = kNever;
      } else if (took || c.partialSince == kNever) {
        c.partialSince = now;
      }
      return;
    }
    if (r == wire::FrameDecoder::Result::kError) {
      // A byte stream that lost its framing cannot be trusted any further.
      Refuse(c, {wire::RefusedCode::kProtocol, err}, err);
      return;
    }
    took = true;
    c.lastHeard = now;
    c.pingSent = kNever;
    OnFrame(c, frame);
  }
}

void TcpTransport::Refuse(Connection& c, const wire::Refusal& refusal, const std::string& why) {
  Log("radio: " + Who(c) + " refused: " + why);
  QTcpSocket* socket = c.socket;
  // The refusal goes before anything still waiting: the connection ends.
  c.out.Clear();
  std::string bytes, err;
  const std::uint8_t version = c.handshake.Version();
  if (wire::EncodeFrame({static_cast<std::uint8_t>(wire::Type::kRefused),
                         c.id.empty() ? c.handshake.TerminalId() : c.id,
                         wire::EncodeRefused(refusal, version), version},
                        &bytes, &err)) {
    socket->write(bytes.data(), static_cast<qint64>(bytes.size()));
  }
  c.closing = true;
  c.closingSince = Now();
  auto byId = byId_.find(c.id);
  if (byId != byId_.end() && byId->second == socket) byId_.erase(byId);
  // Let the refusal leave before the socket goes.  This may drop the
  // connection at once, so c is not touched afterwards.
  socket->disconnectFromHost();
}

void TcpTransport::OnWelcomed(Connection& c, const Handshake::Step& step) {
  const std::string id = c.handshake.TerminalId();
  auto old = byId_.find(id);
  if (old != byId_.end() && old->second != c.socket) {
    Log("radio: terminal " + id + " connected again; older connection closed");
    Replace(id);
  }
  c.id = id;
  byId_[c.id] = c.socket;
  const wire::Hello& h = step.hello;
  // Debug-log lines are cut at 80 characters: how it connected first, what
  // the device is on a line of its own.
  std::string how = "v" + std::to_string(c.handshake.Version());
  if (tls_) how += ", TLS";
  if (c.handshake.Authenticated()) how += ", authenticated";
  Log("radio: terminal " + c.id + " connected from " + c.peer + " (" + how + ")");
  std::string device = "display " + std::to_string(h.displayWidth) +
                       (h.displayLines ? "x" + std::to_string(h.displayLines) : std::string());
  const std::string features = Features(h);
  if (!features.empty()) device += ", " + features;
  Log("radio: terminal " + c.id + ": " + device);
  const std::uint8_t version = c.handshake.Version();
  if (version < 2) EnableSystemKeepAlive(c.socket, setup_.gate->timeouts);
  Write(c, step.reply);
  // The link hears the HELLO only now, and only if the connection is
  // still there to be answered.
  if (setup_.callbacks.frame && byId_.count(id)) {
    setup_.callbacks.frame({static_cast<std::uint8_t>(wire::Type::kHello), id,
                            wire::EncodeHello(h, version), version});
  }
}

void TcpTransport::Replace(const std::string& id) {
  auto old = byId_.find(id);
  if (old == byId_.end()) return;
  auto oc = connections_.find(old->second);
  byId_.erase(old);
  if (oc == connections_.end()) return;
  // Told why, so that a device that finds itself replaced does not simply
  // come back and knock the other one off in turn.
  oc->second->id.clear();
  Log("radio: terminal " + id + " on the older connection from " + oc->second->peer +
      " told it was replaced");
  std::string bytes, err;
  const std::uint8_t version = oc->second->handshake.Version();
  oc->second->out.Clear();
  if (wire::EncodeFrame({static_cast<std::uint8_t>(wire::Type::kRefused), id,
                         wire::EncodeRefused({wire::RefusedCode::kReplaced,
                                              "replaced by a newer connection of terminal " + id},
                                             version),
                         version},
                        &bytes, &err)) {
    oc->second->socket->write(bytes.data(), static_cast<qint64>(bytes.size()));
  }
  oc->second->closing = true;
  oc->second->closingSince = Now();
  oc->second->socket->disconnectFromHost();
}

void TcpTransport::Release(const std::string& terminalId) {
  if (!byId_.count(terminalId)) return;
  Log("radio: terminal " + terminalId + " connected elsewhere; its TCP/IP connection closed");
  Replace(terminalId);
}

void TcpTransport::OnFrame(Connection& c, const wire::Frame& frame) {
  const auto type = static_cast<wire::Type>(frame.type);
  if (c.id.empty()) {
    Handshake::Step step = c.handshake.OnFrame(frame);
    switch (step.kind) {
      case Handshake::Step::Kind::kChallenge:
        Write(c, step.reply);
        return;
      case Handshake::Step::Kind::kRefuse:
        Refuse(c, step.refusal, step.why);
        return;
      case Handshake::Step::Kind::kWelcome:
        OnWelcomed(c, step);
        return;
    }
    return;
  }
  if (frame.terminalId != c.id) {
    // Never let one terminal's connection speak for another.
    Log("radio: " + std::string(wire::TypeName(frame.type)) + " for terminal " + frame.terminalId +
        " on the connection of " + c.id + " refused");
    return;
  }
  switch (type) {
    case wire::Type::kHello:
    case wire::Type::kAuth:
      Log("radio: second " + std::string(wire::TypeName(frame.type)) + " from terminal " + c.id +
          " refused");
      return;
    case wire::Type::kPing:
      if (c.handshake.Version() >= 2) {
        Write(c, {static_cast<std::uint8_t>(wire::Type::kGatewayPong), c.id, {}});
        return;
      }
      break;
    case wire::Type::kPong:
      if (c.handshake.Version() >= 2) return;  // heard: that is all a PONG says
      break;
    default:
      break;
  }
  if (setup_.callbacks.frame) setup_.callbacks.frame(frame);
}

void TcpTransport::Write(Connection& c, wire::Frame frame) {
  frame.version = c.handshake.Version();
  std::string bytes, err;
  if (!wire::EncodeFrame(frame, &bytes, &err)) {
    Log("radio: " + std::string(wire::TypeName(frame.type)) + " for " + frame.terminalId +
        " not sent: " + err);
    return;
  }
  const auto pushed = c.out.Push(c.id, frame.type == static_cast<std::uint8_t>(wire::Type::kScreen),
                                 std::move(bytes));
  if (pushed.firstDrop) {
    Log("radio: terminal " + c.id + " does not take its screens; the oldest unsent ones are dropped");
  }
  if (pushed.overflow) {
    Log("radio: terminal " + c.id + " does not read what it is sent; connection closed");
    Drop(c.socket);
    return;
  }
  Flush(c);
}

void TcpTransport::Flush(Connection& c) {
  if (c.closing) return;
  QTcpSocket* socket = c.socket;
  c.out.Flush([socket] { return static_cast<std::size_t>(socket->bytesToWrite()); },
              [socket](const std::string& b) {
                return socket->write(b.data(), static_cast<qint64>(b.size())) ==
                       static_cast<qint64>(b.size());
              });
  for (const auto& caughtUp : c.out.TakeCaughtUp()) {
    Log("radio: terminal " + c.id + " takes its screens again; " +
        std::to_string(caughtUp.droppedScreens) + " unsent screens were dropped");
  }
}

bool TcpTransport::Send(const wire::Frame& frame) {
  auto it = byId_.find(frame.terminalId);
  if (it == byId_.end()) return false;
  auto c = connections_.find(it->second);
  if (c == connections_.end()) return false;
  Write(*c->second, frame);
  return true;
}

void TcpTransport::ResetAll() {
  std::vector<std::string> ids;
  for (const auto& [id, socket] : byId_) ids.push_back(id);
  for (const auto& id : ids) Send({static_cast<std::uint8_t>(wire::Type::kReset), id, {}});
}

bool TcpTransport::IsConnected(const std::string& terminalId) const {
  return byId_.count(terminalId) > 0;
}

std::size_t TcpTransport::Backlog() const {
  std::size_t n = 0;
  for (const auto& [s, c] : connections_) n += c->out.Backlog();
  return n;
}

void TcpTransport::CheckTimeouts() {
  const std::int64_t now = Now();
  const LinkTimeouts& t = setup_.gate->timeouts;
  std::vector<QTcpSocket*> sockets;
  for (const auto& [s, c] : connections_) sockets.push_back(s);
  for (QTcpSocket* s : sockets) {
    auto it = connections_.find(s);
    if (it == connections_.end()) continue;
    Connection& c = *it->second;
    if (c.closing) {
      // A peer that does not read keeps its refusal from ever leaving.
      if (now - c.closingSince >= t.closingMs) Drop(s);
      continue;
    }
    if (c.partialSince != kNever && now - c.partialSince >= t.frameMs) {
      Refuse(c,
             {wire::RefusedCode::kTimedOut,
              "frame not completed within " + std::to_string(t.frameMs / 1000) + " s"},
             "frame not completed within " + std::to_string(t.frameMs) + " ms");
      continue;
    }
    if (c.id.empty()) {
      if (now - c.opened >= t.handshakeMs) {
        Refuse(c,
               {wire::RefusedCode::kTimedOut,
                "not welcomed within " + std::to_string(t.handshakeMs / 1000) + " s"},
               "no HELLO completed within " + std::to_string(t.handshakeMs) + " ms");
      }
      continue;
    }
    if (c.handshake.Version() < 2 || t.keepAliveMs <= 0) continue;
    if (c.pingSent == kNever) {
      if (now - c.lastHeard >= t.keepAliveMs) {
        c.pingSent = now;
        Write(c, {static_cast<std::uint8_t>(wire::Type::kGatewayPing), c.id, {}});
      }
    } else if (now - c.pingSent >= t.answerMs) {
      Log("radio: terminal " + c.id + " does not answer PING; connection closed");
      Drop(s);
    }
  }
}

}  // namespace tervo::radio
