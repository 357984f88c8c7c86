// Whether a configured key text can be sent as written.  Key texts (exit
// keys, keys after Enter, function-key values, repeat keys, the keys of a
// join formula) are pieces separated by ","; the gateway sends one piece at a
// time as typed characters mixed with "@" mnemonics (docs/tn5250.md), and a
// last piece "@LOGOFF", "@LOGOUT" or "@DISCONNECT" (any case, blanks around
// allowed) ends the host session instead.  Anywhere else those words would be
// typed as keys.
#pragma once

#include <string>
#include <string_view>

namespace tervo::config {

// "@LOGOFF", "@LOGOUT" or "@DISCONNECT" in any case, blanks trimmed.
bool IsLogoffWord(std::string_view piece);

// True when every piece of keys can be sent.  A logoff word is accepted as
// the last piece only when logoffLast is set (the text ends its key queue).
// On a fault *why says what cannot be sent, e.g.
//   "@X" is not a key
//   "@LOGOFF" ends the session only as the last key; here it is sent as keys
bool CheckKeyText(std::string_view keys, bool logoffLast, std::string* why);

}  // namespace tervo::config
