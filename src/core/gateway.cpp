#include "core/gateway.h"

#include <algorithm>
#include <cmath>

#include "config/text.h"
#include "core/caption.h"
#include "core/elapsed_days.h"
#include "editors/fit_field_text.h"
#include "platform/host5250/device_name.h"

namespace tervo::core {

int DefaultSessionCount(const config::ScreenStore& store) {
  int n = 1;
  for (int i = 0; i < screens::kSessionSlots - 1; ++i)
    if (!text::TrimBlanks(store.TerminalIDDef[static_cast<std::size_t>(i)]).empty()) n = i + 1;
  return n;
}

Gateway::Gateway(GatewayParts parts)
    : store_(std::move(parts.store)),
      options_(std::move(parts.options)),
      radio_(std::move(parts.radio)),
      clock_(std::move(parts.clock)),
      pump_(std::move(parts.pump)),
      settings_(std::move(parts.settings)),
      services_(std::move(parts.services)),
      ui_(parts.ui),
      ctx_{*store_, *options_, sessions_, *radio_, *this, *clock_, counters_} {
  ctx_.displayOf = [this](int s) { return Display(s); };
  ctx_.processEvents = [this] { pump_->ProcessEvents(10); };
  ctx_.runPendingKeys = [this](const std::string& c, int s) { return RunPendingKeys(c, s); };
  ctx_.fitFieldText = [this](const std::string& t, int w) {
    return editors::FitFieldText(t, w, *options_, *this);
  };
  pollTimer_.setSingleShot(false);
  QObject::connect(&pollTimer_, &QTimer::timeout, [this] { PollTerminals(); });
}

Gateway::~Gateway() {
  Shutdown();
  debugOpen_ = false;
  pollTimer_.stop();
  for (auto& d : displays_)
    if (d) d->SetEvents({});
}

int Gateway::SetSessionCount(int n) {
  if (!started_) sessions_.SessionCount = std::clamp(n, 1, screens::kSessionSlots - 1);
  return sessions_.SessionCount;
}

host5250::HostDisplay* Gateway::Display(int s) const {
  return s >= 0 && s < screens::kSessionSlots ? displays_[static_cast<std::size_t>(s)].get()
                                              : nullptr;
}

// --- log, caption, wait

void Gateway::WriteLog(const std::string& message, bool showInTitle) {
  const std::string m = text::Left(message, 80);
  if (debugOpen_) services_->WriteDebugLine(m, clock_->Now());
  if (showInTitle) {
    caption_ = "ERROR:" + m;
    if (ui_) ui_->CaptionChanged(caption_);
  }
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
  const auto i = static_cast<std::size_t>(session);
  ui_->SessionLabelsChanged(session, store_->TerminalIDDef[i], sessions_.SessionUser[i]);
}

void Gateway::Wait(double seconds) {
  // Elapsed time on the monotonic clock: a wait that spans midnight (or a
  // change of the wall clock) ends after the same time as any other.
  const auto ms = static_cast<std::int64_t>(std::llround(std::max(0.0, seconds) * 1000.0));
  const std::int64_t start = clock_->MonotonicMs();
  for (;;) {
    const std::int64_t left = ms - (clock_->MonotonicMs() - start);
    // A stop does not wait out a radio retry or a reconnect.
    if (left <= 0 || endWaits_) return;
    pump_->ProcessEvents(static_cast<int>(std::min<std::int64_t>(left, 50)));
  }
}

int Gateway::TodayIndex() const { return std::clamp(clock_->Now().day, 1, 31); }

// --- start-up

void Gateway::Start() {
  if (started_) return;
  started_ = true;
  MainWindowShown = true;

  std::string err;
  const bool prioritised = services_->RaisePriority(&err);

  if (Checked("DebugFile")) {
    services_->OpenDebugLog(clock_->Now());
    debugOpen_ = true;
    settings_->Set(kRadioSettingsApp, kSettingsSection, "DEBUG", "1");
  } else {
    settings_->Set(kRadioSettingsApp, kSettingsSection, "DEBUG", "0");
  }
  if (!prioritised) WriteLog("Priority not raised: " + err, false);

  RouterName = settings_->Get(kSettingsApp, kSettingsSection, "RouterName", kDefaultRouter);
  if (configPath_.empty())
    configPath_ = settings_->Get(kSettingsApp, kSettingsSection, "FileName", "");
  SystemName = settings_->Get(kSettingsApp, kSettingsSection, "System", "");

  services_->LoadCounters(configPath_, counters_);
  ctx_.DisplayLen = OptionNumber("DisplayLen");

  OpenRadioLink();
  SetUpDisplays();

  ShowCaption("Saved");
  ConfigChanged = false;

  const int last =
      LastDaySetting(settings_->Get(kSettingsApp, kSettingsSection, "LastDay", ""), TodayIndex());
  config::ClearElapsedDays(counters_.DailyScreens, last, TodayIndex());
  config::ClearElapsedDays(counters_.DailyErrors, last, TodayIndex());
  ShowSessionLabels(-1);

  if (!shutDown_) pollTimer_.start(pollIntervalMs_);
}

void Gateway::OpenRadioLink() {
  const bool tcp = Checked("TCPIP");
  if (text::TrimBlanks(OptionText("ComPort")).empty()) return;
  radioOpened_ = true;
  for (;;) {
    int up = 0;
    if (tcp) {
      radio_->TCPIP_Start(OptionText("TCPIPAddr"));
      up = radio_->InitializeComm(1, OptionNumber("BaudRate"));
    } else {
      up = radio_->InitializeComm(OptionNumber("ComPort"), OptionNumber("BaudRate"));
    }
    if (up != 0) {
      radioUp_ = true;
      radio_->ForceResetOnAllTerminal();
      return;
    }
    WriteLog("Radio Base Not Found , <Enter> to go on", true);
    Wait(MessageSeconds + 1);
    if (MessageKey == kEnterKey || stopRequested_) return;
  }
}

void Gateway::SetUpDisplays() {
  const bool tcp = Checked("TCPIP");
  for (int i = 0; i < sessions_.SessionCount; ++i) {
    const auto u = static_cast<std::size_t>(i);
    const std::string id = text::TrimBlanks(store_->TerminalIDDef[u]);
    if (tcp && !id.empty()) radio_->TCPIP_AcceptTerminalId(id);
    sessions_.SendFlag[u] = true;

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
    } else if (ui_) {
      ui_->ShowMessage(refused);  // "Invalid Device " + name; the next session is set up
    }
    d->SetEvents({
        [this, i](bool state) { ReadyToSend(i, state); },
        [this, i] { KeyboardStatus(i); },
        [this, i](std::string& message) { OnDisconnected(i, message); },
        [this, i] { OnPositionPicked(i); },
    });
  }
}

// --- poll loop

void Gateway::PollTerminals() {
  pollTimer_.stop();
  std::string id(radio::kTerminalIdSize, ' ');
  std::string data(radio::kDataSize, ' ');
  std::string block(radio::kBlockSize, ' ');
  std::uint8_t kind = 0;
  std::int32_t value = 0;
  while (!shutDown_ && radio_->T_CheckIfReceiveData(id, data, kind, value, block) != 0) {
    std::string d = text::TrimBlanks(data);
    if (!d.empty()) d.pop_back();  // the library's terminator
    if (kind == radio::kTerminalAnswer || kind == radio::kTerminalAnswerAlt) {
      HandleTerminalData(id, d);
    } else if (kind == radio::kScreenRequest) {
      HandleScreenRequest(id, d);
    }
    id.assign(radio::kTerminalIdSize, ' ');
    data.assign(radio::kDataSize, ' ');
  }
  for (int i = 0; i < sessions_.SessionCount && !shutDown_; ++i) {
    const auto u = static_cast<std::size_t>(i);
    if (sessions_.SendFlag[u]) {
      sessions_.IdleTicks[u] = 0;
    } else {
      sessions_.IdleTicks[u] += 1;
      if (!sessions_.Terminal_Connected[u]) sessions_.IdleTicks[u] = 0;
      if (sessions_.IdleTicks[u] > kIdleTicksLimit) {
        ShowTerminalMessage(store_->TerminalIDDef[u], "System DOWN");
        sessions_.IdleTicks[u] = 0;
      }
    }
    RunPendingKeys("", i);
  }
  if (!shutDown_ && started_) pollTimer_.start(pollIntervalMs_);
}

// --- shutdown

void Gateway::Shutdown() {
  if (shutDown_ || !started_) return;
  const bool unattended = unattended_;
  shutDown_ = true;
  stopRequested_ = true;
  pollTimer_.stop();
  // Nobody answers a question during a service stop: it would hold the
  // process until it is killed, with nothing written.
  if (ConfigChanged && !unattended && ui_ && ui_->AskYesNo("Save Changes ?", true))
    SaveConfigurationFile();
  for (int i = 0; i < sessions_.SessionCount; ++i) {
    const auto u = static_cast<std::size_t>(i);
    if (displays_[u]) displays_[u]->Disconnect();
    sessions_.Terminal_Connected[u] = false;
  }
  services_->SaveCounters(configPath_, counters_);
  if (Checked("AutoSave")) SaveConfigurationFile();
  if (ConfigChanged && unattended) KeepUnsavedChanges();
  settings_->Set(kSettingsApp, kSettingsSection, "LastDay", std::to_string(TodayIndex()));
  if (radioOpened_ || radioUp_) radio_->TerminateComm(OptionNumber("ComPort"));
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
  if (KeptChangesLoaded) services_->RemoveUnsavedChanges(configPath_);
  KeptChangesLoaded = false;
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
  // The folder is the configuration's; the name fits the log line.
  const std::size_t slash = path.find_last_of("/\\");
  WriteLog("Unsaved changes kept in " + path.substr(slash == std::string::npos ? 0 : slash + 1),
           false);
  return true;
}

}  // namespace tervo::core
