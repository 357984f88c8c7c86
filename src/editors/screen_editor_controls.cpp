// The screen editor's controls: the interlocks between the options, the
// text-mode options, the preset buttons and which controls are enabled.
#include "config/text.h"
#include "editors/screen_editor.h"
#include "editors/title.h"

namespace tervo::editors {

namespace {

std::size_t U(int i) { return static_cast<std::size_t>(i); }

// Controls that make no sense without a cursor on the terminal: disabled
// while either "No Cursor" box is ticked.
constexpr EditorCheck kCursorControls[] = {
    EditorCheck::InputField,    EditorCheck::Protected,    EditorCheck::AutoExitfield,
    EditorCheck::Barcode,       EditorCheck::TitleField,   EditorCheck::AutoEnter,
    EditorCheck::SendWithEnter, EditorCheck::CursorInText,
};

}  // namespace

bool ScreenEditor::NoCursor() const {
  return form_.Check(EditorCheck::NormalFont) || form_.Check(EditorCheck::Largefont);
}

void ScreenEditor::SetCheck(EditorCheck c, bool on) {
  if (!open_ || loaded_ < 0) return;
  CheckRef(c) = on;
  const int displayLen = ctx_.options.Number(config::Option::kDisplayLen);
  switch (c) {
    case EditorCheck::ShowField2:
      // A field taken out of the order (-1) is never rendered.
      if (Def().Screen[U(loaded_)].Order == -1) CheckRef(c) = false;
      break;
    case EditorCheck::InputField:
      if (on)
        CheckRef(EditorCheck::CursorInText) = true;
      else
        CheckRef(EditorCheck::Protected) = false;
      break;
    case EditorCheck::Protected:
      if (on) {
        CheckRef(EditorCheck::InputField) = true;
        CheckRef(EditorCheck::CursorInText) = true;
      }
      break;
    case EditorCheck::AutoExitfield:
    case EditorCheck::Barcode:
      if (on) {
        CheckRef(EditorCheck::InputField) = true;
        CheckRef(EditorCheck::Protected) = false;
      }
      break;
    case EditorCheck::AutoEnter:
      if (on) CheckRef(EditorCheck::InputField) = true;
      break;
    case EditorCheck::CursorInText:
      if (on) CheckRef(EditorCheck::NormalFont) = CheckRef(EditorCheck::Largefont) = false;
      break;
    case EditorCheck::NormalFont:
    case EditorCheck::Largefont:
      if (on) {
        CheckRef(c == EditorCheck::NormalFont ? EditorCheck::Largefont : EditorCheck::NormalFont) =
            false;
        CheckRef(EditorCheck::CursorInText) = false;
        CheckRef(EditorCheck::InputField) = false;
      }
      break;
    case EditorCheck::TitleField:
      TextRef(EditorText::Maxsize) = std::to_string(displayLen);
      if (on) {
        CheckRef(EditorCheck::NewLine) = true;
        for (EditorCheck off :
             {EditorCheck::InputField, EditorCheck::Protected, EditorCheck::NormalFont,
              EditorCheck::Largefont, EditorCheck::CursorInText})
          CheckRef(off) = false;
      } else {
        TextRef(EditorText::FieldText) = StripTitleMarkers(form_.Text(EditorText::FieldText));
      }
      break;
    case EditorCheck::CursorPosition: {
      // One field of a screen starts with the cursor: the others lose it.
      config::ScreenDef& d = Def();
      for (int f = 0; f <= config::kMaxFieldIndex; ++f)
        if (f != loaded_) d.Screen[U(f)].Flag &= ~config::kFlagCursorStart;
      break;
    }
    default:
      break;
  }
}

void ScreenEditor::SetText(EditorText t, const std::string& value) {
  if (!open_ || loaded_ < 0) return;
  TextRef(t) = value;
  if (t == EditorText::FieldText) form_.textMode = 0;  // typed text is fixed text
}

void ScreenEditor::LeaveText(EditorText t) {
  if (t != EditorText::Maxsize && t != EditorText::MaxSizeAux) return;
  if (text::TrimBlanks(form_.Text(t)).empty()) TextRef(t).assign(1, '0');
}

void ScreenEditor::ClickFieldText() {
  if (open_ && loaded_ >= 0) form_.textMode = 0;
}

void ScreenEditor::SelectTextMode(std::int32_t bit) {
  if (!open_ || loaded_ < 0) return;
  form_.textMode = bit;
  if (bit == config::kFlag2AutoNL) {
    TextRef(EditorText::Maxsize) = std::to_string(ctx_.options.Number(config::Option::kDisplayLen));
  } else if (bit == config::kFlag2Scroll) {
    // The scrolling text runs in the prefix's width; the field keeps the
    // host length.
    if (text::OptionNumber(form_.Text(EditorText::MaxSizeAux)) == 0)
      TextRef(EditorText::MaxSizeAux) = form_.Text(EditorText::Maxsize);
    TextRef(EditorText::Maxsize) = std::to_string(host_.Size);
  }
}

void ScreenEditor::SetFunctionKey(int k, const std::string& label) {
  if (open_ && k >= 0 && k < kFunctionKeys) form_.keys[U(k)] = label;
}

void ScreenEditor::SetFunctionKeyValue(int k, const std::string& keys) {
  if (open_ && k >= 0 && k < kFunctionKeys) form_.keyValues[U(k)] = keys;
}

void ScreenEditor::ApplyPreset(EditorPreset p) {
  if (!open_ || loaded_ < 0) return;
  const std::string hostSize = std::to_string(host_.Size);
  switch (p) {
    case EditorPreset::Input:
    case EditorPreset::ProtectedInput:
      CheckRef(EditorCheck::InputField) = true;
      TextRef(EditorText::Maxsize) = hostSize;
      CheckRef(EditorCheck::ShowField2) = true;
      form_.textMode = config::kFlag2Truncated;
      CheckRef(EditorCheck::Protected) = p == EditorPreset::ProtectedInput;
      break;
    case EditorPreset::Show:
      CheckRef(EditorCheck::ShowField2) = true;
      CheckRef(EditorCheck::NewLine) = true;
      break;
    case EditorPreset::Title:
      CheckRef(EditorCheck::ShowField2) = true;
      CheckRef(EditorCheck::NewLine) = true;
      CheckRef(EditorCheck::TitleField) = true;
      CheckRef(EditorCheck::InputField) = false;
      CheckRef(EditorCheck::Protected) = false;
      break;
  }
}

bool ScreenEditor::Enabled(EditorCheck c) const {
  if (!open_) return false;
  if (c == EditorCheck::MasterKey) return Def().Master == config::kScreenMaster;
  for (EditorCheck k : kCursorControls)
    if (k == c) return !NoCursor();
  return true;
}

bool ScreenEditor::TextEnabled(EditorText t) const {
  if (!open_) return false;
  if (t == EditorText::AuxText)
    return (form_.textMode & (config::kFlag2AutoNL | config::kFlag2Scroll)) == 0;
  return true;
}

bool ScreenEditor::TextEditable(EditorText t) const {
  if (!TextEnabled(t)) return false;
  if (t == EditorText::FieldText) return form_.textMode == 0;
  if (t == EditorText::Maxsize) return (form_.textMode & config::kFlag2Scroll) == 0;
  return true;
}

bool ScreenEditor::TextModeEnabled(std::int32_t bit) const {
  if (!open_) return false;
  return bit != config::kFlag2Scroll || !NoCursor();
}

std::string ScreenEditor::RepeatCaption() const {
  const bool active = open_ && Store().AdvScreens[U(editScreen_)].Active;
  return active ? "Repeat Used" : "Repeat not used";
}

}  // namespace tervo::editors
