// The text rules the demo host needs: the ones every library shares (blanks
// are spaces only), brought into the demo host's namespace.
#pragma once

#include "platform/os/blank_text.h"

namespace tervo::demohost {

using os::Left;
using os::PadRight;
using os::TrimBlanks;
using os::ToUpper;

}  // namespace tervo::demohost
