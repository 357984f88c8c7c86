// The whole gateway under load: `tervo` and `tervo-demohost` run as their
// own processes on loopback; 32 simulated terminals (in this process, so
// each answer is timed to the screen that follows it) start, sign on and
// run item inquiries: menu choice, item number, F3 back to the menu, over
// and over.
//
//   tervo-bench e2e [--terminals 32] [--transactions 50] [--bin DIR] [--demo BASE]
//                   [--keys] [--tls]
//
// --keys enrols every bench terminal with its own secret (each connection
// proves it); --tls serves the radio link in TLS with the test certificate.
//
// Phases, each reported:
// - start-up: every terminal sends START at the same moment;
//   startup_all_first_screen_s is the time until the last one has its first
//   screen (each host session is given 4 s to settle, all at once);
// - load: every terminal runs its transactions; a transaction is one answer
//   and the screen it brings, each terminal answering 0 to 200 ms after its
//   screen arrived.  latency_* and transactions_per_s are measured here, and
//   gateway_cpu_cores is the gateway's CPU time over that wall time;
// - storm: a quarter of the terminals go on working while the others send
//   START together; storm_answer_p99_ms is the workers' answer latency
//   until the last restarted terminal has its screen.
// A screen that does not come within 10 s is a lost answer; a screen that is
// not the one the answer asked for (another terminal's item, the wrong step)
// is misrouted.  The demo configuration is found in the source tree this
// program was built from (--demo overrides it).
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

constexpr qint64 kLostMs = 10000;

void Pump(int ms) {
  QTimer wake;
  wake.start(ms);
  QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

template <typename Pred>
bool PumpUntil(Pred pred, qint64 limitMs) {
  QElapsedTimer t;
  t.start();
  while (!pred()) {
    if (t.elapsed() > limitMs) return pred();
    Pump(5);
  }
  return true;
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

double Percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0.0;
  std::sort(v.begin(), v.end());
  const auto k = static_cast<std::size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
  return v[std::min(k, v.size() - 1)];
}

// One terminal's run: START, sign on, then cycles of three transactions.
class Driver {
 public:
  enum class Phase { kStarting, kSignOn, kMenu, kInquiry, kItem, kDone };

  Driver(int index, quint16 port, const QElapsedTimer& clock, const std::string& secret,
         const std::optional<QSslConfiguration>& tls)
      : index_(index),
        id_("B" + std::to_string(index + 1)),
        row_(kItems[index % 8]),
        clock_(clock),
        terminal_(id_, 20),
        client_(terminal_, "127.0.0.1", port) {
    terminal_.SetAutoStart(false);
    terminal_.SetOnChange([this](const std::string&) { OnChange(); });
    if (!secret.empty()) terminal_.SetSecret(secret);
    if (tls) client_.UseTls(*tls);
    client_.Connect();
  }

  bool Welcomed() const { return terminal_.Welcomed(); }
  // Sends START; the terminal signs on again when its screen comes.
  void Start() {
    phase_ = Phase::kStarting;
    waiting_ = false;
    startedAt_ = clock_.nsecsElapsed();
    firstScreenMs_ = -1;
    terminal_.SendStart();
  }
  double FirstScreenMs() const { return firstScreenMs_; }
  bool SignedOn() const { return phase_ != Phase::kStarting && phase_ != Phase::kSignOn; }
  bool Done() const { return phase_ == Phase::kDone; }
  void Begin(int transactions) {
    left_ = transactions;
    Next();
  }
  // Ends the run after the transaction under way.
  void Finish() { left_ = std::min(left_, 1); }
  void CheckTimeout() {
    if (Done() || !waiting_ || clock_.elapsed() - sentAtMs_ < kLostMs) return;
    ++lost;
    left_ = 0;
    phase_ = Phase::kDone;
  }

  // (time the answer was sent, latency) of each transaction.
  std::vector<std::pair<qint64, double>> latencies;
  int lost = 0;
  int misrouted = 0;

 private:
  bool Shows(const char* t) const { return terminal_.Display().Shows(t); }

  void OnChange() {
    if (terminal_.Screens() == seen_) return;
    seen_ = terminal_.Screens();
    if (phase_ == Phase::kStarting) {
      firstScreenMs_ = static_cast<double>(clock_.nsecsElapsed() - startedAt_) / 1e6;
      phase_ = Phase::kSignOn;
    }
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
    latencies.emplace_back(sentAtMs_, static_cast<double>(clock_.nsecsElapsed() - sentNs_) / 1e6);
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
      // Back on the menu, ready for another run.
      if (phase_ == Phase::kMenu) {
        stopped_ = true;
        return;
      }
    }
    // Answer after a moment's thought, as an operator would.
    QTimer::singleShot(std::uniform_int_distribution<int>(0, 199)(random_), [this] { Next(); });
  }

  void Next() {
    if (Done() || phase_ == Phase::kStarting || phase_ == Phase::kSignOn) return;
    waiting_ = true;
    sentAtMs_ = clock_.elapsed();
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

 public:
  // Between runs: back on the menu with nothing under way.
  bool Idle() const { return stopped_ && !waiting_; }
  void Resume(int transactions) {
    stopped_ = false;
    Begin(transactions);
  }

 private:
  int index_;
  std::string id_;
  ItemRow row_;
  const QElapsedTimer& clock_;
  radio::sim::SimTerminal terminal_;
  radio::sim::SimTcpClient client_;
  Phase phase_ = Phase::kStarting;
  int seen_ = 0;
  int left_ = 0;
  bool waiting_ = false;
  bool stopped_ = false;
  std::mt19937 random_{static_cast<unsigned>(index_ + 1)};
  qint64 sentAtMs_ = 0;
  qint64 sentNs_ = 0;
  qint64 startedAt_ = 0;
  double firstScreenMs_ = -1;
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

// The source tree this program was built from: the demo configuration and
// the test certificate live there.
QString SourceDir() {
#ifdef TERVO_SOURCE_DIR
  return QStringLiteral(TERVO_SOURCE_DIR);
#else
  return QCoreApplication::applicationDirPath() + "/../..";
#endif
}

int RunE2e(const std::vector<std::string>& args) {
  int terminals = 32;
  int transactions = 50;
  bool keys = false;
  bool tls = false;
  QString bin = QCoreApplication::applicationDirPath() + "/../apps";
  QString demo = SourceDir() + "/demo/warehouse";
  const QString certs = SourceDir() + "/tests/data/tls/";
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--keys") keys = true;
    if (args[i] == "--tls") tls = true;
    if (i + 1 >= args.size()) continue;
    if (args[i] == "--terminals") terminals = std::clamp(std::stoi(args[i + 1]), 4, 32);
    if (args[i] == "--transactions") transactions = std::max(3, std::stoi(args[i + 1]));
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

  QElapsedTimer clock;
  clock.start();
  std::vector<std::unique_ptr<Driver>> drivers;
  for (int i = 0; i < terminals; ++i)
    drivers.push_back(std::make_unique<Driver>(i, radioPort, clock,
                                               secrets[static_cast<std::size_t>(i)], clientTls));
  auto all = [&](auto pred) { return std::all_of(drivers.begin(), drivers.end(), pred); };
  PumpUntil([&] { return all([](auto& d) { return d->Welcomed(); }); }, 10000);

  // --- start-up: every terminal at the same moment.
  for (auto& d : drivers) d->Start();
  PumpUntil([&] { return all([](auto& d) { return d->FirstScreenMs() >= 0; }); }, 60000);
  double lastFirstScreenMs = 0;
  int neverStarted = 0;
  for (auto& d : drivers) {
    if (d->FirstScreenMs() < 0) ++neverStarted;
    lastFirstScreenMs = std::max(lastFirstScreenMs, d->FirstScreenMs());
  }
  PumpUntil([&] { return all([](auto& d) { return d->SignedOn(); }); }, 30000);
  int notSignedOn = 0;
  for (auto& d : drivers) notSignedOn += d->SignedOn() ? 0 : 1;

  // --- load: every terminal works.
  auto runUntilIdle = [&](const std::vector<Driver*>& group) {
    while (!std::all_of(group.begin(), group.end(),
                        [](Driver* d) { return d->Done() || d->Idle() || !d->SignedOn(); })) {
      Pump(20);
      for (Driver* d : group) d->CheckTimeout();
    }
  };
  std::vector<Driver*> everyone;
  for (auto& d : drivers) everyone.push_back(d.get());
  const double cpu0 = CpuSeconds(gateway.processId());
  const qint64 loadStart = clock.nsecsElapsed();
  for (Driver* d : everyone)
    if (d->SignedOn()) d->Begin(transactions);
  runUntilIdle(everyone);
  const double loadSeconds = static_cast<double>(clock.nsecsElapsed() - loadStart) / 1e9;
  const double cpu = CpuSeconds(gateway.processId()) - cpu0;
  std::vector<double> load;
  for (Driver* d : everyone)
    for (const auto& [at, ms] : d->latencies) load.push_back(ms);

  // --- storm: a quarter works on while the rest start again together.
  const std::size_t workers = everyone.size() / 4;
  std::vector<Driver*> working(everyone.begin(), everyone.begin() + static_cast<long>(workers));
  std::vector<Driver*> starting(everyone.begin() + static_cast<long>(workers), everyone.end());
  for (Driver* d : working)
    if (d->Idle()) d->Resume(1000000);
  PumpUntil([] { return false; }, 500);  // the workers are under way
  const qint64 stormStart = clock.elapsed();
  for (Driver* d : starting) d->Start();
  PumpUntil(
      [&] {
        for (Driver* d : working) d->CheckTimeout();
        return std::all_of(starting.begin(), starting.end(),
                           [](Driver* d) { return d->FirstScreenMs() >= 0; });
      },
      60000);
  const qint64 stormEnd = clock.elapsed();
  for (Driver* d : working) d->Finish();
  runUntilIdle(working);
  PumpUntil(
      [&] {
        return std::all_of(starting.begin(), starting.end(),
                           [](Driver* d) { return d->SignedOn(); });
      },
      30000);
  std::vector<double> storm;
  for (Driver* d : working)
    for (const auto& [at, ms] : d->latencies)
      if (at >= stormStart && at <= stormEnd) storm.push_back(ms);

  int lost = (notSignedOn + neverStarted) * transactions;
  int misrouted = 0;
  for (Driver* d : everyone) {
    lost += d->lost;
    misrouted += d->misrouted;
  }
  for (Driver* d : starting) lost += d->FirstScreenMs() < 0 ? 1 : 0;
  drivers.clear();
  gateway.terminate();
  gateway.waitForFinished(10000);
  host.terminate();
  host.waitForFinished(5000);

  Report("startup_all_first_screen_s", lastFirstScreenMs / 1000.0, "s");
  Report("transactions_per_s", static_cast<double>(load.size()) / loadSeconds, "1/s");
  Report("latency_median_ms", Percentile(load, 0.5), "ms");
  Report("latency_p99_ms", Percentile(load, 0.99), "ms");
  Report("storm_answers", static_cast<double>(storm.size()), "count");
  Report("storm_answer_p99_ms", Percentile(storm, 0.99), "ms");
  Report("lost_answers", lost, "count");
  Report("misrouted_answers", misrouted, "count");
  Report("gateway_cpu_cores", cpu / loadSeconds, "cores");
  return lost == 0 && misrouted == 0 ? 0 : 1;
}

const Register kRegister("e2e", RunE2e);

}  // namespace
}  // namespace tervo::bench
