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
    const auto k = static_cast<std::size_t>(i);
    o.Text[k] = f.Text;
    o.Size[k] = f.Length;
    o.Protected[k] = f.Protected;
    o.StartRow[k] = f.StartRow;
    o.EndRow[k] = f.EndRow;
    o.StartColumn[k] = f.StartColumn;
    o.EndColumn[k] = f.EndColumn;
    o.Length[k] = f.Length;
    o.Hidden[k] = f.Hidden;
    o.AType[k] = f.Type;
    o.Justify[k] = f.Justify;
    o.AutoEnter[k] = f.AutoEnter;
    o.Underlined[k] = f.Attributes.Count > 0 && f.Attributes.Underlined;
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
  const int count = std::clamp(a.Count, 0, config::kFieldSlots);
  for (int i = 0; i < count; ++i) {
    const auto k = static_cast<std::size_t>(i);
    b.Text[k] = a.Text[k];
    b.Size[k] = a.Size[k];
    b.Protected[k] = a.Protected[k];
    b.StartRow[k] = a.StartRow[k];
    b.StartColumn[k] = a.StartColumn[k];
    b.EndRow[k] = a.EndRow[k];
    b.EndColumn[k] = a.EndColumn[k];
    b.Length[k] = a.Length[k];
    b.Underlined[k] = a.Underlined[k];
    b.AType[k] = a.AType[k];
    b.Justify[k] = a.Justify[k];
    b.Hidden[k] = a.Hidden[k];
    b.AutoEnter[k] = a.AutoEnter[k];
  }
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
    const auto k = static_cast<std::size_t>(j);
    if (!(text::TrimBlanks(o.Text[k]).empty() && o.Protected[k] && !o.Underlined[k])) break;
    ++j;
  }
  return j;
}

}  // namespace tervo::screens
