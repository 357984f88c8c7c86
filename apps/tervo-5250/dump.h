// The text tervo-5250 --dump prints for one screen.
#pragma once

#include <string>

#include "platform/host5250/host_display.h"

namespace tervo::apps {

// "=== Screen n ===", the 24 rows as they stand (non-display fields as
// blanks), "Message: " and row 25, "Cursor: row,column", then the field list
// one line a field: start row,column, length, protected, type, justify.
std::string DumpScreen(int n, const host5250::HostDisplay& display);

}  // namespace tervo::apps
