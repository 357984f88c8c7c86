// Everything identification, capture and rendering work on, bundled so that
// the gateway core can own the pieces and hand them over in one object.  The
// core builds one ScreenContext for the process after it has created the
// store, options, session tables, radio link, log, clock and counters, and
// fills the hooks with its own event loop and key queue.
//
//   screens::ScreenContext ctx(store, options, sessions, radio, log, clock, counters);
//   ctx.displayOf = [this](int s) { return displays_[s].get(); };
//   ctx.runPendingKeys = [this](const std::string& c, int s) { return RunPendingKeys(c, s); };
//   ctx.fitFieldText = [&](const std::string& t, int w) {
//     return editors::FitFieldText(t, w, options, log); };
//
// Everything runs on the event-loop thread; nothing here locks.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "config/daily_counters.h"
#include "config/general_options.h"
#include "config/log.h"
#include "config/screen_store.h"
#include "platform/host5250/host_display.h"
#include "platform/os/clock.h"
#include "platform/radio/radio_link.h"
#include "screens/session_state.h"

namespace tervo::screens {

// The screens report's "Activate" box: while Active, every new host screen
// is taken to be definition Screen, and captures are left alone.
struct ScreensReportOverride {
  bool Active = false;
  std::int32_t Screen = 0;
};

struct ScreenContext {
  ScreenContext(config::ScreenStore& store_, config::GeneralOptions& options_,
                SessionState& sessions_, radio::RadioLink& radio_, config::Log& log_,
                const os::Clock& clock_, config::DailyCounters& counters_)
      : store(store_),
        options(options_),
        sessions(sessions_),
        radio(radio_),
        log(log_),
        clock(clock_),
        counters(counters_) {}

  config::ScreenStore& store;
  config::GeneralOptions& options;
  SessionState& sessions;
  radio::RadioLink& radio;
  config::Log& log;
  const os::Clock& clock;
  config::DailyCounters& counters;

  // The display of a session, or nullptr when the slot has none; a session
  // without a display reads as an empty screen.
  std::function<host5250::HostDisplay*(int session)> displayOf;
  // The core's RunPendingKeys(command, session).  Join formulas set
  // sessions.PendingKeys themselves and call this with an empty command,
  // which sends the queue's next piece.
  std::function<bool(const std::string& command, int session)> runPendingKeys;
  // Text fitting of labels (the editors' FitFieldText with the options bound).
  std::function<std::string(const std::string& text, int width)> fitFieldText;
  // Fitting by whole words (the editors' FitWords), for kFlag2Words; without
  // it fitFieldText stands in.
  std::function<std::string(const std::string& text, int width)> fitWords;

  // Terminal line length; the core copies the DisplayLen option here when it
  // lays out its windows.
  std::int32_t DisplayLen = 20;
  ScreensReportOverride screensReport;

  host5250::HostDisplay* Display(int session) const {
    return displayOf && SessionState::ValidSession(session) ? displayOf(session) : nullptr;
  }
  int FindSession(const std::string& terminalId) const {
    return screens::FindSession(store, sessions, terminalId);
  }
  // The screen number session s currently shows (CurrentScreen).
  std::int32_t CurrentScreenOf(int s) const {
    return SessionState::ValidSession(s) ? sessions[s].CurrentScreen : -1;
  }
};

}  // namespace tervo::screens
