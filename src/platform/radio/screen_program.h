// A terminal screen as it travels: the content operations in call order, and
// a terminal's answer to it.  Both sides of the link share these types: the
// gateway builds programs and reads answers, a handheld (or the simulator)
// interprets programs and builds answers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tervo::radio {

// Operation codes on the wire; the numbers are part of the protocol.
enum class OpCode : std::uint8_t {
  kCls = 1,
  kNewLine = 2,
  kWaitChar = 3,
  kHardReset = 4,
  kGetCheckEnter = 5,
  kPrintString = 6,
  kPrintInverse = 7,
  kPrintLarge = 8,
  kSay = 9,
  kScroll = 10,
  kNoSay = 11,
  kGetText = 12,
  kRead = 13,
  kDelay = 14,
  kBeep = 15,
  kCapsLock = 16,
  kSetLargeFunctionKeys = 17,
  kChangeScreenAttributes = 18,
};

// One operation.  Which members are used depends on the code:
//   text        PrintString, PrintInverse, PrintLarge, Say, Scroll (first),
//               GetText (initial text), SetLargeFunctionKeys (legend)
//   text2       Scroll (second text)
//   a           NoSay (size), GetText (size), Delay, Beep (frequency),
//               CapsLock, SetLargeFunctionKeys (count),
//               ChangeScreenAttributes (format)
//   b           GetText (attributes), Beep (duration),
//               ChangeScreenAttributes (item, 0-based)
//   c           ChangeScreenAttributes (attributes)
struct ScreenOp {
  OpCode code = OpCode::kCls;
  std::string text;
  std::string text2;
  std::int32_t a = 0;
  std::int32_t b = 0;
  std::int32_t c = 0;

  bool operator==(const ScreenOp&) const = default;
};

inline ScreenOp MakeOp(OpCode code, std::string text = {}, std::string text2 = {},
                       std::int32_t a = 0, std::int32_t b = 0, std::int32_t c = 0) {
  ScreenOp op;
  op.code = code;
  op.text = std::move(text);
  op.text2 = std::move(text2);
  op.a = a;
  op.b = b;
  op.c = c;
  return op;
}

// The format of the gateway's host screens (T_InitScreen, and the cursor's
// ChangeScreenAttributes); terminals take no action on it.
constexpr std::int32_t kHostScreenFormat = 2081;
// The code of a screen sent to be answered (T_SendScreenToPc).
constexpr std::int32_t kAnswerExpected = 2088;

// Flags of an input item (GetText): its attributes are 0 or the negated sum
// of these.
constexpr std::int32_t kInputProtected = 1;     // shown, not editable
constexpr std::int32_t kInputAutoExit = 2;      // the cursor moves on when it is full
constexpr std::int32_t kInputHidden = 4;        // typed characters are not shown
constexpr std::int32_t kInputSendsAnswer = 16;  // Enter in it sends the answer
constexpr std::int32_t kInputBarcode = 64;      // a scan fills it

// Item numbers count T_Say, T_GetCheckEnter and T_GetText operations from 1
// in program order; this is the number an answer's chosen item refers to.
bool CountsAsItem(OpCode code);

struct ScreenProgram {
  std::uint32_t sequence = 0;  // per terminal; the answer must echo it
  std::string name;            // the name the answer will carry
  std::int32_t format = 0;
  // 0 when sent with T_SendScreen alone; the code given to T_SendScreenToPc
  // when the gateway expects an answer.
  std::int32_t answerCode = 0;
  std::vector<ScreenOp> ops;

  bool operator==(const ScreenProgram&) const = default;
};

// Key codes an answer's chosen value may hold besides an item number.
constexpr std::int32_t kChosenNone = 0;
constexpr std::int32_t kChosenEscape = -27;
// F1..F8 are -1..-8.
constexpr std::int32_t kChosenF1 = -1;
constexpr std::int32_t kChosenF8 = -8;

struct Answer {
  std::uint32_t sequence = 0;  // of the screen answered
  std::string screenName;
  // Item number (1-based), 0 none, -27 Escape, -1..-8 F1..F8.
  std::int32_t chosen = 0;
  // The item was sent with the terminal's Send key rather than chosen with
  // Enter (only meaningful with an item number).
  bool sendKey = false;
  std::int32_t battery = -1;        // millivolts, -1 unknown
  std::vector<std::string> values;  // one per T_GetText item, in item order

  bool operator==(const Answer&) const = default;
};

}  // namespace tervo::radio
