// Small lookups that rendering, answer processing and automatic
// configuration share: the function-key legend, the host keys of a menu or
// legend item, input fields and the next shown field.
#pragma once

#include <cstdint>
#include <string>

#include "config/key_text.h"
#include "screens/screen_context.h"

namespace tervo::screens {

struct FunctionKeyLegend {
  std::string text;        // the entries one after the other
  std::uint8_t count = 0;  // width of one entry
};

// The legend of the eight function keys of a screen definition.  Each entry
// is the label followed by its key character (the label's first character
// when no value is set, the value when it is one character, Escape when it
// is longer), right-aligned in the width of the longest label plus one.
//
// Every entry has that width, also when a label is more than four characters
// shorter than the longest one, so that a terminal cutting the legend into
// `count`-wide pieces finds every label in its place; `count` is that width.
FunctionKeyLegend LegendOf(const config::ScreenDef& def);
// The legend of the session's current screen (empty for a screen outside the
// tables).  A definition that maps no function key gets the host's own
// keys (HostKeysLegend of its screen image).
FunctionKeyLegend SomaTeclasFuncao(ScreenContext& ctx, int session);

// Whether the definition maps any of the terminal's function keys F1-F8
// (a label or a value that is not blank).
bool MapsFunctionKeys(const config::ScreenDef& def);
// The host keys terminal function key k (1-8) sends: the definition's value
// when it maps function keys at all, otherwise host function key k (a
// definition that maps none passes F1-F8 through).
std::string FunctionKeyAnswer(const config::ScreenDef& def, int k);
// The name the host screen gives function key k (1-24) in its hints, the
// text after "Fk=" up to two blanks or the end of the row ("Exit" for
// "F3=Exit   F4=Prompt"); "" when the screen names no such key.  image is a
// screen image of 82-character rows (ScreenAspect).
std::string HostKeyName(const std::string& image, int k);
// The legend of the pass-through keys: an entry "Fk=Name" for each of F1-F8
// the host screen names, "Fk" for a key before the last named one that it
// does not name; empty when it names none.  Entries as LegendOf makes them.
FunctionKeyLegend HostKeysLegend(const std::string& image);

// The key mnemonic of host function key n: "@1".."@9" for F1-F9, "@a".."@o"
// for F10-F24 ("@12" would be F1 followed by the character "2"); "" for a
// number no 5250 keyboard has.
std::string FunctionKeyMnemonic(int n);

// The host keys for one item of a host menu or function-key legend:
// "1. Orders" -> "1@E", "12 List" -> "12@E", "F3=Exit" -> "@3",
// "F12=Cancel" -> "@c"; "" when the item names no key.  Only F1 to F24
// exist on a 5250 keyboard, so two-digit keys outside F10..F24 give "".
std::string LegendItemKeys(const std::string& item);

// "@LOGOFF", "@LOGOUT" or "@DISCONNECT" in any case, blanks around ignored:
// keys that close the host session instead of being sent (the last piece of
// a key queue, or a screen's escape key).  The configuration checks read key
// texts by the same rule.
using config::IsLogoffWord;

// Whether captured field `field` of the session's screen takes input: a
// field of length 1 or more that is unprotected, or protected but underlined
// while "SendUnderline" is set.
bool InputField(ScreenContext& ctx, int session, int field);

// The shown field (Show = 1) with the next Order after field's, among the
// orders up to LastFieldIndex; -1 when there is none.
int NextShownField(ScreenContext& ctx, int session, int field);

}  // namespace tervo::screens
