#include "ui/run_windows.h"

#include <QApplication>
#include <cstdio>
#include <cstring>

#include "core/gateway.h"
#include "platform/os/clock.h"
#include "platform/os/restart.h"
#include "platform/os/signal_watcher.h"
#include "platform/radio/wire_radio_link.h"
#include "reports/monitoring.h"
#include "ui/main_window.h"
#include "ui/operator_windows.h"
#include "ui/widget_prompt.h"

namespace tervo::ui {

namespace {
bool Set(const char* name) {
  const char* v = std::getenv(name);
  return v != nullptr && *v != '\0';
}
}  // namespace

std::unique_ptr<QCoreApplication> MakeApplication(int& argc, char** argv) {
  bool headless = false;
  for (int i = 1; i < argc; ++i) headless |= std::strcmp(argv[i], "--headless") == 0;
  if (!headless && (Set("DISPLAY") || Set("WAYLAND_DISPLAY") || Set("QT_QPA_PLATFORM")))
    return std::make_unique<QApplication>(argc, argv);
  return std::make_unique<QCoreApplication>(argc, argv);
}

bool WindowsAvailable() {
  return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

namespace {

// One run of the windows on a freshly built gateway.  *again is set when the
// start-up timer asks for a new start (see OperatorWindows::ReopenRequested).
int RunOnce(const core::GatewayConfig& config, bool* again) {
  WidgetPrompt prompt;
  os::SystemdRestart restart;
  // The start-up timer reads the wall clock the operator sees.
  os::SystemClock clock;
  core::BuiltGateway built;
  OperatorWindows::Seams seams;
  seams.prompt = &prompt;
  seams.dialogs = &prompt;
  seams.restart = &restart;
  seams.clock = &clock;
  seams.terminalConnected = [&built](const std::string& id) {
    return built.radio && built.radio->IsTerminalConnected(id);
  };
  OperatorWindows windows(seams);

  std::string err;
  if (!core::BuildGateway(config, windows, &built, &err)) {
    std::fprintf(stderr, "tervo: %s\n", err.c_str());
    return 2;
  }
  windows.Attach(*built.gateway);
  reports::ServeMonitoring(built);  // /metrics and /healthz beside the terminal page
  windows.SetKeptChoice(config.keptChoice);
  prompt.SetParent(&windows.Main());

  QObject::connect(&windows, &OperatorWindows::finished, qApp, &QCoreApplication::quit,
                   Qt::QueuedConnection);
  // A service stop: no question may hold it (one open now is closed), and
  // unsaved changes are saved or kept, never lost.
  bool signalled = false;
  os::SignalWatcher watcher([&](int) {
    signalled = true;
    prompt.Stop();
    windows.Stop();
  });

  // The same lines as the headless program, for scripts that wait on them.
  QObject::connect(&windows, &OperatorWindows::started, [&] {
    if (built.radio && built.radio->ListeningPort() != 0)
      std::fprintf(stderr, "tervo: terminals connect to port %u\n", built.radio->ListeningPort());
    if (!built.pageAddress.empty())
      std::fprintf(stderr, "tervo: terminal page at %s\n", built.pageAddress.c_str());
    std::printf("tervo: ready\n");
    std::fflush(stdout);
  });
  QObject::connect(&windows, &OperatorWindows::result, [](const QString& line) {
    std::fprintf(stderr, "tervo: %s\n", line.toLocal8Bit().constData());
  });
  windows.Start(built.configLoaded);
  const int rc = QCoreApplication::exec();
  if (signalled) built.gateway->RequestStop();
  built.gateway->Shutdown();
  if (!built.gateway->KeptChangesPath().empty())
    std::fprintf(stderr, "tervo: unsaved changes kept in %s\n",
                 built.gateway->KeptChangesPath().c_str());
  *again = windows.ReopenRequested() && !signalled;
  return rc;
}

}  // namespace

int RunWithWindows(const core::GatewayConfig& config) {
  // Closing the last window must not end the loop before the shutdown
  // sequence has run; OperatorWindows::finished ends it.
  QApplication::setQuitOnLastWindowClosed(false);
  for (;;) {
    bool again = false;
    const int rc = RunOnce(config, &again);
    if (!again) return rc;
  }
}

}  // namespace tervo::ui
