// The text every configured field of a session's current screen shows on the
// terminal, derived from the capture after each new host screen.
#pragma once

#include "screens/screen_context.h"

namespace tervo::screens {

// Fills ScreensText of the session's current screen (screens 0..180 have
// field texts; above that only the session values and prefixes change) and
// takes the session's user id and auxiliary value from the fields marked for
// them.  Join formulas are evaluated here, so this may send keys and wait.
void PrepareFieldTexts(ScreenContext& ctx, int session);

}  // namespace tervo::screens
