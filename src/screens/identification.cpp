#include "screens/identification.h"

#include <algorithm>
#include <limits>

#include "config/text.h"

namespace tervo::screens {

namespace {

// One step of the identification sum: applied only when the result fits in
// 32 bits, otherwise the sum keeps its value and the overflow is remembered.
bool AddChecked(std::int32_t& sum, std::int64_t addend, bool& overflow) {
  const std::int64_t r = static_cast<std::int64_t>(sum) + addend;
  if (r < std::numeric_limits<std::int32_t>::min() ||
      r > std::numeric_limits<std::int32_t>::max()) {
    overflow = true;
    return false;
  }
  sum = static_cast<std::int32_t>(r);
  return true;
}

}  // namespace

void CalculateChecksum(ScreenContext& ctx, int session) {
  if (!SessionState::ValidSession(session)) return;
  host5250::HostDisplay* display = ctx.Display(session);
  const auto& opt = ctx.options;
  bool overflow = false;
  std::int32_t sum = 0;
  std::int32_t counted = 0;

  const std::int64_t subStart =
      static_cast<std::int64_t>(opt.Number(config::Option::kSubScreenIdAreaY)) * 80 +
      opt.Number(config::Option::kSubScreenIdAreaX);
  const std::int64_t subEnd = subStart + opt.Number(config::Option::kSubScreenIdAreaLen);
  const bool line24 = opt.Checked(config::Option::kLine24);

  if (display != nullptr) {
    const host5250::FieldCollection& fields = display->Fields();
    const int count = fields.Count();
    for (int i = 0; i < count; ++i) {
      const host5250::DisplayField f = fields.Item(i);
      const std::int64_t p = static_cast<std::int64_t>(f.StartRow) * 80 + f.StartColumn;
      const std::int64_t l = f.Length;
      if (p > subStart && p + l < subEnd) continue;  // inside the excluded sub-area
      if (!line24 && !(l > 0 && p + l < 1920)) continue;
      // The product is a step of its own: a position too large for it is an
      // overflow even when the sum could have absorbed it.
      if (p * 8000 >= std::numeric_limits<std::int32_t>::min() &&
          p * 8000 <= std::numeric_limits<std::int32_t>::max()) {
        AddChecked(sum, p * 8000, overflow);
      } else {
        overflow = true;
      }
      AddChecked(sum, l, overflow);
      if (counted < std::numeric_limits<std::int32_t>::max()) ++counted;
    }
  }

  const std::int32_t areaX = opt.Number(config::Option::kScreenIdAreaX);
  const std::int32_t areaY = opt.Number(config::Option::kScreenIdAreaY);
  const std::int32_t areaLen = opt.Number(config::Option::kScreenIdAreaLen);
  if (areaLen > 0 && (areaX == 0 || areaY == 0)) {
    ctx.log.WriteLog("Invalid Value in General configurations 'ADD checksum...'", true);
  }
  // An area at row or column 0 (or below) cannot be read and adds nothing.
  if (display != nullptr && areaX > 0 && areaY > 0 && areaLen > 0) {
    for (char c : text::TrimBlanks(display->ReadText(areaY, areaX, areaLen))) {
      AddChecked(sum, static_cast<unsigned char>(c), overflow);
    }
  }

  std::int32_t value = sum;
  if (AddChecked(value, -1024 * static_cast<std::int64_t>(counted), overflow)) {
    ctx.sessions[session].ScreenIdValue = value;
  }
  if (overflow) ctx.log.WriteLog("Error 6,Overflow CalculateChecksum", true);
}

int DefinitionScore(const config::ScreenDef& def, std::int32_t screenId,
                    const std::string& terminalId, const std::string& sessionUser) {
  if (def.ScreenId != screenId) return 0;
  int base = 1;
  if (def.CheckScreenIdTerm == 1) {
    // A condition typed in the editor, not an id from the radio link
    // (NormalTerminalId): blanks around either side do not count.
    base = text::TrimBlanks(def.ScreenIdTerminal) == text::TrimBlanks(terminalId) ? 2 : 0;
  }
  if (def.CheckScreenIdUser == 1) {
    return text::TrimBlanks(def.ScreenIdUser) == text::TrimBlanks(sessionUser) ? base + 1
                                                                               : base - 1;
  }
  return base;
}

bool FindBestScreen(ScreenContext& ctx, int session, std::int32_t screenId, std::int32_t& result) {
  if (screenId == 0 || !SessionState::ValidSession(session)) return false;
  // A report screen outside the tables would send every later lookup out of
  // range; the report only offers valid numbers, so this is a guard only.
  if (ctx.screensReport.Active) {
    if (!ctx.store.ValidScreen(ctx.screensReport.Screen)) return false;
    result = ctx.screensReport.Screen;
    return true;
  }
  const std::string& terminalId = ctx.store.TerminalIDDef[static_cast<std::size_t>(session)];
  const std::string& user = ctx.sessions[session].SessionUser;
  const int last = std::min(ctx.store.NumeroMaximoDeEcrans, ctx.store.ScreenTableSize() - 1);
  int best = 0;
  bool found = false;
  for (int n = 0; n <= last; ++n) {
    const int score =
        DefinitionScore(ctx.store.Screens[static_cast<std::size_t>(n)], screenId, terminalId, user);
    if (score > best) {  // ties keep the lower screen number
      best = score;
      result = n;
      found = true;
    }
  }
  return found;
}

}  // namespace tervo::screens
