// Text and number rules of the engine's 8-bit text.  Blanks are spaces only:
// tabs and other control characters are data and are never trimmed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tervo::text {

std::string TrimBlanks(std::string_view s);
std::string TrimLeftBlanks(std::string_view s);
std::string TrimRightBlanks(std::string_view s);

// The first n characters of s (all of s when shorter).
std::string Left(std::string_view s, std::size_t n);
// The last n characters of s (all of s when shorter).
std::string Right(std::string_view s, std::size_t n);
// s cut or padded with blanks to exactly n characters.
std::string PadRight(std::string_view s, std::size_t n, char pad = ' ');
// 1-based substring of count characters from start; a start before 1 or
// past the end, or a count below 1, gives "".
std::string Mid(std::string_view s, long start, long count);
// A stored size as a character count: negative sizes count as 0.
inline std::size_t Width(int n) { return n > 0 ? static_cast<std::size_t>(n) : 0; }

std::string ToUpper(std::string_view s);  // ASCII and Windows-1252 letters

// Rounds to the nearest integer, halves to the even neighbour (2.5 -> 2,
// 3.5 -> 4, -2.5 -> -2).
double RoundHalfEven(double v);

// Reads a leading number: leading blanks, an optional sign, digits and at
// most one decimal point; reading stops at the first other character.  No
// digits at all reads as 0.  "12abc" -> 12, " -3.5x" -> -3.5, "abc" -> 0.
double LeadingNumber(std::string_view s);

// A numeric option as the dialogs use it: empty or non-numeric text counts
// as 0, a number is rounded halves-to-even.  Saturates at the int32 range.
std::int32_t OptionNumber(std::string_view s);

// Strict conversions for stored values.  The whole text, less surrounding
// blanks, must be the value; on failure *err is set and false is returned.
// Integers accept a fraction and round it halves-to-even ("2.5" -> 2).
bool ToInt32(std::string_view s, std::int32_t* out, std::string* err);
bool ToDouble(std::string_view s, double* out, std::string* err);
// "True"/"False" in any case, or a number (non-zero is true).
bool ToBool(std::string_view s, bool* out, std::string* err);

// Decimal text of a number as the configuration writes it ("-80", "0").
std::string FromInt(std::int64_t v);

}  // namespace tervo::text
