// The few text rules the demo host needs.  Platform libraries sit below the
// configuration library, so these do not come from config/text.h; they
// follow the same rules (blanks are spaces only).
#pragma once

#include <string>
#include <string_view>

namespace tervo::demohost {

std::string TrimBlanks(std::string_view s);
std::string Left(std::string_view s, std::size_t n);
std::string PadRight(std::string_view s, std::size_t n);
std::string ToUpper(std::string_view s);  // ASCII letters and Windows-1252 a-grave .. thorn
// An optional sign ('-' or '+') and 1 to 15 digits, nothing else (no
// blanks): 15 digits keep every value exact in a long long.
bool WholeNumber(std::string_view s, long long* out);

}  // namespace tervo::demohost
