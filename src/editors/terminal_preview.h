// A plain-text preview of what a terminal shows for a screen definition, for
// the preview windows of the editor and the reports.
#pragma once

#include <string>

#include "config/screen_store.h"

namespace tervo::editors {

// The preview of screen scr, lines separated by CR LF: fields in Order
// sequence (a gap in the order numbers ends it), input fields as Size
// underscores (at most 40), others as their text padded to Size.  An empty
// text for a screen outside the tables.
std::string CreateTerminalSt(const config::ScreenStore& store, int scr);

}  // namespace tervo::editors
