// tervo-demohost: the demo host alone, for people with any TN5250 client
// and for scripts.
//
//   tervo-demohost [--listen HOST:PORT] [--app FILE] [--ccsid N] [--quiet]
//   tervo-demohost --check FILE
//
// --listen defaults to 127.0.0.1:2323; port 0 takes a free port.  The line
// "listening on HOST:PORT" on standard output says where it listens.
#include <QCoreApplication>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/demohost/app_parser.h"
#include "platform/demohost/demo_host.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: tervo-demohost [--listen HOST:PORT] [--app FILE] [--ccsid 37|500|1140|1148] "
               "[--quiet]\n"
               "       tervo-demohost --check FILE\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication qapp(argc, argv);
  using tervo::demohost::DemoHost;
  std::string listen = "127.0.0.1:2323";
  std::string appFile;
  std::string check;
  int ccsid = 37;
  bool quiet = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&](std::string* out) {
      if (i + 1 >= argc) return false;
      *out = argv[++i];
      return true;
    };
    std::string v;
    if (a == "--listen" && value(&listen)) continue;
    if (a == "--app" && value(&appFile)) continue;
    if (a == "--check" && value(&check)) continue;
    if (a == "--ccsid" && value(&v)) {
      ccsid = std::atoi(v.c_str());
      continue;
    }
    if (a == "--quiet") {
      quiet = true;
      continue;
    }
    return Usage();
  }
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
