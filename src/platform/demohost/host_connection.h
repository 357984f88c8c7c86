// One terminal connected to the demo host: the telnet negotiation a 5250
// host makes, the Query exchange, then the application played screen by
// screen.  Each connection holds its own application state.
#pragma once

#include <QObject>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/demohost/app_session.h"
#include "platform/host5250/ebcdic.h"
#include "platform/host5250/telnet.h"

class QTcpSocket;

namespace tervo::demohost {

struct DemoHostOptions {
  // A terminal that has not finished the telnet negotiation by then is
  // disconnected.
  int negotiationTimeoutMs = 10000;
  // A terminal that does not answer the Query in time gets the first screen
  // anyway (as a 24 x 80 display).
  int queryTimeoutMs = 3000;
  // A terminal that does not answer Save Screen in time gets no help window.
  int saveTimeoutMs = 3000;
  int ccsid = 37;
  std::function<void(const std::string&)> log;  // one line per event; may be empty
};

// Hands out display device names: the one the terminal offered when it is
// valid and free, otherwise a generated QPADEVnnnn.
class DeviceNames {
 public:
  // refused (optional) says why an offered name was not given: "is not a
  // valid 5250 device name" or "is in use by another session"; empty when
  // it was given or none was offered.
  std::string Claim(const std::string& offered, std::string* refused = nullptr);
  void Release(const std::string& name);
  // A valid 5250 device name in upper case (host5250::ValidDeviceName).
  static bool Valid(const std::string& name);

 private:
  std::vector<std::string> inUse_;
  int next_ = 1;
};

class HostConnection : public QObject, private host5250::telnet::Sink {
  Q_OBJECT

 public:
  enum class Phase { kNegotiating, kQuery, kRunning, kAwaitSave, kClosed };

  // Takes ownership of socket.
  HostConnection(QTcpSocket* socket, const Application& app, DeviceNames& names,
                 const DemoHostOptions& options, QObject* parent = nullptr);
  ~HostConnection() override;

  Phase CurrentPhase() const { return phase_; }
  const std::string& DeviceName() const { return device_; }
  const std::string& TerminalType() const { return terminalType_; }
  // The device type and model the terminal's Query reply gave ("3179",
  // "002"); empty when it did not answer.
  const std::string& QueryDevice() const { return queryDevice_; }
  const AppSession* Session() const { return session_.get(); }

 signals:
  void Finished(tervo::demohost::HostConnection* self);

 private:
  void OnReadyRead();
  void OnTimeout();
  void Close(const std::string& why);
  void Finish();
  void Send(const std::string& bytes);
  void SendRecord(std::uint8_t opcode, const std::string& payload);
  void Log(const std::string& line) const;
  void MaybeStart();
  void StartApplication();
  void ProcessRecord(const std::string& record);
  void HandleAnswer(std::string_view payload);
  void ShowCurrent();

  // telnet::Sink
  void OnData(const std::uint8_t* data, std::size_t size) override;
  void OnCommand(std::uint8_t command) override;
  void OnNegotiation(std::uint8_t verb, std::uint8_t option) override;
  void OnSubnegotiation(std::uint8_t option, std::string_view payload) override;

  QTcpSocket* socket_;
  const Application& app_;
  DeviceNames& names_;
  DemoHostOptions options_;
  host5250::EbcdicCodec codec_;
  host5250::telnet::Parser telnet_;
  QTimer timer_;
  Phase phase_ = Phase::kNegotiating;
  bool finished_ = false;
  std::string record_;
  std::string saved_;

  // Negotiation progress.
  bool ttypeAsked_ = false;
  bool ttypeDone_ = false;
  bool environDone_ = false;
  bool environAsked_ = false;
  bool modesAsked_ = false;
  bool willEor_ = false, doEor_ = false, willBinary_ = false, doBinary_ = false;
  std::string offeredName_;
  std::string device_;
  std::string terminalType_;
  std::string queryDevice_;
  std::unique_ptr<AppSession> session_;
};

}  // namespace tervo::demohost
