// Where tools take a configuration from: a configuration base ("plant" or
// "plant.TVO") or a JSON export (a name ending in ".json").
#pragma once

#include <string>

#include "config/config_reader.h"
#include "config/general_options.h"
#include "config/screen_store.h"

namespace tervo::config {

bool IsJsonName(const std::string& name);

// The file a name stands for: BASE.TVO, or the JSON file itself.
std::string ConfigurationFileName(const std::string& name);

// Loads the configuration into a freshly created store.  Bad lines of a
// .TVO file go to prompt and are counted in *badLines; a JSON file that is
// not a configuration is an error.  False with *err ("cannot read
// \"plant.TVO\"", "plant.json: screen 3: ...") when nothing could be loaded.
bool LoadConfigurationFrom(const std::string& name, ScreenStore& store, GeneralOptions& options,
                           LoadPrompt& prompt, int* badLines, std::string* err);

}  // namespace tervo::config
