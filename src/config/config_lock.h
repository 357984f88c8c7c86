// The configuration lock of the main window.  While locked the
// "&Configurations" menu is hidden and the five file items are disabled; the
// "UnLock"/"Lock" item toggles it, and the ten-second tick of the start-up
// window locks it again after 31 ticks without a lock or unlock.  There is no
// password: the lock keeps casual users away from the configuration commands.
#pragma once

#include <functional>
#include <string>

namespace tervo::config {

class ConfigLock {
 public:
  // More than this many ticks unlocked relocks on the next tick.
  static constexpr int kRelockAfterTicks = 30;

  // Locked, as the main window starts.
  ConfigLock() = default;

  // The "&Configurations" menu is visible.
  bool Unlocked() const { return menuVisible_; }
  // "&Load", "&Save as", "Clear &All Data", "&Clear Screen Data" and
  // "Auto &Fill Screen Data" are enabled.
  bool FileItemsEnabled() const { return fileItemsEnabled_; }
  // Caption of the toggle item: "UnLock" while locked, "Lock" while unlocked.
  const std::string& ToggleCaption() const { return caption_; }
  int InactivityCount() const { return count_; }

  // The toggle item was clicked.
  void Toggle();
  // One ten-second tick once the main window has been shown.  Returns true
  // when this tick ran the lock step (the caller then moves the keyboard
  // focus to the main window's scroll bar).
  bool Tick();
  // A session disconnected: the countdown starts again from 0.
  void RestartCount() { count_ = 0; }

  // Called after every change of the visible state.
  std::function<void()> changed;

 private:
  void Lock();
  void Notify() {
    if (changed) changed();
  }

  bool menuVisible_ = false;
  bool fileItemsEnabled_ = false;
  std::string caption_ = "UnLock";
  int count_ = 0;
};

}  // namespace tervo::config
