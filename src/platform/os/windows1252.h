// Engine text (Windows-1252 bytes) as Unicode and back, without loss: every
// one of the 256 byte values has its own character, so text that leaves the
// engine as Unicode (JSON, messages) comes back as the same bytes.  The five
// codes Windows-1252 leaves unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand
// for the C1 control characters of the same value.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace tervo::os {

// The Unicode character of byte b.
char16_t Windows1252Char(unsigned char b);

QString FromWindows1252(std::string_view bytes);

// False, with *err naming the first character that has no byte ("character
// U+4E2D is not in Windows-1252"), when s holds a character outside the 256.
bool ToWindows1252(const QString& s, std::string* out, std::string* err);

// The same, with "?" for every character that has no byte: for text typed
// on devices, where refusing the whole text would lose the rest of it.
std::string ToWindows1252Lossy(const QString& s);

// Appends the UTF-8 form of bytes.
void AppendUtf8(std::string* out, std::string_view bytes);

}  // namespace tervo::os
