#include "screens/write_back.h"

#include <charconv>
#include <cmath>

#include "config/text.h"

namespace tervo::screens {

using text::Width;

namespace {

const std::string kZeros(255, '0');
const std::string kBlanks(255, ' ');

// A non-negative number as plain decimal text: "12", "12.5", "0.25".
std::string DecimalText(double v) {
  char buf[400];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
  if (r.ec != std::errc()) return "0";
  return std::string(buf, r.ptr);
}

}  // namespace

std::string FormatFieldText(const std::string& text, int type, int justify, int length) {
  const std::size_t l = Width(length);
  if (type < 7) {
    switch (justify) {
      case 0:
      case 3:
        return text::Left(text + kBlanks, l);
      case 1:
        return text::Right((text.empty() ? kBlanks : kZeros) + text, l);
      case 2:
        return text::Right(kBlanks + text, l);
      default:
        return text;
    }
  }
  if (type == 7 || type == 9 || type == 11) return text::Right(kZeros + text, l);
  if (type == 8) {
    const std::string number = DecimalText(std::fabs(text::LeadingNumber(text)));
    return text::Right(kZeros + number, length > 1 ? l - 1 : 0);
  }
  if (type == 10) return text::Left(text + kBlanks, l);
  return text;
}

std::string FormatHostFieldText(ScreenContext& ctx, const std::string& text, int session,
                                int field) {
  host5250::HostDisplay* display = ctx.Display(session);
  if (display == nullptr) return FormatFieldText(text, 0, 0, 0);
  const host5250::DisplayField f = display->Fields().Item(field);
  return FormatFieldText(text, f.Type, f.Justify, f.Length);
}

}  // namespace tervo::screens
