#include "platform/host5250/field_list.h"

#include <algorithm>

#include "platform/host5250/datastream.h"
#include "platform/host5250/monocase.h"

namespace tervo::host5250 {

int FieldType(std::uint16_t ffw) {
  const int shift = (ffw & ds::kFfwShiftMask) >> 8;
  return shift == ds::kShiftSignedNumeric ? kTypeSignedNumeric : shift;
}

int FieldJustify(std::uint16_t ffw) {
  switch (ffw & ds::kFfwAdjustMask) {
    case ds::kAdjustRightZero: return kJustifyRightZeroFill;
    case ds::kAdjustRightBlank: return kJustifyRightBlankFill;
    case ds::kAdjustMandatoryFill: return kJustifyMandatoryFill;
    default: return kJustifyNone;
  }
}

namespace {

void SetPosition(DisplayField& f, int start, int length) {
  const int last = start + std::max(length, 1) - 1;
  f.Length = length;
  f.StartRow = start / Screen::kColumns + 1;
  f.StartColumn = start % Screen::kColumns + 1;
  f.EndRow = last / Screen::kColumns + 1;
  f.EndColumn = last % Screen::kColumns + 1;
}

}  // namespace

std::vector<ListedField> BuildFieldList(const Screen& screen, const EbcdicCodec& codec) {
  std::vector<ListedField> out;
  const auto& fields = screen.Fields();
  // Input field starting at each position, first defined wins.
  std::vector<int> startsAt(Screen::kSize, -1);
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (fields[i].length > 0 && startsAt[fields[i].start] < 0) startsAt[fields[i].start] = static_cast<int>(i);
  }
  int p = 0;
  std::uint8_t attr = ds::kAttrNormal;
  while (p < Screen::kSize) {
    if (startsAt[p] >= 0) {
      const InputField& in = fields[startsAt[p]];
      ListedField lf;
      lf.input = startsAt[p];
      DisplayField& f = lf.field;
      const std::uint8_t a =
          in.start > 0 && screen.IsAttributeAt(in.start - 1) ? screen.At(in.start - 1) : in.attribute;
      SetPosition(f, in.start, in.length);
      f.Protected = in.bypass();
      f.Hidden = ds::IsNonDisplay(a);
      f.Type = FieldType(in.ffw);
      f.Justify = FieldJustify(in.ffw);
      f.AutoEnter = (in.ffw & ds::kFfwAutoEnter) != 0;
      f.Attributes.Underlined = ds::IsUnderline(a);
      // Non-display contents (passwords) read as blanks, as on the screen,
      // so they never reach captures or logs.
      f.Text.assign(static_cast<std::size_t>(in.length), ' ');
      if (!f.Hidden) {
        for (int k = 0; k < in.length; ++k) f.Text[k] = codec.ToLocal(screen.At(in.start + k));
      }
      out.push_back(std::move(lf));
      attr = a;
      p = in.end();
      continue;
    }
    if (screen.IsAttributeAt(p)) {
      attr = screen.At(p);
      ++p;
      continue;
    }
    // A protected display field: up to the next attribute or input field.
    int q = p;
    while (q < Screen::kSize && !screen.IsAttributeAt(q) && startsAt[q] < 0) ++q;
    ListedField lf;
    DisplayField& f = lf.field;
    SetPosition(f, p, q - p);
    f.Protected = true;
    f.Hidden = ds::IsNonDisplay(attr);
    f.Attributes.Underlined = ds::IsUnderline(attr);
    f.Text.assign(static_cast<std::size_t>(q - p), ' ');
    if (!f.Hidden) {
      for (int k = p; k < q; ++k) f.Text[k - p] = codec.ToLocal(screen.At(k));
    }
    out.push_back(std::move(lf));
    p = q;
  }
  return out;
}

const std::vector<ListedField>& ScreenFields::List() const {
  if (cache_version_ != screen_.Version()) {
    cache_ = BuildFieldList(screen_, codec_);
    cache_version_ = screen_.Version();
  }
  return cache_;
}

int ScreenFields::Count() const { return static_cast<int>(List().size()); }

DisplayField ScreenFields::Item(int i) const {
  const auto& list = List();
  if (i < 0 || i >= static_cast<int>(list.size())) return DisplayField{};
  return list[i].field;
}

bool ScreenFields::SetText(int i, const std::string& text) {
  const auto& list = List();
  if (i < 0 || i >= static_cast<int>(list.size())) return false;
  const ListedField& lf = list[i];
  if (lf.input < 0 || lf.field.Protected) return false;
  const InputField& in = screen_.Fields()[lf.input];
  std::string local = text.substr(0, static_cast<std::size_t>(in.length));
  if (in.ffw & ds::kFfwMonocase) {
    for (char& c : local) c = UpperCase1252(c);
  }
  screen_.SetFieldData(lf.input, codec_.ToHost(local));
  return true;
}

}  // namespace tervo::host5250
