// Reads what a terminal sends back: the answer to a read (cursor, AID and
// field data) and the code of a keyboard error it asks help for.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/demohost/app_session.h"
#include "platform/host5250/ebcdic.h"

namespace tervo::demohost {

// What the terminal sent with an AID key.
struct Answer {
  int cursorRow = 0;
  int cursorColumn = 0;
  std::uint8_t aid = 0;
  // Field data by start position (row * 256 + column), in local text; a
  // signed-numeric field comes as its digit positions, followed by '-'
  // when negative ("12-").
  std::map<int, std::string> fields;
  // Set when the field data fits no layout the terminal can have used, or
  // more than one with different values: then fields is empty, and the
  // answer must not be taken as what the operator typed.
  std::string unreadable;
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
// full length without addresses.  Terminals differ there: some include the
// protected fields, and a signed-numeric field comes with its sign position
// (blank or '-', or a copy of the last digit, zoned X'D' when negative) or
// without it (the last digit zoned X'D' when negative).  Every combination
// the length of the data allows is tried; the bytes of a signed field must
// read as digits and a sign.  Returns false when the payload is too short
// to hold cursor and AID.
bool ReadAnswer(std::string_view payload, const host5250::EbcdicCodec& codec,
                const std::vector<AnswerField>& fields, bool readAll, Answer* out);

// The application's key name for an AID byte ("enter", "f3", "rollup"...);
// empty for AIDs the application cannot handle.
std::string KeyName(std::uint8_t aid);

// The explanation of a keyboard error code, as a terminal sends it when
// the operator presses Help while the error is shown (the code's four
// decimal digits as hexadecimal nibbles: X'0010' is error 0010).
std::string KeyboardErrorText(std::uint16_t code);

}  // namespace tervo::demohost
