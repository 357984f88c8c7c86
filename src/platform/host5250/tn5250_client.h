// The TN5250 display: a Tn5250Session over a TCP or TLS socket, behind the
// HostDisplay interface.  Events reach the handlers through the event loop
// (queued calls), never from inside the socket's read handler, so a handler
// may send keys, read fields or process events itself.
//
// An invalid DeviceName (see device_name.h) is logged and not offered.
// PositionPicked is never raised: there is no pointer on a headless display.
// Disconnect() is the gateway's own doing and raises no Disconnected event;
// a lost or refused connection does.  ExitOnDisconnect and AutoDisconnect
// are kept for the caller and change nothing here.
#pragma once

#include <QObject>
#include <QPointer>
#include <memory>
#include <string>

#include "platform/host5250/field_list.h"
#include "platform/host5250/host_display.h"
#include "platform/host5250/tn5250_session.h"

class QTcpSocket;

namespace tervo::host5250 {

class Tn5250Client : public QObject, public HostDisplay {
  Q_OBJECT
 public:
  // A host that neither accepts nor refuses within this time is given up.
  static constexpr int kConnectTimeoutMs = 30000;

  explicit Tn5250Client(QObject* parent = nullptr);
  ~Tn5250Client() override;

  // Options, set before Connect.
  bool SetCcsid(int ccsid, std::string* err) { return session_.SetCcsid(ccsid, err); }
  void SetCaFile(const std::string& path) { ca_file_ = path; }
  void SetTerminalType(const std::string& type) { session_.SetTerminalType(type); }
  // A fixed host address that overrides the System setting (the demo host).
  void SetFixedSystem(const std::string& system) { fixed_system_ = system; }
  void SetLogger(std::function<void(const std::string&)> log);

  bool Connect(std::string* err) override;
  void Disconnect() override;
  bool SendKeys(const std::string& keys, std::string* err) override;
  bool InputInhibited() const override;
  std::string ReadText(int row, int column, int length) const override;
  int CursorRow() const override;
  int CursorColumn() const override;
  FieldCollection& Fields() override { return fields_; }
  const FieldCollection& Fields() const override { return fields_; }
  KeyboardLock& Keyboard() override { return keyboard_; }
  HostLink& Link() override { return link_; }
  void Configure(bool, bool) override {}
  void SetEvents(HostDisplayEvents events) override { events_ = std::move(events); }

  bool IsConnected() const override;
  const Tn5250Session& Session() const { return session_; }

 private:
  void OnReadyRead();
  void OnLost(const std::string& message);
  void Flush();
  void PostEvents();
  void Log(const std::string& s) {
    if (log_) log_(s);
  }

  Tn5250Session session_;
  ScreenFields fields_{session_.GetScreen(), session_.Codec()};
  KeyboardLock keyboard_;
  HostLink link_;
  HostDisplayEvents events_;
  std::string ca_file_;
  std::string fixed_system_;
  std::function<void(const std::string&)> log_;
  QPointer<QTcpSocket> socket_;
  std::string tls_errors_;
  unsigned generation_ = 0;  // drops queued events of an older connection
  bool lost_reported_ = false;
};

}  // namespace tervo::host5250
