#include "screens/render.h"

#include <algorithm>

#include "config/text.h"
#include "screens/capture.h"
#include "screens/legend.h"

namespace tervo::screens {

using text::Mid;
using text::Width;

namespace {

// Pieces of `width` characters (the last one shorter).  A width below 1
// would never advance, so the text is then one piece.
template <typename Emit>
void ForEachPiece(const std::string& text, int width, Emit emit) {
  if (width < 1) {
    if (!text.empty()) emit(text, true);
    return;
  }
  const auto w = static_cast<std::size_t>(width);
  for (std::size_t start = 0; start < text.size(); start += w) {
    emit(text.substr(start, w), start == 0);
  }
}

// One build of one session's screen.
class ScreenRenderer {
 public:
  ScreenRenderer(ScreenContext& ctx, int session)
      : ctx_(ctx),
        b_(ctx.radio),
        s_(session),
        ts_(ctx.sessions[session].TerminalScreen),
        scr_(ctx.CurrentScreenOf(session)) {}

  ItemMap Run(const std::string& requestText, const std::string& terminalId);

 private:
  enum class LineCall { kLarge, kPlain, kInverse };

  const config::FieldDef& Def(int d) const {
    return ctx_.store.Screens[static_cast<std::size_t>(scr_)].Screen[static_cast<std::size_t>(d)];
  }
  const config::ScreenOriginal& Host() const {
    return ctx_.store.Originals[static_cast<std::size_t>(scr_)];
  }
  const std::string& ShownTextOf(int d) const {
    static const std::string kNone;
    if (!config::ScreenStore::ValidTextScreen(scr_)) return kNone;
    return ctx_.store.ScreensText[static_cast<std::size_t>(scr_)][static_cast<std::size_t>(d)];
  }
  // The live field under the host cursor, looked up once per build.
  int CursorField() {
    if (!cursorLooked_) {
      cursorLooked_ = true;
      host5250::HostDisplay* display = ctx_.Display(s_);
      if (display != nullptr) {
        cursorAt_ = FieldAtCursor(ctx_, s_, display->CursorColumn(), display->CursorRow());
      }
    }
    return cursorAt_;
  }

  void ErrorPage();
  void Fields();
  void RenderField(int d);
  void InputItem(int d, const config::FieldDef& f, const std::string& prefix);
  void DisplayLines(int d, const config::FieldDef& f);
  void ShowLine(LineCall call, const std::string& text);
  void Trailer();

  ScreenContext& ctx_;
  TerminalBuilder b_;
  const int s_;
  TerminalScreenRecord& ts_;
  const int scr_;
  bool valid_ = false;
  int last_ = -1;
  int cursorField_ = -1;
  bool cursorLooked_ = false;
  int cursorAt_ = -1;
  int line_ = 0;
  ItemMap map_;
};

ItemMap ScreenRenderer::Run(const std::string& requestText, const std::string& terminalId) {
  valid_ = ctx_.store.ValidScreen(scr_);
  last_ = valid_ ? LastFieldIndex(ctx_, s_) : -1;

  for (int i = 0; i <= last_; ++i) {
    if (Def(i).Flag & config::kFlagCursorStart) cursorField_ = i;
  }
  const auto s = static_cast<std::size_t>(s_);
  if (!text::TrimBlanks(ctx_.sessions[s].ErrorLineText).empty()) ErrorPage();
  if (valid_ && IsLogoffWord(ctx_.store.Screens[static_cast<std::size_t>(scr_)].EscKey)) {
    b_.T_CapsLock(ctx_.options.Checked(config::Option::kCapsLock) ? 1 : 0);
  }

  // The level the terminal reported with its last answer; none reported
  // keeps what was known before.
  const int level = ctx_.radio.BatteryLevel(terminalId);
  if (level >= 0) ts_.BatteryLevel = level;
  b_.T_Cls();

  const FunctionKeyLegend legend = SomaTeclasFuncao(ctx_, s_);
  if (legend.text.empty()) {
    b_.T_SetLargeFunctionKeys("", 1);
  } else {
    b_.T_SetLargeFunctionKeys(legend.text, legend.count);
  }

  Fields();
  Trailer();

  ctx_.radio.T_SendScreenToPc(requestText, radio::kAnswerExpected);
  ctx_.radio.T_WaitAnyScreenFromPc();
  ctx_.sessions[s].SendFlag = true;
  config::CountScreen(&ctx_.counters, ctx_.clock.Now().day, s_);
  return std::move(map_);
}

void ScreenRenderer::ErrorPage() {
  b_.T_Cls();
  b_.T_PrintInverse("ERRO");
  b_.T_NewLine();
  b_.T_NewLine();
  PrintInLines(b_, ctx_.sessions[s_].ErrorLineText, ctx_.DisplayLen);
  b_.T_Delay(1);
  b_.T_Beep(100, 100);
  b_.T_Beep(500, 500);
  b_.T_WaitChar();
}

void ScreenRenderer::Fields() {
  // Orders 0, 1, 2, ... in turn: a pass over all fields renders each field
  // whose order is the one expected next; a pass that renders nothing ends
  // the fields, so a gap in the order numbers ends the screen there.
  //
  // ShownText is emptied once, before the first pass: emptying it on every
  // pass would wipe what the earlier passes gave the input items.
  for (int d = 0; d <= last_; ++d) ts_.ShownText[static_cast<std::size_t>(d)].clear();
  ts_.HadInputItem.fill(false);
  int expected = 0;
  bool productive = true;
  while (productive) {
    productive = false;
    for (int d = 0; d <= last_; ++d) {
      if (Def(d).Order != expected) continue;
      productive = true;
      RenderField(d);
      ++expected;
    }
  }
}

void ScreenRenderer::RenderField(int d) {
  const config::FieldDef& f = Def(d);
  if (f.Show != 1) return;  // the order number is used up all the same
  if (f.Divided) {
    CreateFieldDivided(ctx_, b_, s_, scr_, d);
    return;
  }
  if (f.Flag & config::kFlagNewLineBefore) b_.DoT_NewLine();
  const std::string prefix = FieldPrefix(f);
  if (f.InputField != 0) {
    InputItem(d, f, prefix);
  } else {
    if (!prefix.empty()) b_.T_PrintString2(prefix);
    DisplayLines(d, f);
  }
  const int item = b_.ItemCount();
  if (item <= config::kMaxFieldIndex) map_.fieldEndingAt[static_cast<std::size_t>(item)] = d;
  if (f.NewLine != 0) b_.DoT_NewLine();
}

void ScreenRenderer::InputItem(int d, const config::FieldDef& f, const std::string& prefix) {
  const auto k = static_cast<std::size_t>(d);
  // The definition's Protected is 0 or 1 (kInputProtected).
  int flags = Host()[k].Protected ? radio::kInputProtected : f.Protected;
  if (f.UserId & config::kUserIdGetUser) flags = 0;  // the user id is always typed
  // "Auto exit Field" and the field's auto-enter both ask for flag 2; taken
  // twice they would add up to flag 4 and hide what the operator types.
  if ((f.Flag & config::kFlagAutoExit) || f.AutoEnter != 0) flags += radio::kInputAutoExit;
  if (Host()[k].Hidden) flags += radio::kInputHidden;
  if (f.Barcode != 0) flags += radio::kInputBarcode;
  if (f.SendWithEnter != 0) flags += radio::kInputSendsAnswer;

  if (f.Flag & config::kFlagCursorText) {
    if (!prefix.empty()) b_.T_PrintString2(prefix);
    b_.DoT_NoSay(f.Size);
  } else if (!prefix.empty()) {
    b_.T_SaySize2(prefix, f.SizeTextAux);
  }

  const std::string& shown = ShownTextOf(d);
  const std::string text = text::Left(shown.substr(0, shown.find('\0')), Width(f.Size));
  b_.DoT_Input(text, f.Size, -flags);
  map_.inputs.push_back({d, Width(f.Size)});
  ts_.ShownText[k] = text::PadRight(text, Width(f.Size));
  ts_.HadInputItem[k] = true;

  if ((cursorField_ == -1 && CursorField() == d) || cursorField_ == d) {
    b_.T_ChangeScreenAttributtes(radio::kHostScreenFormat, b_.ItemCount() - 1, 0);
  }
}

void ScreenRenderer::DisplayLines(int d, const config::FieldDef& f) {
  const std::string& text = ShownTextOf(d);
  bool applied = false;
  if (f.flag2 == config::kFlag2Scroll) {
    b_.DoT_Scroll(f.AuxText, text);
    applied = true;
  }
  if (f.flag2 == config::kFlag2AutoNL) {
    SplitIntoLines(b_, text::TrimBlanks(text), f.Size);
    applied = true;
  }
  if (f.Flag & config::kFlagNoCursorLarge) {
    ShowLine(LineCall::kLarge, text);
    applied = true;
  }
  if (f.Flag & config::kFlagNoCursorNormal) {
    ShowLine(LineCall::kPlain, text);
    applied = true;
  }
  if (f.Title != 0) {
    ShowLine(LineCall::kInverse, text);
    applied = true;
  }
  if (f.SendWithEnter == 0) {
    ShowLine(LineCall::kPlain, text);
    applied = true;
  }
  if (applied) return;
  // A menu line: plain text when the next shown field brings its own prefix,
  // otherwise a selectable prompt.
  const int next = NextShownField(ctx_, s_, d);
  if (next >= 0 && Def(next).SizeTextAux >= 1) {
    ShowLine(LineCall::kPlain, text);
  } else {
    b_.T_SaySize2(text::TrimBlanks(text), f.Size);
  }
}

void ScreenRenderer::ShowLine(LineCall call, const std::string& text) {
  ++line_;
  const std::string shown = text::TrimBlanks(text);
  if (line_ <= kMaxPrintedLine) {
    ctx_.sessions[s_].PrintedTexts[static_cast<std::size_t>(line_)] = shown;
  }
  switch (call) {
    case LineCall::kLarge:
      b_.T_PrintLarge(shown);
      break;
    case LineCall::kPlain:
      b_.T_PrintString2(shown);
      break;
    case LineCall::kInverse:
      b_.T_PrintInverse(shown);
      break;
  }
}

void ScreenRenderer::Trailer() {
  b_.DoT_NewLine();
  b_.DoT_Say("Enter");
  b_.DoT_CloseEnter();
  map_.enterItem = b_.ItemCount();
  b_.DoT_NewLine();
  b_.DoT_Say("PgDown");
  b_.DoT_CloseEnter();
  map_.pgDownItem = b_.ItemCount();
  b_.DoT_NewLine();
  b_.DoT_Say("PgUp");
  b_.DoT_CloseEnter();
  map_.pgUpItem = b_.ItemCount();
  b_.DoT_NewLine();
  b_.DoT_Say("F ");
  b_.DoT_Input("", 2, -radio::kInputSendsAnswer);
  map_.inputs.push_back({kFunctionNumberInput, kFunctionNumberWidth});
  b_.DoT_NewLine();
  b_.DoT_Read();
}

}  // namespace

std::string FieldPrefix(const config::FieldDef& def) {
  return text::PadRight(text::TrimBlanks(def.AuxText), Width(def.SizeTextAux));
}

ItemMap RenderTerminalScreen(ScreenContext& ctx, const std::string& requestText,
                             const std::string& terminalId) {
  const int session = ctx.FindSession(terminalId);
  ScreenRenderer renderer(ctx, session);
  return renderer.Run(requestText, terminalId);
}

void CreateFieldDivided(ScreenContext& ctx, TerminalBuilder& b, int session, int screen, int d) {
  (void)session;
  if (!ctx.store.ValidScreen(screen) || !config::ScreenStore::ValidField(d)) return;
  const config::ScreenOriginal& o = ctx.store.Originals[static_cast<std::size_t>(screen)];
  const auto k = static_cast<std::size_t>(d);
  const std::string& text = o[k].Text;

  std::vector<const config::DividedField*> parts;
  bool special = false;
  const int lastEntry = std::min(ctx.store.DivideFieldsCt, config::kMaxDivision);
  for (int i = 0; i <= lastEntry; ++i) {
    const config::DividedField& e = ctx.store.DivideFields[static_cast<std::size_t>(i)];
    if (e.ScrNum != screen || e.FieldNum != d) continue;
    parts.push_back(&e);
    if (e.Special == 1) special = true;
  }

  // Special parts count their pos from 1 inside the field text and repeat
  // every 160 characters of it.
  const long trimmedLength = static_cast<long>(text::TrimBlanks(text).size());
  for (long off = 0; special && off <= trimmedLength; off += 160) {
    for (const config::DividedField* e : parts) {
      if (e->Special != 1) continue;
      b.DoT_Say(Mid(text, e->pos + off, e->Size));
      b.DoT_CloseEnter();
      b.T_NewLine();
    }
  }
  if (special) return;

  // Plain parts give pos as the 0-based place in the screen image (82
  // characters a row); the field text lacks the image's CR LF, so a part on
  // a later row than the field's start moves back by those two characters.
  const long fieldPlace = (static_cast<long>(o[k].StartRow) - 1) * 82 + o[k].StartColumn - 1;
  for (long off = 0; off <= o[k].Size; off += 80) {
    if (text::TrimBlanks(Mid(text, off + 1, 80)).empty()) break;
    for (const config::DividedField* e : parts) {
      const long q = fieldPlace + (fieldPlace / 82 != e->pos / 82 ? 2 : 0);
      b.DoT_Say(Mid(text, e->pos + 1 - q + off, e->Size));
      b.DoT_CloseEnter();
      b.T_NewLine();
      b.T_NewLine();
    }
  }
}

void SplitIntoLines(TerminalBuilder& b, const std::string& text, int width) {
  ForEachPiece(text, width, [&](const std::string& piece, bool first) {
    if (first) {
      b.DoT_Say(piece);
    } else {
      b.DoT_NewLine();
      b.T_PrintString2(piece);
    }
  });
  b.DoT_PrintString();
}

void PrintInLines(TerminalBuilder& b, const std::string& text, int width) {
  ForEachPiece(text, width, [&](const std::string& piece, bool first) {
    if (!first) b.T_NewLine();
    b.T_PrintString(piece);
  });
}

}  // namespace tervo::screens
