// The main window's title: product, the saved/unsaved status and the tail of
// the configuration path.
#pragma once

#include <string>

namespace tervo::core {

constexpr const char* kCaptionPrefix = "Tervo Remote Terminal 4.05 - ";

// The status text for a status word ("Saved", "Unsaved"): the word, one
// blank and "..." when the path is longer than the 20 characters the title
// shows of it.  An empty word keeps previousStatusText.
std::string CaptionStatusText(const std::string& status, const std::string& configPath,
                              const std::string& previousStatusText);

// The whole title for a status text.
std::string CaptionText(const std::string& statusText, const std::string& configPath);

}  // namespace tervo::core
