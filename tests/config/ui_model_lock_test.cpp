#include <gtest/gtest.h>

#include "config/config_lock.h"

namespace tervo::config {
namespace {

TEST(ConfigLock, StartsLockedAndTheToggleUnlocksEverything) {
  ConfigLock lock;
  EXPECT_FALSE(lock.Unlocked());
  EXPECT_FALSE(lock.FileItemsEnabled());
  EXPECT_EQ(lock.ToggleCaption(), "UnLock");
  lock.Toggle();
  EXPECT_TRUE(lock.Unlocked());
  EXPECT_TRUE(lock.FileItemsEnabled());
  EXPECT_EQ(lock.ToggleCaption(), "Lock");
  EXPECT_EQ(lock.InactivityCount(), 0);
}

TEST(ConfigLock, RelocksOnTheTickAfter31TicksUnlocked) {
  ConfigLock lock;
  lock.Toggle();
  for (int tick = 1; tick <= 31; ++tick) {
    EXPECT_FALSE(lock.Tick()) << "tick " << tick;
    EXPECT_TRUE(lock.Unlocked()) << "tick " << tick;
  }
  EXPECT_EQ(lock.InactivityCount(), 31);
  EXPECT_TRUE(lock.Tick());
  EXPECT_FALSE(lock.Unlocked());
  EXPECT_FALSE(lock.FileItemsEnabled());
  EXPECT_EQ(lock.ToggleCaption(), "UnLock");
  EXPECT_EQ(lock.InactivityCount(), 0);
}

TEST(ConfigLock, ADisconnectRestartsTheCountdown) {
  ConfigLock lock;
  lock.Toggle();
  for (int i = 0; i < 25; ++i) lock.Tick();
  lock.RestartCount();
  for (int i = 0; i < 31; ++i) EXPECT_FALSE(lock.Tick());
  EXPECT_TRUE(lock.Unlocked());
}

TEST(ConfigLock, LockingByHandDisablesTheFileItemsAtOnceAndTheNextTickCompletesIt) {
  ConfigLock lock;
  int changes = 0;
  lock.changed = [&] { ++changes; };
  lock.Toggle();
  lock.Toggle();
  EXPECT_EQ(changes, 2);
  EXPECT_FALSE(lock.Unlocked());
  EXPECT_FALSE(lock.FileItemsEnabled()) << "locking must not leave Load and Clear usable";
  EXPECT_TRUE(lock.Tick()) << "the lock step runs (focus to the scroll bar)";
  EXPECT_EQ(lock.InactivityCount(), 0);
  EXPECT_FALSE(lock.Tick()) << "while locked the count stays at 0";
}

}  // namespace
}  // namespace tervo::config
