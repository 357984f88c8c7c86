// tervo-demohost: the demo host alone, for people with any TN5250 client
// and for scripts.
//
//   tervo-demohost [--listen HOST:PORT] [--app FILE] [--ccsid N] [--quiet]
//   tervo-demohost --check FILE
//   tervo-demohost --help
//
// --listen defaults to 127.0.0.1:2323; port 0 takes a free port.  The line
// "listening on HOST:PORT" on standard output says where it listens.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/demohost/app_parser.h"
#include "platform/demohost/demo_host.h"

namespace {

std::string Local(const QString& s) { return s.toLocal8Bit().toStdString(); }

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication qapp(argc, argv);
  using tervo::demohost::DemoHost;
  QCommandLineParser parser;
  parser.setApplicationDescription("The demo host alone, for any TN5250 client and for scripts.");
  parser.addHelpOption();
  const QCommandLineOption listenOption(
      "listen", "Where to listen (default 127.0.0.1:2323; port 0 takes a free port).", "HOST:PORT",
      "127.0.0.1:2323");
  const QCommandLineOption appOption("app", "The application file to serve.", "FILE");
  const QCommandLineOption checkOption("check", "Check an application file and stop.", "FILE");
  const QCommandLineOption ccsidOption("ccsid", "The host's code page: 37, 500, 1140 or 1148.", "N",
                                       "37");
  const QCommandLineOption quietOption("quiet", "No log lines on standard error.");
  parser.addOptions({listenOption, appOption, checkOption, ccsidOption, quietOption});
  if (!parser.parse(qapp.arguments()) || !parser.positionalArguments().isEmpty()) {
    if (!parser.errorText().isEmpty())
      std::fprintf(stderr, "tervo-demohost: %s\n", Local(parser.errorText()).c_str());
    std::fputs(Local(parser.helpText()).c_str(), stderr);
    return 2;
  }
  if (parser.isSet("help") || parser.isSet("help-all")) {
    std::fputs(Local(parser.helpText()).c_str(), stdout);
    return 0;
  }
  const std::string listen = Local(parser.value(listenOption));
  const std::string appFile = Local(parser.value(appOption));
  const std::string check = Local(parser.value(checkOption));
  const int ccsid = std::atoi(Local(parser.value(ccsidOption)).c_str());
  const bool quiet = parser.isSet(quietOption);
  std::string err;
  if (!check.empty()) {
    tervo::demohost::Application app;
    if (!tervo::demohost::LoadApplicationFile(check, &app, &err)) {
      std::fprintf(stderr, "tervo-demohost: %s\n", err.c_str());
      return 1;
    }
    std::printf("%s: %zu screens, %zu tables, start %s\n", check.c_str(), app.screens.size(),
                app.tables.size(), app.start.c_str());
    return 0;
  }
  if (ccsid != 37 && ccsid != 500 && ccsid != 1140 && ccsid != 1148) {
    std::fprintf(stderr, "tervo-demohost: CCSID %d is not supported (37, 500, 1140, 1148)\n", ccsid);
    return 2;
  }
  tervo::demohost::DemoHostOptions options;
  options.ccsid = ccsid;
  if (!quiet)
    options.log = [](const std::string& line) {
      std::fprintf(stderr, "%s\n", line.c_str());
      std::fflush(stderr);
    };
  DemoHost host(options);
  if (!appFile.empty() && !host.LoadApplication(appFile, &err)) {
    std::fprintf(stderr, "tervo-demohost: %s\n", err.c_str());
    return 1;
  }
  QHostAddress address;
  quint16 port = 0;
  if (!DemoHost::ParseListenAddress(listen, &address, &port, &err) || !host.Listen(address, port, &err)) {
    std::fprintf(stderr, "tervo-demohost: %s\n", err.c_str());
    return 1;
  }
  std::printf("listening on %s:%u\n", address.toString().toStdString().c_str(),
              static_cast<unsigned>(host.Port()));
  std::fflush(stdout);
  return qapp.exec();
}
