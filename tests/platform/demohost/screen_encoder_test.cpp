#include "platform/demohost/screen_encoder.h"

#include <gtest/gtest.h>

#include "platform/host5250/datastream.h"

namespace tervo::demohost {
namespace {

std::string Bytes(std::initializer_list<int> b) {
  std::string s;
  for (int c : b) s.push_back(static_cast<char>(c));
  return s;
}

TEST(FieldFormatWord, BitsFromTheFieldDefinition) {
  auto ffw = [](bool input, ShiftType shift, Adjust adjust, bool upper, bool autoEnter,
                bool mandatory) {
    Field f;
    f.input = input;
    f.shift = shift;
    f.adjust = adjust;
    f.upperCase = upper;
    f.autoEnter = autoEnter;
    f.mandatoryEnter = mandatory;
    return FieldFormatWord(f);
  };
  EXPECT_EQ(ffw(true, ShiftType::kAlpha, Adjust::kNone, true, false, false), 0x0020);
  EXPECT_EQ(ffw(true, ShiftType::kDigits, Adjust::kNone, false, false, false), 0x0500);
  EXPECT_EQ(ffw(true, ShiftType::kNumOnly, Adjust::kZeroFill, false, false, false), 0x0305);
  EXPECT_EQ(ffw(true, ShiftType::kAlpha, Adjust::kMandatoryFill, true, true, false), 0x00A7);
  EXPECT_EQ(ffw(true, ShiftType::kAlpha, Adjust::kNone, false, false, true), 0x0008);
  EXPECT_EQ(ffw(false, ShiftType::kSigned, Adjust::kNone, false, false, false), 0x2700);
  EXPECT_EQ(ffw(false, ShiftType::kNumOnly, Adjust::kBlankFill, false, false, false), 0x2306);
}

TEST(AttributeFor, LooksAndTheNonDisplayClash) {
  EXPECT_EQ(AttributeFor(Look{}), 0x20);
  EXPECT_EQ(AttributeFor(Look{true, false, false, false, false}), 0x22);
  EXPECT_EQ(AttributeFor(Look{false, false, true, false, false}), 0x24);
  EXPECT_EQ(AttributeFor(Look{false, false, false, false, true}), 0x27);
  // Bright + reverse + underline would read as non-display: underline goes.
  EXPECT_EQ(AttributeFor(Look{true, true, true, false, false}), 0x23);
}

TEST(EncodeError, MessageAtTheFieldWithTheKeyboardLocked) {
  host5250::EbcdicCodec codec;
  Reply r{Outcome::kError, "No", 7, 31, 0};
  // WTD with the alarm, Write Error Code with Insert Cursor and the text,
  // then Read MDT Fields.
  ShownScreen s;
  EXPECT_EQ(EncodeError(r, s, codec), Bytes({0x04, 0x11, 0x00, 0x04, 0x04, 0x21, 0x13, 0x07, 0x1F,
                                             0xD5, 0x96, 0x04, 0x52, 0x00, 0x00}));
  // A screen that reads every field asks with Read Input Fields again.
  s.readAll = true;
  EXPECT_EQ(EncodeError(r, s, codec).substr(11), Bytes({0x04, 0x42, 0x00, 0x00}));
}

}  // namespace
}  // namespace tervo::demohost
