// A short account of a loaded configuration for operators and tools: screens
// by status, captured fields, divided entries.
#pragma once

#include <array>
#include <string>

#include "config/screen_store.h"

namespace tervo::config {

struct ConfigSummary {
  int screens = 0;         // numbers 0 .. NumeroMaximoDeEcrans
  int undefined = 0;       // status 0 and empty: no identification, nothing captured
  int automatic = 0;       // status 0 with a definition: what the gateway learned
  int masters = 0;         // status 1
  int defined = 0;         // status 2
  int copies = 0;          // status 4
  int otherStatus = 0;     // any other value
  int fields = 0;          // captured fields over all screens
  int dividedEntries = 0;  // DivideFieldsCt
};

ConfigSummary Summarize(const ScreenStore& store);

// Several lines, each "name: value", ending with a newline.
std::string FormatSummary(const ConfigSummary& s);

}  // namespace tervo::config
