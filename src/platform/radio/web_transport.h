// WebSocket transport: terminals in a browser (the gateway's terminal page)
// connect to a path of the gateway's HTTP listener and speak the wire
// protocol as JSON messages (web_messages.h, docs/web-terminal.md).  Each
// connection is admitted by the same handshake as a TCP/IP terminal, with
// the same keys and served ids, keeps the same time-outs and output caps,
// and owns its terminal until it drops, goes silent or is taken over.
#pragma once

#include <QObject>
#include <map>
#include <memory>
#include <string>

#include "platform/http/http_server.h"
#include "platform/radio/transport.h"

class QTcpSocket;
class QWebSocket;
class QWebSocketServer;

namespace tervo::radio {

struct WebLimits {
  // A longer message closes the connection (WebSocket close code 1009).
  std::size_t maxMessageBytes = 64 * 1024;
  // Messages a connection may send: this many a second, after a burst of
  // `burst`.  More are dropped (one log line a minute), so that a runaway
  // page costs neither the log nor the other terminals anything.
  int messagesPerSecond = 20;
  int burst = 40;
  // Connections not welcomed yet; a new one beyond closes the oldest.
  std::size_t maxPending = 64;
};

class WebTransport final : public Transport {
 public:
  // Serves WebSocket connections on path of server.  encrypted: the
  // listener runs TLS (told to terminals in WELCOME).
  WebTransport(http::Server& server, std::string path, bool encrypted, TransportSetup setup,
               WebLimits limits = {});
  ~WebTransport() override;

  bool Open(std::string* err) override;
  bool Send(const wire::Frame& frame) override;
  void ResetAll() override;
  bool IsConnected(const std::string& terminalId) const override;
  void CheckTimeouts() override;
  std::size_t Backlog() const override;
  void Release(const std::string& terminalId) override;

 private:
  struct Connection;
  void OnUpgrade(QTcpSocket* socket, const http::Request& request);
  void OnNewConnection();
  void OnMessage(QWebSocket* ws, const QString& text);
  void OnFrame(Connection& c, const wire::Frame& frame);
  void OnWelcomed(Connection& c, const Handshake::Step& step);
  bool TakeToken(Connection& c);
  void Refuse(Connection& c, const wire::Refusal& refusal, const std::string& why);
  void Replace(const std::string& id);
  void Drop(QWebSocket* ws);
  void Write(Connection& c, const wire::Frame& frame);
  void Flush(Connection& c);
  std::string Who(const Connection& c) const;
  std::int64_t Now() const;
  void Log(const std::string& s) const;

  http::Server& server_;
  std::string path_;
  bool encrypted_;
  TransportSetup setup_;
  WebLimits limits_;
  std::unique_ptr<QObject> context_;  // receiver of every connection's signals
  std::unique_ptr<QWebSocketServer> upgrader_;
  std::map<QWebSocket*, std::unique_ptr<Connection>> connections_;
  std::map<std::string, QWebSocket*> byId_;
  std::uint64_t accepted_ = 0;
  std::int64_t originLogged_ = -1;
};

}  // namespace tervo::radio
