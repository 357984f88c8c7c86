// The number of a screen the editor creates ("Create New Screen ?" Yes): the
// next number after ScreenCt (1..179, then 1 again) that is free (status 0)
// or holds a copy of a master (status 4), which can be rebuilt from its
// master at any time.  Masters and hand-made definitions are never taken.
#pragma once

#include "config/screen_store.h"

namespace tervo::editors {

constexpr int kMaxNewScreenAttempts = 1000;

// Advances ScreenCt to the number found and grows the screen tables when it
// lies beyond them.  -1 when no number is free after kMaxNewScreenAttempts
// steps: the caller then creates no screen rather than overwrite a defined
// one.
int NewScreenNumber(config::ScreenStore& store);

}  // namespace tervo::editors
