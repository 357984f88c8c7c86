// Shortening a host label to the width of a terminal field.
#pragma once

#include <string>

#include "config/general_options.h"
#include "config/log.h"

namespace tervo::editors {

// Returns text in at most `width` characters (a negative width counts as 0):
// the characters of the "AutoRemove" option become blanks, blank runs
// collapse, and then the text is either cut ("Cut" set) or abbreviated word
// by word: the longest word that does not start with a non-zero number gets
// a "." behind it and loses its last letter until the text fits.  When no
// word is left to shorten the text is cut.  Should abbreviation not settle,
// "Impossible to summarize !" is logged as a shown error and the input text
// is returned cut to width.
std::string FitFieldText(const std::string& text, int width, const config::GeneralOptions& options,
                         config::Log& log);

}  // namespace tervo::editors
