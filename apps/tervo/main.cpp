// tervo: the gateway.  With a display it opens the operator's windows
// (docs/operator-windows.md); with --headless, or without a display, it
// runs headless: questions take their default answer and are logged, the
// title goes to standard error, and Enter on standard input is the system-message
// window's Enter (it ends the radio retry).
//
//   tervo --headless [--config BASE] [--settings FILE] [--log-folder DIR]
//         [--sessions N] [--radio-address HOST:PORT] [--http-port [HOST:]PORT|off]
//         [--demo-host HOST:PORT] [--unsaved ask|accept|drop|keep] [--time-scale F]
//         [--quiet]
//
// SIGINT and SIGTERM run the shutdown sequence without a question (counters
// written; unsaved changes saved with "Auto Save File", else kept beside the
// configuration) before the program ends.  "tervo: ready" on standard output
// says the start-up sequence is done.  See docs/gateway.md.
#include <unistd.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "config/user_settings.h"
#include "core/gateway_builder.h"
#include "core/headless_ui.h"
#include "platform/os/signal_watcher.h"
#include "reports/monitoring.h"
#ifdef TERVO_WITH_UI
#include "ui/run_windows.h"
#endif

namespace {

std::string Local(const QString& s) { return s.toLocal8Bit().toStdString(); }

}  // namespace

int main(int argc, char** argv) {
#ifdef TERVO_WITH_UI
  // A QApplication when windows can open.
  const auto appOwned = tervo::ui::MakeApplication(argc, argv);
  QCoreApplication& app = *appOwned;
#else
  QCoreApplication app(argc, argv);
#endif
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "The gateway: the operator's windows, or headless without a display.");
  parser.addHelpOption();
  const QCommandLineOption headlessOption("headless", "Run without windows.");
  const QCommandLineOption quietOption("quiet", "No progress lines on standard error.");
  const QCommandLineOption configOption("config", "The configuration BASE.TVO.", "BASE");
  const QCommandLineOption settingsOption(
      "settings", "The per-user settings in one INI file (else TERVO_SETTINGS).", "FILE");
  const QCommandLineOption logOption("log-folder", "Where the debug log goes.", "DIR");
  const QCommandLineOption sessionsOption("sessions", "Sessions to serve, 1..32.", "N");
  const QCommandLineOption radioOption("radio-address", "The radio base's address for this run.",
                                       "HOST:PORT");
  const QCommandLineOption httpOption("http-port", "The terminal page's port for this run.",
                                      "[HOST:]PORT|off");
  const QCommandLineOption demoOption("demo-host", "Where a DemoHost router connects.",
                                      "HOST:PORT");
  const QCommandLineOption unsavedOption("unsaved", "What happens to changes an earlier stop kept.",
                                         "ask|accept|drop|keep");
  const QCommandLineOption scaleOption("time-scale", "Run the clock F times faster.", "F");
  parser.addOptions({headlessOption, quietOption, configOption, settingsOption, logOption,
                     sessionsOption, radioOption, httpOption, demoOption, unsavedOption,
                     scaleOption});
  auto usage = [&](const QString& why) {
    if (!why.isEmpty()) std::fprintf(stderr, "tervo: %s\n", Local(why).c_str());
    std::fputs(Local(parser.helpText()).c_str(), stderr);
    return 2;
  };
  if (!parser.parse(app.arguments())) return usage(parser.errorText());
  if (parser.isSet("help") || parser.isSet("help-all")) {
    std::fputs(Local(parser.helpText()).c_str(), stdout);
    return 0;
  }
  if (!parser.positionalArguments().isEmpty())
    return usage("unexpected argument " + parser.positionalArguments().first());

  tervo::core::GatewayConfig config;
  const bool headless = parser.isSet(headlessOption);
  const bool quiet = parser.isSet(quietOption);
  config.configBase = Local(parser.value(configOption));
  config.settingsFile = parser.isSet(settingsOption)
                            ? Local(parser.value(settingsOption))
                            : tervo::config::UserSettings::OverrideFromEnvironment();
  config.logFolder = Local(parser.value(logOption));
  config.radioAddress = Local(parser.value(radioOption));
  config.httpPort = Local(parser.value(httpOption));
  config.demoHostAddress = Local(parser.value(demoOption));
  if (parser.isSet(sessionsOption)) {
    bool ok = false;
    const int n = parser.value(sessionsOption).toInt(&ok);
    if (!ok || n < 1 || n > 32) {
      std::fprintf(stderr, "tervo: --sessions takes 1 to 32\n");
      return 2;
    }
    config.sessionCount = n;
  }
  if (parser.isSet(unsavedOption) &&
      !tervo::core::ParseKeptChoice(Local(parser.value(unsavedOption)), &config.keptChoice))
    return usage("--unsaved takes ask, accept, drop or keep");
  if (parser.isSet(scaleOption)) {
    config.timeScale = std::atof(Local(parser.value(scaleOption)).c_str());
    if (config.timeScale <= 0) return usage("--time-scale takes a number above 0");
  }
#ifdef TERVO_WITH_UI
  if (!headless && tervo::ui::WindowsAvailable()) return tervo::ui::RunWithWindows(config);
#endif
  if (!headless)
    std::fprintf(stderr, "tervo: no display for the operator's windows; running headless\n");

  tervo::core::HeadlessUi ui([quiet](const std::string& line) {
    if (!quiet) std::fprintf(stderr, "tervo: %s\n", line.c_str());
  });
  tervo::core::BuiltGateway built;
  std::string err;
  if (!tervo::core::BuildGateway(config, ui, &built, &err)) {
    std::fprintf(stderr, "tervo: %s\n", err.c_str());
    return 2;
  }
  tervo::core::Gateway& gateway = *built.gateway;
  tervo::reports::ServeMonitoring(built);  // /metrics and /healthz beside the terminal page
  if (!built.configLoaded)
    std::fprintf(stderr, "tervo: configuration \"%s.TVO\" not found; running on defaults\n",
                 gateway.ConfigPath().c_str());

  bool stopping = false;
  auto stop = [&] {
    if (stopping) return;
    stopping = true;
    gateway.RequestStop();
    QMetaObject::invokeMethod(
        &app, [&] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
  };
  tervo::os::SignalWatcher signalWatcher([&](int) { stop(); });

  // Enter on standard input: the system-message window's Enter.
  std::unique_ptr<QSocketNotifier> input;
  if (::isatty(STDIN_FILENO) || std::getenv("TERVO_STDIN_ENTER") != nullptr) {
    input = std::make_unique<QSocketNotifier>(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(input.get(), &QSocketNotifier::activated, [&] {
      char buf[256];
      const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
      if (n <= 0) {
        input->setEnabled(false);
        return;
      }
      for (ssize_t k = 0; k < n; ++k)
        if (buf[k] == '\n' || buf[k] == '\r') gateway.SetMessageKey(tervo::core::kEnterKey);
    });
  }

  // Ready once the start-up sequence is through: at once with a link that
  // comes up, after the retries when the radio base is late.
  gateway.SetStartupFinished([&] {
    // Nobody is asked without windows: kept changes wait unless told, but
    // screens the gateway learned are loaded (core/kept_changes.h).
    const auto choice = tervo::core::UnattendedChoice(gateway, config.keptChoice);
    const std::string kept = tervo::core::ApplyKeptChoice(gateway, choice);
    if (!kept.empty()) std::fprintf(stderr, "tervo: %s\n", kept.c_str());
    if (built.radio && built.radio->ListeningPort() != 0)
      std::fprintf(stderr, "tervo: terminals connect to port %u\n", built.radio->ListeningPort());
    if (!built.pageAddress.empty())
      std::fprintf(stderr, "tervo: terminal page at %s\n", built.pageAddress.c_str());
    if (!built.services->DemoHostAddress().empty())
      std::fprintf(stderr, "tervo: demo host at %s\n", built.services->DemoHostAddress().c_str());
    std::printf("tervo: ready\n");
    std::fflush(stdout);
  });
  gateway.Start();
  if (!stopping) QCoreApplication::exec();
  gateway.RequestStop();  // nobody to ask
  gateway.Shutdown();
  if (!gateway.KeptChangesPath().empty())
    std::fprintf(stderr, "tervo: unsaved changes kept in %s\n", gateway.KeptChangesPath().c_str());
  built.gateway.reset();
  return 0;
}
