// The text every configured field of a session's current screen shows on the
// terminal, derived from the capture after each new host screen.
#pragma once

#include "screens/screen_context.h"

namespace tervo::screens {

// Fills ScreensText of the session's current screen (screens 0..180 have
// field texts; above that only the session values and prefixes change) and
// takes the session's user id and auxiliary value from the fields marked for
// them, from field `from` on.  Stops at the first field with a join formula
// and returns its number: everything of that field but the formula is done,
// and the caller evaluates the formula (it sends keys and waits for the host,
// see join_field.h) and goes on from the next field.  -1 when every field is
// done.
int PrepareFieldTextsFrom(ScreenContext& ctx, int session, int from);

// The text a join formula gave field `field` of the session's current screen.
void SetJoinedFieldText(ScreenContext& ctx, int session, int field, const std::string& text);

// All fields at once, join formulas evaluated as if the host accepted input
// at once after their keys (EvaluateJoinField); for callers that cannot wait.
void PrepareFieldTexts(ScreenContext& ctx, int session);

}  // namespace tervo::screens
