// Upper case of a Windows-1252 character, as a monocase field takes it:
// ASCII letters and the accented small letters a-grave .. thorn, whose
// capitals sit 32 below (the division sign 0xF7 is no letter; y-diaeresis
// 0xFF has no capital in the set and stays).  The keyboard, the field list
// and the demo host all use this one rule.
#pragma once

namespace tervo::host5250 {

inline char UpperCase1252(char c) {
  const auto u = static_cast<unsigned char>(c);
  if ((u >= 'a' && u <= 'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7)) return static_cast<char>(u - 32);
  return c;
}

}  // namespace tervo::host5250
