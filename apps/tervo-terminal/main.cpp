// tervo-terminal: simulated radio terminals for the gateway, interactive or
// scripted, over TCP/IP or behind a simulated radio base on a serial device.
// See docs/terminal-simulator.md.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTimer>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "ansi_ui.h"
#include "platform/radio/sim_links.h"
#include "platform/radio/sim_script.h"
#include "platform/radio/terminal_keys.h"
#include "platform/radio/tls_setup.h"

using namespace tervo::radio;

namespace {

constexpr const char* kUsage =
    "usage: tervo-terminal --connect HOST:PORT --id T1 [options]\n"
    "       tervo-terminal --base DEVICE | --base-pty  --id T1 [--id T2 ...] [options]\n"
    "options:\n"
    "  --script FILE    run a script instead of the interactive display (repeat:\n"
    "                   one per --id, in order)\n"
    "  --width N        display width (DisplayLen), default 20\n"
    "  --battery MV     battery reading in millivolts, default 5000\n"
    "  --baud N         serial speed for --base, default 9600\n"
    "  --timeout SEC    how long a script step waits, default 5\n"
    "  --no-start       do not send START after the first connection\n"
    "  --secret-file F  terminal secrets, one \"ID = secret\" line per terminal\n"
    "                   (\"*\" for all); proves them when the gateway asks\n"
    "  --tls            connect in TLS (--connect only), verifying the gateway\n"
    "  --ca-file F      certificate authorities to verify the gateway with (PEM);\n"
    "                   implies --tls\n"
    "  --client-cert F  the terminal's own certificate (PEM), when the gateway\n"
    "  --client-key F   asks for one; the key defaults to the certificate file\n"
    "  --protocol N     speak protocol version N (1 or 2, default 2)\n"
    "  --banner TEXT    a line shown under the display\n"
    "  --help           this text\n";

struct Options {
  std::string connect;
  std::string base;
  bool basePty = false;
  std::vector<std::string> ids;
  std::vector<std::string> scripts;
  int width = 20;
  int battery = 5000;
  int baud = 9600;
  int timeoutMs = 5000;
  bool start = true;
  std::string secretFile;
  bool tls = false;
  std::string caFile;
  std::string clientCert;
  std::string clientKey;
  std::string banner;
  int protocol = tervo::radio::wire::kVersion;
};

bool ParseInt(const std::string& s, int* out) {
  if (s.empty() || s.size() > 9 || s.find_first_not_of("0123456789") != std::string::npos) {
    return false;
  }
  *out = std::stoi(s);
  return true;
}

std::string Local(const QString& s) { return s.toLocal8Bit().toStdString(); }

// The options, checked; false with *err (help asked for is no error).
bool Parse(const QStringList& args, Options* o, bool* help, std::string* err) {
  QCommandLineParser parser;
  parser.addHelpOption();
  auto option = [&](const char* name, const char* value = nullptr) {
    QCommandLineOption opt(name, {});
    if (value) opt.setValueName(value);
    parser.addOption(opt);
    return opt;
  };
  const auto connect = option("connect", "HOST:PORT"), base = option("base", "DEVICE"),
             basePty = option("base-pty"), id = option("id", "ID"),
             script = option("script", "FILE"), width = option("width", "N"),
             battery = option("battery", "MV"), baud = option("baud", "N"),
             timeout = option("timeout", "SEC"), noStart = option("no-start"),
             secretFile = option("secret-file", "F"), tls = option("tls"),
             caFile = option("ca-file", "F"), clientCert = option("client-cert", "F"),
             clientKey = option("client-key", "F"), banner = option("banner", "TEXT"),
             protocol = option("protocol", "N");
  if (!parser.parse(args)) {
    *err = Local(parser.errorText());
    return false;
  }
  *help = parser.isSet("help") || parser.isSet("help-all");
  if (*help) return false;
  if (!parser.positionalArguments().isEmpty()) {
    *err = "unknown option " + Local(parser.positionalArguments().first());
    return false;
  }
  o->connect = Local(parser.value(connect));
  o->base = Local(parser.value(base));
  o->basePty = parser.isSet(basePty);
  for (const QString& v : parser.values(id)) {
    std::stringstream ss(Local(v));
    for (std::string one; std::getline(ss, one, ',');) {
      if (one.empty() || one.size() > 8) {
        *err = "terminal id \"" + one + "\" must have 1 to 8 characters";
        return false;
      }
      o->ids.push_back(one);
    }
  }
  for (const QString& v : parser.values(script)) o->scripts.push_back(Local(v));
  for (auto [opt, out, name] :
       {std::tuple{&width, &o->width, "--width"}, std::tuple{&battery, &o->battery, "--battery"},
        std::tuple{&baud, &o->baud, "--baud"}}) {
    if (!parser.isSet(*opt)) continue;
    int n = 0;
    const bool isWidth = opt == &width;
    if (!ParseInt(Local(parser.value(*opt)), &n) || (isWidth && (n < 1 || n > 80))) {
      *err = std::string(name) + " needs a number" + (isWidth ? " from 1 to 80" : "");
      return false;
    }
    *out = n;
  }
  if (parser.isSet(timeout) && !sim::ParseSeconds(Local(parser.value(timeout)), &o->timeoutMs)) {
    *err = "--timeout needs a number of seconds";
    return false;
  }
  o->start = !parser.isSet(noStart);
  o->secretFile = Local(parser.value(secretFile));
  o->tls = parser.isSet(tls) || parser.isSet(caFile);
  o->caFile = Local(parser.value(caFile));
  o->clientCert = Local(parser.value(clientCert));
  o->clientKey = Local(parser.value(clientKey));
  o->banner = Local(parser.value(banner));
  if (parser.isSet(protocol)) {
    const std::string v = Local(parser.value(protocol));
    if (v != "1" && v != "2") {
      *err = "--protocol takes 1 or 2";
      return false;
    }
    o->protocol = v[0] - '0';
  }
  const int modes = !o->connect.empty() + !o->base.empty() + o->basePty;
  if (modes != 1) {
    *err = "give one of --connect, --base or --base-pty";
    return false;
  }
  if (o->ids.empty()) {
    *err = "give the terminal id with --id";
    return false;
  }
  if (o->scripts.size() > o->ids.size()) {
    *err = "more scripts than terminal ids";
    return false;
  }
  if ((o->tls || !o->clientCert.empty()) && o->connect.empty()) {
    *err = "TLS needs --connect";
    return false;
  }
  if (!o->clientCert.empty()) o->tls = true;
  return true;
}

bool ReadFile(const std::string& path, std::string* text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::stringstream ss;
  ss << in.rdbuf();
  *text = ss.str();
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  Options o;
  std::string err;
  bool help = false;
  if (!Parse(app.arguments(), &o, &help, &err)) {
    if (help) {
      std::fputs(kUsage, stdout);
      return 0;
    }
    std::fprintf(stderr, "tervo-terminal: %s\n", err.c_str());
    std::fputs(kUsage, stderr);
    return 2;
  }

  // Secrets, from a file rather than the command line, where other users
  // could read them in the process list.
  std::map<std::string, std::string> secrets;
  if (!o.secretFile.empty()) {
    std::string text;
    if (!ReadFile(o.secretFile, &text)) {
      std::fprintf(stderr, "tervo-terminal: cannot read %s\n", o.secretFile.c_str());
      return 2;
    }
    std::vector<std::string> bad;
    secrets = TerminalKeys::Parse(text, &bad);
    for (const std::string& b : bad)
      std::fprintf(stderr, "tervo-terminal: %s: %s\n", o.secretFile.c_str(), b.c_str());
  }
  std::vector<std::unique_ptr<sim::SimTerminal>> terminals;
  for (const std::string& id : o.ids) {
    terminals.push_back(std::make_unique<sim::SimTerminal>(id, o.width, o.battery));
    terminals.back()->SetAutoStart(o.start);
    terminals.back()->SetProtocolVersion(static_cast<std::uint8_t>(o.protocol));
    if (!o.secretFile.empty()) {
      auto it = secrets.find(id);
      if (it == secrets.end()) it = secrets.find("*");
      if (it == secrets.end()) {
        std::fprintf(stderr, "tervo-terminal: no secret for terminal %s in %s\n", id.c_str(),
                     o.secretFile.c_str());
        return 2;
      }
      terminals.back()->SetSecret(it->second);
    }
  }
  std::optional<QSslConfiguration> tls;
  if (o.tls) {
    QSslConfiguration conf;
    if (!ClientTlsConfiguration(o.caFile, o.clientCert, o.clientKey, &conf, &err)) {
      std::fprintf(stderr, "tervo-terminal: %s\n", err.c_str());
      return 2;
    }
    tls = conf;
  }

  // Scripts, one per terminal in order.
  const bool scripted = !o.scripts.empty();
  std::vector<std::unique_ptr<sim::ScriptRunner>> runners;
  int exitCode = 0;
  std::size_t finished = 0;
  for (std::size_t i = 0; i < o.scripts.size(); ++i) {
    std::string text;
    if (!ReadFile(o.scripts[i], &text)) {
      std::fprintf(stderr, "tervo-terminal: cannot read %s\n", o.scripts[i].c_str());
      return 2;
    }
    std::vector<sim::ScriptStep> steps;
    if (!sim::ParseScript(text, &steps, &err)) {
      std::fprintf(stderr, "tervo-terminal: %s: %s\n", o.scripts[i].c_str(), err.c_str());
      return 2;
    }
    runners.push_back(std::make_unique<sim::ScriptRunner>(
        *terminals[i], std::move(steps),
        [](const std::string& s) {
          std::fputs(s.c_str(), stdout);
          std::fflush(stdout);
        },
        o.timeoutMs));
  }

  // Connections.
  std::vector<std::unique_ptr<sim::SimTcpClient>> clients;
  std::unique_ptr<sim::SimRadioBase> base;
  if (!o.connect.empty()) {
    const auto colon = o.connect.rfind(':');
    int port = 0;
    if (colon == std::string::npos || !ParseInt(o.connect.substr(colon + 1), &port) || port < 1 ||
        port > 65535) {
      std::fprintf(stderr, "tervo-terminal: --connect needs HOST:PORT\n");
      return 2;
    }
    for (auto& t : terminals) {
      clients.push_back(std::make_unique<sim::SimTcpClient>(*t, o.connect.substr(0, colon),
                                                            static_cast<quint16>(port)));
      if (tls) clients.back()->UseTls(*tls);
    }
  } else {
    std::unique_ptr<sim::ByteChannel> channel;
    if (o.basePty) {
      std::string slave;
      channel = sim::FdChannel::OpenPty(&slave, &err);
      if (channel) std::fprintf(stderr, "radio base on %s\n", slave.c_str());
    } else {
      channel = sim::SerialChannel::Open(o.base, o.baud, &err);
    }
    if (!channel) {
      std::fprintf(stderr, "tervo-terminal: %s\n", err.c_str());
      return 2;
    }
    base = std::make_unique<sim::SimRadioBase>(std::move(channel));
  }

  std::vector<sim::SimTerminal*> shown;
  for (auto& t : terminals) shown.push_back(t.get());
  auto status = [&](const sim::SimTerminal& t) -> std::string {
    if (t.Refused()) return "refused";
    return t.Welcomed() ? "connected" : "waiting for the gateway";
  };
  std::unique_ptr<tervo::terminal::AnsiUi> ui;
  if (!scripted) {
    ui = std::make_unique<tervo::terminal::AnsiUi>(shown, status, [&app] { app.quit(); });
    ui->SetBanner(o.banner);
  }

  for (std::size_t i = 0; i < terminals.size(); ++i) {
    sim::ScriptRunner* runner = i < runners.size() ? runners[i].get() : nullptr;
    tervo::terminal::AnsiUi* face = ui.get();
    terminals[i]->SetOnChange([runner, face](const std::string& what) {
      if (runner) runner->OnChange(what);
      if (face) face->Note(what);
    });
  }
  for (auto& r : runners) {
    r->Start([&](int code) {
      exitCode = std::max(exitCode, code);
      if (++finished == runners.size()) QTimer::singleShot(0, &app, [&] { app.exit(exitCode); });
    });
  }
  if (ui && !ui->Start(&err)) {
    std::fprintf(stderr, "tervo-terminal: %s\n", err.c_str());
    return 2;
  }

  // TCP/IP terminals come back after a drop-out, as a handheld back in range;
  // a terminal that was refused waits longer, and one replaced by another
  // device with its id (or that found the gateway an impostor) waits for
  // the operator rather than knocking the other one off in turn.
  QTimer retry;
  std::vector<int> waitTicks(clients.size(), 0);
  QObject::connect(&retry, &QTimer::timeout, &retry, [&] {
    for (std::size_t i = 0; i < clients.size(); ++i) {
      if (!clients[i]->Unconnected()) continue;
      const sim::SimTerminal& t = *terminals[i];
      if (t.Refused() && t.RefusalCode() == wire::RefusedCode::kReplaced) continue;
      if (t.Refused() && t.RefusalCode() == wire::RefusedCode::kNotAccepted && ++waitTicks[i] < 5)
        continue;
      waitTicks[i] = 0;
      if (!clients[i]->Error().empty() && !t.Welcomed())
        std::fprintf(stderr, "tervo-terminal: %s: %s\n", t.Id().c_str(),
                     clients[i]->Error().c_str());
      clients[i]->Connect();
    }
  });
  for (auto& c : clients) c->Connect();
  if (!clients.empty()) retry.start(2000);
  for (auto& t : terminals) {
    if (base) base->Add(*t);
  }
  if (scripted && runners.empty()) return 0;
  return app.exec();
}
