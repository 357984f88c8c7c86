#include "config/config_lock.h"

namespace tervo::config {

void ConfigLock::Lock() {
  menuVisible_ = false;
  // The file items go with the menu at once: leaving "&Load" and "Clear &All
  // Data" usable until the next tick (up to ten seconds after the operator
  // locked) would defeat the lock.
  fileItemsEnabled_ = false;
  caption_ = "UnLock";
}

void ConfigLock::Toggle() {
  if (menuVisible_) {
    Lock();
    // The next tick sees a count above the limit and completes the lock.
    count_ = 32000;
  } else {
    menuVisible_ = true;
    fileItemsEnabled_ = true;
    caption_ = "Lock";
    count_ = 0;
  }
  Notify();
}

bool ConfigLock::Tick() {
  bool relocked = false;
  if (count_ > kRelockAfterTicks) {
    relocked = true;
    Lock();
  }
  count_ = menuVisible_ ? count_ + 1 : 0;
  if (relocked) Notify();
  return relocked;
}

}  // namespace tervo::config
