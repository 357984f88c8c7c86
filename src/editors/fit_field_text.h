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

// The text fitting automatic configuration uses ("Summarized" by whole
// words, flag2 bit kFlag2Words): the same cleaning, then, when the text is
// longer than `width` and "Cut" is off, the leading words that fit whole.
// A leading entry number ("5", "10.") is a word like any other, so a menu
// entry keeps its number and as many whole words as fit.  Only when the
// first word after it (or the first word at all) does not fit on its own is
// that word cut, with a "." marking where.  A word may also end after "/" or
// "-" ("Program/procedure" in 10 gives "Program").
//   "5 Work with your spooled output files", 20 -> "5 Work with your"
//   "10 Information Assistant options", 20      -> "10 Information"
std::string FitWords(const std::string& text, int width, const config::GeneralOptions& options);

}  // namespace tervo::editors
