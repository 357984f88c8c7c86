// Terminal input back into host fields: justification by field type, join
// formulas that combine host fields while sending keys, and the key wait.
#pragma once

#include <string>

#include "screens/screen_context.h"

namespace tervo::screens {

// The text to store into live field `field` of the session for the terminal
// value `text`, justified and filled as the field's Type and Justify ask.
std::string FormatHostFieldText(ScreenContext& ctx, const std::string& text, int session,
                                int field);
// The same rule over explicit field properties.
std::string FormatFieldText(const std::string& text, int type, int justify, int length);

// Evaluates a join formula for field `field` of the session: key text mixed
// with the tokens "@ADX(n)", "@ADD(n)" and "@EQU(n)".  Keys before each token
// are sent (and waited for) before the token reads the live fields.  After a
// token the tokens are looked for only in the order @ADX, @ADD, @EQU, and the
// character after the last one tested goes to the keys as it is.
//
// A token without a closing ")" takes the rest of the formula as its field
// number; nothing after it is sent, so a broken formula never sends its own
// text ("@EQU(3" holds the Enter mnemonic "@E") to the host.
std::string EvaluateJoinField(ScreenContext& ctx, const std::string& formula, int session,
                              int field);

// Rows of 80 characters of a, each followed by the same row of b.
std::string InterleaveRows(const std::string& a, const std::string& b);

// Makes keys the session's key queue, sends its first piece, then processes
// events until the host accepts input again.
void SendKeysAndWait(ScreenContext& ctx, const std::string& keys, int session);

}  // namespace tervo::screens
