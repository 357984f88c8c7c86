// Reads the text form of a scripted application (docs/demo-app-format.md).
#pragma once

#include <string>

#include "platform/demohost/app_model.h"

namespace tervo::demohost {

// Parses and cross-checks a whole application.  On failure returns false and
// sets *err to "line N: what is wrong" naming the line the reader stopped at.
bool ParseApplication(const std::string& text, Application* app, std::string* err);

// Reads and parses a file; errors read "FILE, line N: ...".
bool LoadApplicationFile(const std::string& path, Application* app, std::string* err);

// The built-in warehouse application (warehouse.app, compiled in).
const std::string& WarehouseApplicationText();

// True for the key names transitions accept: enter, rollup, rolldown, help,
// print, clear, f1 .. f24 (lower case).
bool IsKeyName(const std::string& key);

}  // namespace tervo::demohost
