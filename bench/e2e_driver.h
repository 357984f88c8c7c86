// What the end-to-end benchmarks share: simulated terminals that sign on
// and run item inquiries against the real `tervo` and `tervo-demohost`
// processes, timing each answer to the screen it brings, and the start of
// those processes on a copy of the demo configuration.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSslConfiguration>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "platform/radio/sim_links.h"
#include "platform/radio/sim_terminal.h"

namespace tervo::bench {

using radio::sim::Key;
using Connector = std::function<std::unique_ptr<radio::sim::SimClient>(radio::sim::SimTerminal&)>;

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

void Pump(int ms);

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

double CpuSeconds(qint64 pid);
quint16 FreePort();
double Percentile(std::vector<double> v, double p);
bool ReadyLine(QProcess& p, const QString& marker, QString* line, int ms);
// The source tree this program was built from: the demo configuration and
// the test certificate live there.
QString SourceDir();

// The demo host and the gateway as their own processes, on a copy of the
// demo configuration with one session per bench terminal (B1..B32).
struct Binaries {
  QString bin = QCoreApplication::applicationDirPath() + "/../apps";
  QString demo = SourceDir() + "/demo/warehouse";
  int terminals = 32;
  bool keys = false;  // every terminal with its own secret
  bool tls = false;   // the link (and the page) in TLS
  bool web = false;   // the terminal page's listener too
  // Set by Start.
  QTemporaryDir dir;
  QProcess host;
  QProcess gateway;
  quint16 radioPort = 0;
  quint16 httpPort = 0;
  std::vector<std::string> secrets;  // per terminal, when keys
  std::optional<QSslConfiguration> clientTls;
  bool Start();
  void Stop();
};

// One terminal's run: START, sign on, then cycles of three transactions.
class Driver {
 public:
  enum class Phase { kStarting, kSignOn, kMenu, kInquiry, kItem, kDone };

  // connect: what carries the terminal to the gateway (TCP/IP, a WebSocket).
  Driver(int index, const QElapsedTimer& clock, const std::string& secret, const Connector& connect)
      : index_(index),
        id_("B" + std::to_string(index + 1)),
        row_(kItems[index % 8]),
        clock_(clock),
        terminal_(id_, 20) {
    terminal_.SetAutoStart(false);
    terminal_.SetOnChange([this](const std::string&) { OnChange(); });
    if (!secret.empty()) terminal_.SetSecret(secret);
    client_ = connect(terminal_);
    client_->Connect();
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
  std::unique_ptr<radio::sim::SimClient> client_;
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

}  // namespace tervo::bench
