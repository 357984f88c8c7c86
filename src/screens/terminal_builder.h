// The item wrappers every terminal call of a screen build goes through.  A
// terminal screen is a list of items (prompts, Enter items, input items);
// the wrappers close each open prompt with a Get before anything else follows,
// count items, and gather consecutive plain texts into one print.
#pragma once

#include <cstdint>
#include <string>

#include "platform/radio/radio_link.h"

namespace tervo::screens {

class TerminalBuilder {
 public:
  explicit TerminalBuilder(radio::RadioLink& radio) : radio_(radio) {}

  // Items emitted so far: each T_Say, T_GetCheckEnter and T_GetText.
  int ItemCount() const { return itemCount_; }
  // Name of the last terminal call made ("T_PrintString2", "T_NewLine", ...).
  const char* LastCommand() const { return last_; }
  const std::string& PendingPrintText() const { return pending_; }

  // --- wrappers
  void DoT_PrintString();
  void T_PrintString2(const std::string& text);
  void DoT_GetCheckEnter();
  void DoT_GetText(const std::string& text, int size, int attr);
  void DoT_Say(const std::string& text);
  void DoT_NoSay(int n);
  void DoT_Scroll(const std::string& a, const std::string& b);
  void DoT_CloseEnter();
  void DoT_Input(const std::string& text, int size, int attr);
  void DoT_NewLine();
  void DoT_Read();
  void T_SaySize2(const std::string& text, int size);

  // --- direct calls, recorded as the last command.  Those that change the
  // display (clear, new line, a plain, inverse or large print) first send
  // the pending print text, so it keeps its place before them; the others
  // leave it pending for the next wrapper call.
  void T_Cls();
  void T_NewLine();
  void T_PrintString(const std::string& text);
  void T_PrintInverse(const std::string& text);
  void T_PrintLarge(const std::string& text);
  void T_CapsLock(int on);
  void T_SetLargeFunctionKeys(const std::string& legend, std::uint8_t count);
  void T_ChangeScreenAttributtes(int format, int item, int attributes);
  void T_Delay(int units);
  void T_Beep(int frequency, int duration);
  void T_WaitChar();

 private:
  radio::RadioLink& radio_;
  std::string pending_;
  const char* last_ = "";
  int itemCount_ = 0;
  bool sayOpen_ = false;
  bool getLast_ = false;
};

}  // namespace tervo::screens
