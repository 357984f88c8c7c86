// A gateway on fakes: in-memory displays, a recording radio link, a virtual
// clock that moves only when the gateway waits, and settings in memory.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/gateway.h"
#include "support/fake_gateway_services.h"
#include "support/fake_host_display.h"
#include "support/recording_radio_link.h"

namespace tervo::core::testing {

// Each wait moves the virtual clock on by the time asked for (at most one
// poll period) and runs the test's hook, which plays the outside world.
class VirtualPump : public EventPump {
 public:
  explicit VirtualPump(os::VirtualClock& clock) : clock_(clock) {}
  void ProcessEvents(int maxWaitMs) override {
    clock_.Advance(maxWaitMs < 1 ? 1 : maxWaitMs);
    ++rounds;
    if (hook) hook();
  }
  std::function<void()> hook;
  int rounds = 0;

 private:
  os::VirtualClock& clock_;
};

using FakeServices = tervo::testing::FakeGatewayServices;

class RecordingUi : public GatewayUi {
 public:
  void CaptionChanged(const std::string& c) override { captions.push_back(c); }
  bool AskYesNo(const std::string& q, bool) override {
    questions.push_back(q);
    return answer;
  }
  void ShowMessage(const std::string& m) override { messages.push_back(m); }
  void SessionLabelsChanged(int, const std::string&, const std::string&) override {}
  bool ConfigurationsVisible() const override { return configVisible; }
  void PreviewChanged(const std::string&) override {}
  void BusyChanged(bool) override {}

  std::vector<std::string> captions, questions, messages;
  bool answer = true;
  bool configVisible = false;
};

class GatewayTest : public ::testing::Test {
 protected:
  explicit GatewayTest(os::LocalTime start = {2026, 3, 7, 9, 5, 0}) {
    auto clock = std::make_unique<os::VirtualClock>(start);
    clock_ = clock.get();
    auto pump = std::make_unique<VirtualPump>(*clock_);
    pump_ = pump.get();
    auto radio = std::make_unique<tervo::testing::RecordingRadioLink>();
    radio_ = radio.get();
    auto services = std::make_unique<FakeServices>();
    services_ = services.get();
    auto settings = std::make_unique<MemorySettings>();
    settings_ = settings.get();
    auto store = std::make_unique<config::ScreenStore>();
    store_ = store.get();
    auto options = std::make_unique<config::GeneralOptions>();
    options->SetText("DebugFile", "1");
    options->SetText("ComPort", "1");
    options->SetText("TCPIP", "1");
    options_ = options.get();
    store_->TerminalIDDef[0] = "T1";
    store_->TerminalIDDef[1] = "T2";
    GatewayParts parts;
    parts.store = std::move(store);
    parts.options = std::move(options);
    parts.radio = std::move(radio);
    parts.clock = std::move(clock);
    parts.pump = std::move(pump);
    parts.settings = std::move(settings);
    parts.services = std::move(services);
    parts.ui = &ui_;
    gateway_ = std::make_unique<Gateway>(std::move(parts));
    gateway_->SetSessionCount(2);
  }

  tervo::testing::FakeHostDisplay& Display(int s) {
    return *services_->displays[static_cast<std::size_t>(s)];
  }
  screens::SessionState& S() { return gateway_->Sessions(); }
  bool Logged(const std::string& line) const {
    for (const auto& l : services_->lines)
      if (l == line) return true;
    return false;
  }
  int CountLogged(const std::string& line) const {
    int n = 0;
    for (const auto& l : services_->lines) n += l == line ? 1 : 0;
    return n;
  }
  // Calls the radio link saw that start with prefix.
  int Calls(const std::string& prefix) const {
    int n = 0;
    for (const auto& c : radio_->calls) n += c.rfind(prefix, 0) == 0 ? 1 : 0;
    return n;
  }

  os::VirtualClock* clock_;
  VirtualPump* pump_;
  tervo::testing::RecordingRadioLink* radio_;
  FakeServices* services_;
  MemorySettings* settings_;
  config::ScreenStore* store_;
  config::GeneralOptions* options_;
  RecordingUi ui_;
  std::unique_ptr<Gateway> gateway_;
};

}  // namespace tervo::core::testing
