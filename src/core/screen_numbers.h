// Numbers for screens the gateway defines by itself.  They run 1..179 after
// ScreenCt, skipping numbers taken by screens with a status (masters,
// defined, copies); when every number is taken, copies of masters (status
// 4) are reused, as they can be rebuilt from their master at any time.
#pragma once

#include "config/screen_store.h"

namespace tervo::core {

constexpr int kMaxScreenAdvances = 180;

// The next number after ScreenCt, growing the screen tables when it lies
// beyond them.  When no number is free and no copy can be reused, *exhausted
// is set and number 1 is handed out again.  Never returns 0.
int AllocateScreenNumber(config::ScreenStore& store, bool* exhausted);

}  // namespace tervo::core
