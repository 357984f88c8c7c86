#include "platform/demohost/screen_encoder.h"

#include <algorithm>

#include "platform/demohost/app_text.h"
#include "platform/demohost/host_stream.h"
#include "platform/host5250/datastream.h"

namespace tervo::demohost {

namespace ds = host5250::ds;

namespace {

constexpr int kKeysRow = 23;

// Asks a colour terminal to brighten an input field while the cursor is in
// it (the "highlighted entry field" control word, X'89' + attribute).
constexpr std::uint16_t kFcwHighlight = 0x8900;

void Read(HostStream& w, const ShownScreen& s) {
  if (s.readAll) w.ReadInputFields();
  else w.ReadMdtFields();
}

bool NormalLook(const Look& l) { return !l.bright && !l.reverse && !l.underline && !l.blink && !l.hidden; }

void WriteTexts(HostStream& w, const ShownScreen& s, int fromRow, int toRow) {
  for (const ShownText& t : s.texts) {
    if (t.row < fromRow || t.row > toRow) continue;
    if (t.row == kKeysRow && NormalLook(t.look)) {
      // The function-key line goes out as transparent data: it is written
      // exactly as given whatever bytes it holds.
      w.SetBufferAddress(t.row, t.column);
      w.TransparentData(t.text);
      continue;
    }
    if (NormalLook(t.look)) {
      w.SetBufferAddress(t.row, t.column);
      w.Text(t.text);
      continue;
    }
    w.SetBufferAddress(t.row, t.column - 1);
    w.Attribute(AttributeFor(t.look));
    w.Text(t.text);
    if (t.column + static_cast<int>(t.text.size()) <= 80) w.Attribute(ds::kAttrNormal);
  }
}

}  // namespace

std::uint8_t AttributeFor(const Look& look) {
  if (look.hidden) return 0x27;
  std::uint8_t a = ds::kAttrNormal;
  if (look.reverse) a |= 0x01;
  if (look.bright) a |= 0x02;
  if (look.underline) a |= 0x04;
  if (look.blink) a |= 0x08;
  // Low bits 111 mean non-display: drop the underline rather than hide.
  if ((a & 0x07) == 0x07) a &= ~0x04;
  return a;
}

std::uint16_t FieldFormatWord(const Field& f) {
  std::uint16_t ffw = static_cast<std::uint16_t>(static_cast<int>(f.shift) << 8);
  if (!f.input) ffw |= ds::kFfwBypass;
  if (f.autoEnter) ffw |= ds::kFfwAutoEnter;
  if (f.fieldExit) ffw |= ds::kFfwFieldExitRequired;
  if (f.upperCase) ffw |= ds::kFfwMonocase;
  if (f.mandatoryEnter) ffw |= ds::kFfwMandatoryEnter;
  ffw |= static_cast<std::uint16_t>(f.adjust);
  return ffw;
}

std::string EncodeScreen(const ShownScreen& s, const host5250::EbcdicCodec& codec) {
  HostStream w(codec);
  w.ClearUnit();
  w.WriteToDisplay(0x00, ds::kCc2Unlock);
  w.StartOfHeader(kErrorRow);
  WriteTexts(w, s, 1, 24);
  for (const Rule& r : s.rules) {
    w.SetBufferAddress(r.row, r.column);
    w.RepeatToAddress(r.row, r.column + r.length - 1, r.fill);
  }
  std::vector<const ShownField*> fields;
  for (const ShownField& f : s.fields) fields.push_back(&f);
  // In screen order, so that a field's closing attribute never overwrites
  // the opening attribute of a field that follows at once.
  std::sort(fields.begin(), fields.end(), [](const ShownField* a, const ShownField* b) {
    return a->def.row != b->def.row ? a->def.row < b->def.row : a->def.column < b->def.column;
  });
  for (const ShownField* f : fields) {
    const Field& d = f->def;
    const std::uint8_t attr = AttributeFor(d.look);
    w.SetBufferAddress(d.row, d.column - 1);
    if (d.input && !d.look.hidden) {
      std::uint8_t lit = attr | 0x02;
      if ((lit & 0x07) == 0x07) lit &= ~0x04;
      w.StartOfField(FieldFormatWord(d), {static_cast<std::uint16_t>(kFcwHighlight | lit)}, attr,
                     d.length);
    } else {
      w.StartOfField(FieldFormatWord(d), {}, attr, d.length);
    }
    // Untyped positions stay nulls: the terminal treats them as empty.
    std::string text = d.look.hidden ? std::string() : f->text;
    while (!text.empty() && text.back() == ' ') text.pop_back();
    w.Text(text);
    if (d.column + d.length <= 80) {
      w.SetBufferAddress(d.row, d.column + d.length);
      w.Attribute(ds::kAttrNormal);
    }
  }
  w.InsertCursor(s.cursorRow, s.cursorColumn);
  Read(w, s);
  return w.Take();
}

std::string EncodePage(const ShownScreen& s, int rollLines, const host5250::EbcdicCodec& codec) {
  HostStream w(codec);
  const int lines = std::min(31, std::abs(rollLines));
  if (s.listSize > 0 && lines > 0)
    w.Roll(rollLines < 0, lines, s.listRow, s.listRow + s.listSize - 1);
  w.WriteToDisplay(0x00, ds::kCc2Unlock);
  WriteTexts(w, s, s.listRow, s.listRow + s.listSize);
  w.MoveCursor(s.cursorRow, s.cursorColumn);
  Read(w, s);
  return w.Take();
}

std::string EncodeError(const Reply& r, const ShownScreen& s, const host5250::EbcdicCodec& codec) {
  HostStream w(codec);
  w.WriteToDisplay(0x00, ds::kCc2Alarm);
  w.WriteErrorCode(r.message, r.cursorRow, r.cursorColumn);
  Read(w, s);
  return w.Take();
}

std::string EncodeHelpWindow(const std::vector<std::string>& lines,
                             const host5250::EbcdicCodec& codec) {
  HostStream w(codec);
  constexpr int kLeft = 10, kRight = 71, kTop = 5;
  const int n = static_cast<int>(lines.size());
  const int bottom = kTop + n + 3;
  w.WriteToDisplay(0x00, ds::kCc2Unlock);
  w.SetBufferAddress(kTop, kLeft);
  // Back to the normal extended attribute, so a colour terminal does not
  // carry the screen's colours into the window.
  w.WriteExtendedAttribute(0x01, 0x00);
  w.RepeatToAddress(kTop, kRight, '.');
  for (int r = kTop + 1; r < bottom; ++r) {
    w.SetBufferAddress(r, kLeft);
    w.Text(":");
    w.EraseToAddress(r, kRight - 1);
    w.SetBufferAddress(r, kRight);
    w.Text(":");
  }
  for (int i = 0; i < n; ++i) {
    w.SetBufferAddress(kTop + 1 + i, kLeft + 2);
    w.Text(lines[i]);
  }
  w.SetBufferAddress(bottom - 1, kLeft + 2);
  w.Text("Press Enter to return.");
  w.SetBufferAddress(bottom, kLeft);
  w.RepeatToAddress(bottom, kRight, '.');
  w.MoveCursor(bottom - 1, kLeft + 2);
  w.ReadMdtFields();
  return w.Take();
}

std::string EncodeRestore(std::string_view saved, const ShownScreen& s,
                          const host5250::EbcdicCodec& codec) {
  HostStream w(codec);
  w.RestoreScreen(saved);
  w.WriteToDisplay(0x00, ds::kCc2Unlock);
  Read(w, s);
  return w.Take();
}

std::vector<AnswerField> AnswerFields(const ShownScreen& s) {
  std::vector<AnswerField> out;
  for (const ShownField& f : s.fields)
    out.push_back({f.def.row, f.def.column, f.def.length, f.def.shift == ShiftType::kSigned, !f.def.input});
  std::sort(out.begin(), out.end(), [](const AnswerField& a, const AnswerField& b) {
    return a.row != b.row ? a.row < b.row : a.column < b.column;
  });
  return out;
}

namespace {

// One field's data as text; a signed field's minus (zone X'D' on the last
// digit) becomes a trailing '-'.
std::string FieldText(std::string raw, bool isSigned, const host5250::EbcdicCodec& codec) {
  bool negative = false;
  if (isSigned && !raw.empty()) {
    const std::uint8_t last = static_cast<std::uint8_t>(raw.back());
    if ((last & 0xF0) == 0xD0 && (last & 0x0F) <= 9) {
      negative = true;
      raw.back() = static_cast<char>(0xF0 | (last & 0x0F));
    }
  }
  std::string text = codec.ToLocal(raw);  // nulls read as blanks
  if (negative) text = TrimBlanks(text) + "-";
  return text;
}

}  // namespace

bool ReadAnswer(std::string_view payload, const host5250::EbcdicCodec& codec,
                const std::vector<AnswerField>& fields, bool readAll, Answer* out) {
  *out = Answer{};
  if (payload.size() < 3) return false;
  auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(payload[i]); };
  out->cursorRow = byte(0);
  out->cursorColumn = byte(1);
  out->aid = byte(2);
  const std::string_view data = payload.substr(3);
  // Field data never holds X'11' (a control byte): data that starts with
  // it is addressed, whatever the read was.
  if (readAll && !data.empty() && static_cast<std::uint8_t>(data[0]) != ds::kOrderSetBufferAddress) {
    auto sentLength = [](const AnswerField& f) { return f.length - (f.isSigned ? 1 : 0); };
    for (bool withBypass : {true, false}) {
      std::size_t total = 0;
      for (const AnswerField& f : fields)
        if (withBypass || !f.bypass) total += static_cast<std::size_t>(sentLength(f));
      if (total != data.size()) continue;
      std::size_t at = 0;
      for (const AnswerField& f : fields) {
        if (!withBypass && f.bypass) continue;
        const std::size_t n = static_cast<std::size_t>(sentLength(f));
        out->fields[f.row * 256 + f.column] = FieldText(std::string(data.substr(at, n)), f.isSigned, codec);
        at += n;
      }
      return true;
    }
    // Neither layout fits: nothing can be read safely.
    return true;
  }
  std::size_t i = 3;
  while (i + 3 <= payload.size() && byte(i) == ds::kOrderSetBufferAddress) {
    const int row = byte(i + 1), column = byte(i + 2);
    i += 3;
    const std::size_t start = i;
    while (i < payload.size() && byte(i) != ds::kOrderSetBufferAddress) ++i;
    bool isSigned = false;
    for (const AnswerField& f : fields)
      if (f.row == row && f.column == column) isSigned = f.isSigned;
    out->fields[row * 256 + column] = FieldText(std::string(payload.substr(start, i - start)), isSigned, codec);
  }
  return true;
}

std::string KeyName(std::uint8_t aid) {
  switch (aid) {
    case ds::kAidEnter: return "enter";
    case ds::kAidRollUp: return "rollup";
    case ds::kAidRollDown: return "rolldown";
    case ds::kAidHelp: return "help";
    case ds::kAidPrint: return "print";
    case ds::kAidClear: return "clear";
    default: break;
  }
  if (aid >= 0x31 && aid <= 0x3C) return "f" + std::to_string(aid - 0x30);
  if (aid >= 0xB1 && aid <= 0xBC) return "f" + std::to_string(aid - 0xB0 + 12);
  return {};
}

}  // namespace tervo::demohost
