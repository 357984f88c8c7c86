// Writing the configuration file: the general options, the device data and
// every screen table, in the file's fixed order (docs/config-file.md).
#pragma once

#include <string>

#include "config/atomic_file.h"
#include "config/general_options.h"
#include "config/screen_store.h"

namespace tervo::config {

// The file name of a configuration base: base + ".TVO".
std::string ConfigFilePath(const std::string& base);

// The whole file, bytes as they go to disk.
std::string WriteConfig(const ScreenStore& store, const GeneralOptions& options);

// Writes base + ".TVO", replacing the previous file only when the new one was
// written completely; on failure the previous file is left as it was and
// *err says why.
bool SaveDataToFile2(const std::string& base, const ScreenStore& store,
                     const GeneralOptions& options, std::string* err,
                     const ByteWriter& writer = {});

}  // namespace tervo::config
