// The embedded demo host: a TN5250 server playing a scripted application
// (the built-in warehouse application unless told otherwise).  The gateway
// starts it in-process when its router is "DemoHost"; tervo-demohost runs
// it alone.  It listens on loopback unless given another address.
#pragma once

#include <QHostAddress>
#include <QObject>

#include <memory>
#include <string>
#include <vector>

#include "platform/demohost/app_model.h"
#include "platform/demohost/host_connection.h"

class QTcpServer;

namespace tervo::demohost {

class DemoHost : public QObject {
  Q_OBJECT

 public:
  explicit DemoHost(DemoHostOptions options = {}, QObject* parent = nullptr);
  ~DemoHost() override;

  // Plays app instead of the built-in application.  Only before Listen (and
  // after Close with every session gone); otherwise false with *err set.
  bool SetApplication(Application app, std::string* err);
  // Reads an application file; on failure *err says which line is wrong
  // and the current application stays.
  bool LoadApplication(const std::string& path, std::string* err);

  // Starts listening; port 0 takes a free port (see Port()).  Loads the
  // built-in application first if none was set.
  bool Listen(const QHostAddress& address, quint16 port, std::string* err);
  // Loopback on a free port: what the gateway and tests use.
  bool ListenOnFreeLoopbackPort(std::string* err) {
    return Listen(QHostAddress::LocalHost, 0, err);
  }
  quint16 Port() const;
  // "127.0.0.1:PORT": the System address the gateway's TN5250 client is
  // given for the "DemoHost" router.
  std::string Address() const;
  void Close();

  const Application& App() const { return app_; }
  // The connections still open, oldest first.
  std::vector<const HostConnection*> Connections() const;

  // "host:port" parsing for --listen: "127.0.0.1:2323", "[::1]:2323",
  // ":2323" or "2323" (loopback).  Sets *err for anything else.
  static bool ParseListenAddress(const std::string& text, QHostAddress* address, quint16* port,
                                 std::string* err);

 signals:
  void ConnectionOpened();
  void ConnectionClosed();

 private:
  void OnNewConnection();

  DemoHostOptions options_;
  Application app_;
  bool haveApp_ = false;
  DeviceNames names_;
  QTcpServer* server_;
  std::vector<HostConnection*> connections_;
};

}  // namespace tervo::demohost
