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
// tables).
FunctionKeyLegend SomaTeclasFuncao(ScreenContext& ctx, int session);

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
