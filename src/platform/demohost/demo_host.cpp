#include "platform/demohost/demo_host.h"

#include <QTcpServer>
#include <QTcpSocket>

#include <algorithm>

#include "platform/demohost/app_parser.h"

namespace tervo::demohost {

DemoHost::DemoHost(DemoHostOptions options, QObject* parent)
    : QObject(parent), options_(std::move(options)), server_(new QTcpServer(this)) {
  connect(server_, &QTcpServer::newConnection, this, &DemoHost::OnNewConnection);
}

DemoHost::~DemoHost() {
  Close();
  // Connections that finished wait for deleteLater; they must go before the
  // device names and the application they refer to.
  qDeleteAll(findChildren<HostConnection*>(QString(), Qt::FindDirectChildrenOnly));
}

bool DemoHost::SetApplication(Application app, std::string* err) {
  // Sessions hold references into the application.
  if (server_->isListening() || !findChildren<HostConnection*>().isEmpty()) {
    *err = "the application cannot change while the demo host is serving";
    return false;
  }
  if (!app.FindScreen(app.start)) {
    *err = "the application has no start screen";
    return false;
  }
  app_ = std::move(app);
  haveApp_ = true;
  return true;
}

bool DemoHost::LoadApplication(const std::string& path, std::string* err) {
  Application app;
  if (!LoadApplicationFile(path, &app, err)) return false;
  return SetApplication(std::move(app), err);
}

bool DemoHost::Listen(const QHostAddress& address, quint16 port, std::string* err) {
  if (!haveApp_) {
    std::string perr;
    if (!ParseApplication(WarehouseApplicationText(), &app_, &perr)) {
      *err = "built-in application: " + perr;
      return false;
    }
    haveApp_ = true;
  }
  if (!server_->listen(address, port)) {
    *err = "cannot listen on " + address.toString().toStdString() + ":" + std::to_string(port) +
           " (" + server_->errorString().toStdString() + ")";
    return false;
  }
  return true;
}

quint16 DemoHost::Port() const { return server_->serverPort(); }

std::string DemoHost::Address() const {
  QHostAddress a = server_->serverAddress();
  if (a == QHostAddress::Any || a == QHostAddress::AnyIPv4) a = QHostAddress::LocalHost;
  if (a == QHostAddress::AnyIPv6) a = QHostAddress::LocalHostIPv6;
  const QString host = a.protocol() == QAbstractSocket::IPv6Protocol ? "[" + a.toString() + "]" : a.toString();
  return host.toStdString() + ":" + std::to_string(Port());
}

void DemoHost::Close() {
  server_->close();
  std::vector<HostConnection*> open;
  open.swap(connections_);
  for (HostConnection* c : open) {
    disconnect(c, nullptr, this, nullptr);
    delete c;
  }
}

std::vector<const HostConnection*> DemoHost::Connections() const {
  return {connections_.begin(), connections_.end()};
}

void DemoHost::OnNewConnection() {
  while (QTcpSocket* socket = server_->nextPendingConnection()) {
    auto* c = new HostConnection(socket, app_, names_, options_, this);
    connections_.push_back(c);
    connect(c, &HostConnection::Finished, this, [this](HostConnection* done) {
      auto it = std::find(connections_.begin(), connections_.end(), done);
      if (it == connections_.end()) return;
      connections_.erase(it);
      // Finished may come from inside the connection's own parsing.
      done->deleteLater();
      emit ConnectionClosed();
    });
    emit ConnectionOpened();
  }
}

bool DemoHost::ParseListenAddress(const std::string& text, QHostAddress* address, quint16* port,
                                  std::string* err) {
  std::string host, portText = text;
  const std::size_t colon = text.rfind(':');
  if (colon != std::string::npos) {
    host = text.substr(0, colon);
    portText = text.substr(colon + 1);
  }
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
  bool ok = !portText.empty() && portText.size() <= 5 &&
            std::all_of(portText.begin(), portText.end(), [](char c) { return c >= '0' && c <= '9'; });
  const long p = ok ? std::stol(portText) : -1;
  if (!ok || p > 65535) {
    *err = "bad listen address '" + text + "': expected HOST:PORT, for example 127.0.0.1:2323";
    return false;
  }
  QHostAddress a(QHostAddress::LocalHost);
  if (!host.empty() && !a.setAddress(QString::fromStdString(host))) {
    *err = "bad listen address '" + text + "': " + host + " is not an IP address";
    return false;
  }
  *address = a;
  *port = static_cast<quint16>(p);
  return true;
}

}  // namespace tervo::demohost
