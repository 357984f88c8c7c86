// Automatic configuration: the first definition of a host screen nobody has
// configured yet, built from its capture in one pass and finished with the
// settings of the best matching master screen.
#pragma once

#include "screens/screen_context.h"

namespace tervo::editors {

// Builds the definition of CurrentScreen(session) from that screen's
// capture record and image: every host field becomes a field definition,
// labels are fitted to the terminal line, input fields get their width,
// labels and inputs of one host row share a terminal line, the escape key
// comes from the screen's exit hint, and the best master is copied on top.
// The screen's identification value and ScreenCt are left alone.
//
// Auto-fill clears the Divided flag of every field, so divided-field
// entries of the screen would point at fields that no longer say they are
// divided; they are removed (ScrNum -1) and the master copy goes ahead as
// for any other screen.
void AutoFillScreen(screens::ScreenContext& ctx, int session);

}  // namespace tervo::editors
