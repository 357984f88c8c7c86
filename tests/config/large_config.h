// A generated configuration of any size, up to the largest the gateway
// produces (179 screens of 500 captured fields, every divided-field entry),
// whose texts hold every one of the 256 byte values.
#pragma once

#include "config/general_options.h"
#include "config/screen_store.h"

namespace tervo::config::testing {

void FillLarge(ScreenStore& store, GeneralOptions& options, int screens, int fields);

}  // namespace tervo::config::testing
