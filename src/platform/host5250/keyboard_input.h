// What the operator's keys do to the screen: typing at the cursor with the
// field rules, Tab, Backtab and Erase EOF.  Errors are returned, never
// turned into a keyboard lock: the gateway types whole key strings and
// needs to know which key failed and why.
#pragma once

#include <string>

#include "platform/host5250/ebcdic.h"
#include "platform/host5250/screen.h"

namespace tervo::host5250 {

enum class TypeResult { kTyped, kTypedAutoEnter, kRefused };

// Types one Windows-1252 character at the cursor.  Monocase fields take
// upper case; alphabetic, numeric and digit fields refuse other characters;
// the sign position of a signed-numeric field takes no data.  Filling the
// last position moves to the next input field, or asks for Enter when the
// field is auto-enter.
TypeResult TypeCharacter(Screen& screen, char c, const EbcdicCodec& codec, std::string* err);

void TabForward(Screen& screen);
void TabBackward(Screen& screen);
// Nulls the field from the cursor to its end and marks it modified.
bool EraseToEndOfField(Screen& screen, std::string* err);

}  // namespace tervo::host5250
