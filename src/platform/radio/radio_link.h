// The gateway's link to its radio terminals.  The gateway only ever calls
// these operations, on the event-loop thread, one at a time.  Texts are 8-bit
// Windows-1252.  See docs/radio-protocol.md for the wire side.
//
// Screens are small programs: T_InitScreen starts one for a terminal, the
// content calls append operations in call order, and T_SendScreen (or
// T_SendScreenToPc + T_WaitAnyScreenFromPc) sends it.
//
// Answers arrive typed (TakeMessage): the chosen item or key and the values
// typed into the input items, in item order.  Which host field or key an
// item stands for is the builder's business (screens/item_map.h).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/radio/screen_program.h"

namespace tervo::radio {

enum ReceiveKind : std::uint8_t {
  kTerminalAnswer = 1,
  kScreenRequest = 2,  // "START" or a screen name
  kOther = 3,
};

// One message of a terminal.
struct TerminalMessage {
  std::string terminalId;  // as the terminal signed in (at most 8 bytes)
  ReceiveKind kind = kOther;
  // kScreenRequest: "START" or the screen asked for; kTerminalAnswer: the
  // name of the screen answered; kOther: the message text.
  std::string text;
  // kTerminalAnswer: what the terminal chose and typed.  Values hold no
  // control characters (they end up in host fields).
  Answer answer;
};

class RadioLink {
 public:
  virtual ~RadioLink() = default;

  // --- link set-up and shutdown
  virtual void TCPIP_Start(const std::string& baseAddress) = 0;
  // Non-zero once the link is up (TCP/IP: listening; serial: the base
  // answered).  It never waits: a serial line is opened and its radio base
  // asked, and while the base has not answered yet InitializeComm returns 0
  // and BaseAnswerPending() holds; the receive notifier tells when the
  // answer came, and InitializeComm then returns non-zero.  Calling it again
  // while the answer is pending asks the base again.
  virtual int InitializeComm(int port, int baudRate) = 0;
  virtual bool BaseAnswerPending() const { return false; }
  virtual void ForceResetOnAllTerminal() = 0;
  virtual void TCPIP_AcceptTerminalId(const std::string& terminalId) = 0;
  virtual void TerminateComm(int port) = 0;

  // --- receiving.  Takes the oldest message; false when there is none.
  virtual bool TakeMessage(TerminalMessage* message) = 0;
  // Called from the event loop, never from inside one of these operations,
  // whenever a message has been received, so that the gateway can take it at
  // once instead of at its next poll.  An empty function stops the calls.
  virtual void SetReceiveNotifier(std::function<void()> notify) { (void)notify; }

  // --- building a screen
  virtual void T_InitScreen(const std::string& terminalId, const std::string& screenName,
                            int format, int a, int b) = 0;
  virtual void T_Cls() = 0;
  virtual void T_NewLine() = 0;
  virtual void T_WaitChar() = 0;
  virtual void T_HardReset() = 0;
  virtual void T_GetCheckEnter() = 0;
  virtual void T_PrintString(const std::string& text) = 0;
  virtual void T_PrintInverse(const std::string& text) = 0;
  virtual void T_PrintLarge(const std::string& text) = 0;
  virtual void T_Say(const std::string& text) = 0;
  virtual void T_Scroll(const std::string& a, const std::string& b) = 0;
  virtual void T_NoSay(std::uint8_t size) = 0;
  // An input item showing `initial` (cut to size) to begin with.
  virtual void T_GetText(const std::string& initial, int size, int attributes) = 0;
  // The terminal waits for the operator here; the answer tells what was chosen.
  virtual void T_Read() = 0;
  virtual void T_Delay(int units) = 0;
  virtual void T_Beep(int frequency, int duration) = 0;
  virtual void T_CapsLock(int on) = 0;
  virtual void T_SetLargeFunctionKeys(const std::string& legend, std::uint8_t count) = 0;
  virtual void T_ChangeScreenAttributtes(int format, int item, int attributes) = 0;

  // --- sending a screen
  virtual void T_SendScreen() = 0;
  virtual void T_SendScreenToPc(const std::string& screenName, int code) = 0;
  virtual void T_WaitAnyScreenFromPc() = 0;

  // Last battery reading a terminal reported with its answer (millivolts);
  // -1 when the terminal never reported one.
  virtual int BatteryLevel(const std::string& terminalId) const = 0;
};

}  // namespace tervo::radio
