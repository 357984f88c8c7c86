// Value encoding of the configuration file.  Control characters would break
// the line structure, so each one is written as the escape character (code 31)
// followed by its code as three decimal digits; everything else, double quotes
// included, is written as it is.
#pragma once

#include <string>
#include <string_view>

namespace tervo::config {

constexpr char kEscape = '\x1f';

// Encodes value (AsciiString): "a\r\n" -> "a" ESC "013" ESC "010".
std::string AsciiString(std::string_view value);
void AppendAsciiString(std::string* out, std::string_view value);

// Decodes a line (StringAscii).  A line without the escape character is
// returned unchanged.  An escape must be followed by three decimal digits of
// a value up to 255; anything else is an error of the line (*err is set) and
// the escape is copied as it is so that the line can still be shown.
std::string StringAscii(std::string_view line, std::string* err = nullptr);

// The Boolean texts of a flag.  The writer always writes "True" / "False";
// the reader also accepts them in any case, the spellings that Portuguese,
// Spanish, French, German and Italian installations wrote, and numbers
// (non-zero is true).
std::string_view FlagText(bool v);
bool ReadFlag(std::string_view value, bool* out, std::string* err);

}  // namespace tervo::config
