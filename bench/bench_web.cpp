// Browsers against radio terminals: `tervo` and `tervo-demohost` as their
// own processes, and in this process first 32 radio terminals (TCP/IP),
// then 32 terminals over the terminal page's WebSocket, each group signing
// on and running the same item inquiries as `tervo-bench e2e` (menu
// choice, item number, F3 back).  The same gateway, the same run: the
// WebSocket transport should cost next to nothing over the binary link.
//
//   tervo-bench web [--terminals 32] [--transactions 50] [--bin DIR] [--demo BASE]
//
// Reported: radio_latency_median_ms, web_latency_median_ms (answer to the
// screen it brings), web_latency_p99_ms, web_minus_radio_median_ms, and
// lost and misrouted answers of both groups (as in e2e: no screen within
// 10 s, or the wrong one).  Exit 1 when an answer was lost or misrouted or
// the web median is more than 5 ms above the radio one.
#include <QUrl>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench_registry.h"
#include "e2e_driver.h"

namespace tervo::bench {
namespace {

struct GroupResult {
  std::vector<double> latencies;
  int lost = 0;
  int misrouted = 0;
};

GroupResult RunGroup(int terminals, int transactions, const QElapsedTimer& clock,
                     const Connector& connect) {
  std::vector<std::unique_ptr<Driver>> drivers;
  for (int i = 0; i < terminals; ++i)
    drivers.push_back(std::make_unique<Driver>(i, clock, std::string(), connect));
  auto all = [&](auto pred) { return std::all_of(drivers.begin(), drivers.end(), pred); };
  PumpUntil([&] { return all([](auto& d) { return d->Welcomed(); }); }, 10000);
  for (auto& d : drivers) d->Start();
  PumpUntil([&] { return all([](auto& d) { return d->SignedOn(); }); }, 60000);
  GroupResult r;
  for (auto& d : drivers) {
    if (!d->SignedOn()) {
      r.lost += transactions;
      continue;
    }
    d->Begin(transactions);
  }
  while (!all([](auto& d) { return d->Done() || d->Idle() || !d->SignedOn(); })) {
    Pump(20);
    for (auto& d : drivers) d->CheckTimeout();
  }
  for (auto& d : drivers) {
    r.lost += d->lost;
    r.misrouted += d->misrouted;
    for (const auto& [at, ms] : d->latencies) r.latencies.push_back(ms);
  }
  return r;
}

int RunWeb(const std::vector<std::string>& args) {
  int terminals = 32;
  int transactions = 50;
  Binaries b;
  for (std::size_t i = 0; i + 1 < args.size(); ++i) {
    if (args[i] == "--terminals") terminals = std::clamp(std::stoi(args[i + 1]), 4, 32);
    if (args[i] == "--transactions") transactions = std::max(3, std::stoi(args[i + 1]));
    if (args[i] == "--bin") b.bin = QString::fromStdString(args[i + 1]);
    if (args[i] == "--demo") b.demo = QString::fromStdString(args[i + 1]);
  }
  b.terminals = terminals;
  b.web = true;
  if (!b.Start()) return 1;

  QElapsedTimer clock;
  clock.start();
  const GroupResult radio =
      RunGroup(terminals, transactions, clock,
               [&b](radio::sim::SimTerminal& t) -> std::unique_ptr<radio::sim::SimClient> {
                 return std::make_unique<radio::sim::SimTcpClient>(t, "127.0.0.1", b.radioPort);
               });
  // The same terminals again, now from "browsers": each takes its id over.
  const QUrl url(QString("ws://127.0.0.1:%1/terminal").arg(b.httpPort));
  const GroupResult web =
      RunGroup(terminals, transactions, clock,
               [&url](radio::sim::SimTerminal& t) -> std::unique_ptr<radio::sim::SimClient> {
                 return std::make_unique<radio::sim::SimWebClient>(t, url);
               });
  b.Stop();

  const double radioMedian = Percentile(radio.latencies, 0.5);
  const double webMedian = Percentile(web.latencies, 0.5);
  Report("radio_latency_median_ms", radioMedian, "ms");
  Report("web_latency_median_ms", webMedian, "ms");
  Report("web_latency_p99_ms", Percentile(web.latencies, 0.99), "ms");
  Report("web_minus_radio_median_ms", webMedian - radioMedian, "ms");
  Report("web_transactions", static_cast<double>(web.latencies.size()), "count");
  Report("radio_lost_answers", radio.lost, "count");
  Report("web_lost_answers", web.lost, "count");
  Report("web_misrouted_answers", web.misrouted, "count");
  Report("radio_misrouted_answers", radio.misrouted, "count");
  const bool ok = radio.lost == 0 && web.lost == 0 && radio.misrouted == 0 && web.misrouted == 0 &&
                  webMedian - radioMedian <= 5.0 && !web.latencies.empty();
  return ok ? 0 : 1;
}

const Register kRegister("web", RunWeb);

}  // namespace
}  // namespace tervo::bench
