// The gateway's radio link: RadioLink over the wire protocol of
// docs/radio-protocol.md, on TCP/IP or on a serial radio base, and for
// browsers over WebSockets besides (docs/web-terminal.md).  The engine
// cannot tell which transport a terminal uses.
#pragma once

#include <QTimer>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "platform/radio/radio_link.h"
#include "platform/radio/screen_program.h"
#include "platform/radio/tls_setup.h"
#include "platform/radio/transport.h"
#include "platform/radio/web_transport.h"

namespace tervo::radio {

// The TCP port the gateway listens on when the TCPIPAddr text names none
// ("127.0.0.1" listens on 7250, "0.0.0.0:7300" on 7300).
constexpr std::uint16_t kDefaultTcpPort = 7250;

struct RadioLinkOptions {
  // Port for a TCPIPAddr without ":port"; 0 picks any free port (tests).
  std::uint16_t tcpPort = kDefaultTcpPort;
  // Received messages held for T_CheckIfReceiveData; more are refused.
  std::size_t maxQueued = 1024;
  // Of those, held for any one terminal: a terminal that floods the link
  // loses its own messages, never the other terminals' ones.
  std::size_t maxQueuedPerTerminal = 16;
  LogFn log;  // one line per event; unset: qInfo

  // The terminals' secrets (terminal_keys.h).  Empty, or a file that does
  // not exist: terminals are not asked for one, and a warning is logged.
  std::string keyFile;
  // TCP/IP in TLS when a certificate is given.
  TlsFiles tls;
  // What the time-outs read; unset: the system's clock.
  const os::Clock* clock = nullptr;
  LinkTimeouts timeouts;
  OutputLimits output;
  // How often the time-outs are checked, real time; 0: only when
  // CheckTimeouts is called (tests on a virtual clock).
  int checkEveryMs = 250;

  // Browsers: WebSocket connections to webPath of this HTTP listener are
  // terminals too, admitted like the others.  Unset, or not listening:
  // none.  The listener must outlive the link.
  http::Server* web = nullptr;
  std::string webPath = "/terminal";
  WebLimits webLimits;
};

class WireRadioLink final : public RadioLink {
 public:
  explicit WireRadioLink(RadioLinkOptions options = {});
  ~WireRadioLink() override;

  void TCPIP_Start(const std::string& baseAddress) override;
  int InitializeComm(int port, int baudRate) override;
  void ForceResetOnAllTerminal() override;
  void TCPIP_AcceptTerminalId(const std::string& terminalId) override;
  void TerminateComm(int port) override;

  bool BaseAnswerPending() const override;
  int T_CheckIfReceiveData(std::string& id, std::string& data, std::uint8_t& kind,
                           std::int32_t& value, std::string& block) override;
  void SetReceiveNotifier(std::function<void()> notify) override { notify_ = std::move(notify); }
  void T_RefreshScreen(const std::string& terminalId, const std::string& data) override;

  void T_InitScreen(const std::string& terminalId, const std::string& screenName, int format, int a,
                    int b) override;
  void T_Cls() override;
  void T_NewLine() override;
  void T_WaitChar() override;
  void T_HardReset() override;
  void T_GetCheckEnter() override;
  void T_PrintString(const std::string& text) override;
  void T_PrintInverse(const std::string& text) override;
  void T_PrintLarge(const std::string& text) override;
  void T_Say(const std::string& text) override;
  void T_Scroll(const std::string& a, const std::string& b) override;
  void T_NoSay(std::uint8_t size) override;
  void T_GetText(std::string& buffer, int size, int attributes) override;
  int T_Read() override;
  void T_Delay(int units) override;
  void T_Beep(int frequency, int duration) override;
  void T_CapsLock(int on) override;
  void T_SetLargeFunctionKeys(const std::string& legend, std::uint8_t count) override;
  void T_ChangeScreenAttributtes(int format, int item, int attributes) override;

  void T_SendScreen() override;
  void T_SendScreenToPc(const std::string& screenName, int code) override;
  void T_WaitAnyScreenFromPc() override;

  int BatteryLevel(const std::string& terminalId) const override;

  // --- beyond RadioLink
  // The serial device to open instead of the one the InitializeComm port
  // number maps to (the ComPort option holding a device path).
  void SetSerialDevice(const std::string& device) { serialDevice_ = device; }
  // TCP/IP: the port actually listened on, 0 when not listening.
  std::uint16_t ListeningPort() const;
  bool IsTerminalConnected(const std::string& terminalId) const;
  // Answers of the terminal the link refused since it started: late or
  // repeated ones, ones that do not read, and ones its receive queue had
  // no room for.
  std::uint64_t AnswersRefused(const std::string& terminalId) const;
  // Applies the link's time-outs now (also run by a timer, see
  // RadioLinkOptions::checkEveryMs).
  void CheckTimeouts();
  // Bytes waiting to be sent to terminals.
  std::size_t Backlog() const;
  // Whether browsers can connect (the link is up and has a listener).
  bool ServesBrowsers() const { return web_ != nullptr; }

 private:
  enum class Mode { kIdle, kBuilding, kReplaying };
  struct Incoming {
    std::string id;
    std::string data;
    std::uint8_t kind = kOther;
    std::optional<Answer> answer;
  };
  struct Terminal {
    std::int32_t battery = -1;
    std::uint32_t sequence = 0;  // of the last screen built for it
    std::string lastName;        // the name its answer must carry
    std::string lastScreen;      // its encoded SCREEN payload
    bool undelivered = false;    // built while the terminal was out of reach
    bool awaitingAnswer = false;
    std::optional<Answer> current;  // the answer last handed to the gateway
    std::uint64_t answersRefused = 0;
  };

  int LinkUp();
  void OnFrame(const wire::Frame& frame);
  // A frame from one of the transports; a terminal that gets in on one is
  // let go by the others.
  void OnFrameFrom(const Transport* from, const wire::Frame& frame);
  // The transport that reaches the terminal now, or nullptr.
  Transport* Reaching(const std::string& id) const;
  // False when the queue is full and the message was dropped.
  bool Enqueue(Incoming in);
  void Append(ScreenOp op);
  void SendBuilt();
  void SendLastScreen(const std::string& id);
  void Log(const std::string& s) const;

  void ReportSecurity();

  RadioLinkOptions options_;
  std::unique_ptr<os::Clock> ownClock_;
  Gatekeeper gate_;
  QTimer checkTimer_;
  bool tcpMode_ = false;
  std::string tcpAddress_ = "127.0.0.1";
  std::uint16_t tcpPort_ = kDefaultTcpPort;
  std::string serialDevice_;
  std::set<std::string> accepted_;
  std::unique_ptr<Transport> transport_;  // TCP/IP or the radio base
  std::unique_ptr<Transport> web_;        // browsers
  std::deque<Incoming> queue_;
  bool queueFull_ = false;
  std::map<std::string, std::size_t> queuedBy_;  // queue_ entries per terminal
  struct OverflowNote {
    std::int64_t loggedAt = 0;
    int dropped = 0;  // since that line
  };
  static constexpr std::int64_t kOverflowLogMs = 60000;
  std::map<std::string, OverflowNote> overflowing_;  // terminals whose drops were logged
  std::map<std::string, Terminal> terminals_;
  std::function<void()> notify_;
  bool up_ = false;  // InitializeComm succeeded on the transport there is

  Mode mode_ = Mode::kIdle;
  std::string buildFor_;
  ScreenProgram building_;
  bool sent_ = false;
  Answer replay_;
  std::size_t replayInput_ = 0;
};

}  // namespace tervo::radio
