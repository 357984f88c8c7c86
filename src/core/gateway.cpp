#include "core/gateway.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "config/text.h"
#include "core/caption.h"
#include "editors/fit_field_text.h"
#include "platform/host5250/device_name.h"

namespace tervo::core {

namespace {
std::size_t U(int s) { return static_cast<std::size_t>(s); }
}  // namespace

int DefaultSessionCount(const config::ScreenStore& store) {
  int n = 1;
  for (int i = 0; i < screens::kSessionSlots - 1; ++i)
    if (!text::TrimBlanks(store.TerminalIDDef[U(i)]).empty()) n = i + 1;
  return n;
}

Gateway::Gateway(GatewayParts parts)
    : store_(std::move(parts.store)),
      options_(std::move(parts.options)),
      radio_(std::move(parts.radio)),
      clock_(std::move(parts.clock)),
      timers_(std::move(parts.timers)),
      settings_(std::move(parts.settings)),
      services_(std::move(parts.services)),
      ui_(parts.ui),
      ctx_{*store_, *options_, sessions_, *radio_, *this, *clock_, counters_},
      waits_(*timers_) {
  ctx_.displayOf = [this](int s) { return Display(s); };
  ctx_.runPendingKeys = [this](const std::string& c, int s) { return RunPendingKeys(c, s); };
  ctx_.fitFieldText = [this](const std::string& t, int w) {
    return editors::FitFieldText(t, w, *options_, *this);
  };
  ctx_.fitWords = [this](const std::string& t, int w) {
    return editors::FitWords(t, w, *options_);
  };
}

Gateway::~Gateway() {
  Shutdown();
  debugOpen_ = false;
  waits_.CancelAll();
  for (os::Timers::Id id : {tickTimer_, drainTimer_, radioRetry_, keepTimer_}) timers_->Cancel(id);
  for (const screens::Session& session : sessions_.records) timers_->Cancel(session.QueueTimer);
  radio_->SetReceiveNotifier({});
  for (auto& d : displays_)
    if (d) d->SetEvents({});
}

int Gateway::SetSessionCount(int n) {
  if (!started_) sessions_.SessionCount = std::clamp(n, 1, screens::kSessionSlots - 1);
  return sessions_.SessionCount;
}

host5250::HostDisplay* Gateway::Display(int s) const {
  return s >= 0 && s < screens::kSessionSlots ? displays_[U(s)].get() : nullptr;
}

// --- log, caption

void Gateway::WriteLog(const std::string& message, bool showInTitle) {
  const std::string m = text::Left(message, 80);
  if (debugOpen_) services_->WriteDebugLine(m, clock_->Now());
  if (showInTitle) {
    caption_ = "ERROR:" + m;
    if (ui_) ui_->CaptionChanged(caption_);
  }
}

void Gateway::WriteDebugLine(DebugList list, int s, const std::string& line) {
  if (!ui_) return;
  const os::LocalTime t = clock_->Now();
  char stamp[40];
  std::snprintf(stamp, sizeof stamp, "%02d:%02d:%02d ", t.hour, t.minute, t.second);
  ui_->DebugLine(list, s, stamp + line);
}

void Gateway::ShowCaption(const std::string& status) {
  statusText_ = CaptionStatusText(status, configPath_, statusText_);
  caption_ = CaptionText(statusText_, configPath_);
  if (ui_) ui_->CaptionChanged(caption_);
}

void Gateway::ShowSessionLabels(int session) {
  if (!ui_) return;
  if (session < 0 || session >= screens::kSessionSlots) {
    ui_->SessionLabelsChanged(-1, "", "");
    return;
  }
  ui_->SessionLabelsChanged(session, store_->TerminalIDDef[U(session)],
                            sessions_[session].SessionUser);
}

void Gateway::SetMessageKey(int key) {
  MessageKey = key;
  if (key != kEnterKey) return;
  // Enter gives up the radio retries at once, rather than after the pause.
  if (radioRetry_ != 0) {
    timers_->Cancel(radioRetry_);
    radioRetry_ = 0;
    awaitingBase_ = false;
    FinishStart();
  }
  for (int s = 0; s < sessions_.SessionCount; ++s) waits_.Check(s);
}

int Gateway::TodayIndex() const { return std::clamp(clock_->Now().day, 1, 31); }

// --- start-up

void Gateway::Start() {
  if (started_) return;
  started_ = true;
  MainWindowShown = true;

  std::string err;
  const bool prioritised = services_->RaisePriority(&err);

  if (Checked(Option::kDebugFile)) {
    services_->OpenDebugLog(clock_->Now());
    debugOpen_ = true;
    settings_->SetRadioDebug(true);
  } else {
    settings_->SetRadioDebug(false);
  }
  if (!prioritised) WriteLog("Priority not raised: " + err, false);

  RouterName = settings_->RouterName();
  if (configPath_.empty()) configPath_ = settings_->FileName();
  SystemName = settings_->System();

  services_->LoadCounters(configPath_, counters_);
  ctx_.DisplayLen = OptionNumber(Option::kDisplayLen);

  radio_->SetReceiveNotifier([this] { OnRadioNotice(); });
  ArmPollTick();
  if (text::TrimBlanks(OptionText(Option::kComPort)).empty()) {
    FinishStart();
    return;
  }
  radioOpened_ = true;
  TryRadioLink();
}

void Gateway::TryRadioLink() {
  int up = 0;
  if (Checked(Option::kTCPIP)) {
    radio_->TCPIP_Start(OptionText(Option::kTCPIPAddr));
    up = radio_->InitializeComm(1, OptionNumber(Option::kBaudRate));
  } else {
    up = radio_->InitializeComm(OptionNumber(Option::kComPort), OptionNumber(Option::kBaudRate));
  }
  if (up != 0) {
    radioUp_ = true;
    radio_->ForceResetOnAllTerminal();
    FinishStart();
    return;
  }
  if (radio_->BaseAnswerPending()) {
    // The radio base was asked; its answer comes through the link's
    // notifier (OnRadioNotice), or the base is not there.
    awaitingBase_ = true;
    radioRetry_ = timers_->After(kBaseAnswerMs, [this] {
      radioRetry_ = 0;
      awaitingBase_ = false;
      RadioBaseNotFound();
    });
    return;
  }
  RadioBaseNotFound();
}

void Gateway::RadioBaseNotFound() {
  WriteLog("Radio Base Not Found , <Enter> to go on", true);
  const auto pause = static_cast<std::int64_t>(std::llround((MessageSeconds + 1) * 1000.0));
  radioRetry_ = timers_->After(pause, [this] {
    radioRetry_ = 0;
    if (MessageKey == kEnterKey || stopRequested_) {
      FinishStart();
    } else {
      TryRadioLink();
    }
  });
}

void Gateway::FinishStart() {
  if (startupDone_ || shutDown_) return;
  SetUpDisplays();

  ShowCaption("Saved");
  ConfigChanged = false;

  const int last = settings_->LastDay(TodayIndex());
  config::ClearElapsedDays(counters_.DailyScreens, last, TodayIndex());
  config::ClearElapsedDays(counters_.DailyErrors, last, TodayIndex());
  counters_.day = TodayIndex();
  ShowSessionLabels(-1);
  startupDone_ = true;
  if (startupFinished_) startupFinished_();
}

void Gateway::RequestStop() {
  stopRequested_ = true;
  unattended_ = true;
  if (radioRetry_ != 0) {
    timers_->Cancel(radioRetry_);
    radioRetry_ = 0;
  }
  awaitingBase_ = false;
}

void Gateway::SetUpDisplays() {
  const bool tcp = Checked(Option::kTCPIP);
  std::vector<std::string> refusedNames;
  for (int i = 0; i < sessions_.SessionCount; ++i) {
    const auto u = U(i);
    const std::string id = screens::NormalTerminalId(store_->TerminalIDDef[u]);
    if (tcp && !id.empty()) radio_->TCPIP_AcceptTerminalId(id);
    sessions_[i].SendFlag = true;

    std::string err;
    displays_[u] = services_->CreateDisplay(i, RouterName, &err);
    host5250::HostDisplay* d = displays_[u].get();
    if (!d) {
      WriteLog("Session " + std::to_string(i) + ": " + err, true);
      continue;
    }
    d->Link().name = RouterName;
    d->Keyboard().AutoReset = false;
    d->Link().ExitOnDisconnect = true;
    d->Link().AutoDisconnect = true;
    if (!SystemName.empty()) d->Link().SelectedSystemName = SystemName;
    const std::string& device = store_->DeviceName[u];
    std::string normalized;
    std::string refused;
    if (text::TrimBlanks(device).empty()) {
      d->Link().DeviceName.clear();
    } else if (host5250::ValidDeviceName(text::TrimBlanks(device), &normalized, &refused)) {
      d->Link().DeviceName = normalized;
    } else {
      refusedNames.push_back(refused);  // "Invalid Device " + name; the next session is set up
    }
    // A host event that comes while the shutdown asks its question belongs
    // to a gateway that is going away.
    d->SetEvents({
        [this, i](bool state) {
          if (shutDown_) return;
          sessions_[i].HostReached = true;
          ReadyToSend(i, state);
          AfterHostEvent(i);
        },
        [this, i] {
          if (shutDown_) return;
          sessions_[i].HostReached = true;
          KeyboardStatus(i);
          AfterHostEvent(i);
        },
        [this, i](std::string& message) {
          if (!shutDown_) OnDisconnected(i, message);
        },
        [this, i] {
          if (!shutDown_) OnPositionPicked(i);
        },
    });
  }
  // The message boxes come after the start-up sequence, from the event
  // loop: a window's box waits for its OK, and nothing of the sequence
  // may run inside that wait.
  if (!refusedNames.empty() && ui_) {
    timers_->After(0, [this, refusedNames] {
      for (const std::string& m : refusedNames) ui_->ShowMessage(m);
    });
  }
}

// --- the poll tick and events as they come

void Gateway::ArmPollTick() {
  tickTimer_ = timers_->After(kPollIntervalMs, [this] {
    tickTimer_ = 0;
    PollTerminals();
    if (!shutDown_) ArmPollTick();
  });
}

void Gateway::PollTerminals() {
  // A gateway that runs for days turns the counter tables' day at midnight,
  // not only at start.
  if (startupDone_) config::TurnDay(&counters_, TodayIndex());
  DrainTerminalMessages();
  for (int i = 0; i < sessions_.SessionCount && !shutDown_; ++i) {
    screens::Session& session = sessions_[i];
    if (session.SendFlag) {
      session.IdleTicks = 0;
    } else {
      session.IdleTicks += 1;
      if (!session.Terminal_Connected) session.IdleTicks = 0;
      if (session.IdleTicks > kIdleTicksLimit) {
        ShowTerminalMessage(store_->TerminalIDDef[U(i)], "System DOWN");
        session.IdleTicks = 0;
      }
    }
    RunPendingKeys("", i);
    waits_.Check(i);
  }
}

void Gateway::OnRadioNotice() {
  if (awaitingBase_) {
    // The radio base answered: the link is tried again at once.
    timers_->Cancel(radioRetry_);
    radioRetry_ = 0;
    awaitingBase_ = false;
    TryRadioLink();
  }
  ScheduleDrain();
}

void Gateway::ScheduleDrain() {
  // Deferred to the event loop: the link tells from inside its own socket
  // handling, and the messages are taken in one go after it.
  if (drainTimer_ != 0 || shutDown_) return;
  drainTimer_ = timers_->After(0, [this] {
    drainTimer_ = 0;
    DrainTerminalMessages();
  });
}

void Gateway::DrainTerminalMessages() {
  radio::TerminalMessage m;
  while (!shutDown_ && radio_->TakeMessage(&m)) {
    const std::string id = screens::NormalTerminalId(m.terminalId);
    if (m.kind == radio::kTerminalAnswer) {
      HandleTerminalData(id, m.answer);
    } else if (m.kind == radio::kScreenRequest) {
      HandleScreenRequest(id, text::TrimLeftBlanks(m.text));
    }
  }
}

void Gateway::AfterHostEvent(int s) {
  sessions_[s].HostMovedSincePiece = true;
  waits_.Check(s);
  ScheduleQueue(s);
}

void Gateway::ScheduleQueue(int s) {
  // The next piece goes when the host takes input again.  It is deferred to
  // the event loop so that every event of the host's answer (the screen and
  // the keyboard state come together) is handled first, and the screen
  // between two pieces is seen, as it was when pieces went on the tick.
  if (s < 0 || s >= sessions_.SessionCount || shutDown_) return;
  if (sessions_[s].PendingKeys.empty() || sessions_[s].QueueTimer != 0) return;
  if (!sessions_[s].HostMovedSincePiece) return;  // the poll tick sends it
  sessions_[s].QueueTimer = timers_->After(0, [this, s] {
    sessions_[s].QueueTimer = 0;
    RunPendingKeys("", s);
  });
}

// --- shutdown

void Gateway::Shutdown() {
  if (shutDown_ || !started_) return;
  const bool unattended = unattended_;
  shutDown_ = true;
  stopRequested_ = true;
  waits_.CancelAll();
  for (os::Timers::Id* id : {&tickTimer_, &drainTimer_, &radioRetry_, &keepTimer_}) {
    timers_->Cancel(*id);
    *id = 0;
  }
  for (screens::Session& session : sessions_.records) {
    timers_->Cancel(session.QueueTimer);
    session.QueueTimer = 0;
  }
  // Nobody answers a question during a service stop: it would hold the
  // process until it is killed, with nothing written.
  if (ConfigChanged && !unattended && ui_ && ui_->AskYesNo("Save Changes ?", true))
    SaveConfigurationFile();
  for (int i = 0; i < sessions_.SessionCount; ++i) {
    const auto u = U(i);
    if (displays_[u]) displays_[u]->Disconnect();
    sessions_[i].Terminal_Connected = false;
  }
  if (startupDone_) config::TurnDay(&counters_, TodayIndex());
  services_->SaveCounters(configPath_, counters_);
  if (Checked(Option::kAutoSave)) SaveConfigurationFile();
  if (ConfigChanged && unattended) KeepUnsavedChanges();
  // Learned screens the configuration does not hold yet are kept beside it
  // without a question, also when the operator declined to save.
  KeepLearnedScreens();
  settings_->SetLastDay(TodayIndex());
  if (radioOpened_ || radioUp_) radio_->TerminateComm(OptionNumber(Option::kComPort));
  if (debugOpen_) {
    services_->CloseDebugLog();
    debugOpen_ = false;
  }
  for (auto& d : displays_)
    if (d) d->SetEvents({});
}

bool Gateway::SaveConfigurationFile() {
  std::string err;
  if (!services_->SaveConfiguration(configPath_, &err)) {
    WriteLog("Save failed: " + err, true);
    return false;
  }
  ConfigChanged = false;
  learnedUnkept_ = false;
  // What the side file held is in the configuration now.
  if (KeptChangesLoaded || keptThisRun_) services_->RemoveUnsavedChanges(configPath_);
  KeptChangesLoaded = false;
  keptThisRun_ = false;
  return true;
}

bool Gateway::KeepUnsavedChanges() {
  std::string err;
  std::string path;
  if (!services_->KeepUnsavedChanges(configPath_, &path, &err)) {
    WriteLog("Unsaved changes lost: " + err, true);
    return false;
  }
  keptPath_ = path;
  keptThisRun_ = true;
  learnedUnkept_ = false;
  // The folder is the configuration's; the name fits the log line.
  const std::size_t slash = path.find_last_of("/\\");
  WriteLog("Unsaved changes kept in " + path.substr(slash == std::string::npos ? 0 : slash + 1),
           false);
  return true;
}

void Gateway::KeepLearnedScreens() {
  if (!learnedUnkept_) return;
  if (!KeptChangesLoaded && !keptThisRun_ && services_->UnsavedChangesExist(configPath_)) {
    // Changes an earlier stop kept wait for the operator's accept or drop;
    // the running configuration does not hold them and would replace them.
    if (!keepBlockedLogged_)
      WriteLog("Learned screens not kept: unsaved changes wait (accept or drop them)", false);
    keepBlockedLogged_ = true;
    return;
  }
  KeepUnsavedChanges();
}

void Gateway::ScreenLearned() {
  ++screensLearned_;
  learnedUnkept_ = true;
  // With "Auto Save File" the stop saves them, as every other change.
  if (Checked(Option::kAutoSave) || keepTimer_ != 0 || shutDown_) return;
  keepTimer_ = timers_->After(kKeepLearnedMs, [this] {
    keepTimer_ = 0;
    KeepLearnedScreens();
  });
}

}  // namespace tervo::core
