#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/startup_timer.h"

namespace tervo::config {
namespace {

TEST(StartupTimeText, ComparesTheTimeOfDayWithTheBoxPlusSeconds) {
  EXPECT_EQ(TimeOfDayText({2026, 3, 7, 9, 5, 3}), "09:05:03");
  EXPECT_TRUE(TimeAfter("07:00:01", "07:00"));
  EXPECT_FALSE(TimeAfter("07:00:00", "07:00")) << "exactly the box time is not after it";
  EXPECT_FALSE(TimeBefore("07:00:00", "07:00")) << "nor before it";
  EXPECT_TRUE(TimeBefore("06:59:59", "07:00"));
  EXPECT_FALSE(TimeAfter("00:00:00", "__:__")) << "an empty box sorts after every time";
  EXPECT_TRUE(TimeBefore("23:59:59", "__:__"));
}

// A start-up timer on a virtual clock that records what it asked for.
struct Rig {
  GeneralOptions options;
  os::VirtualClock clock;
  os::RecordingRestart restart;
  ConfigLock lock;
  std::vector<std::string> calls;
  int lastKey = 0;
  int keyDuringWait = 0;  // a key the operator presses during the countdown
  StartupTimer timer{options, clock, restart, lock, Hooks()};

  Rig(const char* on, const char* off, bool check1, bool check2) {
    options.SetText("MaskEdBox1", on);
    options.SetText("MaskEdBox2", off);
    options.SetChecked("Check1", check1);
    options.SetChecked("Check2", check2);
  }
  StartupTimer::Hooks Hooks() {
    StartupTimer::Hooks h;
    h.openMainWindow = [this] { calls.push_back("open main"); };
    h.closeMainWindow = [this] { calls.push_back("close main"); };
    h.showStartupWindow = [this] { calls.push_back("show startup"); };
    h.hideStartupWindow = [this] { calls.push_back("hide startup"); };
    h.closeProgram = [this] { calls.push_back("close program"); };
    h.beginCountdown = [this](const std::string& m) {
      lastKey = 0;
      calls.push_back(m);
    };
    // The countdown's time passes at once, the operator's key pressed in it.
    h.after = [this](double s, std::function<void()> then) {
      clock.Advance(static_cast<std::int64_t>(s * 1000));
      lastKey = keyDuringWait;
      then();
    };
    h.lastKey = [this] { return lastKey; };
    h.relocked = [this] { calls.push_back("relocked"); };
    return h;
  }
  void At(int h, int m, int s) { clock.SetNow({2026, 3, 7, h, m, s}); }
  std::vector<std::string> Take() { return std::exchange(calls, {}); }
};

using Calls = std::vector<std::string>;

TEST(StartupTimer, OpensTheMainWindowAtOnceUnlessTheTimerIsActiveAndTheFileLoaded) {
  Rig plain("07:00", "19:00", false, true);
  plain.timer.Start(true);
  EXPECT_EQ(plain.Take(), Calls{"open main"}) << "Check2 alone does not hold the start";
  Rig timed("07:00", "19:00", true, false);
  timed.timer.Start(true);
  EXPECT_EQ(timed.Take(), Calls{"show startup"});
  EXPECT_FALSE(timed.timer.MainShown());
  Rig badFile("07:00", "19:00", true, false);
  badFile.timer.Start(false);
  EXPECT_EQ(badFile.Take(), Calls{"open main"})
      << "a failed load opens the main window whatever the timer";
  EXPECT_TRUE(badFile.timer.MainShown());
}

TEST(StartupTimer, ActiveTimerWaitsForTheFirstTickAfterOn) {
  Rig r("07:00", "19:00", true, false);
  r.At(6, 55, 0);
  r.timer.Start(true);
  r.Take();
  r.timer.Tick();
  r.At(7, 0, 0);
  r.timer.Tick();
  EXPECT_TRUE(r.Take().empty()) << "07:00:00 is not yet after ON";
  r.At(7, 0, 5);
  r.timer.Tick();
  EXPECT_EQ(r.Take(), (Calls{"open main", "hide startup"}));
  EXPECT_TRUE(r.timer.MainShown());
}

TEST(StartupTimer, StartedAfterOffWaitsForTheNextDay) {
  Rig r("07:00", "19:00", true, false);
  r.At(20, 0, 0);
  r.timer.Start(true);
  r.Take();
  for (int h : {20, 23, 0, 6}) {
    r.At(h, 30, 0);
    r.timer.Tick();
  }
  EXPECT_TRUE(r.Take().empty());
  r.At(7, 0, 10);
  r.timer.Tick();
  EXPECT_EQ(r.Take(), (Calls{"open main", "hide startup"}));
}

TEST(StartupTimer, OffEarlierThanOnNeverStartsByTheTimer) {
  for (bool check1 : {true, false}) {
    Rig r("22:00", "06:00", check1, !check1);
    r.At(12, 0, 0);
    if (check1) r.timer.Start(true);  // with Check2 alone Start would open the window at once
    r.Take();
    for (int h : {21, 22, 23, 0, 3, 5, 6, 12}) {
      r.At(h, 0, 30);
      r.timer.Tick();
    }
    EXPECT_TRUE(r.Take().empty()) << "check1 " << check1;
    r.timer.StartNow();
    EXPECT_EQ(r.Take(), (Calls{"open main", "hide startup"})) << "only Start Now starts it";
  }
}

TEST(StartupTimer, ActivateTimerRestartsTheComputerAfterOffUnlessEnterIsPressed) {
  Rig r("07:00", "19:00", true, false);
  r.At(12, 0, 0);
  r.timer.StartNow();
  r.Take();
  r.At(19, 0, 0);
  r.timer.Tick();
  EXPECT_EQ(r.restart.requests, 0) << "exactly OFF is not after OFF";
  EXPECT_TRUE(r.timer.MainShown());
  r.Take();

  r.At(19, 0, 1);
  r.timer.Tick();
  EXPECT_EQ(r.Take(), (Calls{"show startup", "close main", kCountdownMessage}));
  EXPECT_EQ(r.restart.requests, 1);
  EXPECT_FALSE(r.timer.MainShown());

  Rig cancel("07:00", "19:00", true, false);
  cancel.timer.StartNow();
  cancel.keyDuringWait = kEnterKey;
  cancel.At(19, 30, 0);
  cancel.timer.Tick();
  EXPECT_EQ(cancel.restart.requests, 0) << "Enter during the countdown cancels the restart";
  EXPECT_FALSE(cancel.timer.MainShown()) << "the main window stays closed until the next ON";
  cancel.Take();
  cancel.At(7, 0, 1);
  cancel.timer.Tick();
  EXPECT_EQ(cancel.Take(), (Calls{"open main", "hide startup"}));
}

TEST(StartupTimer, ARefusedRestartIsIgnored) {
  Rig r("07:00", "19:00", true, false);
  r.restart.fail = true;
  r.timer.StartNow();
  r.At(19, 30, 0);
  r.timer.Tick();
  EXPECT_EQ(r.restart.requests, 1);
  EXPECT_EQ(r.timer.RestartRequests(), 1);
}

TEST(StartupTimer, ClosingProgramCountsDownAndEnterKeepsItRunningUntilTheNextTick) {
  Rig r("07:00", "19:00", false, true);
  r.At(12, 0, 0);
  r.timer.Start(true);
  r.Take();
  r.keyDuringWait = kEnterKey;
  r.At(19, 0, 0);
  r.timer.Tick();
  EXPECT_TRUE(r.Take().empty()) << "exactly OFF";
  r.At(19, 0, 1);
  r.timer.Tick();
  EXPECT_EQ(r.Take(), Calls{kCountdownMessage}) << "cancelled: the gateway keeps running";
  r.keyDuringWait = 0;
  r.timer.Tick();
  EXPECT_EQ(r.Take(), (Calls{kCountdownMessage, "close program"}));
  EXPECT_EQ(r.restart.requests, 0) << "Check2 closes the program, never restarts";
}

TEST(StartupTimer, WithNeitherOptionOnlyTheLockRuns) {
  Rig r("07:00", "19:00", false, false);
  r.At(19, 30, 0);
  r.timer.Start(true);
  r.Take();
  r.lock.Toggle();
  for (int i = 0; i < 31; ++i) r.timer.Tick();
  EXPECT_TRUE(r.Take().empty());
  r.timer.Tick();
  EXPECT_EQ(r.Take(), Calls{"relocked"});
  EXPECT_FALSE(r.lock.Unlocked());
}

TEST(StartupTimer, TheLockDoesNotRunBeforeTheMainWindowIsShown) {
  Rig r("07:00", "19:00", true, false);
  r.At(5, 0, 0);
  r.timer.Start(true);
  r.lock.Toggle();
  for (int i = 0; i < 40; ++i) r.timer.Tick();
  EXPECT_EQ(r.lock.InactivityCount(), 0);
  EXPECT_TRUE(r.lock.Unlocked());
}

}  // namespace
}  // namespace tervo::config
