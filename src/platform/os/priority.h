// Running the gateway ahead of other work on the machine: terminals wait
// on it, so it asks for a higher scheduling priority at start.
#pragma once

#include <string>

namespace tervo::os {

// Raises the process priority (nice -10 on Unix, HIGH_PRIORITY_CLASS on
// Windows).  Unprivileged users may not raise it: false with *err, and the
// process runs on at its normal priority.
bool RaiseProcessPriority(std::string* err);

}  // namespace tervo::os
