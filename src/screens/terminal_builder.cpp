#include "screens/terminal_builder.h"

#include <algorithm>
#include <cstring>

#include "config/text.h"

namespace tervo::screens {

namespace {
constexpr const char* kPrintString2 = "T_PrintString2";
}

void TerminalBuilder::DoT_PrintString() {
  if (pending_.empty()) return;
  radio_.T_PrintString(pending_);
  pending_.clear();
  last_ = "T_PrintString";
}

void TerminalBuilder::T_PrintString2(const std::string& text) {
  // Consecutive texts print as one; any other call in between starts a new
  // print, after the text gathered so far has gone out.
  if (std::strcmp(last_, kPrintString2) != 0) DoT_PrintString();
  pending_ += text;
  last_ = kPrintString2;
}

void TerminalBuilder::DoT_GetCheckEnter() {
  DoT_PrintString();
  radio_.T_GetCheckEnter();
  ++itemCount_;
  last_ = "T_GetCheckEnter";
}

void TerminalBuilder::DoT_GetText(const std::string& text, int size, int attr) {
  DoT_PrintString();
  radio_.T_GetText(text, size, attr);
  ++itemCount_;
  last_ = "T_GetText";
}

void TerminalBuilder::DoT_Say(const std::string& text) {
  DoT_PrintString();
  if (sayOpen_) DoT_GetCheckEnter();
  radio_.T_Say(text);
  ++itemCount_;
  last_ = "T_Say";
  sayOpen_ = true;
  getLast_ = false;
}

void TerminalBuilder::DoT_NoSay(int n) {
  DoT_PrintString();
  if (sayOpen_) DoT_GetCheckEnter();
  radio_.T_NoSay(static_cast<std::uint8_t>(std::clamp(n, 0, 255)));
  last_ = "T_NoSay";
  sayOpen_ = true;
  getLast_ = false;
}

void TerminalBuilder::DoT_Scroll(const std::string& a, const std::string& b) {
  DoT_PrintString();
  if (sayOpen_) DoT_GetCheckEnter();
  radio_.T_Scroll(a, b);
  last_ = "T_Scroll";
  sayOpen_ = true;
  getLast_ = false;
}

void TerminalBuilder::DoT_CloseEnter() {
  if (getLast_) DoT_Say("");
  DoT_GetCheckEnter();
  sayOpen_ = false;
  getLast_ = true;
}

void TerminalBuilder::DoT_Input(const std::string& text, int size, int attr) {
  if (getLast_) DoT_Say("");
  DoT_GetText(text, size, attr);
  sayOpen_ = false;
  getLast_ = true;
}

void TerminalBuilder::DoT_NewLine() {
  DoT_PrintString();
  if (sayOpen_) {
    DoT_GetCheckEnter();
    getLast_ = true;
  }
  radio_.T_NewLine();
  last_ = "T_NewLine";
  sayOpen_ = false;
}

void TerminalBuilder::DoT_Read() {
  DoT_PrintString();
  if (sayOpen_) DoT_GetCheckEnter();
  sayOpen_ = false;
  last_ = "T_Read";
  radio_.T_Read();
}

void TerminalBuilder::T_SaySize2(const std::string& text, int size) {
  DoT_Say(text::PadRight(text, size > 0 ? static_cast<std::size_t>(size) : 0));
}

void TerminalBuilder::T_Cls() {
  DoT_PrintString();
  radio_.T_Cls();
  last_ = "T_Cls";
}

void TerminalBuilder::T_NewLine() {
  DoT_PrintString();
  radio_.T_NewLine();
  last_ = "T_NewLine";
}

void TerminalBuilder::T_PrintString(const std::string& text) {
  DoT_PrintString();
  radio_.T_PrintString(text);
  last_ = "T_PrintString";
}

void TerminalBuilder::T_PrintInverse(const std::string& text) {
  DoT_PrintString();
  radio_.T_PrintInverse(text);
  last_ = "T_PrintInverse";
}

void TerminalBuilder::T_PrintLarge(const std::string& text) {
  DoT_PrintString();
  radio_.T_PrintLarge(text);
  last_ = "T_PrintLarge";
}

void TerminalBuilder::T_CapsLock(int on) {
  radio_.T_CapsLock(on);
  last_ = "T_CapsLock";
}

void TerminalBuilder::T_SetLargeFunctionKeys(const std::string& legend, std::uint8_t count) {
  radio_.T_SetLargeFunctionKeys(legend, count);
  last_ = "T_SetLargeFunctionKeys";
}

void TerminalBuilder::T_ChangeScreenAttributtes(int format, int item, int attributes) {
  radio_.T_ChangeScreenAttributtes(format, item, attributes);
  last_ = "T_ChangeScreenAttributtes";
}

void TerminalBuilder::T_Delay(int units) {
  radio_.T_Delay(units);
  last_ = "T_Delay";
}

void TerminalBuilder::T_Beep(int frequency, int duration) {
  radio_.T_Beep(frequency, duration);
  last_ = "T_Beep";
}

void TerminalBuilder::T_WaitChar() {
  radio_.T_WaitChar();
  last_ = "T_WaitChar";
}

}  // namespace tervo::screens
