// The gateway's link to its radio terminals.  The gateway only ever calls
// these operations, on the event-loop thread, one at a time.  Texts are 8-bit
// Windows-1252.  See docs/radio-protocol.md for the wire side.
//
// Screens are small programs: T_InitScreen starts one for a terminal, the
// content calls append operations in call order, and T_SendScreen (or
// T_SendScreenToPc + T_WaitAnyScreenFromPc) sends it.
//
// Answers are replayed: T_RefreshScreen(id, data) makes that terminal's last
// answer current.  A build that follows without T_InitScreen sends nothing;
// instead each T_GetText buffer receives, in item order, the value typed on
// the terminal for that item, and T_Read returns the chosen item number (or a
// key code, see T_Read).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace tervo::radio {

// Message kinds returned by T_CheckIfReceiveData.
enum ReceiveKind : std::uint8_t {
  kTerminalAnswer = 1,
  kScreenRequest = 2,  // "START" or a screen name
  kOther = 3,
  kTerminalAnswerAlt = 4,
};

// Fixed buffer sizes of T_CheckIfReceiveData.
constexpr int kTerminalIdSize = 8;
constexpr int kDataSize = 50;
constexpr int kBlockSize = 2000;

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

  // --- receiving.  Takes one message; returns non-zero when one was taken.
  // id is resized to 8 characters (blank padded), data to 50 (the text
  // followed by one terminator character the caller strips), block to 2000.
  virtual int T_CheckIfReceiveData(std::string& id, std::string& data, std::uint8_t& kind,
                                   std::int32_t& value, std::string& block) = 0;
  // Called from the event loop, never from inside one of these operations,
  // whenever a message has been received, so that the gateway can take it at
  // once instead of at its next poll.  An empty function stops the calls.
  virtual void SetReceiveNotifier(std::function<void()> notify) { (void)notify; }
  // Makes the terminal's last answer current for the next build.
  virtual void T_RefreshScreen(const std::string& terminalId, const std::string& data) = 0;

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
  // An input item.  On a fresh build the buffer's contents are sent as the
  // item's initial text; on a replayed build the buffer receives the value
  // the terminal returned for this item (same length as given).
  virtual void T_GetText(std::string& buffer, int size, int attributes) = 0;
  // The chosen item number (1-based), 0 for none, -27 Escape, -1..-8 F1..F8.
  // Values above 128 mean the item was chosen with the terminal's "send" key
  // rather than Enter; callers subtract 128.  Item numbers above 128 are
  // returned plus 128 as well, so the subtraction always gives the item.
  virtual int T_Read() = 0;
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
