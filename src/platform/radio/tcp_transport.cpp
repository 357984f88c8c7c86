#include "platform/radio/tcp_transport.h"

#include <QTcpSocket>

namespace tervo::radio {

struct TcpTransport::Connection {
  QTcpSocket* socket = nullptr;
  wire::FrameDecoder decoder;
  std::string id;  // set once HELLO was accepted
  bool closing = false;
  std::uint64_t arrival = 0;
};

TcpTransport::TcpTransport(QHostAddress address, quint16 port, TransportCallbacks callbacks)
    : address_(std::move(address)), port_(port), cb_(std::move(callbacks)) {
  QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] { OnNewConnection(); });
}

TcpTransport::~TcpTransport() {
  for (auto& [socket, c] : connections_) {
    QObject::disconnect(socket, nullptr, &server_, nullptr);
    socket->abort();
    socket->deleteLater();
  }
  server_.close();
}

void TcpTransport::Log(const std::string& s) const {
  if (cb_.log) cb_.log(s);
}

bool TcpTransport::Open(std::string* err) {
  if (!server_.listen(address_, port_)) {
    *err = "cannot listen on " + address_.toString().toStdString() + ":" + std::to_string(port_) +
           ": " + server_.errorString().toStdString();
    return false;
  }
  return true;
}

void TcpTransport::OnNewConnection() {
  while (QTcpSocket* socket = server_.nextPendingConnection()) {
    std::size_t pending = 0;
    const Connection* oldest = nullptr;
    for (const auto& [s, c] : connections_) {
      if (!c->id.empty()) continue;
      ++pending;
      if (!oldest || c->arrival < oldest->arrival) oldest = c.get();
    }
    if (pending >= kMaxPending && oldest) {
      Log("radio: too many connections without HELLO; " +
          oldest->socket->peerAddress().toString().toStdString() + " closed");
      Drop(oldest->socket);
    }
    auto c = std::make_unique<Connection>();
    c->socket = socket;
    c->arrival = ++accepted_;
    connections_[socket] = std::move(c);
    QObject::connect(socket, &QTcpSocket::readyRead, &server_,
                     [this, socket] { OnReadyRead(socket); });
    QObject::connect(socket, &QTcpSocket::disconnected, &server_, [this, socket] {
      auto it = connections_.find(socket);
      if (it == connections_.end()) return;
      if (!it->second->id.empty() && !it->second->closing) {
        Log("radio: terminal " + it->second->id + " disconnected");
      }
      Drop(socket);
    });
  }
}

void TcpTransport::Drop(QTcpSocket* socket) {
  auto it = connections_.find(socket);
  if (it == connections_.end()) return;
  const std::string id = it->second->id;
  auto byId = byId_.find(id);
  if (byId != byId_.end() && byId->second == socket) byId_.erase(byId);
  QObject::disconnect(socket, nullptr, &server_, nullptr);
  connections_.erase(it);
  socket->abort();
  socket->deleteLater();
}

void TcpTransport::OnReadyRead(QTcpSocket* socket) {
  const QByteArray bytes = socket->readAll();
  auto it = connections_.find(socket);
  if (it == connections_.end()) return;
  it->second->decoder.Feed(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  for (;;) {
    // Look the connection up again: handling a frame may have dropped it.
    it = connections_.find(socket);
    if (it == connections_.end() || it->second->closing) return;
    Connection& c = *it->second;
    wire::Frame frame;
    std::string err;
    const auto r = c.decoder.Next(&frame, &err);
    if (r == wire::FrameDecoder::Result::kNeedMore) return;
    if (r == wire::FrameDecoder::Result::kError) {
      // A byte stream that lost its framing cannot be trusted any further.
      Refuse(c, err, c.id);
      return;
    }
    OnFrame(c, frame);
  }
}

void TcpTransport::Refuse(Connection& c, const std::string& reason, const std::string& id) {
  const std::string who =
      id.empty() ? c.socket->peerAddress().toString().toStdString() : "terminal " + id;
  Log("radio: " + who + " refused: " + reason);
  QTcpSocket* socket = c.socket;
  Write(socket, {static_cast<std::uint8_t>(wire::Type::kRefused), id,
                 wire::EncodeText(reason.substr(0, 200))});
  c.closing = true;
  auto byId = byId_.find(c.id);
  if (byId != byId_.end() && byId->second == socket) byId_.erase(byId);
  // Let the refusal leave before the socket goes.  This may drop the
  // connection at once, so c is not touched afterwards.
  socket->disconnectFromHost();
}

void TcpTransport::OnFrame(Connection& c, const wire::Frame& frame) {
  const auto type = static_cast<wire::Type>(frame.type);
  if (c.id.empty()) {
    if (type != wire::Type::kHello) {
      Refuse(c, std::string(wire::TypeName(frame.type)) + " before HELLO", {});
      return;
    }
    wire::Hello hello;
    std::string err;
    if (!wire::DecodeHello(frame.payload, &hello, &err)) {
      Refuse(c, "malformed HELLO: " + err, frame.terminalId);
      return;
    }
    if (frame.terminalId.empty()) {
      Refuse(c, "HELLO without a terminal id", {});
      return;
    }
    if (cb_.accept && !cb_.accept(frame.terminalId)) {
      Refuse(c, "terminal id " + frame.terminalId + " not accepted", frame.terminalId);
      return;
    }
    auto old = byId_.find(frame.terminalId);
    if (old != byId_.end() && old->second != c.socket) {
      Log("radio: terminal " + frame.terminalId + " connected again; older connection closed");
      auto oc = connections_.find(old->second);
      if (oc != connections_.end()) oc->second->closing = true;
      QTcpSocket* oldSocket = old->second;
      byId_.erase(old);
      Drop(oldSocket);
    }
    c.id = frame.terminalId;
    byId_[c.id] = c.socket;
    Log("radio: terminal " + c.id + " connected from " +
        c.socket->peerAddress().toString().toStdString());
    Write(c.socket, {static_cast<std::uint8_t>(wire::Type::kWelcome), c.id, {}});
    if (cb_.frame) cb_.frame(frame);
    return;
  }
  if (frame.terminalId != c.id) {
    // Never let one terminal's connection speak for another.
    Log("radio: " + std::string(wire::TypeName(frame.type)) + " for terminal " + frame.terminalId +
        " on the connection of " + c.id + " refused");
    return;
  }
  if (type == wire::Type::kHello) {
    Log("radio: second HELLO from terminal " + c.id + " refused");
    return;
  }
  if (cb_.frame) cb_.frame(frame);
}

bool TcpTransport::Write(QTcpSocket* socket, const wire::Frame& frame) {
  std::string bytes, err;
  if (!wire::EncodeFrame(frame, &bytes, &err)) {
    Log("radio: " + std::string(wire::TypeName(frame.type)) + " for " + frame.terminalId +
        " not sent: " + err);
    return false;
  }
  return socket->write(bytes.data(), static_cast<qint64>(bytes.size())) ==
         static_cast<qint64>(bytes.size());
}

bool TcpTransport::Send(const wire::Frame& frame) {
  auto it = byId_.find(frame.terminalId);
  if (it == byId_.end()) return false;
  return Write(it->second, frame);
}

void TcpTransport::ResetAll() {
  for (const auto& [id, socket] : byId_) {
    Write(socket, {static_cast<std::uint8_t>(wire::Type::kReset), id, {}});
  }
}

bool TcpTransport::IsConnected(const std::string& terminalId) const {
  return byId_.count(terminalId) > 0;
}

}  // namespace tervo::radio
