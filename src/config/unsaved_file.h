// Changes that were never saved into the configuration file are not thrown
// away when nobody can be asked about them (a service stop, the timer's
// stop, a gateway without windows, screens learned while running without
// "Auto Save File").  They are kept beside the configuration, in
// BASE.TVO.unsaved: a whole configuration in the format of BASE.TVO
// (docs/config-file.md), written atomically.  BASE.TVO itself is only ever
// written by "&Save as" and the automatic save.
//
// At the next start the program notices the file and the operator accepts
// it (loaded as the configuration, shown "Unsaved" until saved) or drops it;
// docs/config-file.md says how each program asks.
#pragma once

#include <string>
#include <vector>

#include "config/atomic_file.h"
#include "config/config_reader.h"
#include "config/general_options.h"
#include "config/screen_store.h"

namespace tervo::config {

// BASE.TVO.unsaved: the configuration file's name followed by ".unsaved".
std::string UnsavedFilePath(const std::string& base);

// Writes the whole configuration to the side file of base, replacing an
// earlier one only when every byte was written.  Run overrides are not
// written (the configured values are).
bool WriteUnsavedFile(const std::string& base, const ScreenStore& store,
                      const GeneralOptions& options, std::string* err,
                      const ByteWriter& writer = {});

// Whether base has a side file; *modified (optional) receives its time as
// "yyyy-mm-dd hh:mm" in local time.
bool UnsavedFileExists(const std::string& base, std::string* modified = nullptr);

// Loads the side file as the configuration: the store is reset to a fresh
// one and the general options to a fresh dialog's contents first, so the
// result is exactly what the file holds (run overrides stay in force).
// False when the file cannot be read; nothing was changed then.
bool LoadUnsavedFile(const std::string& base, ScreenStore& store, GeneralOptions& options,
                     LoadPrompt& prompt, int* badLines = nullptr);

// Removes the side file.  A file that is not there is no error.
bool RemoveUnsavedFile(const std::string& base, std::string* err);

// Puts the kept changes into the configuration without running a gateway:
// BASE.TVO is replaced by the side file's configuration (atomically, in the
// writer's form) and the side file removed.  Bad lines of the side file go
// to prompt and are not written.
bool AcceptUnsavedFile(const std::string& base, LoadPrompt& prompt, std::string* err);

// What differs between two configurations, both as loaded from files, for
// the operator deciding about kept changes: one line per kind, e.g.
//   "general options: ExitWord, DisplayLen"
//   "sessions (device name or terminal id): 1, 3"
//   "screen definitions: 2, 7"
//   "divided fields"
// Empty when they hold the same configuration.
std::vector<std::string> DescribeDifferences(const ScreenStore& a, const GeneralOptions& aOptions,
                                             const ScreenStore& b, const GeneralOptions& bOptions);

// Whether kept differs from file only by screens file does not have: every
// screen that differs is an empty slot in file (or beyond its tables), and
// the options, sessions and divided fields are the same.  That is what the
// gateway keeps for the screens it learned while running; nothing of the
// operator's is in it.  False when both hold the same configuration.
bool OnlyScreensAdded(const ScreenStore& file, const GeneralOptions& fileOptions,
                      const ScreenStore& kept, const GeneralOptions& keptOptions);

}  // namespace tervo::config
