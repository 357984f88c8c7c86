// The operator's windows around one gateway: the start-up window, the main
// window and the windows its menus open.  It is the gateway's GatewayUi
// (caption, questions, labels, preview) and runs the menu commands.
//
// Every question goes through the one config::Prompt it is given, so tests
// answer without showing a box.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "config/config_lock.h"
#include "config/menu_commands.h"
#include "config/startup_timer.h"
#include "core/gateway_ui.h"
#include "editors/divided_fields.h"
#include "editors/master_dialog.h"
#include "editors/repeat_dialog.h"
#include "editors/screen_editor.h"
#include "core/kept_changes.h"
#include "platform/os/clock.h"
#include "platform/os/restart.h"
#include "reports/recent_messages.h"
#include "reports/debug_lines.h"
#include "reports/screens_report.h"

namespace tervo::core {
class Gateway;
}

namespace tervo::ui {

class MainWindow;
class StartupWindow;
class GeneralConfigDialog;
class SystemMessageWindow;
class TerminalScreenWindow;
class ScreenEditorWindow;
class MasterScreenWindow;
class RepeatWindow;
class DivideFieldWindow;
class RecentMessagesWindow;
class ScreensReportWindow;
class GraphWindow;
class BatteryWindow;
class DebugWindow;
class ReportWindow;

class OperatorWindows : public QObject, public core::GatewayUi {
  Q_OBJECT

 public:
  struct Seams {
    config::Prompt* prompt = nullptr;        // required
    config::FileDialogs* dialogs = nullptr;  // required for Load and Save as
    os::Restart* restart = nullptr;          // required for the stop-time restart
    const os::Clock* clock = nullptr;        // the start-up timer's time of day
    // Whether the radio link holds the terminal with that id (the status
    // bar's terminal count); unset counts none.
    std::function<bool(const std::string& id)> terminalConnected;
  };

  explicit OperatorWindows(Seams seams);
  ~OperatorWindows() override;

  // The gateway, built with this object as its ui.  Creates the windows.
  void Attach(core::Gateway& gateway);
  // The start-up window's load, once the configuration file was read
  // (loaded: whether it could be): waits for the timer or opens the main
  // window at once.
  void Start(bool loaded);

  // Ends the program as the operator closing the main window would (the
  // shutdown sequence runs), also while the start-up window still waits.
  void Quit() { CloseProgram(); }
  // Ends the program from outside (SIGTERM, SIGINT) with nobody to answer:
  // no question is asked, waits end, and unsaved changes are saved with
  // "Auto Save File" or kept beside the configuration without it.  The
  // windows close once any question open now has returned.
  void Stop();
  // What to do with changes an earlier stop kept beside the configuration,
  // once the main window has opened (kAsk: a question).
  void SetKeptChoice(core::KeptChoice choice) { keptChoice_ = choice; }
  // The program should build a new gateway and windows and start again:
  // the timer's ON time came after its stop had shut the gateway down.
  bool ReopenRequested() const { return reopen_; }
  // Runs a menu command by its item name ("LoadFile", "FullAccess", ...).
  void RunCommand(const std::string& name);

  // --- GatewayUi
  void CaptionChanged(const std::string& caption) override;
  bool AskYesNo(const std::string& question, bool defaultYes) override;
  void ShowMessage(const std::string& message) override;
  void SessionLabelsChanged(int session, const std::string& terminalId,
                            const std::string& user) override;
  bool ConfigurationsVisible() const override { return lock_.Unlocked(); }
  void PreviewChanged(const std::string& preview) override;
  void BusyChanged(bool busy) override;
  void DebugLine(core::DebugList list, int session, const std::string& line) override;

  // --- the windows and models (tests drive them)
  MainWindow& Main() { return *main_; }
  StartupWindow& Startup() { return *startup_; }
  GeneralConfigDialog& General() { return *general_; }
  SystemMessageWindow& Message() { return *message_; }
  TerminalScreenWindow& Terminal() { return *terminal_; }
  RecentMessagesWindow& MessagesWindow() { return *recent_; }
  reports::RecentMessages& Messages() { return messages_; }
  // Puts the gateway's state into the status bar (also every second).
  void UpdateStatus();
  config::ConfigLock& Lock() { return lock_; }
  config::StartupTimer& Timer() { return *timer_; }
  config::MenuCommands& Commands() { return *commands_; }
  // The last window a command opened (device names, the report windows).
  QWidget* LastOpened() const { return lastOpened_; }
  // The screen editor and its dialogs.
  editors::ScreenEditor& Editor() { return *editor_; }
  ScreenEditorWindow& EditorWindow() { return *editorWindow_; }
  MasterScreenWindow& MasterWindow() { return *masterWindow_; }
  RepeatWindow& RepeatRuleWindow() { return *repeatWindow_; }
  DivideFieldWindow& DivideWindow() { return *divideWindow_; }
  // The reports and monitoring windows.
  reports::ScreensReport& ScreensReportModel() { return *screensReport_; }
  ScreensReportWindow& ScreensReportView() { return *screensReportWindow_; }
  GraphWindow& GraphView() { return *graphWindow_; }
  BatteryWindow& BatteryView() { return *batteryWindow_; }
  DebugWindow& DebugView() { return *debugWindow_; }
  ReportWindow& ReportView() { return *reportWindow_; }

  // Opens the screen editor on a screen for a session (32 from the screens
  // report) at a field and marks the configuration unsaved.  False when
  // the screen is not one of the configuration's.
  bool EditScreen(int screen, int session, int field);
  // The editor on the field under the host cursor of a live session, as a
  // double click on its display opens it while the configuration is
  // unlocked; nothing opens when no field is there.
  bool EditAtCursor(int session);
  // "Divide field" over the screens report's selection; `report` is
  // disabled with the main window while it is open.
  void OpenDivideField(int screen, int field, int textStart, int textLen, QWidget* report);

  // The startup window's tick, with the lock count kept in step with the
  // gateway (a disconnect restarts it).
  void Tick();

 signals:
  // Every window is closed: the program may end.
  void finished();
  // The main window opened and the gateway ran its start-up sequence.
  void started();
  // A command's one-line result (also in the status bar and the recent
  // messages); the program writes it to standard error too.
  void result(const QString& line);

 private:
  void OpenMainWindow();
  void MainWindowClosing();
  void CloseProgram();
  void MarkUnsaved();
  void CreateReports();
  void OpenScreensReport();
  void Open(QWidget* window);
  void OpenDeviceNames();
  void RouterConfig();
  int SelectedSession() const;
  void AfterLoad();
  void CreateEditors();
  void CloseEditors();
  void OfferKeptChanges();
  // A command's one-line result: the status bar and the recent messages.
  void Result(const std::string& line);
  void ClearAllData();
  void ClearScreenData();
  void AutoFill();
  // Any key or click in the operator's windows while unlocked.
  void Activity();

  Seams seams_;
  core::Gateway* gw_ = nullptr;
  config::ConfigLock lock_;
  std::unique_ptr<config::StartupTimer> timer_;
  std::unique_ptr<config::MenuCommands> commands_;
  std::unique_ptr<MainWindow> main_;
  std::unique_ptr<StartupWindow> startup_;
  std::unique_ptr<GeneralConfigDialog> general_;
  std::unique_ptr<SystemMessageWindow> message_;
  std::unique_ptr<TerminalScreenWindow> terminal_;
  std::unique_ptr<editors::ScreenEditor> editor_;
  std::unique_ptr<editors::MasterDialog> master_;
  std::unique_ptr<editors::RepeatDialog> repeat_;
  std::unique_ptr<editors::DivideFieldDialog> divide_;
  std::unique_ptr<ScreenEditorWindow> editorWindow_;
  std::unique_ptr<MasterScreenWindow> masterWindow_;
  std::unique_ptr<RepeatWindow> repeatWindow_;
  std::unique_ptr<DivideFieldWindow> divideWindow_;
  std::unique_ptr<RecentMessagesWindow> recent_;
  std::unique_ptr<QObject> activity_;
  reports::RecentMessages messages_;
  QTimer statusTimer_;
  std::unique_ptr<reports::ScreensReport> screensReport_;
  reports::DebugLines debugLines_;
  std::unique_ptr<ScreensReportWindow> screensReportWindow_;
  std::unique_ptr<GraphWindow> graphWindow_;
  std::unique_ptr<BatteryWindow> batteryWindow_;
  std::unique_ptr<DebugWindow> debugWindow_;
  std::unique_ptr<ReportWindow> reportWindow_;
  QPointer<QWidget> lastOpened_;
  core::KeptChoice keptChoice_ = core::KeptChoice::kAsk;
  bool keepRunning_ = false;  // the timer closes the main window but the program waits on
  bool finished_ = false;
  bool closingMain_ = false;
  bool unattended_ = false;
  bool reopen_ = false;  // the start-up timer is closing windows
  bool busy_ = false;
  bool starting_ = false;  // the gateway's start-up sequence runs (radio retry)
  bool stopping_ = false;  // Stop() was called
};

}  // namespace tervo::ui
