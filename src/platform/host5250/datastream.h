// The 5250 data stream as TN5250 carries it (RFC 1205/2877): one telnet
// record (ending in IAC EOR) holds one GDS logical record, a 10-byte header
// followed by 5250 commands.  Constants and record framing shared by the
// client and the demo host.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tervo::host5250::ds {

// --- GDS logical record header ---------------------------------------------
//  0-1 length of the whole record (header included), big-endian
//  2-3 record type X'12A0'
//  4-5 reserved
//  6   variable header length (4)
//  7-8 flags
//  9   opcode
inline constexpr std::size_t kHeaderSize = 10;
inline constexpr std::uint16_t kRecordType = 0x12A0;

// Flag bits of header byte 7.
inline constexpr std::uint8_t kFlagError = 0x80;  // negative response follows
inline constexpr std::uint8_t kFlagAttention = 0x40;
inline constexpr std::uint8_t kFlagSysRequest = 0x04;
inline constexpr std::uint8_t kFlagTestRequest = 0x02;
inline constexpr std::uint8_t kFlagHelp = 0x01;

enum Opcode : std::uint8_t {
  kOpNoOperation = 0x00,
  kOpInvite = 0x01,
  kOpOutputOnly = 0x02,
  kOpPutGet = 0x03,
  kOpSaveScreen = 0x04,
  kOpRestoreScreen = 0x05,
  kOpReadImmediate = 0x06,
  kOpReadScreen = 0x08,
  kOpCancelInvite = 0x0A,
  kOpMessageLightOn = 0x0B,
  kOpMessageLightOff = 0x0C,
};

struct RecordHeader {
  std::uint8_t flags = 0;
  std::uint8_t flags2 = 0;
  std::uint8_t opcode = kOpNoOperation;
};

// A whole record: header followed by payload.
std::string BuildRecord(const RecordHeader& header, std::string_view payload);
// Splits a record into header and payload (a view into record).  A record
// shorter than its header, of another type, or whose length field disagrees
// with its size sets *err.  The variable header length is honoured, so a
// peer with a longer variable header still parses.
bool ParseRecord(std::string_view record, RecordHeader* header, std::string_view* payload,
                 std::string* err);

// --- Commands (each preceded by ESC) ----------------------------------------
inline constexpr std::uint8_t kEsc = 0x04;

enum Command : std::uint8_t {
  kCmdClearUnit = 0x40,
  kCmdClearUnitAlternate = 0x20,
  kCmdClearFormatTable = 0x50,
  kCmdWriteToDisplay = 0x11,
  kCmdWriteErrorCode = 0x21,
  kCmdWriteErrorCodeWindow = 0x22,
  kCmdReadInputFields = 0x42,
  kCmdReadMdtFields = 0x52,
  kCmdReadMdtFieldsAlternate = 0x82,
  kCmdReadScreen = 0x62,
  kCmdReadImmediate = 0x72,
  kCmdReadImmediateAlternate = 0x83,
  kCmdSaveScreen = 0x02,
  kCmdRestoreScreen = 0x12,
  kCmdRoll = 0x23,
  kCmdWriteStructuredField = 0xF3,
};

// --- Orders inside Write To Display -----------------------------------------
enum Order : std::uint8_t {
  kOrderStartOfHeader = 0x01,
  kOrderRepeatToAddress = 0x02,
  kOrderEraseToAddress = 0x03,
  kOrderTransparentData = 0x10,
  kOrderSetBufferAddress = 0x11,
  kOrderWriteExtendedAttribute = 0x12,
  kOrderInsertCursor = 0x13,
  kOrderMoveCursor = 0x14,
  kOrderWriteDisplayStructuredField = 0x15,
  kOrderStartOfField = 0x1D,
};

// Bytes X'20'-X'3F' written to the screen are display attributes.
inline bool IsAttribute(std::uint8_t c) { return (c & 0xE0) == 0x20; }
inline bool IsNonDisplay(std::uint8_t attr) { return (attr & 0x07) == 0x07; }
inline bool IsUnderline(std::uint8_t attr) { return (attr & 0x04) != 0 && !IsNonDisplay(attr); }
inline constexpr std::uint8_t kAttrNormal = 0x20;

// --- Field format word ------------------------------------------------------
inline constexpr std::uint16_t kFfwBypass = 0x2000;
inline constexpr std::uint16_t kFfwDup = 0x1000;
inline constexpr std::uint16_t kFfwMdt = 0x0800;
inline constexpr std::uint16_t kFfwShiftMask = 0x0700;
inline constexpr std::uint16_t kFfwAutoEnter = 0x0080;
inline constexpr std::uint16_t kFfwFieldExitRequired = 0x0040;
inline constexpr std::uint16_t kFfwMonocase = 0x0020;
inline constexpr std::uint16_t kFfwMandatoryEnter = 0x0008;
inline constexpr std::uint16_t kFfwAdjustMask = 0x0007;

enum Shift : std::uint8_t {
  kShiftAlphanumeric = 0,
  kShiftAlphabeticOnly = 1,
  kShiftNumericShift = 2,
  kShiftNumericOnly = 3,
  kShiftKatakana = 4,
  kShiftDigitsOnly = 5,
  kShiftIo = 6,
  kShiftSignedNumeric = 7,
};

enum Adjust : std::uint8_t {
  kAdjustNone = 0,
  kAdjustRightZero = 5,
  kAdjustRightBlank = 6,
  kAdjustMandatoryFill = 7,
};

// --- Write To Display control characters ------------------------------------
inline constexpr std::uint8_t kCc1ActionMask = 0xE0;
inline constexpr std::uint8_t kCc2CursorNoMove = 0x40;
inline constexpr std::uint8_t kCc2ResetBlink = 0x20;
inline constexpr std::uint8_t kCc2SetBlink = 0x10;
inline constexpr std::uint8_t kCc2Unlock = 0x08;
inline constexpr std::uint8_t kCc2Alarm = 0x04;
inline constexpr std::uint8_t kCc2MessageOff = 0x02;
inline constexpr std::uint8_t kCc2MessageOn = 0x01;

// --- Attention identifiers --------------------------------------------------
enum Aid : std::uint8_t {
  kAidNone = 0x00,
  kAidF1 = 0x31,   // F1-F12: 0x31-0x3C
  kAidF13 = 0xB1,  // F13-F24: 0xB1-0xBC
  kAidClear = 0xBD,
  kAidEnter = 0xF1,
  kAidHelp = 0xF3,
  kAidRollDown = 0xF4,
  kAidRollUp = 0xF5,
  kAidPrint = 0xF6,
  kAidRecordBackspace = 0xF8,
  kAidStructuredField = 0x88,  // inbound Write Structured Field (Query reply)
};
// F1..F24 -> AID; n outside 1..24 gives kAidNone.
std::uint8_t FunctionKeyAid(int n);

// --- Structured fields ------------------------------------------------------
inline constexpr std::uint8_t kSfClass5250 = 0xD9;
inline constexpr std::uint8_t kSfQuery = 0x70;
inline constexpr std::uint8_t kSfQueryStationState = 0x72;
// In the inbound Query reply payload (cursor and AID included): the device
// type (4 EBCDIC digits) and model (3) the display reports.
inline constexpr std::size_t kQueryReplyDevice = 30;
inline constexpr std::size_t kQueryReplyDeviceSize = 7;

// --- Negative response codes (4 bytes after a header flagged kFlagError) ----
inline constexpr std::uint32_t kNrInvalidCommand = 0x10030101;
inline constexpr std::uint32_t kNrInvalidClearUnitAlternate = 0x10030105;
inline constexpr std::uint32_t kNrInvalidSfClassType = 0x10050111;
inline constexpr std::uint32_t kNrInvalidRowColumn = 0x10050122;
inline constexpr std::uint32_t kNrInvalidSohLength = 0x1005012B;
inline constexpr std::uint32_t kNrInvalidExtendedAttribute = 0x1005012C;
inline constexpr std::uint32_t kNrRecordTooShort = 0x10050120;

std::string NegativeResponse(std::uint32_t code);

}  // namespace tervo::host5250::ds
