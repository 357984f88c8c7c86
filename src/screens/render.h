// Building the terminal's screen program for the screen definition a
// session currently shows, and recording which terminal item belongs to
// which host field.
#pragma once

#include <string>

#include "screens/screen_context.h"
#include "screens/terminal_builder.h"

namespace tervo::screens {

// Builds the screen for the session of terminalId (FindSession) into the
// radio link, after T_InitScreen (fresh) or after T_RefreshScreen (a replay:
// input buffers then receive the terminal's values).  Returns the trailer's
// T_Read value, less 128 when above 128.
//
// ItemField has slots 0..500: items past 500 are rendered but not recorded,
// and an answer on one of them belongs to no field (ItemFieldAt gives -1).
// PrintedTexts keeps lines 1..1000; later lines show the current text on a
// replay as well.  The battery level recorded is the one the terminal last
// reported, the previous one when it reported none.
int RenderTerminalScreen(ScreenContext& ctx, const std::string& requestText,
                         const std::string& terminalId, bool fresh);

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
