// The session-count and grid rules of the general configuration dialog: the
// main window shows SessionCt sessions per page in DisplayRow rows of
// DisplayCol columns, and typing a session count proposes a near-square grid.
// Both functions work on the option texts as the dialog's boxes hold them.
#pragma once

#include "config/general_options.h"

namespace tervo::config {

// SessionCt was changed.  An empty text changes nothing.  A count above
// sessionCount (the sessions of this run, at most 32) is replaced by it;
// DisplayCol becomes Int(Sqr(SessionCt) + 0.9), or "0" when that is not
// positive; DisplayRow becomes Int((SessionCt - 1) / DisplayCol) + 1.
// With no columns (a count of 0, negative or not a number) DisplayRow keeps
// its text: there is no grid to size.
void SessionCountChanged(GeneralOptions& options, int sessionCount);

// DisplayCol was changed: a positive column count sets DisplayRow as above;
// an empty, zero or negative one changes nothing.
void DisplayColumnsChanged(GeneralOptions& options);

}  // namespace tervo::config
