// The whole configuration as JSON, for reviews and tools, and back.  The JSON
// holds exactly what the configuration file holds, so a file written by the
// gateway, exported and imported again is written back byte for byte.  The
// layout is documented in docs/config-tools.md.
#pragma once

#include <string>
#include <string_view>

#include "config/general_options.h"
#include "config/screen_store.h"

namespace tervo::config {

constexpr const char* kJsonFormatName = "tervo-config";
constexpr int kJsonFormatVersion = 1;

// The configuration as UTF-8 JSON text ending with a newline.
std::string ExportJson(const ScreenStore& store, const GeneralOptions& options);

// Replaces store and options with the configuration the JSON describes, as
// loading the equivalent file into a freshly created store would.  On a
// fault returns false with *err saying where ("screen 3 field 4: Size:
// expected a whole number"); store and options are then unspecified.
bool ImportJson(std::string_view json, ScreenStore& store, GeneralOptions& options,
                std::string* err);

}  // namespace tervo::config
