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
// Read MDT Fields.
std::string EncodeScreen(const ShownScreen& s, const host5250::EbcdicCodec& codec);
// A list page change: Roll of the list rows, the new rows written over them,
// the cursor moved back, Read MDT Fields.
std::string EncodePage(const ShownScreen& s, int rollLines, const host5250::EbcdicCodec& codec);
// The cursor to the field in error (if any), the message on the error line
// with the alarm, keyboard locked until Reset, Read MDT Fields.
std::string EncodeError(const Reply& r, const host5250::EbcdicCodec& codec);
// The help window drawn over the (saved) screen.
std::string EncodeHelpWindow(const std::vector<std::string>& lines,
                             const host5250::EbcdicCodec& codec);
// The saved screen put back, keyboard unlocked, Read MDT Fields.
std::string EncodeRestore(std::string_view saved, const host5250::EbcdicCodec& codec);

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

// Reads an inbound payload (after the record header).  signedAt says which
// field start positions hold signed-numeric fields.  Returns false when the
// payload is too short to hold cursor and AID.
bool ReadAnswer(std::string_view payload, const host5250::EbcdicCodec& codec,
                const std::vector<int>& signedAt, Answer* out);

// The application's key name for an AID byte ("enter", "f3", "rollup"...);
// empty for AIDs the application cannot handle.
std::string KeyName(std::uint8_t aid);

}  // namespace tervo::demohost
