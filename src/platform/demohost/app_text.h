// The text rules the demo host needs: the ones every library shares (blanks
// are spaces only), brought into the demo host's namespace, and its one
// number rule.
#pragma once

#include <string_view>

#include "platform/os/blank_text.h"

namespace tervo::demohost {

using os::Left;
using os::PadRight;
using os::TrimBlanks;
using os::ToUpper;

// An optional sign ('-' or '+') and 1 to 15 digits, nothing else (no
// blanks): 15 digits keep every value exact in a long long.
bool WholeNumber(std::string_view s, long long* out);

}  // namespace tervo::demohost
