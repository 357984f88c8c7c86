// The engine's Windows-1252 text as Unicode: the conversion lives with the
// platform (the radio link's WebSocket terminals need it too); the
// configuration's JSON uses it under these names.
#pragma once

#include "platform/os/windows1252.h"

namespace tervo::config {

using os::AppendUtf8;
using os::FromWindows1252;
using os::ToWindows1252;
using os::Windows1252Char;

}  // namespace tervo::config
