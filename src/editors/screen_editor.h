// The screen configuration editor ("Screen Configurations") without its
// window: the values of every control, what loading a field puts there,
// what storing it writes back, navigation between fields, the interlocks
// between the options, the preset buttons and the OK and closing rules.
//
// The editor works on one screen definition (EditScreen) in the context of
// one session (EditSession; 32 when it was opened from the screens report).
// Settings reach the tables only when a field is stored: on moving to
// another field, "Set as  Master Screen", "&OK" and closing.  The window
// reflects Form(), the host field and the enabled states after every call.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "config/menu_commands.h"
#include "config/screen_store.h"
#include "screens/screen_context.h"

namespace tervo::editors {

// Check boxes, named as their controls.  MasterKey..CursorPosition are the
// field options of Flag (bits 1..64, in this order).
enum class EditorCheck : int {
  ShowField2,          // "&Show"
  NewLine,             // "&NewLine After Field"
  Barcode,             // "&Barcode ON"
  Protected,           // "&Protected Input"
  InputField,          // "&Input"
  AutoEnter,           // "Send Screen after Edit"
  SendWithEnter,       // "Send Screen after Enter / Menu Option"
  TitleField,          // "Title Line"
  UserId,              // "Get User Id"
  VarAux,              // "Get VarAux"
  Divided,             // "Divided in small fields"
  MasterKey,           // "Master Screen key"
  CursorInText,        // "Cursor (Text/Prefix)"
  NewLineBefore,       // "NewLine &Before Field"
  AutoExitfield,       // "Auto exit Field"
  NormalFont,          // "No Cursor - Normal Font"
  Largefont,           // "No Cursor - Large Font"
  CursorPosition,      // "Cursor Start Position"
  DontSendToTerminal,  // "Skip"
  CheckTermId,         // "Term"
  CheckUserId,         // "User"
  kCount
};

// Text boxes, named as their controls.
enum class EditorText : int {
  Screen,      // ScreenId
  FieldText,   // "Text": ScreensText of the field
  Maxsize,     // "Size"
  AuxText,     // "Prefix"
  MaxSizeAux,  // "Size" of the prefix
  Order,
  JoinField,       // "Join field:"
  ExitKey,         // "Exit Key"
  KeysAfterEnter,  // "Keys after Enter"
  TextTermId,
  TextUserId,
  kCount
};

constexpr int kEditorChecks = static_cast<int>(EditorCheck::kCount);
constexpr int kEditorTexts = static_cast<int>(EditorText::kCount);
constexpr int kFunctionKeys = 8;

// The text-mode options, one group over flag2; "Fixed" is none of the bits.
constexpr std::int32_t kTextModeBits[] = {0, 1, 2, 4, 8, 16, 32, 64, 128};

// The preset buttons "Input", "Show", "Protected Input" and "Title".
enum class EditorPreset { Input, Show, ProtectedInput, Title };

// What the controls hold.
struct EditorForm {
  std::array<bool, kEditorChecks> checks{};
  std::array<std::string, kEditorTexts> texts;
  std::array<std::string, kFunctionKeys> keys;       // TeclasFuncao(0..7)
  std::array<std::string, kFunctionKeys> keyValues;  // TeclasFuncaoVal(0..7)
  // flag2 as the text-mode options show it.  Choosing an option makes it
  // that option's bit alone; a stored value with several bits (written by
  // hand or by an older editor) shows each of its options and is stored
  // back unchanged until an option is chosen.
  std::int32_t textMode = 0;

  bool Check(EditorCheck c) const { return checks[static_cast<std::size_t>(c)]; }
  const std::string& Text(EditorText t) const { return texts[static_cast<std::size_t>(t)]; }
  bool TextModeSelected(std::int32_t bit) const {
    return bit == 0 ? textMode == 0 : (textMode & bit) != 0;
  }
};

// The captured host field shown beside the settings (read only).
struct HostFieldView {
  std::int32_t Row = 0, Col = 0, Size = 0, Type = 0, Justify = 0;
  std::string Text;
  bool Show = false;       // "Show": the host field is not hidden
  bool Input = false;      // "Input": the host field is unprotected
  bool AutoEnter = false;  // "AutoEnter"
};

class ScreenEditor {
 public:
  struct Hooks {
    // The gateway's EditorDirty: terminal answers are held back until the
    // next screen is served with the edited definition.
    std::function<void()> setEditorDirty;
    // The terminal preview window's text (CreateTerminalSt of EditScreen).
    std::function<void(const std::string&)> previewChanged;
  };

  // prompt asks "Create New Screen ?" and shows "Error ..." messages.
  ScreenEditor(screens::ScreenContext& ctx, config::Prompt& prompt, Hooks hooks);

  // Opens (or re-targets) the editor: a field still loaded from the screen
  // edited before is stored into that screen first.  A free (0) or copied
  // (4) screen becomes defined by hand (2); a master stays a master.  Then
  // field `field` is loaded.  False when the screen is outside the tables.
  bool Open(int screen, int session, int field);
  bool IsOpen() const { return open_; }
  int EditScreen() const { return editScreen_; }
  int EditSession() const { return editSession_; }
  // The field last loaded, -1 when none.
  int Field() const { return loaded_; }
  const std::string& FieldBox() const { return fieldBox_; }
  // ScrNumber: the screen shown with the field last loaded.
  const std::string& ScrNumber() const { return scrNumber_; }
  const EditorForm& Form() const { return form_; }
  const HostFieldView& Host() const { return host_; }

  // --- the controls
  // Any change of the "Field #" box: the field last loaded is stored,
  // EditorDirty is set and, when the box holds a field number, that field
  // is loaded.
  void SetFieldBox(const std::string& text);
  // A click on a check box (on = its new state), with the interlocks.
  void SetCheck(EditorCheck c, bool on);
  // Typing in a text box.
  void SetText(EditorText t, const std::string& value);
  // The focus leaves a text box: an empty size box becomes "0".
  void LeaveText(EditorText t);
  // A click in the "Text" box selects "Fixed".
  void ClickFieldText();
  // Chooses a text-mode option (a bit of kTextModeBits; 0 is "Fixed").
  void SelectTextMode(std::int32_t bit);
  void SetFunctionKey(int k, const std::string& label);
  void SetFunctionKeyValue(int k, const std::string& keys);
  void ApplyPreset(EditorPreset p);

  // "&+" (Up) and "&-" (Down): the next or previous field, stepping over
  // blank protected ones.
  void FieldMais();
  void FieldMenos();
  // Order "+" and "-": swap orders with the field of the next or previous
  // order number, stored at once.
  void OrderUp();
  void OrderDown();

  // --- enabled states
  bool Enabled(EditorCheck c) const;
  bool TextEnabled(EditorText t) const;
  // Editable (not locked): "Text" only with "Fixed", "Size" not with "Scroll".
  bool TextEditable(EditorText t) const;
  bool TextModeEnabled(std::int32_t bit) const;
  // "Repeat Used" / "Repeat not used".
  std::string RepeatCaption() const;

  // --- storing and leaving
  // Stores the field last loaded into EditScreen.  Every step runs; when one
  // failed, "Error " and its description are shown and false is returned
  // (the failed members keep their values).
  bool StoreField();
  // "Set as  Master Screen": stores the field; the window then opens the
  // master screen dialog on EditScreen.
  void SetAsMaster();
  // "&OK".  True when the window closes; false when a new screen was asked
  // for and no number was free ("Maximum Screen number, very small !!!"
  // is logged and nothing is written).
  bool Ok();
  // Closing by "&OK", Enter or the close box: the field is stored (unless
  // "&OK" just did) and the preview refreshed.
  void Close();
  // CreateTerminalSt of EditScreen.
  std::string Preview() const;

 private:
  config::ScreenStore& Store() const { return ctx_.store; }
  config::ScreenDef& Def() const;
  std::string& TextRef(EditorText t) { return form_.texts[static_cast<std::size_t>(t)]; }
  bool& CheckRef(EditorCheck c) { return form_.checks[static_cast<std::size_t>(c)]; }
  void LoadField(int f);
  void LoadHost(int f);
  bool NoCursor() const;
  int LastCaptured() const;
  bool BlankProtected(int f) const;
  void GoTo(int f);
  void SwapOrder(int delta);
  void RefreshPreview();
  bool CreateNewScreen();

  screens::ScreenContext& ctx_;
  config::Prompt& prompt_;
  Hooks hooks_;
  bool open_ = false;
  int editScreen_ = 0;
  int editSession_ = 0;
  int loaded_ = -1;
  bool justStored_ = false;
  std::string fieldBox_;
  std::string scrNumber_;
  EditorForm form_;
  HostFieldView host_;
};

}  // namespace tervo::editors
