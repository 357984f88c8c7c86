// The whole chain in one process on loopback: simulated terminals over TCP
// to the gateway's radio link, the gateway, and the demo host over TN5250.
// The gateway runs on a scaled clock so its seconds-long waits pass in
// milliseconds.
#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <string>

#include "core/gateway_builder.h"
#include "core/headless_ui.h"
#include "platform/demohost/demo_host.h"
#include "platform/radio/sim_links.h"
#include "platform/radio/sim_terminal.h"

namespace tervo::e2e {

constexpr double kTimeScale = 20.0;

// Processes events until pred holds or realMs pass; returns pred().
bool WaitUntil(const std::function<bool()>& pred, int realMs = 10000);

// The demo host in this process on a free loopback port.
class DemoHostProcess {
 public:
  bool Start();
  std::string Address() const;
  demohost::DemoHost& Host() { return host_; }

 private:
  demohost::DemoHost host_;
};

// One simulated handheld on its own TCP connection.
struct Terminal {
  Terminal(const std::string& id, quint16 port, int battery = 5000);
  radio::sim::SimTerminal sim;
  radio::sim::SimTcpClient client;
  int changes = 0;

  bool Shows(const std::string& text) const { return sim.Display().Shows(text); }
  std::string Text() const { return radio::sim::ScreenText(sim); }
  // Waits for a screen that shows text (and was not there before).
  bool WaitFor(const std::string& text, int realMs = 10000);
  // Types value into the input item labelled label, then presses Enter.
  bool Enter(const std::string& label, const std::string& value);
};

class E2eTest : public ::testing::Test {
 protected:
  // Starts the demo host and a gateway on a copy of the demo configuration.
  void StartAll(int sessions = 0);
  // Starts a gateway on the configuration BASE.TVO, its "DemoHost" router
  // connecting to hostAddress.
  void StartGateway(const std::string& base, const std::string& hostAddress, int sessions = 0);
  void TearDown() override;
  core::Gateway& G() { return *built_.gateway; }
  quint16 RadioPort() const { return built_.radio->ListeningPort(); }
  std::unique_ptr<Terminal> NewTerminal(const std::string& id, int battery = 5000) {
    return std::make_unique<Terminal>(id, RadioPort(), battery);
  }
  // The host screen of session s, row r (1-based).
  std::string HostRow(int s, int r) const;
  bool Logged(const std::string& line) const;
  // The last lines of the gateway's debug log, for failure messages.
  std::string DebugLogTail(int lines = 60) const;

  QTemporaryDir dir_;
  DemoHostProcess host_;
  std::vector<std::string> uiLines_;
  std::unique_ptr<core::HeadlessUi> ui_;
  core::BuiltGateway built_;
};

}  // namespace tervo::e2e
