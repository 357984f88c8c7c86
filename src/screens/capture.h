// Capture of a session's live host screen into the store, and the lookups
// over captured and live fields that rendering, the editors and automatic
// configuration share.
#pragma once

#include <cstdint>

#include "screens/screen_context.h"

namespace tervo::screens {

// Copies every field of the session's live screen into Originals[screen] and
// the 25 text rows into ScreenAspect[screen].  Nothing happens while the
// screens report's "Activate" box is set, or for a screen outside the tables.
//
// Only slots 0..500 exist: a host screen reporting more fields keeps its
// first 501 and Count becomes 501, so every loop bounded by Count stays in
// the table (LastFieldIndex still reports such a screen as truncated).  A
// field that reports no attributes is captured as not underlined, rather
// than keeping whatever the slot held from an earlier screen.
void ReadAs400Data(ScreenContext& ctx, int session, int screen);

// Copies the capture and the screen image of one screen number to another.
void CopyAs400Data(config::ScreenStore& store, int fromScreen, int toScreen);
// The captured fields 0..Count-1 of a into b, and Count; b's later entries
// are left as they are (nothing reads past Count).
void CopyCapturedFields(const config::ScreenOriginal& a, config::ScreenOriginal& b);

// The highest field index loops over the session's captured fields visit:
// Count - 1, or 499 (with "Screen fields truncated !!!" logged as a shown
// error) for a screen of 500 fields or more; -1 when there is nothing.
int LastFieldIndex(ScreenContext& ctx, int session);

// The live field of the session that contains (row, column), or -1.
int FieldAtCursor(ScreenContext& ctx, int session, int column, int row);

// The next captured field after i worth offering: skips fields that are at
// once blank, protected and not underlined.
int NextUsefulField(ScreenContext& ctx, int session, int i);

}  // namespace tervo::screens
