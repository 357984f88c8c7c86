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

// Every constant is a field of its own, as an IBM i writes it: its
// attribute byte sits in the column before the text (normal, or the look the
// application asks for), and the next constant's or field's attribute ends
// it.  A terminal's field list then has one protected field per menu entry,
// label, header item and function-key line.  Only a constant with a look
// (bright, reverse, ...) is closed by a normal attribute after its text, so
// that the look does not run on over the blanks that follow.
void WriteTexts(HostStream& w, const ShownScreen& s, int fromRow, int toRow) {
  for (const ShownText& t : s.texts) {
    if (t.row < fromRow || t.row > toRow) continue;
    w.SetBufferAddress(t.row, t.column - 1);
    w.Attribute(AttributeFor(t.look));
    if (t.row == kKeysRow && NormalLook(t.look)) {
      // The function-key line goes out as transparent data: it is written
      // exactly as given whatever bytes it holds.
      w.TransparentData(t.text);
      continue;
    }
    w.Text(t.text);
    if (!NormalLook(t.look) && t.column + static_cast<int>(t.text.size()) <= 80)
      w.Attribute(ds::kAttrNormal);
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
    // A separator line is a constant too: its own attribute before it.
    w.SetBufferAddress(r.row, r.column - 1);
    w.Attribute(ds::kAttrNormal);
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
  // A blank column either side of the text: lines of up to 60 characters
  // from column 12 leave the right border at 73 untouched.
  constexpr int kLeft = 10, kRight = 73, kTop = 5;
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

}  // namespace tervo::demohost
