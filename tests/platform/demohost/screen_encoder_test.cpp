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

TEST(ReadAnswer, CursorAidAndFieldsWithTheSignOfSignedFields) {
  host5250::EbcdicCodec codec;
  // Cursor 8,31, Enter; field 7,31 "AB" (C1 C2); signed field 8,31 "12-"
  // as F1 D2; signed field 9,31 "7" positive F7.
  const std::string payload = Bytes({0x08, 0x1F, 0xF1, 0x11, 0x07, 0x1F, 0xC1, 0xC2, 0x11, 0x08,
                                     0x1F, 0xF1, 0xD2, 0x11, 0x09, 0x1F, 0xF7});
  const std::vector<AnswerField> fields = {
      {7, 31, 2, false, false}, {8, 31, 3, true, false}, {9, 31, 2, true, false}};
  Answer a;
  ASSERT_TRUE(ReadAnswer(payload, codec, fields, false, &a));
  EXPECT_EQ(a.cursorRow, 8);
  EXPECT_EQ(a.cursorColumn, 31);
  EXPECT_EQ(a.aid, 0xF1);
  ASSERT_EQ(a.fields.size(), 3u);
  EXPECT_EQ(a.fields[7 * 256 + 31], "AB");
  EXPECT_EQ(a.fields[8 * 256 + 31], "12-");
  EXPECT_EQ(a.fields[9 * 256 + 31], "7");
  // The same zone in an ordinary field is the letter K.
  ASSERT_TRUE(ReadAnswer(payload, codec, {}, false, &a));
  EXPECT_EQ(a.fields[8 * 256 + 31], "1K");
  // Too short for cursor and AID.
  EXPECT_FALSE(ReadAnswer(Bytes({0x01, 0x01}), codec, {}, false, &a));
}

TEST(ReadAnswer, ReadInputFieldsComeWithoutAddresses) {
  host5250::EbcdicCodec codec;
  // An input field of 2, a protected one of 3, a signed one of 3 (two
  // positions sent).
  const std::vector<AnswerField> fields = {
      {5, 10, 2, false, false}, {6, 10, 3, false, true}, {7, 10, 3, true, false}};
  struct Case {
    std::string data;
    std::string first, signedValue;
    std::size_t count;
  } cases[] = {
      // Protected field included (2 + 3 + 2 bytes).
      {Bytes({0xC1, 0x40, 0xC2, 0xC3, 0xC4, 0xF1, 0xD5}), "A ", "15-", 3},
      // Only the input fields (2 + 2 bytes).
      {Bytes({0xC1, 0xC2, 0x40, 0xF7}), "AB", " 7", 2},
  };
  for (const Case& c : cases) {
    Answer a;
    ASSERT_TRUE(ReadAnswer(Bytes({0x05, 0x0A, 0xF1}) + c.data, codec, fields, true, &a));
    EXPECT_EQ(a.fields.size(), c.count);
    EXPECT_EQ(a.fields[5 * 256 + 10], c.first);
    EXPECT_EQ(a.fields[7 * 256 + 10], c.signedValue);
  }
  // Nothing modified: cursor and AID only.
  Answer a;
  ASSERT_TRUE(ReadAnswer(Bytes({0x05, 0x0A, 0xF3}), codec, fields, true, &a));
  EXPECT_TRUE(a.fields.empty());
  // A terminal that answers with addresses anyway is still understood.
  ASSERT_TRUE(ReadAnswer(Bytes({0x05, 0x0A, 0xF1, 0x11, 0x05, 0x0A, 0xC1}), codec, fields, true, &a));
  EXPECT_EQ(a.fields[5 * 256 + 10], "A");
}

TEST(KeyName, AidBytes) {
  struct Case {
    std::uint8_t aid;
    const char* key;
  } cases[] = {{0xF1, "enter"}, {0xF5, "rollup"}, {0xF4, "rolldown"}, {0x31, "f1"},
               {0x3C, "f12"},   {0xB1, "f13"},    {0xBC, "f24"},      {0xF3, "help"},
               {0xBD, "clear"}, {0xF6, "print"},  {0xF8, ""},         {0x00, ""}};
  for (const Case& c : cases) EXPECT_EQ(KeyName(c.aid), c.key) << int(c.aid);
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
