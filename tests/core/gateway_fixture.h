// A gateway on fakes: in-memory displays, a recording radio link, a virtual
// clock with its timers that move only when the test moves them, and
// settings in memory.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "config/text.h"
#include "core/gateway.h"
#include "screens/identification.h"
#include "support/fake_gateway_services.h"
#include "support/fake_host_display.h"
#include "support/recording_radio_link.h"

namespace tervo::core::testing {

using FakeServices = tervo::testing::FakeGatewayServices;
using RecordingRadioLink = tervo::testing::RecordingRadioLink;

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
  void DebugLine(DebugList list, int s, const std::string& line) override {
    debug[list == DebugList::kHost ? 0 : 1][s] = line;
  }

  std::vector<std::string> captions, questions, messages;
  // The debug window's lines by list (host, terminal) and session.
  std::map<int, std::string> debug[2];
  bool answer = true;
  bool configVisible = false;
};

class GatewayTest : public ::testing::Test {
 protected:
  explicit GatewayTest(os::LocalTime start = {2026, 3, 7, 9, 5, 0}) {
    auto clock = std::make_unique<os::VirtualClock>(start);
    clock_ = clock.get();
    auto timers = std::make_unique<os::VirtualTimers>(*clock_);
    timers_ = timers.get();
    auto radio = std::make_unique<tervo::testing::RecordingRadioLink>();
    radio_ = radio.get();
    auto services = std::make_unique<FakeServices>();
    services_ = services.get();
    auto settings = config::UserSettings::InMemory();
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
    parts.timers = std::move(timers);
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

  // Runs what is due now: the events of the moment are handled.
  void Settle() { timers_->RunDue(); }
  // Lets ms of virtual time pass, poll ticks and deadlines included.
  void Pass(std::int64_t ms) { timers_->Advance(ms); }

  os::VirtualClock* clock_;
  os::VirtualTimers* timers_;
  tervo::testing::RecordingRadioLink* radio_;
  FakeServices* services_;
  config::UserSettings* settings_;
  config::ScreenStore* store_;
  config::GeneralOptions* options_;
  RecordingUi ui_;
  std::unique_ptr<Gateway> gateway_;
};

const std::string kT1 = "T1      ";  // as the radio buffer hands ids over
const std::string kT2 = "T2      ";

// A host screen with one label and one six-character input field.
inline void ItemScreen(tervo::testing::FakeHostDisplay& d, const std::string& item = "") {
  d.ClearScreen();
  d.AddField(5, 2, "Item number . . :", 17, true);
  d.AddField(5, 20, item, 6, false);
  d.PutText(24, 2, "F3=Exit   F12=Cancel");
}

// A started gateway with helpers that play the terminals and the hosts.
class Started : public GatewayTest {
 protected:
  void SetUp() override { gateway_->Start(); }
  ~Started() override { gateway_->Shutdown(); }

  // START from a terminal and the 4 s the connection is given.
  void Connect(const std::string& id = kT1) {
    gateway_->HandleScreenRequest(id, "START");
    Pass(kConnectSettleMs);
  }
  // Defines the screen session s shows now as definition n.
  void Define(int n, int s = 0) {
    screens::CalculateChecksum(gateway_->Context(), s);
    if (!store_->ValidScreen(n)) {
      store_->NumeroMaximoDeEcrans = n;
      store_->GrowScreenTables();
    }
    store_->Screens[static_cast<std::size_t>(n)].ScreenId = S()[s].ScreenIdValue;
    store_->Screens[static_cast<std::size_t>(n)].Master = config::kScreenDefined;
  }
  // Definition n shows field 0 as a line and field 1 as a six-character input.
  void ShowItemInput(int n) {
    auto& def = store_->Screens[static_cast<std::size_t>(n)];
    def.Screen[0] = {};
    def.Screen[0].Show = 1;
    def.Screen[0].Size = 20;
    def.Screen[0].NewLine = 1;
    def.Screen[1] = {};
    def.Screen[1].Show = 1;
    def.Screen[1].Order = 1;
    def.Screen[1].InputField = 1;
    def.Screen[1].Size = 6;
  }
  // A terminal answers its screen: values typed into its input items in
  // order, then Enter.
  void Answer(const std::string& id, std::vector<std::string> values) {
    const int s = gateway_->Context().FindSession(id);
    const int enter = S()[s].TerminalScreen.Items.enterItem;
    radio_->Deliver({text::TrimRightBlanks(id), "AS400", radio::kTerminalAnswer,
                     RecordingRadioLink::Chose(enter, std::move(values))});
    Settle();
  }
};

}  // namespace tervo::core::testing
