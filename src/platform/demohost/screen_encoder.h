// Turns what the application shows into 5250 data streams (record
// payloads, without the record header).  The terminal's answers are read
// by answer_reader.h.
#pragma once

#include <cstdint>
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

}  // namespace tervo::demohost
