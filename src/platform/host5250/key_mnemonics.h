// Key strings as the gateway writes them: plain characters to type, mixed
// with "@" mnemonics ("@E" Enter, "@R" Reset, "@u"/"@v" Roll Up/Down,
// "@1".."@9" F1-F9, "@a".."@o" F10-F24, "@T" Tab, "@B" Backtab, "@F" Erase
// EOF, "@C" Clear, "@H" Help, "@P" Print, "@@" a literal "@").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tervo::host5250 {

// The keys the gateway itself sends.
constexpr const char* kKeyEnter = "@E";
constexpr const char* kKeyReset = "@R";
constexpr const char* kKeyRollUp = "@u";    // the next page
constexpr const char* kKeyRollDown = "@v";  // the page before

struct Key {
  enum Kind { kCharacter, kAid, kReset, kTab, kBacktab, kEraseEof };
  Kind kind = kCharacter;
  char character = 0;     // kCharacter
  std::uint8_t aid = 0;   // kAid
  std::string text;       // the key as written, for messages
};

// Splits keys into keys.  Unknown mnemonics (and a lone "@" at the end) are
// skipped and listed in *unknown, each as written.
std::vector<Key> ParseKeys(std::string_view keys, std::vector<std::string>* unknown);

// Keys text of a list, as written ("@E", "A"...), for messages.
std::string KeysText(const std::vector<Key>& keys, std::size_t from);

}  // namespace tervo::host5250
