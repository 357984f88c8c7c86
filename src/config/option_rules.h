// What the operator may type into the configuration windows, so a value that
// would not work is named at its field instead of being taken silently
// ("Display LEN" abc stripping every label from the terminals, a session
// count of -3 emptying the main window).  Each check returns the message
// shown at the field, or "" when the text is good.
//
// The windows keep an option's last good value while its box holds a text
// that is not one; files are read as they are (a loaded file may hold
// anything, and the consumers cope as before).  The rules that replace a
// value (more sessions than the run has become the run's count) are the
// dialog's own and still apply.
#pragma once

#include <array>
#include <string>

#include "config/general_options.h"
#include "config/screen_store.h"

namespace tervo::config {

// Whether key has a rule (free texts, check boxes and lists have none).
bool HasOptionRule(OptionKey key);

// The message for text typed into key's box, given the other options as
// they are now (some rules depend on them: a screen id area with a length
// needs its column and row, "Send Error Line" needs its row).  The ranges
// are the option table's (config/option_keys.h).
std::string CheckOption(OptionKey key, const std::string& text, const GeneralOptions& options);

// "hh:mm" from 00:00 to 23:59, or the empty mask "__:__" (no time).
std::string CheckTime(const std::string& text);

// A terminal id as the device-name window stores it for session row:
// empty (no terminal), or 1 to 8 characters without control characters and
// without blanks before or after it, used by no other session among
// rows 0 .. rows - 1 of ids (the gateway compares ids without their blanks).
std::string CheckTerminalId(const std::string& id, int row,
                            const std::array<std::string, kSessionSlots>& ids, int rows);

// The clause used by every whole-number message: "a whole number from 1 to
// 32", "a whole number of 1 or more".
std::string WholeNumberRange(long min, long max);

}  // namespace tervo::config
