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
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench_registry.h"
#include "e2e_driver.h"

namespace tervo::bench {
namespace {

int RunE2e(const std::vector<std::string>& args) {
  int terminals = 32;
  int transactions = 50;
  bool keys = false;
  bool tls = false;
  QString bin = QCoreApplication::applicationDirPath() + "/../apps";
  QString demo = SourceDir() + "/demo/warehouse";
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--keys") keys = true;
    if (args[i] == "--tls") tls = true;
    if (i + 1 >= args.size()) continue;
    if (args[i] == "--terminals") terminals = std::clamp(std::stoi(args[i + 1]), 4, 32);
    if (args[i] == "--transactions") transactions = std::max(3, std::stoi(args[i + 1]));
    if (args[i] == "--bin") bin = QString::fromStdString(args[i + 1]);
    if (args[i] == "--demo") demo = QString::fromStdString(args[i + 1]);
  }

  Binaries b;
  b.terminals = terminals;
  b.keys = keys;
  b.tls = tls;
  b.bin = bin;
  b.demo = demo;
  if (!b.Start()) return 1;
  QProcess& gateway = b.gateway;

  QElapsedTimer clock;
  clock.start();
  std::vector<std::unique_ptr<Driver>> drivers;
  for (int i = 0; i < terminals; ++i)
    drivers.push_back(std::make_unique<Driver>(
        i, clock, b.secrets[static_cast<std::size_t>(i)],
        [&b](radio::sim::SimTerminal& t) -> std::unique_ptr<radio::sim::SimClient> {
          auto c = std::make_unique<radio::sim::SimTcpClient>(t, "127.0.0.1", b.radioPort);
          if (b.clientTls) c->UseTls(*b.clientTls);
          return c;
        }));
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
  b.Stop();

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
