// The gateway engine: one object that owns the configuration store, the
// options, the per-session tables, the 5250 displays, the radio link, the
// log, the clock, the timers and the daily counters, and runs the start-up
// sequence, the poll loop, terminal transactions, new-screen handling and
// the shutdown sequence.  It knows no window: the main window or the
// headless runner implements GatewayUi and drives it.
//
// Everything runs on the thread of the Qt event loop, and nothing in the
// engine waits by processing events.  Where a step has to wait (a host
// connection settling, an unknown screen retried, the host taking keys, the
// operator's Enter), it leaves a continuation in SessionWaits and returns;
// the step goes on from a deadline or from the session's next host event.
// So no session ever waits on another, and a handler never runs inside
// another one.
//
// Work is done as it comes: a terminal's message when the radio link has
// it, the next key of a queue when the host takes input again, a host
// screen when the host has sent it.  The 100 ms poll tick stays for what is
// timed (idle terminals, the key queue's pauses) and as a safety net.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "config/daily_counters.h"
#include "config/general_options.h"
#include "config/log.h"
#include "config/screen_store.h"
#include "config/user_settings.h"
#include "core/gateway_services.h"
#include "core/gateway_ui.h"
#include "core/run_metrics.h"
#include "core/sent_screens.h"
#include "core/session_waits.h"
#include "platform/host5250/host_display.h"
#include "platform/os/clock.h"
#include "platform/os/timers.h"
#include "platform/radio/radio_link.h"
#include "screens/screen_context.h"
#include "screens/session_state.h"

namespace tervo::screens {
class JoinEvaluation;
}

namespace tervo::core {

using config::Option;

using config::kDefaultRouter;
constexpr int kPollIntervalMs = 100;
constexpr int kIdleTicksLimit = 1500;  // 150 s of 100 ms ticks
constexpr int kBatteryLowMv = 4500;
constexpr int kEnterKey = 13;
// How long a host session is given to go down, and to come up, at START.
constexpr std::int64_t kConnectSettleMs = 4000;
// Between two identification rounds of a screen no definition matches.
constexpr std::int64_t kIdentifyRetryMs = 200;
// How long a radio base is given to answer when its line is opened.
constexpr std::int64_t kBaseAnswerMs = 2000;
// The pause after the screen numbers ran out.
constexpr std::int64_t kNumbersExhaustedPauseMs = 5000;
// How long the operator has to press Enter for a screen that would be
// answered by keys while the configuration is unlocked.
constexpr std::int64_t kSendThisScreenMs = 2000;
// Screens learned within this time of each other are kept in one write.
constexpr std::int64_t kKeepLearnedMs = 2000;

// The parts a gateway is made of.  ui is not owned: it outlives the gateway.
struct GatewayParts {
  std::unique_ptr<config::ScreenStore> store;
  std::unique_ptr<config::GeneralOptions> options;
  std::unique_ptr<radio::RadioLink> radio;
  std::unique_ptr<os::Clock> clock;
  // Deadlines on that clock.
  std::unique_ptr<os::Timers> timers;
  std::unique_ptr<config::UserSettings> settings;
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
  // The configuration base path as loaded (the FileName setting is used
  // when this is left empty).
  void SetConfigPath(const std::string& path) { configPath_ = path; }
  // Runs once the start-up sequence is complete: the radio link is up, or
  // its retries were given up (Enter, RequestStop), and the sessions are set
  // up.  That may be later than Start() returns.
  void SetStartupFinished(std::function<void()> finished) {
    startupFinished_ = std::move(finished);
  }

  // --- lifecycle
  // The start-up sequence; starts the poll tick.  While the radio base does
  // not answer, the link is tried again every 6 s until it does, MessageKey
  // becomes 13 or RequestStop(); the rest of the sequence follows then.
  void Start();
  // The shutdown sequence of a started gateway; safe to call more than
  // once (the destructor runs it too).
  void Shutdown();
  // The stop comes from outside (a signal, a gateway without windows): what
  // is still being retried (the radio link) is given up and the shutdown is
  // unattended.
  void RequestStop();
  // Nobody will answer at the coming shutdown (also the timer's stop): it
  // asks nothing.  Unsaved changes are then saved with "Auto Save File" and
  // kept beside the configuration without it (KeepUnsavedChanges).
  void SetUnattended() { unattended_ = true; }
  // Writes the configuration beside its file (BASE.TVO.unsaved) instead of
  // over it and logs where: for changes nobody could be asked to save.
  bool KeepUnsavedChanges();
  // Where the last KeepUnsavedChanges wrote; empty when nothing was kept.
  const std::string& KeptChangesPath() const { return keptPath_; }
  // Screens defined automatically in this run.  Without "Auto Save File"
  // they are kept beside the configuration (KeepUnsavedChanges) a moment
  // after they were learned and at the stop, without a question; with it
  // the stop saves them into the configuration.
  int ScreensLearned() const { return screensLearned_; }
  bool Started() const { return started_; }
  bool StartupFinished() const { return startupDone_; }
  bool ShutDown() const { return shutDown_; }

  // --- main loop
  void PollTerminals();  // one poll tick
  void WriteLog(const std::string& message, bool showInTitle) override;
  void ShowCaption(const std::string& status);
  void ShowSessionLabels(int session);
  // The system-message window's last key (13 = Enter).  Enter ends the radio
  // retries and the "<Enter> to send this screen." window at once.
  void SetMessageKey(int key);

  // --- terminal transactions
  // Terminal ids arrive as screens::NormalTerminalId gives them (the drain
  // of the radio link's messages normalises them); FindSession applies the
  // same rule, so a padded id still finds its session.
  void HandleTerminalData(const std::string& id, const radio::Answer& answer);
  // A screen request of a terminal: "START", or the name of a screen it
  // wants again (it gets its own session's screen).
  void HandleScreenRequest(const std::string& id, const std::string& data);
  void ConnectTerminal(const std::string& id);
  void ProcessReceivedData(const std::string& id, const screens::MappedAnswer& answer);
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
  // What this run has done, for the metrics page.
  const RunMetrics& Metrics() const { return metrics_; }
  radio::RadioLink& Radio() { return *radio_; }
  const os::Clock& Clock() const { return *clock_; }
  os::Timers& Timers() { return *timers_; }
  screens::ScreenContext& Context() { return ctx_; }
  config::Log& Log() { return *this; }
  config::UserSettings& Settings() { return *settings_; }
  host5250::HostDisplay* Display(int s) const;
  int SessionCount() const { return sessions_.SessionCount; }
  const std::string& Caption() const { return caption_; }
  const std::string& ConfigPath() const { return configPath_; }
  bool RadioUp() const { return radioUp_; }
  // Whether a step of session s waits (a connection settling, a screen
  // being identified or answered, keys being taken).
  bool SessionWaiting(int s) const {
    return waits_.Waiting(s, Lane::kConnect) || waits_.Waiting(s, Lane::kScreen);
  }

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
  // start-up
  void TryRadioLink();
  void RadioBaseNotFound();
  void OnRadioNotice();
  void FinishStart();
  void SetUpDisplays();
  void ArmPollTick();
  bool SaveConfigurationFile();
  // Keeps the screens learned since the last save or keep beside the
  // configuration, unless changes an earlier stop kept there wait for the
  // operator (they would be lost).
  void KeepLearnedScreens();
  // A screen was defined automatically: count it and keep it soon.
  void ScreenLearned();
  // events as they come
  void ScheduleDrain();
  void DrainTerminalMessages();
  void AfterHostEvent(int s);
  void ScheduleQueue(int s);
  // terminal side
  void SendKeys(int s, const std::string& keys);
  // Builds session s's current screen and sends it to terminal id (the
  // session's own, or an unknown terminal's on the spare slot); keep:
  // remember what it was built from as the terminal's screen (SentScreens).
  void ServeScreen(int s, const std::string& id, const std::string& name, bool keep);
  void SendScreenToTerminal(int s, int scr);
  void ReconnectSession(int s);
  void FinishConnect(int i);
  // Connects session i's display; false (logged, the terminal told "Host
  // not reachable") when the connection cannot even be attempted.
  bool ConnectDisplay(int i);
  void HostNotReachable(int i, const std::string& reason);
  bool HostStillOnAnsweredScreen(int s);
  // False when a field could not be written (the host was sent "@E").
  bool WriteBackAnswer(int s, int scr, host5250::HostDisplay& d);
  // new-screen handling, one step after the other
  void IdentifyRound(int s, std::int64_t start);
  void DefineNewScreen(int s);
  void DefineScreenAs(int s, int screen);
  void HandleCapturedScreen(int s);
  void PrepareTextsFrom(int s, int from);
  void RunJoin(int s, int field, std::shared_ptr<screens::JoinEvaluation> join);
  void ScreenPrepared(int s);
  void SendOrAnswer(int s, int scr);
  void AnswerNotSentScreen(int s, int scr);
  bool IdentifyAndFind(int s);
  // The error lines that may hold a host message among constant text: row
  // 24 and the configured line N.
  enum class MessageLine { kRow24, kLineN };
  std::string ReadMessageLine(int s, MessageLine line) const;
  // The text of a message line of screen scr when it carries a message: not
  // blank and not what the line held the first time the screen was handled
  // in this run.  That first time the line is noted and holds no message: a
  // copyright or a hint is part of the screen.
  std::string LineMessage(int scr, MessageLine line, const std::string& text);
  // Takes the message lines into ErrorLineText when nothing is pending.
  // handling: the session's screen is being handled (its lines are noted);
  // otherwise the host locked the keyboard, and only a line that changed
  // since the screen was handled is new.
  void TakeMessageLines(int s, bool handling);
  void ClearCodeZeroErrorLine(int s);
  void SetInNewScreen(int s, bool on);

  // The debug window's line of session s, stamped with the time of day.
  void WriteDebugLine(DebugList list, int s, const std::string& line);
  int TodayIndex() const;
  std::string OptionText(Option key) const { return options_->Text(key); }
  std::int32_t OptionNumber(Option key) const { return options_->Number(key); }
  bool Checked(Option key) const { return options_->Checked(key); }

  std::unique_ptr<config::ScreenStore> store_;
  std::unique_ptr<config::GeneralOptions> options_;
  std::unique_ptr<radio::RadioLink> radio_;
  std::unique_ptr<os::Clock> clock_;
  std::unique_ptr<os::Timers> timers_;
  std::unique_ptr<config::UserSettings> settings_;
  std::unique_ptr<GatewayServices> services_;
  GatewayUi* ui_;

  screens::SessionState sessions_;
  config::DailyCounters counters_;
  RunMetrics metrics_;
  screens::ScreenContext ctx_;
  std::array<std::unique_ptr<host5250::HostDisplay>, screens::kSessionSlots> displays_;
  SessionWaits waits_;
  SentScreens sent_;
  // What each screen's message lines held when it was first handled in
  // this run (screen number, line).
  std::map<std::pair<int, MessageLine>, std::string> firstLines_;
  // What session s's message lines held when its screen was last handled.
  std::map<std::pair<int, MessageLine>, std::string> handledLines_;

  os::Timers::Id tickTimer_ = 0;
  os::Timers::Id drainTimer_ = 0;
  os::Timers::Id radioRetry_ = 0;
  os::Timers::Id keepTimer_ = 0;  // KeepLearnedScreens, a moment after learning
  std::function<void()> startupFinished_;
  std::string configPath_;
  std::string statusText_;
  std::string caption_;
  std::string keptPath_;
  int screensLearned_ = 0;
  bool learnedUnkept_ = false;  // learned since the configuration was last saved or kept
  bool keptThisRun_ = false;    // the side file holds this run's configuration
  bool keepBlockedLogged_ = false;
  bool debugOpen_ = false;
  bool started_ = false;
  bool startupDone_ = false;
  bool shutDown_ = false;
  bool stopRequested_ = false;
  bool unattended_ = false;
  bool radioUp_ = false;
  bool radioOpened_ = false;
  bool firstScreenHandled_ = false;
  bool awaitingBase_ = false;  // the radio base was asked and has not answered
  bool busyShown_ = false;
};

}  // namespace tervo::core
