// The start-up timer: the logic behind the "Boot AS400" window.  It opens the
// main window at once or at the daily "Timer ON" time, and after "Timer OFF"
// counts down and then restarts the computer ("Activate Timer", Check1) or
// closes the program ("Close Program on timer off", Check2).  It also runs
// the configuration relock on its ten-second tick.
//
// Times are compared as text, the way the operator reads them: the time of
// day "HH:MM:SS" against the box text "HH:MM" followed by ":00".  A box that
// holds no valid time ("__:__") therefore compares as text too, which keeps
// every stored configuration behaving as it always has.
#pragma once

#include <functional>
#include <string>

#include "config/config_lock.h"
#include "config/general_options.h"
#include "platform/os/clock.h"
#include "platform/os/restart.h"

namespace tervo::config {

// "HH:MM:SS", two digits each, 24-hour clock.
std::string TimeOfDayText(const os::LocalTime& t);
// True when now sorts after box + ":00"; equal is neither after nor before.
bool TimeAfter(const std::string& now, const std::string& box);
bool TimeBefore(const std::string& now, const std::string& box);

// The message shown while the stop-time countdown runs.
inline constexpr const char* kCountdownMessage = "Countdown to Shut Down...{Enter} to cancel.";
// The countdown's length in seconds.
inline constexpr double kCountdownSeconds = 10.0;
// Key code that cancels the countdown.
inline constexpr int kEnterKey = 13;

class StartupTimer {
 public:
  // What the timer asks of the windows and the gateway.  Unset members are
  // skipped, so tests set only what they watch.
  struct Hooks {
    std::function<void()> openMainWindow;   // show it (maximised); runs the start-up sequence
    std::function<void()> closeMainWindow;  // close it; runs the shutdown sequence
    std::function<void()> showStartupWindow;
    std::function<void()> hideStartupWindow;
    std::function<void()> closeProgram;  // unload every window, ending the program
    // The countdown: the message goes through the log with display on, the
    // key record is cleared and the system message window shows it.
    std::function<void(const std::string& message)> beginCountdown;
    // Runs then once the given seconds have passed; meanwhile the windows
    // go on (the system message window records the keys).
    std::function<void(double seconds, std::function<void()> then)> after;
    // The last key code recorded by the system message window.
    std::function<int()> lastKey;
    // The relock step moved the lock: put the focus on the scroll bar.
    std::function<void()> relocked;
  };

  StartupTimer(const GeneralOptions& options, const os::Clock& clock, os::Restart& restart,
               ConfigLock& lock, Hooks hooks);

  // The window's load, after the configuration was loaded (loaded = whether
  // the file could be read).  With the timer active and a good file the
  // window waits for its tick; otherwise the main window opens at once.
  void Start(bool loaded);
  // "Start Now".
  void StartNow();
  // One ten-second tick.  Nothing happens while a countdown runs.
  void Tick();

  bool MainShown() const { return mainShown_; }
  bool CountingDown() const { return countingDown_; }
  // Restart requests made so far (also those the system refused).
  int RestartRequests() const { return restartRequests_; }

 private:
  void OpenMain();
  // Counts down, then runs `go` unless Enter was pressed meanwhile.
  void Countdown(std::function<void()> go);
  void Call(const std::function<void()>& f) {
    if (f) f();
  }

  const GeneralOptions& options_;
  const os::Clock& clock_;
  os::Restart& restart_;
  ConfigLock& lock_;
  Hooks hooks_;
  bool mainShown_ = false;
  bool countingDown_ = false;
  int restartRequests_ = 0;
};

}  // namespace tervo::config
