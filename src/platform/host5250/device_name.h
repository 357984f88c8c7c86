// IBM i display device names as a session may offer them (the DEVNAME
// variable): 1 to 10 characters, the first a letter or $ # @, the rest
// letters, digits, $ # @ _ or a period.  Letters are offered in upper case.
#pragma once

#include <string>

namespace tervo::host5250 {

// True with *normalized set to the upper-case name when valid; otherwise
// false with *err "Invalid Device " followed by the name.
bool ValidDeviceName(const std::string& name, std::string* normalized, std::string* err);

}  // namespace tervo::host5250
