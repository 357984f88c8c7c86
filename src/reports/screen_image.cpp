#include "reports/screen_image.h"

#include <algorithm>

#include "config/text.h"

namespace tervo::reports {

namespace {

std::size_t U(int i) { return static_cast<std::size_t>(i); }

bool LineEnd(int offset) { return offset % kImageRowWidth >= kImageColumns; }

// Calls f(offset) for every offset of the span that lies inside the image.
template <typename F>
void ForEachInSpan(Span span, F f) {
  const int from = std::max(span.offset, 0);
  const int to = std::min(span.offset + span.length, kImageLength);
  for (int i = from; i < to; ++i) f(i);
}

// The image offset of character t (0-based) of a field's text: the text
// runs on over the row ends, which the image breaks with CR LF.
int FieldTextOffset(const config::ScreenOriginal& o, int j, int t) {
  const int column0 = o[j].StartColumn - 1 + t;
  return ImageOffset(o[j].StartRow + column0 / kImageColumns, column0 % kImageColumns + 1);
}

void Paint(ReportImage& image, Span span, ImageColour colour) {
  ForEachInSpan(span, [&](int i) { image.style[U(i)].colour = colour; });
}

}  // namespace

int ImageOffset(int row, int column) { return (row - 1) * kImageRowWidth + column - 1; }

int PositionAtOffset(int offset) {
  if (offset < 0 || offset >= kImageLength || LineEnd(offset)) return -1;
  return (offset / kImageRowWidth + 1) * kImageColumns + offset % kImageRowWidth + 1;
}

// A field's end column is its last character, so a field of one row holds
// end - start + 1 characters; every row further adds a whole image row.
int SpanLength(int startRow, int startColumn, int endRow, int endColumn) {
  const long n =
      static_cast<long>(endRow - startRow) * kImageRowWidth + endColumn - startColumn + 1;
  return n > 0 ? static_cast<int>(std::min<long>(n, kImageLength)) : 0;
}

Span FieldSpan(const config::ScreenOriginal& o, int j) {
  if (!config::ScreenStore::ValidField(j)) return {};
  return {ImageOffset(o[j].StartRow, o[j].StartColumn),
          SpanLength(o[j].StartRow, o[j].StartColumn, o[j].EndRow, o[j].EndColumn)};
}

ReportImage BuildReportImage(const config::ScreenStore& store, int scr) {
  ReportImage image;
  image.style.assign(U(kImageLength), ImageStyle{});
  if (!store.ValidScreen(scr)) {
    for (int r = 0; r < kImageRows; ++r) image.text += std::string(kImageColumns, ' ') + "\r\n";
    return image;
  }
  // An image stored short (a hand-edited file) is padded rather than refused.
  image.text =
      text::PadRight(text::Left(store.ScreenAspect[U(scr)], U(kImageLength)), U(kImageLength));

  const config::ScreenDef& def = store.Screens[U(scr)];
  const config::ScreenOriginal& o = store.Originals[U(scr)];
  const int count = std::clamp(o.Count, 0, config::kFieldSlots);

  // Shown fields.  A protected blank field would be invisible; stars show
  // where it is.  The row ends inside a span are neither text nor stars.
  for (int j = 0; j < count; ++j) {
    if (def.Screen[U(j)].Show != 1 || o[j].StartRow < 1) continue;
    const Span span = FieldSpan(o, j);
    bool blank = true;
    ForEachInSpan(span, [&](int i) {
      image.style[U(i)] = {ImageColour::kWhite, true};
      if (!LineEnd(i) && image.text[U(i)] != ' ') blank = false;
    });
    if (blank && o[j].Protected)
      ForEachInSpan(span, [&](int i) {
        if (!LineEnd(i)) image.text[U(i)] = '*';
      });
  }

  // Parts of divided fields; the slot at DivideFieldsCt counts too, as the
  // terminal shows it.
  const int lastPart = std::clamp(store.DivideFieldsCt, 0, config::kMaxDivision);
  for (int k = 0; k <= lastPart; ++k) {
    const config::DividedField& e = store.DivideFields[U(k)];
    if (e.ScrNum != scr || !config::ScreenStore::ValidField(e.FieldNum)) continue;
    if (def.Screen[U(e.FieldNum)].Show != 1) continue;
    if (e.Special == 1) {
      // These count from 1 inside the field's text, not in the image.
      if (e.FieldNum >= count) continue;
      for (int t = e.pos - 1; t < e.pos - 1 + e.Size; ++t)
        if (t >= 0) Paint(image, {FieldTextOffset(o, e.FieldNum, t), 1}, ImageColour::kYellow);
    } else {
      Paint(image, {e.pos, e.Size}, ImageColour::kYellow);
    }
  }

  // Where the operator types: blanks of input and underlined fields.
  for (int j = 0; j < count; ++j) {
    if (o[j].Protected && !o[j].Underlined) continue;
    ForEachInSpan(FieldSpan(o, j), [&](int i) {
      if (!LineEnd(i) && image.text[U(i)] == ' ') image.text[U(i)] = '_';
    });
  }

  if (def.Master == config::kScreenMaster)
    for (int j = 0; j < count; ++j)
      if ((def.Screen[U(j)].Flag & config::kFlagMasterKey) && o[j].StartRow >= 1)
        Paint(image, FieldSpan(o, j), ImageColour::kRed);
  return image;
}

}  // namespace tervo::reports
