#include "config/key_text.h"

#include <vector>

#include "config/text.h"
#include "platform/host5250/key_mnemonics.h"

namespace tervo::config {

bool IsLogoffWord(std::string_view piece) {
  const std::string k = text::ToUpper(text::TrimBlanks(piece));
  return k == "@LOGOFF" || k == "@LOGOUT" || k == "@DISCONNECT";
}

bool CheckKeyText(std::string_view keys, bool logoffLast, std::string* why) {
  std::size_t start = 0;
  while (start <= keys.size()) {
    std::size_t comma = keys.find(',', start);
    const bool last = comma == std::string_view::npos;
    if (last) comma = keys.size();
    const std::string_view piece = keys.substr(start, comma - start);
    start = comma + 1;
    if (text::TrimBlanks(piece).empty()) continue;
    if (IsLogoffWord(piece)) {
      if (last && logoffLast) continue;
      *why = "\"" + text::TrimBlanks(piece) +
             "\" ends the session only as the last key; here it is sent as keys";
      return false;
    }
    std::vector<std::string> unknown;
    host5250::ParseKeys(piece, &unknown);
    if (unknown.empty()) continue;
    if (unknown.front() == "@") {
      *why = "a lone \"@\" at the end of \"" + std::string(piece) +
             "\" is not a key (\"@@\" types an @)";
    } else {
      *why = "\"" + unknown.front() + "\" is not a key";
    }
    return false;
  }
  return true;
}

}  // namespace tervo::config
