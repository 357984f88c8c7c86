// Terminal input back into host fields: justification by field type.
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

}  // namespace tervo::screens
