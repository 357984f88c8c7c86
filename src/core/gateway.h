// The gateway engine: one object that owns the configuration store, the
// options, the per-session tables, the 5250 displays, the radio link, the
// log, the clock and the daily counters, and runs the start-up sequence, the
// 100 ms poll loop, terminal transactions, new-screen handling and the
// shutdown sequence.  It knows no window: the main window or the headless
// runner implements GatewayUi and drives it.
//
// Everything runs on the thread of the Qt event loop.  Waits process events
// (EventPump), so poll ticks, host events and terminal data can run inside
// any handler that waits; the guards are the ones the handlers keep
// (the poll timer stopped during its tick, ReentryCount, the busy counter).
#pragma once

#include <QTimer>
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "config/daily_counters.h"
#include "config/general_options.h"
#include "config/log.h"
#include "config/screen_store.h"
#include "core/event_pump.h"
#include "core/gateway_services.h"
#include "core/gateway_ui.h"
#include "core/user_settings.h"
#include "platform/host5250/host_display.h"
#include "platform/os/clock.h"
#include "platform/radio/radio_link.h"
#include "screens/screen_context.h"
#include "screens/session_state.h"

namespace tervo::core {

constexpr const char* kSettingsApp = "TervoTerminal2";
constexpr const char* kSettingsSection = "Startup";
constexpr const char* kRadioSettingsApp = "QuilComm";
constexpr const char* kDefaultRouter = "DemoHost";
constexpr int kPollIntervalMs = 100;
constexpr int kIdleTicksLimit = 1500;  // 150 s of 100 ms ticks
constexpr int kBatteryLowMv = 4500;
constexpr int kEnterKey = 13;

// The parts a gateway is made of.  ui is not owned: it outlives the gateway.
struct GatewayParts {
  std::unique_ptr<config::ScreenStore> store;
  std::unique_ptr<config::GeneralOptions> options;
  std::unique_ptr<radio::RadioLink> radio;
  std::unique_ptr<os::Clock> clock;
  std::unique_ptr<EventPump> pump;
  std::unique_ptr<UserSettings> settings;
  std::unique_ptr<GatewayServices> services;
  GatewayUi* ui = nullptr;
};

// The number of sessions for a configuration: one per slot up to the last
// slot that has a terminal id, at least 1, at most 32.
int DefaultSessionCount(const config::ScreenStore& store);

class Gateway : private config::Log {
 public:
  explicit Gateway(GatewayParts parts);
  ~Gateway() override;
  Gateway(const Gateway&) = delete;
  Gateway& operator=(const Gateway&) = delete;

  // --- set-up before Start
  // Sessions 0..n-1 are served; n is clamped to 1..32 and fixed once
  // started.  Returns the value kept.
  int SetSessionCount(int n);
  // Poll timer period in real milliseconds (100; shorter under a scaled
  // clock so the ticks keep pace with the clock).
  void SetPollIntervalMs(int ms) { pollIntervalMs_ = ms < 1 ? 1 : ms; }
  // The configuration base path as loaded (the FileName setting is used
  // when this is left empty).
  void SetConfigPath(const std::string& path) { configPath_ = path; }

  // --- lifecycle
  // The start-up sequence; starts the poll timer.  The radio retry loop in
  // it ends when the link comes up, MessageKey becomes 13 or RequestStop().
  void Start();
  // The shutdown sequence of a started gateway; safe to call more than
  // once (the destructor runs it too).
  void Shutdown();
  // The stop comes from outside (a signal, a gateway without windows):
  // waits end at once (the radio retry among them) and the shutdown is
  // unattended.
  void RequestStop() {
    stopRequested_ = true;
    endWaits_ = true;
    unattended_ = true;
  }
  // Nobody will answer at the coming shutdown (also the timer's stop): it
  // asks nothing.  Unsaved changes are then saved with "Auto Save File" and
  // kept beside the configuration without it (KeepUnsavedChanges).
  void SetUnattended() { unattended_ = true; }
  // Writes the configuration beside its file (BASE.TVO.unsaved) instead of
  // over it and logs where: for changes nobody could be asked to save.
  bool KeepUnsavedChanges();
  // Where the last KeepUnsavedChanges wrote; empty when nothing was kept.
  const std::string& KeptChangesPath() const { return keptPath_; }
  bool Started() const { return started_; }
  bool ShutDown() const { return shutDown_; }

  // --- main loop
  void PollTerminals();  // one poll tick
  // Processes events until `seconds` have passed on the clock.
  void Wait(double seconds);
  void WriteLog(const std::string& message, bool showInTitle) override;
  void ShowCaption(const std::string& status);
  void ShowSessionLabels(int session);
  // The system-message window's last key (13 = Enter).
  void SetMessageKey(int key) { MessageKey = key; }

  // --- terminal transactions
  void HandleTerminalData(const std::string& id, const std::string& data);
  void HandleScreenRequest(const std::string& id, const std::string& data);
  void ConnectTerminal(const std::string& id);
  void ProcessReceivedData(const std::string& id, const std::string& text, int r);
  bool RunPendingKeys(const std::string& command, int s);
  bool TestRepeatKeys(int screen, int s);
  void ShowTerminalMessage(const std::string& id, const std::string& message);

  // --- new-screen handling (display events)
  void ReadyToSend(int s, bool state);
  void KeyboardStatus(int s);
  void OnDisconnected(int s, std::string& message);
  void OnPositionPicked(int s);
  bool As400Busy(int s) const;

  // --- state the windows and reports read (and tests check)
  config::ScreenStore& Store() { return *store_; }
  config::GeneralOptions& Options() { return *options_; }
  screens::SessionState& Sessions() { return sessions_; }
  config::DailyCounters& Counters() { return counters_; }
  radio::RadioLink& Radio() { return *radio_; }
  const os::Clock& Clock() const { return *clock_; }
  screens::ScreenContext& Context() { return ctx_; }
  config::Log& Log() { return *this; }
  UserSettings& Settings() { return *settings_; }
  host5250::HostDisplay* Display(int s) const;
  int SessionCount() const { return sessions_.SessionCount; }
  const std::string& Caption() const { return caption_; }
  const std::string& ConfigPath() const { return configPath_; }
  bool RadioUp() const { return radioUp_; }

  std::string RouterName = kDefaultRouter;
  std::string SystemName;
  std::string GlobalMessage;
  bool ConfigChanged = false;
  // The configuration in memory holds changes an earlier stop kept beside
  // the file: their file goes once the configuration is saved.
  bool KeptChangesLoaded = false;
  bool MainWindowShown = false;
  bool EditorDirty = false;
  double MessageSeconds = 5.0;
  int MessageKey = 0;
  int CurrentSession = 0;
  // Ticks since the configuration was last used; the windows relock it.
  int AutoLockTicks = 0;

 private:
  void SetUpDisplays();
  bool SaveConfigurationFile();
  void OpenRadioLink();
  void SendKeys(int s, const std::string& keys);
  void SendScreenToTerminal(int s, int scr);
  bool IdentifyAndFind(int s);
  void ReadErrorLineN(int s);
  void ClearCodeZeroErrorLine(int s);
  void AnswerNotSentScreen(int s, int scr);
  int TodayIndex() const;
  std::string OptionText(const char* key) const { return options_->Text(key); }
  std::int32_t OptionNumber(const char* key) const { return options_->Number(key); }
  bool Checked(const char* key) const { return options_->Checked(key); }

  std::unique_ptr<config::ScreenStore> store_;
  std::unique_ptr<config::GeneralOptions> options_;
  std::unique_ptr<radio::RadioLink> radio_;
  std::unique_ptr<os::Clock> clock_;
  std::unique_ptr<EventPump> pump_;
  std::unique_ptr<UserSettings> settings_;
  std::unique_ptr<GatewayServices> services_;
  GatewayUi* ui_;

  screens::SessionState sessions_;
  config::DailyCounters counters_;
  screens::ScreenContext ctx_;
  std::array<std::unique_ptr<host5250::HostDisplay>, screens::kSessionSlots> displays_;

  QTimer pollTimer_;
  int pollIntervalMs_ = kPollIntervalMs;
  std::string configPath_;
  std::string statusText_;
  std::string caption_;
  std::string keptPath_;
  bool debugOpen_ = false;
  bool started_ = false;
  bool shutDown_ = false;
  bool stopRequested_ = false;
  bool unattended_ = false;
  bool endWaits_ = false;
  bool radioUp_ = false;
  bool radioOpened_ = false;
  bool firstScreenHandled_ = false;
  int busy_ = 0;  // ProcessReceivedData calls running
};

}  // namespace tervo::core
