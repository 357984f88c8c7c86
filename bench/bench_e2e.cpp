// The whole gateway under load: `tervo` and `tervo-demohost` run as their
// own processes on loopback; 32 simulated terminals (in this process, so
// each answer is timed to the screen that follows it) sign on and run item
// inquiries: menu choice, item number, F3 back to the menu, over and over.
//
//   tervo-bench e2e [--terminals 32] [--transactions 50] [--bin DIR] [--demo FILE]
//                   [--keys] [--tls]
//
// --keys enrols every bench terminal with its own secret (each connection
// proves it); --tls serves the radio link in TLS with the test certificate.
//
// A transaction is one answer and the screen it brings; each terminal
// answers 0 to 200 ms after its screen arrived.  A screen that does
// not come within 10 s is a lost answer; a screen that is not the one the
// answer asked for (another terminal's item, the wrong step) is misrouted.
// gateway_cpu_cores is the gateway process's CPU time over the measured
// wall time.  Start-up (every terminal's START and sign-on) is not measured:
// each connection waits 4 s for its host session, one after the other.
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "bench_registry.h"
#include "config/config_reader.h"
#include "config/config_writer.h"
#include "platform/radio/sim_links.h"
#include "platform/radio/sim_terminal.h"
#include "platform/radio/terminal_keys.h"
#include "platform/radio/tls_setup.h"

namespace tervo::bench {
namespace {

using radio::sim::Key;

struct ItemRow {
  const char* item;
  const char* description;
};
const ItemRow kItems[] = {
    {"100234", "Pallet wrap"}, {"100311", "Carton, double"}, {"100418", "Packing tape"},
    {"200127", "Hand pallet"}, {"200255", "Shelf label"},    {"300042", "Safety gloves"},
    {"300087", "Hi-vis vest"}, {"410005", "Barcode labels"},
};

void Pump(int ms) {
  QTimer wake;
  wake.start(ms);
  QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

double CpuSeconds(qint64 pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string s((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const auto close = s.rfind(')');
  if (close == std::string::npos) return 0;
  std::istringstream rest(s.substr(close + 2));
  std::string field;
  long utime = 0, stime = 0;
  for (int i = 3; i <= 15 && rest >> field; ++i) {
    if (i == 14) utime = std::stol(field);
    if (i == 15) stime = std::stol(field);
  }
  return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

quint16 FreePort() {
  QTcpServer s;
  s.listen(QHostAddress::LocalHost, 0);
  return s.serverPort();
}

// One terminal's run: sign on, then cycles of three transactions.
class Driver {
 public:
  enum class Phase { kSignOn, kMenu, kInquiry, kItem, kDone };

  Driver(int index, quint16 port, const std::string& secret,
         const std::optional<QSslConfiguration>& tls)
      : index_(index),
        id_("B" + std::to_string(index + 1)),
        row_(kItems[index % 8]),
        terminal_(id_, 20),
        client_(terminal_, "127.0.0.1", port) {
    terminal_.SetOnChange([this](const std::string&) { OnChange(); });
    if (!secret.empty()) terminal_.SetSecret(secret);
    if (tls) client_.UseTls(*tls);
    client_.Connect();
  }

  bool SignedOn() const { return phase_ != Phase::kSignOn; }
  bool Done() const { return phase_ == Phase::kDone; }
  void Begin(int transactions) {
    left_ = transactions;
    Next();
  }
  void CheckTimeout() {
    if (Done() || !waiting_ || clock_.elapsed() - sentAt_ < 10000) return;
    ++lost;
    left_ = 0;
    phase_ = Phase::kDone;
  }

  std::vector<double> latencies;
  int lost = 0;
  int misrouted = 0;

 private:
  bool Shows(const char* t) const { return terminal_.Display().Shows(t); }

  void OnChange() {
    if (terminal_.Screens() == seen_) return;
    seen_ = terminal_.Screens();
    if (phase_ == Phase::kSignOn) {
      if (Shows("Sign On")) {
        terminal_.Display().MoveTo("User");
        terminal_.Display().SetValue("U" + std::to_string(index_));
        terminal_.Display().MoveTo("Password");
        terminal_.Display().SetValue("X");
        terminal_.Press(Key::kEnter);
      } else if (Shows("Main Menu")) {
        phase_ = Phase::kMenu;
      }
      return;
    }
    if (!waiting_ || Done()) return;
    waiting_ = false;
    latencies.push_back(static_cast<double>(clock_.nsecsElapsed() - sentNs_) / 1e6);
    bool right = false;
    switch (phase_) {
      case Phase::kMenu:
        right = Shows("Item Inquiry") && !Shows("On hand");
        break;
      case Phase::kInquiry:
        right = Shows(row_.description) && Shows(row_.item);
        break;
      case Phase::kItem:
        right = Shows("Main Menu");
        break;
      default:
        break;
    }
    if (!right) {
      ++misrouted;
      phase_ = Phase::kDone;
      return;
    }
    phase_ = phase_ == Phase::kMenu      ? Phase::kInquiry
             : phase_ == Phase::kInquiry ? Phase::kItem
                                         : Phase::kMenu;
    if (--left_ <= 0) {
      phase_ = Phase::kDone;
      return;
    }
    // Answer after a moment's thought, as an operator would.  Answers at
    // once would lock every terminal to the phase of the gateway's poll tick
    // and measure the tick period instead of the gateway.
    QTimer::singleShot(std::uniform_int_distribution<int>(0, 199)(random_), [this] { Next(); });
  }

  void Next() {
    waiting_ = true;
    if (!clock_.isValid()) clock_.start();
    sentAt_ = clock_.elapsed();
    sentNs_ = clock_.nsecsElapsed();
    switch (phase_) {
      case Phase::kMenu:
        terminal_.Display().MoveTo("Option");
        terminal_.Display().SetValue("3");
        terminal_.Press(Key::kEnter);
        break;
      case Phase::kInquiry:
        terminal_.Display().MoveTo("Item");
        terminal_.Display().SetValue(row_.item);
        terminal_.Press(Key::kEnter);
        break;
      case Phase::kItem:
        terminal_.Press(Key::kF3);
        break;
      default:
        break;
    }
  }

  int index_;
  std::string id_;
  ItemRow row_;
  radio::sim::SimTerminal terminal_;
  radio::sim::SimTcpClient client_;
  Phase phase_ = Phase::kSignOn;
  int seen_ = 0;
  int left_ = 0;
  bool waiting_ = false;
  QElapsedTimer clock_;
  std::mt19937 random_{static_cast<unsigned>(index_ + 1)};
  qint64 sentAt_ = 0;
  qint64 sentNs_ = 0;
};

bool ReadyLine(QProcess& p, const QString& marker, QString* line, int ms) {
  QElapsedTimer t;
  t.start();
  QByteArray seen;
  while (t.elapsed() < ms) {
    p.waitForReadyRead(100);
    seen += p.readAllStandardOutput();
    for (const QByteArray& l : seen.split('\n'))
      if (l.contains(marker.toUtf8())) {
        *line = QString::fromUtf8(l).trimmed();
        return true;
      }
    if (p.state() == QProcess::NotRunning) return false;
  }
  return false;
}

int RunE2e(const std::vector<std::string>& args) {
  int terminals = 32;
  int transactions = 50;
  bool keys = false;
  bool tls = false;
  QString bin = QCoreApplication::applicationDirPath() + "/../apps";
  QString demo = QCoreApplication::applicationDirPath() + "/../../demo/warehouse";
  const QString certs = QCoreApplication::applicationDirPath() + "/../../tests/data/tls/";
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--keys") keys = true;
    if (args[i] == "--tls") tls = true;
    if (i + 1 >= args.size()) continue;
    if (args[i] == "--terminals") terminals = std::clamp(std::stoi(args[i + 1]), 1, 32);
    if (args[i] == "--transactions") transactions = std::max(1, std::stoi(args[i + 1]));
    if (args[i] == "--bin") bin = QString::fromStdString(args[i + 1]);
    if (args[i] == "--demo") demo = QString::fromStdString(args[i + 1]);
  }

  // The demo configuration with one session per bench terminal.
  QTemporaryDir dir;
  config::ScreenStore store;
  config::GeneralOptions options;
  config::NullLog nullLog;
  config::LogPrompt prompt(nullLog);
  if (!config::LoadData(demo.toStdString(), store, options, prompt)) {
    std::fprintf(stderr, "e2e: cannot read %s.TVO\n", demo.toStdString().c_str());
    return 1;
  }
  for (int i = 0; i < 32; ++i) {
    store.TerminalIDDef[static_cast<std::size_t>(i)] = "B" + std::to_string(i + 1);
    store.DeviceName[static_cast<std::size_t>(i)] = "BENCH" + std::to_string(i + 1);
  }
  options.SetText("DebugFile", "0");
  const std::string base = dir.path().toStdString() + "/bench";
  std::string err;
  if (!config::SaveDataToFile2(base, store, options, &err)) {
    std::fprintf(stderr, "e2e: %s\n", err.c_str());
    return 1;
  }

  // Secrets and certificates live in the settings and the key file, as on
  // a real installation.
  std::vector<std::string> secrets(32);
  if (keys) {
    for (int i = 0; i < 32; ++i) {
      secrets[static_cast<std::size_t>(i)] = radio::TerminalKeys::NewSecret();
      if (!radio::TerminalKeys::Store(dir.path().toStdString() + "/terminal-keys",
                                      "B" + std::to_string(i + 1),
                                      secrets[static_cast<std::size_t>(i)], &err)) {
        std::fprintf(stderr, "e2e: %s\n", err.c_str());
        return 1;
      }
    }
  }
  std::optional<QSslConfiguration> clientTls;
  if (tls) {
    QSettings ini(dir.path() + "/settings.ini", QSettings::IniFormat);
    ini.setValue("QuilComm/Security/TlsCertificate", certs + "localhost.crt");
    ini.setValue("QuilComm/Security/TlsKey", certs + "localhost.key");
    ini.sync();
    QSslConfiguration conf;
    if (!radio::ClientTlsConfiguration((certs + "localhost.crt").toStdString(), {}, {}, &conf,
                                       &err)) {
      std::fprintf(stderr, "e2e: %s\n", err.c_str());
      return 1;
    }
    clientTls = conf;
  }

  QProcess host;
  host.start(bin + "/tervo-demohost/tervo-demohost", {"--listen", "127.0.0.1:0", "--quiet"});
  QString line;
  if (!ReadyLine(host, "listening on", &line, 10000)) {
    std::fprintf(stderr, "e2e: tervo-demohost did not start\n");
    return 1;
  }
  const QString hostAddress = line.section(' ', -1);

  const quint16 radioPort = FreePort();
  QProcess gateway;
  gateway.setProcessChannelMode(QProcess::SeparateChannels);
  gateway.setStandardErrorFile(dir.path() + "/gateway.err");
  gateway.start(bin + "/tervo/tervo",
                {"--headless", "--quiet", "--config", QString::fromStdString(base), "--settings",
                 dir.path() + "/settings.ini", "--log-folder", dir.path() + "/log", "--sessions",
                 QString::number(terminals), "--radio-address",
                 "127.0.0.1:" + QString::number(radioPort), "--demo-host", hostAddress});
  if (!ReadyLine(gateway, "tervo: ready", &line, 20000)) {
    std::fprintf(stderr, "e2e: tervo did not start\n");
    host.terminate();
    return 1;
  }

  std::vector<std::unique_ptr<Driver>> drivers;
  for (int i = 0; i < terminals; ++i)
    drivers.push_back(
        std::make_unique<Driver>(i, radioPort, secrets[static_cast<std::size_t>(i)], clientTls));
  QElapsedTimer signOn;
  signOn.start();
  const qint64 signOnLimit = 10000 + 6000LL * terminals;
  while (signOn.elapsed() < signOnLimit &&
         !std::all_of(drivers.begin(), drivers.end(), [](auto& d) { return d->SignedOn(); }))
    Pump(20);
  int notSignedOn = 0;
  for (auto& d : drivers) notSignedOn += d->SignedOn() ? 0 : 1;

  const double cpu0 = CpuSeconds(gateway.processId());
  QElapsedTimer wall;
  wall.start();
  for (auto& d : drivers)
    if (d->SignedOn()) d->Begin(transactions);
  while (!std::all_of(drivers.begin(), drivers.end(),
                      [](auto& d) { return d->Done() || !d->SignedOn(); })) {
    Pump(20);
    for (auto& d : drivers) d->CheckTimeout();
  }
  const double seconds = static_cast<double>(wall.nsecsElapsed()) / 1e9;
  const double cpu = CpuSeconds(gateway.processId()) - cpu0;

  std::vector<double> all;
  int lost = notSignedOn * transactions;
  int misrouted = 0;
  for (auto& d : drivers) {
    all.insert(all.end(), d->latencies.begin(), d->latencies.end());
    lost += d->lost;
    misrouted += d->misrouted;
  }
  std::sort(all.begin(), all.end());
  auto pct = [&](double p) {
    if (all.empty()) return 0.0;
    const auto k = static_cast<std::size_t>(p * static_cast<double>(all.size() - 1) + 0.5);
    return all[std::min(k, all.size() - 1)];
  };
  drivers.clear();
  gateway.terminate();
  gateway.waitForFinished(10000);
  host.terminate();
  host.waitForFinished(5000);

  Report("transactions_per_s", static_cast<double>(all.size()) / seconds, "1/s");
  Report("latency_median_ms", pct(0.5), "ms");
  Report("latency_p99_ms", pct(0.99), "ms");
  Report("lost_answers", lost, "count");
  Report("misrouted_answers", misrouted, "count");
  Report("gateway_cpu_cores", cpu / seconds, "cores");
  return lost == 0 && misrouted == 0 ? 0 : 1;
}

const Register kRegister("e2e", RunE2e);

}  // namespace
}  // namespace tervo::bench
