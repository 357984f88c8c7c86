#include "config/startup_timer.h"

#include <cstdio>

namespace tervo::config {

std::string TimeOfDayText(const os::LocalTime& t) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.hour % 100, t.minute % 100, t.second % 100);
  return buf;
}

bool TimeAfter(const std::string& now, const std::string& box) { return now > box + ":00"; }
bool TimeBefore(const std::string& now, const std::string& box) { return now < box + ":00"; }

StartupTimer::StartupTimer(const GeneralOptions& options, const os::Clock& clock,
                           os::Restart& restart, ConfigLock& lock, Hooks hooks)
    : options_(options), clock_(clock), restart_(restart), lock_(lock), hooks_(std::move(hooks)) {}

void StartupTimer::Start(bool loaded) {
  mainShown_ = false;
  if (loaded && options_.Checked(Option::kCheck1)) {
    Call(hooks_.showStartupWindow);
    return;
  }
  OpenMain();
}

void StartupTimer::OpenMain() {
  Call(hooks_.openMainWindow);
  mainShown_ = true;
}

void StartupTimer::StartNow() {
  OpenMain();
  Call(hooks_.hideStartupWindow);
}

void StartupTimer::Countdown(std::function<void()> go) {
  countingDown_ = true;
  if (hooks_.beginCountdown) hooks_.beginCountdown(kCountdownMessage);
  auto end = [this, go = std::move(go)] {
    countingDown_ = false;
    if (!(hooks_.lastKey && hooks_.lastKey() == kEnterKey)) go();
  };
  if (hooks_.after) {
    hooks_.after(kCountdownSeconds, std::move(end));
  } else {
    end();
  }
}

void StartupTimer::Tick() {
  // A tick that comes due during the countdown must not start a second one.
  if (countingDown_) return;
  if (options_.Checked(Option::kCheck1)) {
    const std::string on = options_.Text(Option::kMaskEdBox1);
    const std::string off = options_.Text(Option::kMaskEdBox2);
    const std::string now = TimeOfDayText(clock_.Now());
    if (mainShown_) {
      if (TimeAfter(now, off)) {
        mainShown_ = false;
        Call(hooks_.showStartupWindow);
        Call(hooks_.closeMainWindow);
        Countdown([this] {
          ++restartRequests_;
          std::string ignored;
          restart_.RestartComputer(&ignored);  // refusals are ignored by design
        });
        return;
      }
    } else if (TimeAfter(now, on) && TimeBefore(now, off)) {
      OpenMain();
      Call(hooks_.hideStartupWindow);
    }
  }

  if (options_.Checked(Option::kCheck2)) {
    const std::string on = options_.Text(Option::kMaskEdBox1);
    const std::string off = options_.Text(Option::kMaskEdBox2);
    const std::string now = TimeOfDayText(clock_.Now());
    if (!mainShown_) {
      if (TimeAfter(now, on) && TimeBefore(now, off)) {
        OpenMain();
        Call(hooks_.hideStartupWindow);
      }
    } else if (TimeAfter(now, off)) {
      Countdown([this] { Call(hooks_.closeProgram); });
      return;
    }
  }

  if (mainShown_ && lock_.Tick()) Call(hooks_.relocked);
}

}  // namespace tervo::config
