#include "platform/demohost/answer_reader.h"

#include <gtest/gtest.h>

namespace tervo::demohost {
namespace {

std::string Bytes(std::initializer_list<int> b) {
  std::string s;
  for (int c : b) s.push_back(static_cast<char>(c));
  return s;
}

std::string Repeat(int byte, int n) { return std::string(static_cast<std::size_t>(n), static_cast<char>(byte)); }

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

// The Stock Transfer screen as the terminal has it: item (6), a signed
// quantity (8), from and to (7 each), and a protected header field.
const std::vector<AnswerField> kTransfer = {{1, 2, 10, false, true},
                                            {7, 31, 6, false, false},
                                            {8, 31, 8, true, false},
                                            {9, 31, 7, false, false},
                                            {10, 31, 7, false, false}};
constexpr int kQty = 8 * 256 + 31;

TEST(ReadAnswer, SignedFieldsOfReadInputFieldsInEveryClientsLayout) {
  host5250::EbcdicCodec codec;
  const std::string item = Bytes({0xF1, 0xF0, 0xF0, 0xF2, 0xF3, 0xF4});  // 100234
  const std::string from = Bytes({0xC1, 0x60, 0xF0, 0xF1, 0x60, 0xF0, 0xF2});
  const std::string to = Bytes({0xC2, 0x60, 0xF0, 0xF4, 0x60, 0xF0, 0xF1});
  const std::string header = codec.ToHost("WHSE01    ");
  struct Case {
    const char* what;
    std::string qty;  // the quantity's bytes as the terminal sends them
    bool withProtected;
    const char* read;
  } cases[] = {
      // Sign position sent as a copy of the last digit, zone D when negative.
      {"copy, negative", Repeat(0x40, 6) + Bytes({0xF5, 0xD5}), false, "5-"},
      {"copy, positive", Repeat(0x40, 6) + Bytes({0xF5, 0xF5}), false, "      5"},
      {"copy of an empty field", Repeat(0x40, 7) + Bytes({0x00}), false, "       "},
      {"copy of an empty field, Field Minus", Repeat(0x40, 7) + Bytes({0xD0}), false, "-"},
      // Sign position blank when positive, left out when negative.
      {"blank sign", Repeat(0x40, 6) + Bytes({0xF5, 0x40}), false, "      5"},
      {"left out, negative", Repeat(0x40, 5) + Bytes({0xF1, 0xD2}), false, "12-"},
      {"left out, positive", Repeat(0x40, 6) + Bytes({0xF5}), false, "      5"},
      {"minus in the sign position", Repeat(0x40, 5) + Bytes({0xF1, 0xF2, 0x60}), false, "12-"},
      {"protected fields too, copy", Repeat(0x40, 6) + Bytes({0xF5, 0xD5}), true, "5-"},
      {"protected fields too, left out", Repeat(0x40, 6) + Bytes({0xD5}), true, "5-"},
  };
  for (const Case& c : cases) {
    Answer a;
    const std::string data = (c.withProtected ? header : "") + item + c.qty + from + to;
    ASSERT_TRUE(ReadAnswer(Bytes({0x0A, 0x26, 0xF1}) + data, codec, kTransfer, true, &a)) << c.what;
    EXPECT_EQ(a.unreadable, "") << c.what;
    EXPECT_EQ(a.fields[kQty], c.read) << c.what;
    EXPECT_EQ(a.fields[7 * 256 + 31], "100234") << c.what;
    EXPECT_EQ(a.fields[9 * 256 + 31], "A-01-02") << c.what;
    EXPECT_EQ(a.fields[10 * 256 + 31], "B-04-01") << c.what;
  }
}

TEST(ReadAnswer, FieldDataThatFitsNoLayoutIsUnreadable) {
  host5250::EbcdicCodec codec;
  struct Case {
    const char* what;
    std::string qty;
  } cases[] = {
      {"one byte too many", Repeat(0x40, 7) + Bytes({0xF5, 0xF5})},
      {"letters in the quantity", Repeat(0x40, 6) + Bytes({0xC1, 0xC1})},
      {"a sign position that copies another digit", Repeat(0x40, 6) + Bytes({0xF5, 0xD4})},
  };
  for (const Case& c : cases) {
    Answer a;
    ASSERT_TRUE(ReadAnswer(Bytes({0x0A, 0x26, 0xF1}) + Repeat(0xF1, 6) + c.qty + Repeat(0xC1, 14), codec,
                           kTransfer, true, &a))
        << c.what;
    EXPECT_NE(a.unreadable, "") << c.what;
    EXPECT_TRUE(a.fields.empty()) << c.what;
  }
  // Two signed fields of 3: "111" then "12" or "11" then " 12" with the
  // sign position blank: the bytes alone cannot say which.
  const std::vector<AnswerField> two = {{5, 10, 3, true, false}, {6, 10, 3, true, false}};
  Answer a;
  ASSERT_TRUE(ReadAnswer(Bytes({0x05, 0x0A, 0xF1, 0xF1, 0xF1, 0xF1, 0xF2, 0x40}), codec, two, true, &a));
  EXPECT_NE(a.unreadable.find("several layouts"), std::string::npos) << a.unreadable;
  // When every layout that fits reads the same, there is no doubt.
  ASSERT_TRUE(ReadAnswer(Bytes({0x05, 0x0A, 0xF1, 0xF1, 0xF2, 0x40, 0x40, 0x40}), codec, two, true, &a));
  EXPECT_EQ(a.unreadable, "");
  EXPECT_EQ(a.fields[5 * 256 + 10], "12");
}

TEST(ReadAnswer, SignedFieldsOfReadMdtFieldsWithOrWithoutTheSignPosition) {
  host5250::EbcdicCodec codec;
  const std::vector<AnswerField> fields = {{8, 31, 4, true, false}};
  struct Case {
    std::string data;
    const char* read;
  } cases[] = {
      {Bytes({0xF1, 0xD2}), "12-"},                // trailing nulls dropped, zone D
      {Bytes({0x40, 0xF1, 0xF2}), " 12"},          // without the sign position
      {Bytes({0x40, 0xF1, 0xF2, 0x60}), "12-"},    // with a minus
      {Bytes({0x40, 0xF1, 0xF2, 0x40}), " 12"},    // with a blank sign
      {Bytes({0x40, 0xF1, 0xF2, 0xD2}), "12-"},    // with a copy of the last digit
      {Bytes({0xC1, 0xC2}), "AB"},                 // no number: kept for the checks
  };
  for (const Case& c : cases) {
    Answer a;
    ASSERT_TRUE(ReadAnswer(Bytes({0x08, 0x1F, 0xF1, 0x11, 0x08, 0x1F}) + c.data, codec, fields, false, &a));
    EXPECT_EQ(a.fields[8 * 256 + 31], c.read);
    EXPECT_EQ(a.unreadable, "");
  }
}

TEST(KeyboardErrorText, CommonCodesAndTheRest) {
  struct Case {
    std::uint16_t code;
    const char* text;
  } cases[] = {
      {0x0008, "Field requires alphabetic characters."},
      {0x0009, "Field requires numeric characters."},
      {0x0010, "Field requires numeric characters: only 0 through 9 are allowed."},
      {0x0014, "Mandatory fill field: fill it to the end before leaving it."},
      {0x0007, "Mandatory entry field: type data into it."},
      {0x0099, "Keyboard error 0099: press Reset and correct the entry."},
  };
  for (const Case& c : cases) EXPECT_EQ(KeyboardErrorText(c.code), c.text);
  // Every text fits the error line.
  for (int code = 0; code < 0x100; ++code)
    EXPECT_LE(KeyboardErrorText(static_cast<std::uint16_t>(code)).size(), 78u) << code;
}

}  // namespace
}  // namespace tervo::demohost
