#include "editors/terminal_preview.h"

#include <algorithm>

#include "config/text.h"

namespace tervo::editors {

namespace {
constexpr int kMaxInputUnderscores = 40;
}

std::string CreateTerminalSt(const config::ScreenStore& store, int scr) {
  if (!store.ValidScreen(scr)) return {};
  const config::ScreenDef& def = store.Screens[static_cast<std::size_t>(scr)];
  // Count may reach 501 on a truncated capture; field slots end at 500.
  const int last =
      std::min(store.Originals[static_cast<std::size_t>(scr)].Count, config::kMaxFieldIndex);
  const auto* texts = config::ScreenStore::ValidTextScreen(scr)
                          ? &store.ScreensText[static_cast<std::size_t>(scr)]
                          : nullptr;
  std::string out;
  int expected = 0;
  bool progress = true;
  while (progress) {
    progress = false;
    for (int j = 0; j <= last; ++j) {
      const config::FieldDef& f = def.Screen[static_cast<std::size_t>(j)];
      if (f.Order != expected) continue;
      progress = true;
      ++expected;
      if (f.Show != 1) continue;
      if (f.Flag & config::kFlagNewLineBefore) out += "\r\n";
      if (f.SizeTextAux > 0) out += text::Left(f.AuxText, static_cast<std::size_t>(f.SizeTextAux));
      const std::size_t size = static_cast<std::size_t>(std::max(f.Size, 0));
      if (f.InputField == 1) {
        out += std::string(std::min<std::size_t>(size, kMaxInputUnderscores), '_');
      } else {
        out += text::PadRight(texts ? (*texts)[static_cast<std::size_t>(j)] : std::string(), size);
      }
      if (f.NewLine == 1) out += "\r\n";
    }
  }
  return out;
}

}  // namespace tervo::editors
