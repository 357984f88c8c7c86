#include "platform/radio/web_transport.h"

#include <QTcpSocket>
#include <QWebSocket>
#include <QWebSocketServer>
#include <algorithm>

#include "platform/os/windows1252.h"
#include "platform/radio/web_messages.h"

namespace tervo::radio {

namespace {

constexpr std::int64_t kNever = -1;
constexpr std::int64_t kQuietMs = 60000;  // one line a minute for repeated trouble

}  // namespace

struct WebTransport::Connection {
  Connection(Gatekeeper& gate, bool encrypted, OutputLimits limits)
      : handshake(gate, encrypted), out(limits) {}
  QWebSocket* ws = nullptr;
  std::string peer;
  Handshake handshake;
  OutputQueue out;
  std::string id;  // set once welcomed
  bool closing = false;
  std::uint64_t arrival = 0;
  std::int64_t opened = 0;
  std::int64_t lastHeard = 0;
  std::int64_t pingSent = kNever;
  std::int64_t closingSince = kNever;
  double tokens = 0;
  std::int64_t refilled = 0;
  int dropped = 0;  // messages over the rate since the last line about it
  std::int64_t droppedLogged = kNever;
};

WebTransport::WebTransport(http::Server& server, std::string path, bool encrypted,
                           TransportSetup setup, WebLimits limits)
    : server_(server),
      path_(std::move(path)),
      encrypted_(encrypted),
      setup_(std::move(setup)),
      limits_(limits),
      context_(std::make_unique<QObject>()),
      upgrader_(std::make_unique<QWebSocketServer>(QStringLiteral("tervo"),
                                                   QWebSocketServer::NonSecureMode)) {
  // Every upgrade is taken as soon as it is made; the limit on connections
  // that are not welcomed yet is this transport's own.
  upgrader_->setMaxPendingConnections(1 << 20);
  QObject::connect(upgrader_.get(), &QWebSocketServer::newConnection, context_.get(),
                   [this] { OnNewConnection(); });
}

WebTransport::~WebTransport() {
  server_.Unroute(path_);
  for (auto& [ws, c] : connections_) {
    QObject::disconnect(ws, nullptr, context_.get(), nullptr);
    ws->abort();
    ws->deleteLater();
  }
}

void WebTransport::Log(const std::string& s) const {
  if (setup_.callbacks.log) setup_.callbacks.log(s);
}

std::int64_t WebTransport::Now() const { return setup_.clock->MonotonicMs(); }

bool WebTransport::Open(std::string* err) {
  if (!server_.Listening()) {
    *err = "the HTTP listener is not listening";
    return false;
  }
  server_.RouteUpgrade(path_, [this](QTcpSocket* socket, const http::Request& request) {
    OnUpgrade(socket, request);
  });
  return true;
}

void WebTransport::OnUpgrade(QTcpSocket* socket, const http::Request& request) {
  // The socket is ours now.  It goes when it disconnects, upgraded or not
  // (the WebSocket does not own it).
  QObject::connect(socket, &QAbstractSocket::disconnected, socket, &QObject::deleteLater);
  // A page of another site must not drive a terminal through a browser
  // that can reach the gateway: the Origin a browser sends must be this
  // listener's own.  Clients that are not browsers send none.
  const std::string origin = request.Header("origin");
  const std::string own = std::string(encrypted_ ? "https://" : "http://") + request.Header("host");
  if (!origin.empty() && origin != own) {
    const std::int64_t now = Now();
    if (originLogged_ == kNever || now - originLogged_ >= kQuietMs) {
      originLogged_ = now;
      Log("web: WebSocket from a page of " + origin + " refused (" +
          socket->peerAddress().toString().toStdString() + ")");
    }
    const std::string r = http::FormatResponse(
        http::Response::Text(403, "pages of other sites may not connect"), false, true);
    socket->skip(socket->bytesAvailable());
    socket->write(r.data(), static_cast<qint64>(r.size()));
    socket->disconnectFromHost();
    return;
  }
  upgrader_->handleConnection(socket);
}

void WebTransport::OnNewConnection() {
  while (QWebSocket* ws = upgrader_->nextPendingConnection()) {
    ws->setParent(nullptr);
    std::size_t pending = 0;
    const Connection* oldest = nullptr;
    for (const auto& [w, c] : connections_) {
      if (!c->id.empty() || c->closing) continue;
      ++pending;
      if (!oldest || c->arrival < oldest->arrival) oldest = c.get();
    }
    if (pending >= limits_.maxPending && oldest) {
      Log("web: too many connections without HELLO; " + oldest->peer + " closed");
      Drop(oldest->ws);
    }
    ws->setMaxAllowedIncomingFrameSize(limits_.maxMessageBytes);
    ws->setMaxAllowedIncomingMessageSize(limits_.maxMessageBytes);
    auto c = std::make_unique<Connection>(*setup_.gate, encrypted_, setup_.output);
    c->ws = ws;
    c->peer = ws->peerAddress().toString().toStdString();
    c->arrival = ++accepted_;
    c->opened = c->lastHeard = c->refilled = Now();
    c->tokens = limits_.burst;
    connections_[ws] = std::move(c);
    QObject::connect(ws, &QWebSocket::textMessageReceived, context_.get(),
                     [this, ws](const QString& text) { OnMessage(ws, text); });
    QObject::connect(ws, &QWebSocket::binaryMessageReceived, context_.get(), [this, ws] {
      auto it = connections_.find(ws);
      if (it == connections_.end() || it->second->closing) return;
      Refuse(*it->second, {wire::RefusedCode::kProtocol, "binary message; JSON text expected"},
             "binary message");
    });
    QObject::connect(ws, &QWebSocket::bytesWritten, context_.get(), [this, ws] {
      auto it = connections_.find(ws);
      if (it != connections_.end()) Flush(*it->second);
    });
    QObject::connect(ws, &QWebSocket::disconnected, context_.get(), [this, ws] {
      auto it = connections_.find(ws);
      if (it == connections_.end()) return;
      const Connection& gone = *it->second;
      if (!gone.closing) {
        const int code = ws->closeCode();
        std::string how;
        if (code == QWebSocketProtocol::CloseCodeTooMuchData) {
          how = " (a message over " + std::to_string(limits_.maxMessageBytes) + " bytes)";
        } else if (code != QWebSocketProtocol::CloseCodeNormal &&
                   code != QWebSocketProtocol::CloseCodeGoingAway) {
          how =
              " (close code " + std::to_string(code) + ": " + ws->closeReason().toStdString() + ")";
        }
        if (!gone.id.empty() || !how.empty()) Log("web: " + Who(gone) + " disconnected" + how);
      }
      Drop(ws);
    });
  }
}

void WebTransport::Drop(QWebSocket* ws) {
  auto it = connections_.find(ws);
  if (it == connections_.end()) return;
  const std::string id = it->second->id;
  auto byId = byId_.find(id);
  if (byId != byId_.end() && byId->second == ws) byId_.erase(byId);
  QObject::disconnect(ws, nullptr, context_.get(), nullptr);
  connections_.erase(it);
  ws->abort();
  ws->deleteLater();
}

std::string WebTransport::Who(const Connection& c) const {
  if (!c.id.empty()) return "terminal " + c.id;
  const std::string& claimed = c.handshake.TerminalId();
  return claimed.empty() ? "browser " + c.peer : "terminal " + claimed + " from " + c.peer;
}

bool WebTransport::TakeToken(Connection& c) {
  const std::int64_t now = Now();
  c.tokens = std::min<double>(limits_.burst, c.tokens + static_cast<double>(now - c.refilled) *
                                                            limits_.messagesPerSecond / 1000.0);
  c.refilled = now;
  if (c.tokens >= 1) {
    c.tokens -= 1;
    return true;
  }
  ++c.dropped;
  if (c.droppedLogged == kNever || now - c.droppedLogged >= kQuietMs) {
    Log("web: " + Who(c) + " sends more than " + std::to_string(limits_.messagesPerSecond) +
        " messages a second; the excess is dropped" +
        (c.droppedLogged == kNever ? std::string()
                                   : " (" + std::to_string(c.dropped) + " since the last line)"));
    c.droppedLogged = now;
    c.dropped = 0;
  }
  return false;
}

void WebTransport::OnMessage(QWebSocket* ws, const QString& text) {
  auto it = connections_.find(ws);
  if (it == connections_.end() || it->second->closing) return;
  Connection& c = *it->second;
  if (!TakeToken(c)) return;
  c.lastHeard = Now();
  c.pingSent = kNever;
  wire::Frame frame;
  std::string err;
  const QByteArray utf8 = text.toUtf8();
  switch (web::FromJson(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())),
                        web::From::kTerminal, &frame, &err)) {
    case web::ReadResult::kBroken:
      // The counterpart of a frame that breaks the framing: the
      // connection is not trusted any further.
      Refuse(c, {wire::RefusedCode::kProtocol, err}, err);
      return;
    case web::ReadResult::kMalformed:
      if (c.id.empty()) {
        Refuse(c, {wire::RefusedCode::kProtocol, "malformed " + err}, "malformed " + err);
      } else {
        Log("web: message from terminal " + c.id + " dropped: " + err);
      }
      return;
    case web::ReadResult::kOk:
      break;
  }
  // Only HELLO names the terminal; the others speak for the connection's.
  if (frame.type != static_cast<std::uint8_t>(wire::Type::kHello)) {
    frame.terminalId = c.id.empty() ? c.handshake.TerminalId() : c.id;
  }
  OnFrame(c, frame);
}

void WebTransport::Refuse(Connection& c, const wire::Refusal& refusal, const std::string& why) {
  Log("web: " + Who(c) + " refused: " + why);
  c.out.Clear();
  std::string json, err;
  if (web::ToJson({static_cast<std::uint8_t>(wire::Type::kRefused), c.id,
                   wire::EncodeRefused(refusal, wire::kVersion), wire::kVersion},
                  web::From::kGateway, &json, &err)) {
    c.ws->sendTextMessage(QString::fromUtf8(json.data(), static_cast<qsizetype>(json.size())));
  }
  c.closing = true;
  c.closingSince = Now();
  auto byId = byId_.find(c.id);
  if (byId != byId_.end() && byId->second == c.ws) byId_.erase(byId);
  // The close frame follows the refusal.
  c.ws->close(refusal.code == wire::RefusedCode::kProtocol
                  ? QWebSocketProtocol::CloseCodePolicyViolated
                  : QWebSocketProtocol::CloseCodeNormal);
}

void WebTransport::Replace(const std::string& id) {
  auto old = byId_.find(id);
  if (old == byId_.end()) return;
  auto oc = connections_.find(old->second);
  byId_.erase(old);
  if (oc == connections_.end()) return;
  Connection& c = *oc->second;
  c.id.clear();
  Log("web: terminal " + id + " on the older connection from " + c.peer + " told it was replaced");
  Refuse(c, {wire::RefusedCode::kReplaced, "replaced by a newer connection of terminal " + id},
         "replaced by a newer connection");
}

void WebTransport::Release(const std::string& terminalId) {
  if (!byId_.count(terminalId)) return;
  Log("web: terminal " + terminalId + " connected elsewhere; its browser connection closed");
  Replace(terminalId);
}

void WebTransport::OnWelcomed(Connection& c, const Handshake::Step& step) {
  const std::string id = c.handshake.TerminalId();
  auto old = byId_.find(id);
  if (old != byId_.end() && old->second != c.ws) {
    Log("web: terminal " + id + " connected again; older connection closed");
    Replace(id);
  }
  c.id = id;
  byId_[c.id] = c.ws;
  const wire::Hello& h = step.hello;
  std::string how = "browser";
  if (encrypted_) how += ", TLS";
  if (c.handshake.Authenticated()) how += ", authenticated";
  Log("web: terminal " + c.id + " connected from " + c.peer + " (" + how + ")");
  Log("web: terminal " + c.id + ": display " + std::to_string(h.displayWidth) +
      (h.displayLines ? "x" + std::to_string(h.displayLines) : std::string()) +
      (h.client.empty() ? std::string() : ", " + h.client.substr(0, 40)));
  Write(c, step.reply);
  if (setup_.callbacks.frame && byId_.count(id)) {
    setup_.callbacks.frame({static_cast<std::uint8_t>(wire::Type::kHello), id,
                            wire::EncodeHello(h, wire::kVersion), wire::kVersion});
  }
}

void WebTransport::OnFrame(Connection& c, const wire::Frame& frame) {
  const auto type = static_cast<wire::Type>(frame.type);
  if (c.id.empty()) {
    const Handshake::Step step = c.handshake.OnFrame(frame);
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
  switch (type) {
    case wire::Type::kHello:
    case wire::Type::kAuth:
      Log("web: second " + std::string(wire::TypeName(frame.type)) + " from terminal " + c.id +
          " dropped");
      return;
    case wire::Type::kPing:
      Write(c, {static_cast<std::uint8_t>(wire::Type::kGatewayPong), c.id, {}});
      return;
    case wire::Type::kPong:
      return;  // heard: that is all a PONG says
    default:
      break;
  }
  if (setup_.callbacks.frame) setup_.callbacks.frame(frame);
}

void WebTransport::Write(Connection& c, const wire::Frame& frame) {
  if (c.closing) return;
  std::string json, err;
  if (!web::ToJson(frame, web::From::kGateway, &json, &err)) {
    Log("web: " + std::string(wire::TypeName(frame.type)) + " for " + frame.terminalId +
        " not sent: " + err);
    return;
  }
  const auto pushed = c.out.Push(c.id, frame.type == static_cast<std::uint8_t>(wire::Type::kScreen),
                                 std::move(json));
  if (pushed.firstDrop) {
    Log("web: terminal " + c.id + " does not take its screens; the oldest unsent ones are dropped");
  }
  if (pushed.overflow) {
    Log("web: terminal " + c.id + " does not read what it is sent; connection closed");
    Drop(c.ws);
    return;
  }
  Flush(c);
}

void WebTransport::Flush(Connection& c) {
  if (c.closing) return;
  QWebSocket* ws = c.ws;
  c.out.Flush([ws] { return static_cast<std::size_t>(std::max<qint64>(0, ws->bytesToWrite())); },
              [ws](const std::string& json) {
                return ws->sendTextMessage(
                           QString::fromUtf8(json.data(), static_cast<qsizetype>(json.size()))) > 0;
              });
  for (const auto& caughtUp : c.out.TakeCaughtUp()) {
    Log("web: terminal " + c.id + " takes its screens again; " +
        std::to_string(caughtUp.droppedScreens) + " unsent screens were dropped");
  }
}

bool WebTransport::Send(const wire::Frame& frame) {
  auto it = byId_.find(frame.terminalId);
  if (it == byId_.end()) return false;
  auto c = connections_.find(it->second);
  if (c == connections_.end()) return false;
  Write(*c->second, frame);
  return true;
}

void WebTransport::ResetAll() {
  std::vector<std::string> ids;
  for (const auto& [id, ws] : byId_) ids.push_back(id);
  for (const auto& id : ids) Send({static_cast<std::uint8_t>(wire::Type::kReset), id, {}});
}

bool WebTransport::IsConnected(const std::string& terminalId) const {
  return byId_.count(terminalId) > 0;
}

std::size_t WebTransport::Backlog() const {
  std::size_t n = 0;
  for (const auto& [ws, c] : connections_) n += c->out.Backlog();
  return n;
}

void WebTransport::CheckTimeouts() {
  const std::int64_t now = Now();
  const LinkTimeouts& t = setup_.gate->timeouts;
  std::vector<QWebSocket*> sockets;
  for (const auto& [ws, c] : connections_) sockets.push_back(ws);
  for (QWebSocket* ws : sockets) {
    auto it = connections_.find(ws);
    if (it == connections_.end()) continue;
    Connection& c = *it->second;
    if (c.closing) {
      if (now - c.closingSince >= t.closingMs) Drop(ws);
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
    if (t.keepAliveMs <= 0) continue;
    if (c.pingSent == kNever) {
      if (now - c.lastHeard >= t.keepAliveMs) {
        c.pingSent = now;
        Write(c, {static_cast<std::uint8_t>(wire::Type::kGatewayPing), c.id, {}});
      }
    } else if (now - c.pingSent >= t.answerMs) {
      Log("web: terminal " + c.id + " does not answer PING; connection closed");
      Drop(ws);
    }
  }
}

}  // namespace tervo::radio
