#include "platform/os/windows1252.h"

#include <cstdio>

namespace tervo::os {

namespace {

// 0x80..0x9F; the unassigned codes map to the C1 control of the same value.
constexpr char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool ByteOf(char16_t u, char* b) {
  if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
    *b = static_cast<char>(u);
    return true;
  }
  for (int i = 0; i < 32; ++i) {
    if (kHigh[i] == u) {
      *b = static_cast<char>(0x80 + i);
      return true;
    }
  }
  return false;
}

}  // namespace

char16_t Windows1252Char(unsigned char b) {
  return b >= 0x80 && b <= 0x9F ? kHigh[b - 0x80] : static_cast<char16_t>(b);
}

QString FromWindows1252(std::string_view bytes) {
  QString out;
  out.reserve(static_cast<qsizetype>(bytes.size()));
  for (unsigned char c : bytes) out.append(QChar(Windows1252Char(c)));
  return out;
}

bool ToWindows1252(const QString& s, std::string* out, std::string* err) {
  out->clear();
  out->reserve(static_cast<std::size_t>(s.size()));
  for (qsizetype i = 0; i < s.size(); ++i) {
    char b = 0;
    if (ByteOf(s[i].unicode(), &b)) {
      out->push_back(b);
      continue;
    }
    // A character beyond the 16-bit range arrives as a surrogate pair.
    char32_t code = s[i].unicode();
    if (s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate())
      code = QChar::surrogateToUcs4(s[i], s[i + 1]);
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(code));
    if (err) *err = std::string("character ") + name + " is not in Windows-1252";
    return false;
  }
  return true;
}

std::string ToWindows1252Lossy(const QString& s) {
  std::string out;
  out.reserve(static_cast<std::size_t>(s.size()));
  for (qsizetype i = 0; i < s.size(); ++i) {
    char b = 0;
    if (!ByteOf(s[i].unicode(), &b)) {
      b = '?';
      // One mark for a character, not one per half of a surrogate pair.
      if (s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) ++i;
    }
    out.push_back(b);
  }
  return out;
}

void AppendUtf8(std::string* out, std::string_view bytes) {
  for (unsigned char c : bytes) {
    const char16_t u = Windows1252Char(c);
    if (u < 0x80) {
      out->push_back(static_cast<char>(u));
    } else if (u < 0x800) {
      out->push_back(static_cast<char>(0xC0 | (u >> 6)));
      out->push_back(static_cast<char>(0x80 | (u & 0x3F)));
    } else {
      out->push_back(static_cast<char>(0xE0 | (u >> 12)));
      out->push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
      out->push_back(static_cast<char>(0x80 | (u & 0x3F)));
    }
  }
}

}  // namespace tervo::os
