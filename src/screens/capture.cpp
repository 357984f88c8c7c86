#include "screens/capture.h"

#include <algorithm>

#include "config/text.h"

namespace tervo::screens {

namespace {

constexpr int kImageRows = 25;
constexpr int kRowWidth = 80;

}  // namespace

void ReadAs400Data(ScreenContext& ctx, int session, int screen) {
  if (ctx.screensReport.Active) return;
  if (!ctx.store.ValidScreen(screen)) return;
  host5250::HostDisplay* display = ctx.Display(session);
  if (display == nullptr) return;

  config::ScreenOriginal& o = ctx.store.Originals[static_cast<std::size_t>(screen)];
  const host5250::FieldCollection& fields = display->Fields();
  const int count = std::clamp(fields.Count(), 0, config::kFieldSlots);
  o.Count = count;
  for (int i = 0; i < count; ++i) {
    const host5250::DisplayField f = fields.Item(i);
    o[i] = {f.Text,      f.Length,      f.Protected,
            f.StartRow,  f.StartColumn, f.EndRow,
            f.EndColumn, f.Length,      f.Attributes.Count > 0 && f.Attributes.Underlined,
            f.Type,      f.Justify,     f.Hidden,
            f.AutoEnter};
  }

  std::string image;
  image.reserve(config::kScreenAspectSize);
  for (int row = 1; row <= kImageRows; ++row) {
    image += text::PadRight(display->ReadText(row, 1, kRowWidth), kRowWidth);
    image += "\r\n";
  }
  ctx.store.ScreenAspect[static_cast<std::size_t>(screen)] =
      text::PadRight(image, config::kScreenAspectSize);
}

void CopyCapturedFields(const config::ScreenOriginal& a, config::ScreenOriginal& b) {
  b.Count = a.Count;
  const auto count = static_cast<std::size_t>(std::clamp(a.Count, 0, config::kFieldSlots));
  std::copy_n(a.Fields.begin(), count, b.Fields.begin());
}

void CopyAs400Data(config::ScreenStore& store, int fromScreen, int toScreen) {
  if (!store.ValidScreen(fromScreen) || !store.ValidScreen(toScreen)) return;
  if (fromScreen == toScreen) return;
  CopyCapturedFields(store.Originals[static_cast<std::size_t>(fromScreen)],
                     store.Originals[static_cast<std::size_t>(toScreen)]);
  store.ScreenAspect[static_cast<std::size_t>(toScreen)] =
      store.ScreenAspect[static_cast<std::size_t>(fromScreen)];
}

int LastFieldIndex(ScreenContext& ctx, int session) {
  const int scr = ctx.CurrentScreenOf(session);
  if (!ctx.store.ValidScreen(scr)) return -1;
  const int n = ctx.store.Originals[static_cast<std::size_t>(scr)].Count;
  if (n >= 500) {
    ctx.log.WriteLog("Screen fields truncated !!!", true);
    return 499;
  }
  return std::max(n, 0) - 1;
}

int FieldAtCursor(ScreenContext& ctx, int session, int column, int row) {
  host5250::HostDisplay* display = ctx.Display(session);
  if (display == nullptr) return -1;
  const host5250::FieldCollection& fields = display->Fields();
  const int last = LastFieldIndex(ctx, session);
  const long pos = static_cast<long>(row) * 80 + column;
  for (int i = 0; i <= last; ++i) {
    const host5250::DisplayField f = fields.Item(i);
    if (static_cast<long>(f.StartRow) * 80 + f.StartColumn <= pos &&
        pos <= static_cast<long>(f.EndRow) * 80 + f.EndColumn) {
      return i;
    }
  }
  return -1;
}

int NextUsefulField(ScreenContext& ctx, int session, int i) {
  const int scr = ctx.CurrentScreenOf(session);
  if (!ctx.store.ValidScreen(scr)) return i;
  const config::ScreenOriginal& o = ctx.store.Originals[static_cast<std::size_t>(scr)];
  const int lastSlot = std::min(o.Count, config::kFieldSlots) - 1;
  int j = i < o.Count - 1 ? i + 1 : i;
  if (j < 0 || j > config::kMaxFieldIndex) return j;
  while (j < lastSlot) {
    if (!(text::TrimBlanks(o[j].Text).empty() && o[j].Protected && !o[j].Underlined)) break;
    ++j;
  }
  return j;
}

}  // namespace tervo::screens
