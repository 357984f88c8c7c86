// A whole screens world for one test: store, options, session tables, 33
// fake displays, a recording radio link, a recording log and a virtual clock,
// tied together in a ScreenContext the way the gateway core ties them.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "config/daily_counters.h"
#include "config/general_options.h"
#include "config/log.h"
#include "config/screen_store.h"
#include "platform/os/clock.h"
#include "screens/screen_context.h"
#include "support/fake_host_display.h"
#include "support/recording_radio_link.h"

namespace tervo::testing {

class RecordingLog : public config::Log {
 public:
  struct Line {
    std::string message;
    bool shown = false;
  };
  std::vector<Line> lines;
  void WriteLog(const std::string& message, bool showInTitle) override {
    lines.push_back({message.substr(0, 80), showInTitle});
  }
  int Count(const std::string& message) const {
    int n = 0;
    for (const auto& l : lines) n += l.message == message ? 1 : 0;
    return n;
  }
};

class ScreensTest : public ::testing::Test {
 protected:
  ScreensTest() : clock(os::LocalTime{2026, 3, 7, 9, 5, 0}) {
    for (auto& d : displays) d = std::make_unique<FakeHostDisplay>();
    ctx.displayOf = [this](int s) { return displays[static_cast<std::size_t>(s)].get(); };
    // Fitting stand-in that shows what it was asked.
    ctx.fitFieldText = [](const std::string& t, int w) {
      return "fit(" + t + "," + std::to_string(w) + ")";
    };
    sessions.SessionCount = 4;
    store.TerminalIDDef[0] = "T1";
    store.TerminalIDDef[1] = "T2";
    // Screens 0..3 in the tables.
    store.NumeroMaximoDeEcrans = 3;
    store.GrowScreenTables();
  }

  FakeHostDisplay& Display(int s = 0) { return *displays[static_cast<std::size_t>(s)]; }
  config::ScreenDef& Screen(int scr) { return store.Screens[static_cast<std::size_t>(scr)]; }
  config::FieldDef& Def(int scr, int f) { return Screen(scr).Screen[static_cast<std::size_t>(f)]; }
  config::ScreenOriginal& Host(int scr) { return store.Originals[static_cast<std::size_t>(scr)]; }
  std::string& Text(int scr, int f) {
    return store.ScreensText[static_cast<std::size_t>(scr)][static_cast<std::size_t>(f)];
  }
  // Sets captured field f of screen scr directly.
  void Capture(int scr, int f, const std::string& text, int length, bool isProtected, int row = 1,
               int column = 1) {
    auto& o = Host(scr);
    const auto k = static_cast<std::size_t>(f);
    o[k].Text = text;
    o[k].Length = length;
    o[k].Size = length;
    o[k].Protected = isProtected;
    o[k].StartRow = row;
    o[k].StartColumn = column;
    o[k].EndRow = row;
    o[k].EndColumn = column + length - 1;
    o.Count = std::max(o.Count, f + 1);
  }

  config::ScreenStore store;
  config::GeneralOptions options;
  screens::SessionState sessions;
  RecordingRadioLink radio;
  RecordingLog log;
  os::VirtualClock clock;
  config::DailyCounters counters;
  std::array<std::unique_ptr<FakeHostDisplay>, screens::kSessionSlots> displays;
  screens::ScreenContext ctx{store, options, sessions, radio, log, clock, counters};
};

}  // namespace tervo::testing
