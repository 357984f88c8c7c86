// Building the terminal's screen program for the screen definition a
// session currently shows, and recording what each terminal item stands for.
#pragma once

#include <string>

#include "screens/item_map.h"
#include "screens/screen_context.h"
#include "screens/terminal_builder.h"

namespace tervo::screens {

// Builds the screen for the session of terminalId (FindSession; the id as
// NormalTerminalId gives it, which the radio link addresses) into the
// radio link, after T_InitScreen, and returns what its items stand for.
// The session's record takes the texts its input items show (ShownText),
// the lines shown (PrintedTexts, lines 1..1000) and the battery level the
// terminal last reported (the previous one when it reported none); the
// session is marked as sent to and the screen counted for the day.
ItemMap RenderTerminalScreen(ScreenContext& ctx, const std::string& requestText,
                             const std::string& terminalId);

// Renders divided field d of `screen` as its parts, each a prompt of its own.
void CreateFieldDivided(ScreenContext& ctx, TerminalBuilder& b, int session, int screen, int d);

// Pieces of `width` characters: the first as a prompt, the later ones each on
// a new line as plain text.  A width below 1 takes the text as one piece.
void SplitIntoLines(TerminalBuilder& b, const std::string& text, int width);
// The same pieces as plain prints, each but the first on a new line.
void PrintInLines(TerminalBuilder& b, const std::string& text, int width);

// The prefix of a field: its trimmed AuxText in exactly SizeTextAux
// characters.  A prefix longer than that is cut, as the terminal line has
// only that room for it (the terminal preview cuts it the same way).
std::string FieldPrefix(const config::FieldDef& def);

}  // namespace tervo::screens
