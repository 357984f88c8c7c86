// A gateway with fake displays, a recording radio link and a virtual clock,
// presented by the operator windows on the offscreen platform.  Questions
// and file dialogs are answered by the test.
#pragma once

#include <QCoreApplication>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "config/menu_commands.h"
#include "core/gateway.h"
#include "platform/os/restart.h"
#include "support/fake_gateway_services.h"
#include "support/fake_host_display.h"
#include "support/recording_radio_link.h"
#include "ui/operator_windows.h"

namespace tervo::ui::testing {

class AnsweringPrompt : public config::Prompt, public config::FileDialogs {
 public:
  std::vector<std::string> asked;
  Answer answer = Answer::No;
  std::string input;
  std::deque<std::string> files;  // answers of the file dialogs; cancelled when empty

  // Runs while a question is open (a signal arriving then, say).
  std::function<void()> whileAsking;
  Answer Message(const std::string& text, const std::string&, Buttons b) override {
    asked.push_back(text);
    buttons.push_back(b);
    if (whileAsking) whileAsking();
    return answer;
  }
  std::vector<Buttons> buttons;
  std::string Input(const std::string& prompt, const std::string&, const std::string&) override {
    asked.push_back(prompt);
    return input;
  }
  std::string choice;  // empty: cancelled
  std::string Choose(const std::string& prompt, const std::string&,
                     const std::vector<std::string>& items, const std::string& current) override {
    asked.push_back(prompt);
    choices = items;
    return choice.empty() ? current : choice;
  }
  std::vector<std::string> choices;
  Result Open(const std::string&, const std::string&, std::string* chosen) override {
    return Next(chosen);
  }
  Result Save(const std::string&, const std::string&, std::string* chosen) override {
    return Next(chosen);
  }

 private:
  Result Next(std::string* chosen) {
    if (files.empty()) return Result::Cancelled;
    *chosen = files.front();
    files.pop_front();
    return Result::Chosen;
  }
};

using FakeServices = tervo::testing::FakeGatewayServices;

struct Rig {
  AnsweringPrompt prompt;
  os::RecordingRestart restart;
  os::VirtualClock* clock = nullptr;
  os::VirtualTimers* timers = nullptr;
  FakeServices* services = nullptr;
  config::UserSettings* settings = nullptr;
  tervo::testing::RecordingRadioLink* radio = nullptr;
  std::unique_ptr<OperatorWindows> windows;
  std::unique_ptr<core::Gateway> gateway;
  bool finished = false;
  // Whether the radio link holds a terminal (the status bar's count).
  std::function<bool(const std::string& id)> terminalConnected;

  // sessions: SessionCount of the run.  prepare may set options and the
  // store before the start-up window loads.
  explicit Rig(int sessions, const std::function<void(core::Gateway&)>& prepare = {},
               bool loaded = true) {
    auto clockOwned = std::make_unique<os::VirtualClock>(os::LocalTime{2026, 3, 7, 12, 0, 0});
    clock = clockOwned.get();
    OperatorWindows::Seams seams;
    seams.prompt = &prompt;
    seams.dialogs = &prompt;
    seams.restart = &restart;
    seams.clock = clock;
    seams.terminalConnected = [this](const std::string& id) {
      return terminalConnected && terminalConnected(id);
    };
    windows = std::make_unique<OperatorWindows>(seams);

    core::GatewayParts parts;
    parts.store = std::make_unique<config::ScreenStore>();
    parts.options = std::make_unique<config::GeneralOptions>();
    parts.options->SetText("ComPort", "");  // no radio base to look for
    auto radioOwned = std::make_unique<tervo::testing::RecordingRadioLink>();
    radio = radioOwned.get();
    parts.radio = std::move(radioOwned);
    auto timersOwned = std::make_unique<os::VirtualTimers>(*clock);
    timers = timersOwned.get();
    parts.timers = std::move(timersOwned);
    parts.clock = std::move(clockOwned);
    auto settingsOwned = config::UserSettings::InMemory();
    settings = settingsOwned.get();
    parts.settings = std::move(settingsOwned);
    auto servicesOwned = std::make_unique<FakeServices>();
    services = servicesOwned.get();
    parts.services = std::move(servicesOwned);
    parts.ui = windows.get();
    gateway = std::make_unique<core::Gateway>(std::move(parts));
    gateway->SetSessionCount(sessions);
    for (int i = 0; i < sessions; ++i)
      gateway->Store().TerminalIDDef[static_cast<std::size_t>(i)] = "T" + std::to_string(i);
    if (prepare) prepare(*gateway);
    windows->Attach(*gateway);
    QObject::connect(windows.get(), &OperatorWindows::finished, [this] { finished = true; });
    windows->Start(loaded);
  }
  ~Rig() {
    // The gateway's destructor runs the shutdown sequence, which still
    // talks to its windows.
    gateway.reset();
    windows.reset();
    QCoreApplication::sendPostedEvents(
        nullptr, QEvent::DeferredDelete);  // windows closed with delete-on-close
  }
  // Lets ms of virtual time pass (the gateway's ticks and deadlines, the
  // countdown), then the window events.
  void Pass(std::int64_t ms) {
    timers->Advance(ms);
    QCoreApplication::processEvents();
  }
  tervo::testing::FakeHostDisplay& Host(int s) {
    return *services->displays[static_cast<std::size_t>(s)];
  }
  void At(int h, int m, int s) { clock->SetNow({2026, 3, 7, h, m, s}); }
};

}  // namespace tervo::ui::testing
