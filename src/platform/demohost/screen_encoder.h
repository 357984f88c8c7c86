// Turns what the application shows into 5250 data streams (record
// payloads, without the record header), and reads the terminal's answers.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/demohost/app_session.h"
#include "platform/host5250/ebcdic.h"

namespace tervo::demohost {

// The line Write Error Code writes on (24 x 80 screens).
inline constexpr std::uint8_t kErrorRow = 24;

std::uint8_t AttributeFor(const Look& look);
std::uint16_t FieldFormatWord(const Field& f);

// A whole new screen: Clear Unit, Write To Display (keyboard unlocked),
// Read MDT Fields (Read Input Fields for a screen that reads all).
std::string EncodeScreen(const ShownScreen& s, const host5250::EbcdicCodec& codec);
// A list page change: Roll of the list rows, the new rows written over them,
// the cursor moved back, Read MDT Fields.
std::string EncodePage(const ShownScreen& s, int rollLines, const host5250::EbcdicCodec& codec);
// The cursor to the field in error (if any), the message on the error line
// with the alarm, keyboard locked until Reset, and the screen's read again.
std::string EncodeError(const Reply& r, const ShownScreen& s, const host5250::EbcdicCodec& codec);
// The help window drawn over the (saved) screen.
std::string EncodeHelpWindow(const std::vector<std::string>& lines,
                             const host5250::EbcdicCodec& codec);
// The saved screen put back, keyboard unlocked, the screen's read again.
std::string EncodeRestore(std::string_view saved, const ShownScreen& s,
                          const host5250::EbcdicCodec& codec);

// What the terminal sent with an AID key.
struct Answer {
  int cursorRow = 0;
  int cursorColumn = 0;
  std::uint8_t aid = 0;
  // Field data by start position (row * 256 + column), in local text; a
  // signed-numeric field's negative sign (zone X'D' on the last digit)
  // comes back as a trailing '-'.
  std::map<int, std::string> fields;
};

// A field of the shown screen as the answer reader needs it.
struct AnswerField {
  int row = 0;
  int column = 0;
  int length = 0;
  bool isSigned = false;
  bool bypass = false;
};

// The fields of a shown screen in format-table (screen) order.
std::vector<AnswerField> AnswerFields(const ShownScreen& s);

// Reads an inbound payload (after the record header).  After Read MDT
// Fields each modified field comes as Set Buffer Address and its data.
// After Read Input Fields (readAll) the fields come one after another at
// full length without addresses, a signed field without its sign position;
// whether protected fields are included differs between terminals, so the
// length of the data decides.  Returns false when the payload is too short
// to hold cursor and AID.
bool ReadAnswer(std::string_view payload, const host5250::EbcdicCodec& codec,
                const std::vector<AnswerField>& fields, bool readAll, Answer* out);

// The application's key name for an AID byte ("enter", "f3", "rollup"...);
// empty for AIDs the application cannot handle.
std::string KeyName(std::uint8_t aid);

}  // namespace tervo::demohost
