// Opening, loading, storing, navigation and the OK and closing rules of the
// screen editor.  The interlocks and enabled states are in
// screen_editor_controls.cpp.
#include "editors/screen_editor.h"

#include <algorithm>

#include "config/text.h"
#include "editors/auto_fill.h"
#include "editors/divided_fields.h"
#include "editors/new_screen_number.h"
#include "editors/terminal_preview.h"
#include "screens/capture.h"

namespace tervo::editors {

namespace {

std::size_t U(int i) { return static_cast<std::size_t>(i); }

std::string Num(std::int32_t v) { return std::to_string(v); }

// The Flag bit of each field-option check box.
constexpr std::pair<EditorCheck, std::int32_t> kFlagChecks[] = {
    {EditorCheck::MasterKey, config::kFlagMasterKey},
    {EditorCheck::CursorInText, config::kFlagCursorText},
    {EditorCheck::NewLineBefore, config::kFlagNewLineBefore},
    {EditorCheck::AutoExitfield, config::kFlagAutoExit},
    {EditorCheck::NormalFont, config::kFlagNoCursorNormal},
    {EditorCheck::Largefont, config::kFlagNoCursorLarge},
    {EditorCheck::CursorPosition, config::kFlagCursorStart},
};

// The 0/1 members of a field definition and their check boxes.
constexpr std::pair<EditorCheck, std::int32_t config::FieldDef::*> kFieldChecks[] = {
    {EditorCheck::ShowField2, &config::FieldDef::Show},
    {EditorCheck::NewLine, &config::FieldDef::NewLine},
    {EditorCheck::Barcode, &config::FieldDef::Barcode},
    {EditorCheck::Protected, &config::FieldDef::Protected},
    {EditorCheck::InputField, &config::FieldDef::InputField},
    {EditorCheck::AutoEnter, &config::FieldDef::AutoEnter},
    {EditorCheck::SendWithEnter, &config::FieldDef::SendWithEnter},
    {EditorCheck::TitleField, &config::FieldDef::Title},
};

// Collects the failures of the store steps: each step that fails keeps its
// member; the first failure is the one reported.
struct StepErrors {
  std::string first;
  void Fail(const std::string& e) {
    if (first.empty()) first = e.empty() ? std::string("invalid value") : e;
  }
  bool Int(const std::string& box, std::int32_t* out, bool emptyIsZero) {
    std::string e;
    const std::string t = text::TrimBlanks(box);
    if (emptyIsZero && t.empty()) {
      *out = 0;
      return true;
    }
    std::int32_t v = 0;
    if (!text::ToInt32(t, &v, &e)) {
      Fail(e);
      return false;
    }
    *out = v;
    return true;
  }
};

}  // namespace

ScreenEditor::ScreenEditor(screens::ScreenContext& ctx, config::Prompt& prompt, Hooks hooks)
    : ctx_(ctx), prompt_(prompt), hooks_(std::move(hooks)) {}

config::ScreenDef& ScreenEditor::Def() const { return Store().Screens[U(editScreen_)]; }

bool ScreenEditor::Open(int screen, int session, int field) {
  if (!Store().ValidScreen(screen) || !screens::SessionState::ValidSession(session)) return false;
  // The window is single-instance: a field still loaded belongs to the
  // screen edited until now and is stored there, never into the new one.
  if (open_ && loaded_ >= 0 && !fieldBox_.empty()) StoreField();
  open_ = true;
  justStored_ = false;
  editScreen_ = screen;
  editSession_ = session;
  loaded_ = -1;
  fieldBox_.clear();
  config::ScreenDef& d = Def();
  if (d.Master == config::kScreenFree || d.Master == config::kScreenCopy)
    d.Master = config::kScreenDefined;
  SetFieldBox(Num(field));
  return true;
}

void ScreenEditor::SetFieldBox(const std::string& text) {
  fieldBox_ = text;
  justStored_ = false;
  if (loaded_ >= 0) StoreField();
  if (hooks_.setEditorDirty) hooks_.setEditorDirty();
  std::int32_t f = -1;
  std::string err;
  if (!text::ToInt32(text, &f, &err) || !config::ScreenStore::ValidField(f)) return;
  LoadHost(f);
  scrNumber_ = Num(editScreen_);
  LoadField(f);
  loaded_ = f;
}

void ScreenEditor::LoadHost(int f) {
  host_ = HostFieldView{};
  const config::ScreenOriginal& o = Store().Originals[U(editScreen_)];
  if (f >= o.Count) return;
  const auto k = U(f);
  host_.Row = o[k].StartRow;
  host_.Col = o[k].StartColumn;
  host_.Size = o[k].Length;
  host_.Type = o[k].AType;
  host_.Justify = o[k].Justify;
  // A non-display field (a password) is never shown, as on the session
  // displays.
  host_.Text = o[k].Hidden ? std::string() : o[k].Text;
  host_.Show = !o[k].Hidden;
  host_.Input = !o[k].Protected;
  host_.AutoEnter = o[k].AutoEnter;
}

void ScreenEditor::LoadField(int f) {
  config::ScreenDef& d = Def();
  // Unticked, the boxes propose the session's own terminal and user.
  if (d.CheckScreenIdTerm != 1) d.ScreenIdTerminal = Store().TerminalIDDef[U(editSession_)];
  if (d.CheckScreenIdUser != 1) d.ScreenIdUser = ctx_.sessions[editSession_].SessionUser;
  const config::FieldDef& fd = d.Screen[U(f)];
  EditorForm& m = form_;
  TextRef(EditorText::Screen) = Num(d.ScreenId);
  TextRef(EditorText::FieldText) = config::ScreenStore::ValidTextScreen(editScreen_)
                                       ? text::TrimBlanks(Store().ScreensText[U(editScreen_)][U(f)])
                                       : std::string();
  TextRef(EditorText::Maxsize) = Num(fd.Size);
  TextRef(EditorText::AuxText) = text::TrimBlanks(fd.AuxText);
  TextRef(EditorText::MaxSizeAux) = Num(fd.SizeTextAux);
  TextRef(EditorText::Order) = Num(fd.Order);
  for (const auto& [check, member] : kFieldChecks) CheckRef(check) = fd.*member != 0;
  CheckRef(EditorCheck::UserId) = (fd.UserId & config::kUserIdGetUser) != 0;
  CheckRef(EditorCheck::VarAux) = (fd.UserId & config::kUserIdGetVarAux) != 0;
  CheckRef(EditorCheck::Divided) = fd.Divided;
  TextRef(EditorText::JoinField) = text::TrimBlanks(fd.JoinField);
  m.textMode = fd.flag2;
  for (const auto& [check, bit] : kFlagChecks) CheckRef(check) = (fd.Flag & bit) != 0;
  TextRef(EditorText::ExitKey) = text::TrimBlanks(d.EscKey);
  TextRef(EditorText::KeysAfterEnter) = text::TrimBlanks(d.KeysAfterEnter);
  CheckRef(EditorCheck::DontSendToTerminal) = d.DontSendToTerminal != 0;
  CheckRef(EditorCheck::CheckTermId) = d.CheckScreenIdTerm == 1;
  TextRef(EditorText::TextTermId) = d.ScreenIdTerminal;
  CheckRef(EditorCheck::CheckUserId) = d.CheckScreenIdUser == 1;
  TextRef(EditorText::TextUserId) = d.ScreenIdUser;
  m.keys = d.TeclasFuncao;
  m.keyValues = d.TeclasFuncaoVal;
}

bool ScreenEditor::StoreField() {
  if (!open_ || loaded_ < 0) return true;
  const EditorForm& m = form_;
  if (text::TrimBlanks(m.Text(EditorText::Screen)).empty()) return true;
  config::ScreenDef& d = Def();
  config::FieldDef& fd = d.Screen[U(loaded_)];
  StepErrors errors;

  errors.Int(m.Text(EditorText::Screen), &d.ScreenId, false);
  std::int32_t size = 0;
  if (errors.Int(m.Text(EditorText::Maxsize), &size, true)) {
    std::string err;
    if (std::string* slot = Store().ScreensTextAt(editScreen_, loaded_, &err))
      *slot = text::Left(m.Text(EditorText::FieldText), text::Width(size));
    else
      errors.Fail(err);
    fd.Size = size;
  }
  std::int32_t auxSize = 0;
  if (errors.Int(m.Text(EditorText::MaxSizeAux), &auxSize, true)) {
    fd.AuxText = text::Left(m.Text(EditorText::AuxText), text::Width(auxSize));
    fd.SizeTextAux = auxSize;
  }
  errors.Int(m.Text(EditorText::Order), &fd.Order, false);
  for (const auto& [check, member] : kFieldChecks) fd.*member = m.Check(check) ? 1 : 0;
  fd.UserId = (m.Check(EditorCheck::UserId) ? config::kUserIdGetUser : 0) +
              (m.Check(EditorCheck::VarAux) ? config::kUserIdGetVarAux : 0);
  fd.Divided = m.Check(EditorCheck::Divided);
  fd.JoinField = text::TrimBlanks(m.Text(EditorText::JoinField));
  fd.flag2 = m.textMode;
  fd.Flag = 0;
  for (const auto& [check, bit] : kFlagChecks)
    if (m.Check(check)) fd.Flag += bit;

  d.EscKey = text::TrimBlanks(m.Text(EditorText::ExitKey));
  d.KeysAfterEnter = text::TrimBlanks(m.Text(EditorText::KeysAfterEnter));
  d.DontSendToTerminal = m.Check(EditorCheck::DontSendToTerminal) ? 1 : 0;
  d.CheckScreenIdTerm = m.Check(EditorCheck::CheckTermId) ? 1 : 0;
  d.ScreenIdTerminal = m.Text(EditorText::TextTermId);
  d.CheckScreenIdUser = m.Check(EditorCheck::CheckUserId) ? 1 : 0;
  d.ScreenIdUser = m.Text(EditorText::TextUserId);
  d.TeclasFuncao = m.keys;
  d.TeclasFuncaoVal = m.keyValues;

  RefreshPreview();
  if (errors.first.empty()) return true;
  prompt_.Message("Error " + errors.first, "", config::Prompt::Buttons::Ok);
  return false;
}

// --- navigation

// The last captured field the editor steps to: loops over a screen's
// captured fields stop at 499, as the field tables end at 500.
int ScreenEditor::LastCaptured() const {
  const int n = Store().Originals[U(editScreen_)].Count;
  return n >= 500 ? 499 : std::max(n, 0) - 1;
}

bool ScreenEditor::BlankProtected(int f) const {
  const config::ScreenOriginal& o = Store().Originals[U(editScreen_)];
  return text::TrimBlanks(o[f].Text).empty() && o[f].Protected;
}

void ScreenEditor::GoTo(int f) { SetFieldBox(Num(f)); }

void ScreenEditor::FieldMais() {
  if (!open_ || loaded_ < 0) return;
  const int last = LastCaptured();
  int j = loaded_ < last ? loaded_ + 1 : loaded_;
  while (j < last && BlankProtected(j)) ++j;
  GoTo(j);
}

void ScreenEditor::FieldMenos() {
  if (!open_ || loaded_ < 0) return;
  int j = loaded_ > 0 ? loaded_ - 1 : 0;
  while (j > 0 && BlankProtected(j)) --j;
  GoTo(j);
}

void ScreenEditor::SwapOrder(int delta) {
  if (!open_ || loaded_ < 0) return;
  std::int32_t order = 0;
  std::string err;
  if (!text::ToInt32(form_.Text(EditorText::Order), &order, &err)) return;
  const std::int32_t wanted = order + delta;
  const int count = std::clamp(Store().Originals[U(editScreen_)].Count, 0, config::kFieldSlots);
  config::ScreenDef& d = Def();
  for (int k = 0; k < count; ++k) {
    if (k == loaded_ || d.Screen[U(k)].Order != wanted) continue;
    d.Screen[U(k)].Order = order;
    d.Screen[U(loaded_)].Order = wanted;
    TextRef(EditorText::Order) = Num(wanted);
    RefreshPreview();
    return;
  }
}

void ScreenEditor::OrderUp() { SwapOrder(1); }
void ScreenEditor::OrderDown() { SwapOrder(-1); }

// --- leaving

void ScreenEditor::SetAsMaster() { StoreField(); }

std::string ScreenEditor::Preview() const { return CreateTerminalSt(Store(), editScreen_); }

void ScreenEditor::RefreshPreview() {
  if (hooks_.previewChanged) hooks_.previewChanged(Preview());
}

// A new screen for the user or terminal of the boxes: same identification
// value and capture, a fresh automatic configuration, and the current field
// stored on top by Ok().  The new screen is a definition the operator made,
// so it is marked defined (2): left free or as a copy, the next unknown host
// screen could take its number and overwrite it.
bool ScreenEditor::CreateNewScreen() {
  config::ScreenStore& store = Store();
  const int n = NewScreenNumber(store);
  if (n < 0) {
    ctx_.log.WriteLog("Maximum Screen number, very small !!!", true);
    return false;
  }
  ctx_.sessions[editSession_].SessionUser = form_.Text(EditorText::TextUserId);
  config::ScreenDef& created = store.Screens[U(n)];
  created.CheckScreenIdTerm = form_.Check(EditorCheck::CheckTermId) ? 1 : 0;
  created.CheckScreenIdUser = form_.Check(EditorCheck::CheckUserId) ? 1 : 0;
  screens::CopyAs400Data(store, editScreen_, n);
  editScreen_ = n;
  ctx_.sessions[editSession_].CurrentScreen = n;
  AutoFillScreen(ctx_, editSession_);
  store.Screens[U(n)].Master = config::kScreenDefined;
  return true;
}

bool ScreenEditor::Ok() {
  if (!open_) return true;
  if (loaded_ >= 0) {
    const config::ScreenDef& d = Def();
    const bool user = form_.Check(EditorCheck::CheckUserId);
    const bool term = form_.Check(EditorCheck::CheckTermId);
    if (form_.Text(EditorText::TextUserId) != d.ScreenIdUser ||
        user != (d.CheckScreenIdUser == 1) || term != (d.CheckScreenIdTerm == 1)) {
      if (prompt_.Message("Create New Screen ?", "", config::Prompt::Buttons::YesNo) ==
          config::Prompt::Answer::Yes) {
        if (!CreateNewScreen()) return false;
      } else {
        ctx_.sessions[editSession_].SessionUser = form_.Text(EditorText::TextUserId);
        config::ScreenDef& same = Def();
        same.CheckScreenIdTerm = term ? 1 : 0;
        same.CheckScreenIdUser = user ? 1 : 0;
      }
    }
    // The parts go with the screen the field is stored into: after a new
    // screen was made, the shared screen keeps its field divided and its
    // parts with it.
    if (!form_.Check(EditorCheck::Divided)) RemoveFieldParts(Store(), editScreen_, loaded_);
  }
  StoreField();
  justStored_ = true;
  RefreshPreview();
  return true;
}

void ScreenEditor::Close() {
  if (!open_) return;
  if (!fieldBox_.empty() && !justStored_) StoreField();
  RefreshPreview();
  open_ = false;
  loaded_ = -1;
  justStored_ = false;
  fieldBox_.clear();
}

}  // namespace tervo::editors
