// Screen identification: the identification value of a live host screen and
// the choice of the screen definition that matches it.
#pragma once

#include <cstdint>

#include "screens/screen_context.h"

namespace tervo::screens {

// Sets sessions[session].ScreenIdValue from the session's live screen: the
// sum over counted fields of (position x 8000 + length - 1024) plus the
// character codes of the trimmed identification area, in signed 32-bit
// arithmetic where a step that would overflow is skipped and reported.
void CalculateChecksum(ScreenContext& ctx, int session);

// Chooses the definition for screenId by the session's terminal and user.
// Returns true and sets result on success; leaves result alone otherwise.
// screenId 0 never matches.
bool FindBestScreen(ScreenContext& ctx, int session, std::int32_t screenId, std::int32_t& result);

// The score a definition gets for a session: 0 or less never matches.
int DefinitionScore(const config::ScreenDef& def, std::int32_t screenId,
                    const std::string& terminalId, const std::string& sessionUser);

}  // namespace tervo::screens
