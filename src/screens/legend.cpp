#include "screens/legend.h"

#include <algorithm>
#include <cctype>

#include "config/text.h"
#include "screens/capture.h"

namespace tervo::screens {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Character n (1-based) of s, or NUL past its end.
char At(const std::string& s, std::size_t n) { return n >= 1 && n <= s.size() ? s[n - 1] : '\0'; }

}  // namespace

FunctionKeyLegend LegendOf(const config::ScreenDef& def) {
  std::size_t width = 0;
  int last = 0;
  for (int k = 1; k <= 8; ++k) {
    const std::string& label = def.TeclasFuncao[static_cast<std::size_t>(k - 1)];
    width = std::max(width, label.size());
    if (!label.empty()) last = k;
  }
  FunctionKeyLegend legend;
  if (last == 0) return legend;
  for (int k = 1; k <= last; ++k) {
    const std::string& label = def.TeclasFuncao[static_cast<std::size_t>(k - 1)];
    const std::string& value = def.TeclasFuncaoVal[static_cast<std::size_t>(k - 1)];
    std::string key;
    if (value.empty()) {
      key = label.substr(0, 1);
    } else if (value.size() == 1) {
      key = value;
    } else {
      key = "\x1b";
    }
    legend.text += text::Right(std::string(width + 1, ' ') + label + key, width + 1);
  }
  legend.count = static_cast<std::uint8_t>(std::min<std::size_t>(width + 1, 255));
  return legend;
}

FunctionKeyLegend SomaTeclasFuncao(ScreenContext& ctx, int session) {
  const int scr = ctx.CurrentScreenOf(session);
  if (!ctx.store.ValidScreen(scr)) return {};
  const config::ScreenDef& def = ctx.store.Screens[static_cast<std::size_t>(scr)];
  if (MapsFunctionKeys(def)) return LegendOf(def);
  return HostKeysLegend(ctx.store.ScreenAspect[static_cast<std::size_t>(scr)]);
}

bool MapsFunctionKeys(const config::ScreenDef& def) {
  for (std::size_t k = 0; k < 8; ++k) {
    if (!text::TrimBlanks(def.TeclasFuncao[k]).empty()) return true;
    if (!text::TrimBlanks(def.TeclasFuncaoVal[k]).empty()) return true;
  }
  return false;
}

std::string FunctionKeyAnswer(const config::ScreenDef& def, int k) {
  if (k < 1 || k > 8) return "";
  if (MapsFunctionKeys(def)) return def.TeclasFuncaoVal[static_cast<std::size_t>(k - 1)];
  return FunctionKeyMnemonic(k);
}

std::string HostKeyName(const std::string& image, int k) {
  const std::string mark = "F" + std::to_string(k) + "=";
  constexpr std::size_t kRow = 82;
  for (std::size_t row = 0; row < 24 && row * kRow < image.size(); ++row) {
    const std::string line = image.substr(row * kRow, 80);
    for (std::size_t p = line.find(mark); p != std::string::npos; p = line.find(mark, p + 1)) {
      // "F3=" but not "F13=": the key number starts after a non-letter.
      if (p > 0 && std::isalnum(static_cast<unsigned char>(line[p - 1]))) continue;
      std::size_t end = line.find("  ", p + mark.size());
      if (end == std::string::npos) end = line.size();
      const std::string name =
          text::TrimBlanks(line.substr(p + mark.size(), end - p - mark.size()));
      if (!name.empty()) return name;
    }
  }
  return "";
}

FunctionKeyLegend HostKeysLegend(const std::string& image) {
  config::ScreenDef keys;
  int last = 0;
  for (int k = 1; k <= 8; ++k) {
    const std::string name = HostKeyName(image, k);
    if (name.empty()) continue;
    last = k;
    keys.TeclasFuncao[static_cast<std::size_t>(k - 1)] = "F" + std::to_string(k) + "=" + name;
  }
  for (int k = 1; k <= last; ++k) {
    std::string& label = keys.TeclasFuncao[static_cast<std::size_t>(k - 1)];
    if (label.empty()) label = "F" + std::to_string(k);
    keys.TeclasFuncaoVal[static_cast<std::size_t>(k - 1)] = FunctionKeyMnemonic(k);
  }
  return LegendOf(keys);
}

std::string FunctionKeyMnemonic(int n) {
  if (n >= 1 && n <= 9) return std::string("@") + static_cast<char>('0' + n);
  if (n >= 10 && n <= 24) return std::string("@") + static_cast<char>('a' + (n - 10));
  return "";
}

std::string LegendItemKeys(const std::string& item) {
  std::string keys;
  const char c1 = At(item, 1);
  const char c2 = At(item, 2);
  const char c3 = At(item, 3);
  const char c4 = At(item, 4);
  if (IsDigit(c1)) {
    if (IsDigit(c2) && (c3 == ' ' || c3 == '.' || item.size() == 2)) {
      keys = std::to_string((c1 - '0') * 10 + (c2 - '0')) + "@E";
    }
    if (c2 == ' ' || c2 == '.' || item.size() == 1) keys = std::string(1, c1) + "@E";
  }
  if (c1 == 'F') {
    if (IsDigit(c2) && (c3 == '=' || c3 == ' ')) keys = std::string("@") + c2;
    if (IsDigit(c2) && IsDigit(c3) && (c4 == '=' || c4 == ' ')) {
      const int number = (c2 - '0') * 10 + (c3 - '0');
      if (number >= 10) keys = FunctionKeyMnemonic(number);
    }
  }
  return keys;
}

bool InputField(ScreenContext& ctx, int session, int field) {
  const int scr = ctx.CurrentScreenOf(session);
  if (!ctx.store.ValidScreen(scr) || !config::ScreenStore::ValidField(field)) return false;
  const config::ScreenOriginal& o = ctx.store.Originals[static_cast<std::size_t>(scr)];
  const auto k = static_cast<std::size_t>(field);
  if (o[k].Length < 1) return false;
  if (!o[k].Protected) return true;
  return ctx.options.Checked(config::Option::kSendUnderline) && o[k].Underlined;
}

int NextShownField(ScreenContext& ctx, int session, int field) {
  const int scr = ctx.CurrentScreenOf(session);
  if (!ctx.store.ValidScreen(scr) || !config::ScreenStore::ValidField(field)) return -1;
  const auto& defs = ctx.store.Screens[static_cast<std::size_t>(scr)].Screen;
  const int last = LastFieldIndex(ctx, session);
  const std::int64_t after = defs[static_cast<std::size_t>(field)].Order;
  // The lowest order above `after` (and not above `last`) that a shown field
  // holds; among fields of that order the first one scanned.
  int answer = -1;
  std::int64_t best = 0;
  for (int i = 0; i <= last; ++i) {
    const config::FieldDef& f = defs[static_cast<std::size_t>(i)];
    if (f.Show != 1 || f.Order <= after || f.Order > last) continue;
    if (answer == -1 || f.Order < best) {
      answer = i;
      best = f.Order;
    }
  }
  return answer;
}

}  // namespace tervo::screens
