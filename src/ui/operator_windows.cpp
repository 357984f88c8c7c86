#include "ui/operator_windows.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <algorithm>

#include "config/config_reader.h"
#include "config/config_writer.h"
#include "config/text.h"
#include "config/unsaved_file.h"
#include "core/gateway.h"
#include "editors/auto_fill.h"
#include "reports/config_report.h"
#include "reports/gateway_status.h"
#include "screens/capture.h"
#include "ui/device_name_window.h"
#include "ui/divide_field_window.h"
#include "ui/general_config_dialog.h"
#include "ui/graph_window.h"
#include "ui/main_window.h"
#include "ui/master_screen_window.h"
#include "ui/monitor_windows.h"
#include "ui/recent_messages_window.h"
#include "ui/repeat_window.h"
#include "ui/screen_editor_window.h"
#include "ui/screens_report_window.h"
#include "ui/small_windows.h"
#include "ui/startup_window.h"
#include "ui/system_message_window.h"
#include "ui/text_codec.h"

namespace tervo::ui {

namespace {

// Bad lines of a loaded file, one message box each ("Error at line , ...").
class PromptLoadReport : public config::LoadPrompt {
 public:
  explicit PromptLoadReport(config::Prompt& prompt) : prompt_(prompt) {}
  void ReportBadLine(const config::BadLine& bad) override {
    prompt_.Message(bad.Message(), "", config::Prompt::Buttons::Ok);
  }

 private:
  config::Prompt& prompt_;
};

// Messages that ask the operator for Enter show the system message window,
// where that key is recorded.
bool AsksForEnter(const std::string& message) {
  return message.find("<Enter>") != std::string::npos ||
         message.find("{Enter}") != std::string::npos;
}

// Keys, clicks and the wheel anywhere in the program's windows.
class ActivityFilter : public QObject {
 public:
  explicit ActivityFilter(std::function<void()> onActivity) : onActivity_(std::move(onActivity)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::KeyPress:
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
      case QEvent::Wheel:
        if (watched->isWidgetType()) onActivity_();
        break;
      default:
        break;
    }
    return false;
  }

 private:
  std::function<void()> onActivity_;
};

// "session 1 (T1)", or "session 1" without a terminal id.
std::string SessionName(core::Gateway& g, int s) {
  std::string name = "session " + std::to_string(s);
  if (s >= 0 && s < config::kSessionSlots) {
    const std::string id = text::TrimBlanks(g.Store().TerminalIDDef[static_cast<std::size_t>(s)]);
    if (!id.empty()) name += " (" + id + ")";
  }
  return name;
}

}  // namespace

OperatorWindows::OperatorWindows(Seams seams) : seams_(seams) {}

OperatorWindows::~OperatorWindows() {
  if (activity_) qApp->removeEventFilter(activity_.get());
}

void OperatorWindows::Attach(core::Gateway& gateway) {
  gw_ = &gateway;
  auto& g = gateway;

  main_ = std::make_unique<MainWindow>(lock_);
  startup_ = std::make_unique<StartupWindow>(g.Options());
  general_ = std::make_unique<GeneralConfigDialog>(g.Options(), g.SessionCount());
  message_ = std::make_unique<SystemMessageWindow>();
  terminal_ = std::make_unique<TerminalScreenWindow>();
  CreateEditors();
  recent_ = std::make_unique<RecentMessagesWindow>(messages_);
  general_->runOverride = [this](config::Option key) {
    const std::string* o = gw_->Options().RunOverride(key);
    return o ? *o : std::string();
  };
  general_->Reload();

  // Using any of the windows keeps the configuration unlocked.
  activity_ = std::make_unique<ActivityFilter>([this] { Activity(); });
  qApp->installEventFilter(activity_.get());
  statusTimer_.setInterval(1000);
  connect(&statusTimer_, &QTimer::timeout, this, &OperatorWindows::UpdateStatus);
  CreateReports();

  lock_.changed = [this] { main_->ApplyLock(); };
  main_->ApplyLock();
  connect(main_.get(), &MainWindow::menuCommand, this,
          [this](const QString& n) { RunCommand(n.toStdString()); });
  connect(main_.get(), &MainWindow::closing, this, &OperatorWindows::MainWindowClosing);
  connect(main_.get(), &MainWindow::positionPicked, this, [this](int s) {
    message_->hide();
    gw_->OnPositionPicked(s);
    // The screen editor opens on the field under the cursor while the
    // configuration is unlocked; opening it marks the configuration unsaved.
    if (lock_.Unlocked()) EditAtCursor(s);
    main_->As4001Click(s);
  });
  connect(message_.get(), &SystemMessageWindow::keyRecorded, this,
          [this](int key) { gw_->SetMessageKey(key); });
  connect(general_.get(), &GeneralConfigDialog::okClicked, this, [this] {
    main_->As4001Click(-1);
    main_->ArrangeAs400Windows();
  });
  connect(general_.get(), &GeneralConfigDialog::autoFillClicked, this,
          [this] { RunCommand("AutoFill"); });
  connect(startup_.get(), &StartupWindow::unloaded, this, [this] {
    general_->hide();
    CloseProgram();
  });
  startup_->onTick = [this] { Tick(); };
  startup_->onStartNow = [this] { timer_->StartNow(); };

  config::StartupTimer::Hooks h;
  h.openMainWindow = [this] { OpenMainWindow(); };
  h.closeMainWindow = [this] {
    keepRunning_ = true;
    unattended_ = true;
    gw_->SetUnattended();
    main_->close();
    unattended_ = false;
    keepRunning_ = false;
  };
  h.showStartupWindow = [this] { startup_->show(); };
  h.hideStartupWindow = [this] { startup_->hide(); };
  h.closeProgram = [this] {
    unattended_ = true;
    gw_->SetUnattended();
    CloseProgram();
    unattended_ = false;
  };
  h.beginCountdown = [this](const std::string& text) {
    gw_->WriteLog(text, true);
    gw_->SetMessageKey(0);
    message_->Start(text, config::kCountdownSeconds);
  };
  h.after = [this](double seconds, std::function<void()> then) {
    gw_->Timers().After(static_cast<std::int64_t>(seconds * 1000.0), std::move(then));
  };
  h.lastKey = [this] { return message_->LastKey(); };
  h.relocked = [this] { main_->SetFocusToScrollBar(); };
  static os::SystemClock systemClock;
  static os::RecordingRestart noRestart;
  timer_ = std::make_unique<config::StartupTimer>(
      g.Options(), seams_.clock ? *seams_.clock : systemClock,
      seams_.restart ? *seams_.restart : noRestart, lock_, h);

  config::MenuCommands::Environment env;
  env.store = &g.Store();
  env.options = &g.Options();
  env.prompt = seams_.prompt;
  env.dialogs = seams_.dialogs;
  env.readSetting = [this](const std::string& key, const std::string& fallback) {
    return gw_->Settings().Get(config::kGatewayApplication, config::kStartupSection, key, fallback);
  };
  env.writeSetting = [this](const std::string& key, const std::string& value) {
    gw_->Settings().Set(config::kGatewayApplication, config::kStartupSection, key, value);
  };
  env.load = [this](const std::string& base) {
    PromptLoadReport report(*seams_.prompt);
    const bool ok = config::LoadDataFromFile2(base, gw_->Store(), gw_->Options(), report);
    // Counters and the automatic save follow the file the operator chose.
    gw_->SetConfigPath(base);
    AfterLoad();
    return ok;
  };
  env.save = [this](const std::string& base, std::string* err) {
    const std::string before = gw_->ConfigPath();
    gw_->SetConfigPath(base);
    const bool saved = config::SaveDataToFile2(base, gw_->Store(), gw_->Options(), err);
    // Kept changes that were loaded are in the file now.
    if (saved && gw_->KeptChangesLoaded) {
      config::RemoveUnsavedFile(before, err);
      gw_->KeptChangesLoaded = false;
    }
    return saved;
  };
  env.showCaption = [this](const std::string& status) { gw_->ShowCaption(status); };
  env.configChanged = [this] { return gw_->ConfigChanged; };
  env.setConfigChanged = [this](bool changed) { gw_->ConfigChanged = changed; };
  env.setGlobalMessage = [this](const std::string& m) { gw_->GlobalMessage = m; };
  env.closeMainWindow = [this] { main_->close(); };
  commands_ = std::make_unique<config::MenuCommands>(env);
}

void OperatorWindows::CreateEditors() {
  auto& g = *gw_;
  editors::ScreenEditor::Hooks hooks;
  // Terminal answers are held back until the edited screen is served.
  hooks.setEditorDirty = [this] { gw_->EditorDirty = true; };
  hooks.previewChanged = [this](const std::string& p) { terminal_->SetText(p); };
  editor_ = std::make_unique<editors::ScreenEditor>(g.Context(), *seams_.prompt, hooks);
  master_ = std::make_unique<editors::MasterDialog>(g.Store(), *seams_.prompt);
  repeat_ = std::make_unique<editors::RepeatDialog>(g.Store(), *seams_.prompt);
  divide_ = std::make_unique<editors::DivideFieldDialog>(g.Store());
  editorWindow_ = std::make_unique<ScreenEditorWindow>(*editor_);
  masterWindow_ = std::make_unique<MasterScreenWindow>(*master_);
  repeatWindow_ = std::make_unique<RepeatWindow>(*repeat_);
  divideWindow_ = std::make_unique<DivideFieldWindow>(*divide_, *seams_.prompt);

  connect(editorWindow_.get(), &ScreenEditorWindow::setAsMasterClicked, this, [this] {
    // A dialog still open stores what it holds before it is opened again.
    if (masterWindow_->isVisible()) masterWindow_->close();
    if (!master_->Open(editor_->EditScreen())) return;
    masterWindow_->Refresh();
    masterWindow_->show();
    masterWindow_->raise();
  });
  connect(editorWindow_.get(), &ScreenEditorWindow::repeatClicked, this, [this] {
    if (!repeat_->Open(editor_->EditScreen())) return;
    repeatWindow_->Refresh();
    repeatWindow_->show();
    repeatWindow_->raise();
  });
  connect(editorWindow_.get(), &ScreenEditorWindow::closed, this, [this] {
    if (masterWindow_->isVisible()) masterWindow_->close();
    if (repeatWindow_->isVisible()) repeatWindow_->close();
  });
  // The master status and the repeat rule show in the editor.
  connect(masterWindow_.get(), &MasterScreenWindow::closed, this,
          [this] { editorWindow_->Refresh(); });
  connect(repeatWindow_.get(), &RepeatWindow::closed, this, [this] { editorWindow_->Refresh(); });
}

void OperatorWindows::CreateReports() {
  auto& g = *gw_;
  reports::ScreensReport::Hooks hooks;
  hooks.markUnsaved = [this] { MarkUnsaved(); };
  hooks.setCurrentSession = [this](int s) { gw_->CurrentSession = s; };
  screensReport_ = std::make_unique<reports::ScreensReport>(g.Context(), hooks);
  screensReportWindow_ = std::make_unique<ScreensReportWindow>(*screensReport_);
  ScreensReportWindow* report = screensReportWindow_.get();
  // While the report is active the main window takes no commands.
  connect(report, &ScreensReportWindow::activated, this, [this] { main_->setEnabled(false); });
  connect(report, &ScreensReportWindow::closed, this, [this] { main_->setEnabled(true); });
  connect(report, &ScreensReportWindow::editField, this,
          [this](int screen, int field) { EditScreen(screen, reports::kReportSession, field); });
  connect(report, &ScreensReportWindow::divideField, this,
          [this, report](int screen, int field, int start, int len) {
            OpenDivideField(screen, field, start, len, report);
          });
  connect(divideWindow_.get(), &DivideFieldWindow::changed, this, [report] {
    if (report->isVisible()) report->Refresh();
  });
  connect(divideWindow_.get(), &DivideFieldWindow::closed, this, [this, report] {
    if (report->isVisible()) main_->setEnabled(false);
  });
  connect(editorWindow_.get(), &ScreenEditorWindow::closed, this, [report] {
    if (report->isVisible()) report->Refresh();
  });

  GraphWindow::Source source;
  source.counters = &g.Counters();
  source.store = &g.Store();
  source.sessions = [this] { return gw_->SessionCount(); };
  source.today = [this] { return gw_->Clock().Now().day; };
  graphWindow_ = std::make_unique<GraphWindow>(source);
  batteryWindow_ = std::make_unique<BatteryWindow>(g.Store(), g.Sessions());
  debugLines_ = reports::DebugLines(g.SessionCount());
  debugWindow_ = std::make_unique<DebugWindow>(debugLines_);
  reportWindow_ = std::make_unique<ReportWindow>();
}

void OperatorWindows::OpenScreensReport() {
  if (screensReportWindow_->isVisible()) {
    screensReportWindow_->raise();
    screensReportWindow_->activateWindow();
  } else {
    screensReportWindow_->Open();
  }
  // Activation may come later (or never, without a window system).
  main_->setEnabled(false);
  lastOpened_ = screensReportWindow_.get();
}

void OperatorWindows::Open(QWidget* window) {
  window->show();
  window->raise();
  lastOpened_ = window;
}

bool OperatorWindows::EditScreen(int screen, int session, int field) {
  if (screen < 0 || screen > gw_->Store().NumeroMaximoDeEcrans) return false;
  if (!editor_->Open(screen, session, field)) return false;
  MarkUnsaved();
  editorWindow_->Refresh();
  editorWindow_->show();
  editorWindow_->raise();
  lastOpened_ = editorWindow_.get();
  return true;
}

bool OperatorWindows::EditAtCursor(int session) {
  host5250::HostDisplay* d = gw_->Display(session);
  if (!d) return false;
  const int field =
      screens::FieldAtCursor(gw_->Context(), session, d->CursorColumn(), d->CursorRow());
  if (field < 0) return false;
  return EditScreen(gw_->Context().CurrentScreenOf(session), session, field);
}

void OperatorWindows::OpenDivideField(int screen, int field, int textStart, int textLen,
                                      QWidget* report) {
  divideWindow_->Open(screen, field, textStart, textLen, {main_.get(), report});
}

// The open editors store what they hold before the configuration is
// replaced, cleared or saved at the end.
void OperatorWindows::CloseEditors() {
  for (QWidget* w : std::initializer_list<QWidget*>{repeatWindow_.get(), masterWindow_.get(),
                                                    editorWindow_.get(), divideWindow_.get()})
    if (w && w->isVisible()) w->close();
}

void OperatorWindows::Start(bool loaded) {
  startup_->Reload();
  general_->Reload();
  timer_->Start(loaded);
}

void OperatorWindows::Stop() {
  stopping_ = true;
  unattended_ = true;
  gw_->RequestStop();
  // Queued: a question open now returns first (its answer is Cancel), so
  // nothing it was about runs after the shutdown.
  QMetaObject::invokeMethod(
      this, [this] { CloseProgram(); }, Qt::QueuedConnection);
}

void OperatorWindows::OfferKeptChanges() {
  if (stopping_ || gw_->ShutDown() || !core::HasKeptChanges(*gw_)) return;
  core::KeptChoice choice = keptChoice_;
  if (choice == core::KeptChoice::kAsk) {
    switch (seams_.prompt->Message(core::KeptChangesQuestion(*gw_), "Unsaved changes",
                                   config::Prompt::Buttons::YesNoCancel)) {
      case config::Prompt::Answer::Yes:
        choice = core::KeptChoice::kAccept;
        break;
      case config::Prompt::Answer::No:
        choice = core::KeptChoice::kDrop;
        break;
      default:
        choice = core::KeptChoice::kKeep;
        break;
    }
    if (stopping_ || gw_->ShutDown()) return;
  }
  Result(core::ApplyKeptChoice(*gw_, choice));
  if (choice == core::KeptChoice::kAccept) AfterLoad();
}

void OperatorWindows::Result(const std::string& line) {
  if (line.empty()) return;
  messages_.Add(gw_->Clock().Now(), reports::RecentMessage::Kind::kResult, line);
  main_->ShowResult(line);
  recent_->Refresh();
  emit result(FromEngine(line));
}

void OperatorWindows::UpdateStatus() {
  if (!gw_ || !main_) return;
  const reports::GatewayStatus s =
      reports::ReadGatewayStatus(*gw_, starting_, seams_.terminalConnected);
  main_->ShowStatus(s, messages_.UnreadErrors());
}

void OperatorWindows::Activity() {
  if (!lock_.Unlocked()) return;
  lock_.RestartCount();
  if (gw_) gw_->AutoLockTicks = 0;
}

void OperatorWindows::AfterLoad() {
  general_->Reload();
  startup_->Reload();
  main_->ArrangeAs400Windows();
}

void OperatorWindows::Tick() {
  if (gw_->AutoLockTicks == 0 && lock_.InactivityCount() > 0 && lock_.InactivityCount() <= 31)
    lock_.RestartCount();  // a session disconnected since the last tick
  timer_->Tick();
  gw_->AutoLockTicks = lock_.InactivityCount();
}

void OperatorWindows::OpenMainWindow() {
  if (gw_->ShutDown()) {
    // The timer's stop shut this gateway down and the restart did not come
    // (cancelled or refused): the program starts over with a fresh one.
    reopen_ = true;
    finished_ = true;
    startup_->hide();
    emit finished();
    return;
  }
  main_->showMaximized();
  gw_->MainWindowShown = true;
  statusTimer_.start();
  // Loading the main window runs the gateway's start-up sequence once; its
  // displays exist only once the sequence is through, which waits for the
  // radio base while it does not answer.
  if (!gw_->Started()) {
    gw_->SetStartupFinished([this] {
      starting_ = false;
      main_->Attach(gw_);
      main_->ApplyLock();
      UpdateStatus();
      emit started();
      // Asked once the gateway serves its terminals, so a question nobody
      // answers holds up nothing.
      QMetaObject::invokeMethod(
          this, [this] { OfferKeptChanges(); }, Qt::QueuedConnection);
    });
    starting_ = true;
    UpdateStatus();
    gw_->Start();
    return;
  }
  main_->Attach(gw_);
  main_->ApplyLock();
  UpdateStatus();
}

void OperatorWindows::MainWindowClosing() {
  closingMain_ = true;
  CloseEditors();
  statusTimer_.stop();
  // "Save Changes ?" with Yes runs "&Save as" itself, file dialog included;
  // the gateway's own question then has nothing left to ask.  A stop that
  // comes while the question is open leaves the changes to the shutdown,
  // which keeps them.
  if (gw_->ConfigChanged && !unattended_ && !gw_->ShutDown()) {
    const auto answer =
        seams_.prompt->Message("Save Changes ?", "", config::Prompt::Buttons::YesNo);
    if (answer == config::Prompt::Answer::Yes && !stopping_) commands_->SaveFile();
    if (answer != config::Prompt::Answer::Cancel && !stopping_) gw_->ConfigChanged = false;
  }
  gw_->Shutdown();
  main_->Attach(nullptr);
  if (!keepRunning_) CloseProgram();
  closingMain_ = false;
}

void OperatorWindows::CloseProgram() {
  if (finished_) return;
  if (!closingMain_ && main_->isVisible()) {
    main_->close();  // runs the shutdown sequence, which comes back here
    return;
  }
  finished_ = true;
  gw_->Shutdown();
  statusTimer_.stop();
  if (screensReportWindow_->isVisible()) screensReportWindow_->close();
  for (QWidget* w : std::initializer_list<QWidget*>{
           general_.get(), terminal_.get(), message_.get(), startup_.get(), recent_.get(),
           editorWindow_.get(), masterWindow_.get(), repeatWindow_.get(), divideWindow_.get(),
           graphWindow_.get(), batteryWindow_.get(), debugWindow_.get(), reportWindow_.get(),
           lastOpened_.data()})
    if (w) w->hide();
  emit finished();
}

void OperatorWindows::MarkUnsaved() { commands_->MarkUnsaved(); }

int OperatorWindows::SelectedSession() const {
  const int s = main_->Selected();
  return s >= 0 ? s : gw_->CurrentSession;
}

void OperatorWindows::OpenDeviceNames() {
  auto* w = new DeviceNameWindow(gw_->Store(), gw_->SessionCount(), main_.get());
  w->routerName = [this] { return gw_->RouterName; };
  w->setLiveDeviceName = [this](int s, const std::string& name) {
    host5250::HostDisplay* d = gw_->Display(s);
    if (!d) return false;
    d->Link().DeviceName = name;
    return true;
  };
  w->show();
  lastOpened_ = w;
}

void OperatorWindows::RouterConfig() {
  host5250::HostDisplay* first = gw_->Display(0);
  if (!first) return;
  // The display's own configuration has nothing to ask for our client; the
  // choice among the host interfaces is asked here instead.
  first->Configure(false, false);
  std::vector<std::string> names = {"TN5250", "DemoHost"};
  const std::string current = first->Link().name;
  if (std::find(names.begin(), names.end(), current) == names.end()) names.push_back(current);
  first->Link().name =
      seams_.prompt->Choose("Host interface", "Router Configuration", names, current);
  const std::string name = first->Link().name;
  for (int s = 0; s < gw_->SessionCount(); ++s)
    if (host5250::HostDisplay* d = gw_->Display(s)) d->Link().name = name;
  gw_->RouterName = name;
  gw_->Settings().SetRouterName(name);
}

void OperatorWindows::RunCommand(const std::string& name) {
  if (name == "LoadFile") {
    CloseEditors();
    commands_->LoadFile();
  } else if (name == "SaveFile") {
    commands_->SaveFile();
  } else if (name == "ClearData") {
    ClearAllData();
  } else if (name == "ClearScreen") {
    ClearScreenData();
  } else if (name == "AutoFill") {
    AutoFill();
  } else if (name == "ExitProgram") {
    commands_->ExitProgram();
  } else if (name == "GeneralConf") {
    MarkUnsaved();
    general_->Reload();
    general_->show();
    general_->raise();
  } else if (name == "TerminalEmulator") {
    terminal_->show();
    terminal_->raise();
  } else if (name == "SystemName") {
    commands_->SystemName();
    gw_->SystemName = gw_->Settings().System();
  } else if (name == "RouterConfig") {
    RouterConfig();
  } else if (name == "ConfDeviceName") {
    MarkUnsaved();
    OpenDeviceNames();
  } else if (name == "RouterConnect") {
    // Nothing to connect by hand: a host session opens when its terminal
    // sends START.  Say so, with where the sessions stand.
    const auto st = reports::ReadGatewayStatus(*gw_, starting_, seams_.terminalConnected);
    Result("Connect: host sessions open when their terminal sends START; " +
           std::to_string(st.hostSessions) + " of " + std::to_string(st.sessions) +
           " connected now");
  } else if (name == "RecentMessages") {
    messages_.MarkRead();
    recent_->Refresh();
    recent_->show();
    recent_->raise();
    UpdateStatus();
  } else if (name == "Restore_Default") {
    commands_->RestoreDefault();
  } else if (name == "SetTimer") {
    startup_->Reload();
    startup_->showNormal();
    MarkUnsaved();
  } else if (name == "Send_Global_Message") {
    commands_->SendGlobalMessage();
  } else if (name == "FullAccess") {
    lock_.Toggle();
    gw_->AutoLockTicks = lock_.InactivityCount();
  } else if (name == "ScreenReport") {
    OpenScreensReport();
  } else if (name == "Report") {
    reportWindow_->SetText(reports::ConfigReportText(gw_->Store(), gw_->RadioUp()));
    Open(reportWindow_.get());
  } else if (name == "Debug") {
    if (debugLines_.Sessions() != gw_->SessionCount())
      debugLines_ = reports::DebugLines(gw_->SessionCount());
    debugWindow_->Refresh();
    Open(debugWindow_.get());
  } else if (name == "BatteryReport") {
    batteryWindow_->Update();
    Open(batteryWindow_.get());
  } else if (name == "Graph") {
    graphWindow_->Open();
    lastOpened_ = graphWindow_.get();
  }
}

void OperatorWindows::ClearAllData() {
  auto& store = gw_->Store();
  int defined = 0;
  for (int i = 0; i <= store.NumeroMaximoDeEcrans && i < store.ScreenTableSize(); ++i)
    if (store.Screens[static_cast<std::size_t>(i)].Master != config::kScreenFree) ++defined;
  const std::string q = "Clear all " + std::to_string(defined) +
                        " screen definitions?\nThe configuration file keeps them until the "
                        "configuration is saved.";
  if (seams_.prompt->Message(q, "Clear All Data", config::Prompt::Buttons::YesNoDefaultNo) !=
      config::Prompt::Answer::Yes) {
    Result("Clear All Data: nothing cleared");
    return;
  }
  CloseEditors();
  store.ClearAllScreens();
  MarkUnsaved();
  Result("Clear All Data: " + std::to_string(defined) + " screen definitions cleared");
}

void OperatorWindows::ClearScreenData() {
  const int s = SelectedSession();
  const int scr = gw_->Context().CurrentScreenOf(s);
  if (!gw_->Store().ValidScreen(scr)) {
    Result("Clear Screen Data: " + SessionName(*gw_, s) + " shows no known screen");
    return;
  }
  const std::string q = "Clear the definition of screen " + std::to_string(scr) + ", shown in " +
                        SessionName(*gw_, s) +
                        "?\nThe configuration file keeps it until the configuration is saved.";
  if (seams_.prompt->Message(q, "Clear Screen Data", config::Prompt::Buttons::YesNoDefaultNo) !=
      config::Prompt::Answer::Yes) {
    Result("Clear Screen Data: nothing cleared");
    return;
  }
  gw_->Store().ResetScreenDef(scr);
  MarkUnsaved();
  Result("Clear Screen Data: screen " + std::to_string(scr) + " cleared");
}

void OperatorWindows::AutoFill() {
  const int s = SelectedSession();
  editors::AutoFillScreen(gw_->Context(), s);
  const int scr = gw_->Context().CurrentScreenOf(s);
  auto& store = gw_->Store();
  if (!store.ValidScreen(scr) || store.Originals[static_cast<std::size_t>(scr)].Count <= 0) {
    Result("Auto Fill: " + SessionName(*gw_, s) + " has no captured screen to fill");
    return;
  }
  const auto u = static_cast<std::size_t>(scr);
  const int fields = std::min<int>(store.Originals[u].Count, config::kFieldSlots);
  int shown = 0;
  for (int f = 0; f < fields; ++f)
    shown += store.Screens[u].Screen[static_cast<std::size_t>(f)].Show != 0;
  MarkUnsaved();
  Result("Auto Fill: screen " + std::to_string(scr) + " of " + SessionName(*gw_, s) + ", " +
         std::to_string(fields) + " host fields, " + std::to_string(shown) + " shown");
}

void OperatorWindows::CaptionChanged(const std::string& caption) {
  if (!main_) return;  // the gateway may report before its windows exist
  main_->SetCaption(caption);
  messages_.AddCaption(gw_->Clock().Now(), caption);
  recent_->Refresh();
  UpdateStatus();
  const std::string prefix = "ERROR:";
  if (caption.rfind(prefix, 0) == 0 && AsksForEnter(caption)) {
    gw_->SetMessageKey(0);
    message_->Start(caption.substr(prefix.size()), gw_->MessageSeconds);
  }
}

bool OperatorWindows::AskYesNo(const std::string& question, bool defaultYes) {
  // The timer's stop closes the main window with nobody at the screen: a
  // question there would hold the restart until someone answers it, so it
  // takes its default answer, as the headless gateway does.
  if (unattended_) return defaultYes;
  return seams_.prompt->Message(question, "", config::Prompt::Buttons::YesNo) ==
         config::Prompt::Answer::Yes;
}

void OperatorWindows::ShowMessage(const std::string& message) {
  seams_.prompt->Message(message, "", config::Prompt::Buttons::Ok);
}

void OperatorWindows::SessionLabelsChanged(int session, const std::string& terminalId,
                                           const std::string& user) {
  if (main_) main_->ShowSessionLabels(session, terminalId, user);
}

void OperatorWindows::PreviewChanged(const std::string& preview) {
  if (terminal_) terminal_->SetText(preview);
}

void OperatorWindows::DebugLine(core::DebugList list, int session, const std::string& line) {
  if (!gw_) return;
  // The number of sessions is fixed once the gateway has started.
  if (debugLines_.Sessions() != gw_->SessionCount())
    debugLines_ = reports::DebugLines(gw_->SessionCount());
  debugLines_.Set(list, session, line);
  if (debugWindow_ && debugWindow_->isVisible()) debugWindow_->LineChanged(list, session);
}

void OperatorWindows::BusyChanged(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  if (busy)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

}  // namespace tervo::ui
