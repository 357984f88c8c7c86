#include "ui/text_codec.h"

namespace tervo::ui {

namespace {
// 0x80..0x9F of Windows-1252; 0 marks the five unassigned codes, which are
// kept as the C1 control of the same value.
const char16_t kHigh[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                            0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
}  // namespace

QString FromEngine(const std::string& s) {
  QString out;
  out.reserve(static_cast<qsizetype>(s.size()));
  for (unsigned char c : s) {
    if (c >= 0x80 && c <= 0x9F && kHigh[c - 0x80])
      out.append(QChar(kHigh[c - 0x80]));
    else
      out.append(QChar(c));
  }
  return out;
}

std::string ToEngine(const QString& s) {
  std::string out;
  out.reserve(static_cast<std::size_t>(s.size()));
  for (QChar q : s) {
    const char16_t u = q.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
      out.push_back(static_cast<char>(u));
      continue;
    }
    char mapped = '?';
    for (int i = 0; i < 32; ++i)
      if (kHigh[i] && kHigh[i] == u) mapped = static_cast<char>(0x80 + i);
    if (u >= 0x80 && u <= 0x9F) mapped = static_cast<char>(u);
    out.push_back(mapped);
  }
  return out;
}

}  // namespace tervo::ui
