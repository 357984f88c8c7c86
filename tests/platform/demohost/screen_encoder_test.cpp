#include "platform/demohost/screen_encoder.h"

#include "platform/demohost/app_parser.h"

#include <gtest/gtest.h>

#include "platform/host5250/datastream.h"
#include "platform/host5250/datastream_parser.h"

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

// Every constant starts a field of its own: its attribute byte in the
// column before the text, so the text keeps its column.  Only a constant
// with a look is closed by a normal attribute.
TEST(EncodeScreen, EachConstantHasItsOwnAttributeByte) {
  host5250::EbcdicCodec codec;
  ShownScreen s;
  s.texts = {{7, 7, "1. A", Look{}},
             {8, 7, "2. B", Look{}},
             {1, 31, "T", Look{true, false, false, false, false}},
             {23, 2, "F3", Look{}}};
  Rule r;
  r.row = 3;
  r.column = 2;
  r.length = 79;
  r.fill = '-';
  s.rules = {r};
  const std::string out = EncodeScreen(s, codec);
  auto has = [&](const std::string& bytes) { return out.find(bytes) != std::string::npos; };
  // SBA row col, attribute, text.
  EXPECT_TRUE(has(Bytes({0x11, 7, 6, 0x20, 0xF1, 0x4B, 0x40, 0xC1, 0x11, 8, 6, 0x20})));
  EXPECT_TRUE(has(Bytes({0x11, 1, 30, 0x22, 0xE3, 0x20})));
  // The function-key line: attribute, then transparent data.
  EXPECT_TRUE(has(Bytes({0x11, 23, 1, 0x20, 0x10, 0x00, 0x02, 0xC6, 0xF3})));
  // The separator line: attribute in column 1, the dashes from column 2.
  EXPECT_TRUE(has(Bytes({0x11, 3, 1, 0x20, 0x02, 3, 80, 0x60})));
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

// The longest help window the application format allows (12 lines of 60)
// keeps every line whole and its frame closed on the right.
TEST(EncodeHelpWindow, LongestLinesStayInsideTheFrame) {
  host5250::EbcdicCodec codec;
  std::vector<std::string> lines;
  for (int i = 0; i < 12; ++i) lines.push_back(std::string(59, static_cast<char>('A' + i)) + "z");
  host5250::Screen screen;
  host5250::DataStreamParser parser(screen);
  std::vector<std::string> answers;
  host5250::ds::RecordHeader h;
  parser.ProcessRecord(host5250::ds::BuildRecord(h, EncodeHelpWindow(lines, codec)), &answers);
  ASSERT_TRUE(answers.empty()) << parser.lastError;
  std::size_t border = std::string::npos;
  for (int i = 0; i < 12; ++i) {
    const std::string row = screen.ReadText(6 + i, 1, 80, codec);
    EXPECT_NE(row.find(lines[i]), std::string::npos) << row;
    const std::size_t right = row.find_last_of(':');
    EXPECT_GT(right, row.find(lines[i]) + lines[i].size() - 1) << row;
    if (i == 0) border = right;
    EXPECT_EQ(right, border) << row;
  }
}

// What a variable brings into the function-key line is cut at column 80,
// as for any constant: a terminal refuses transparent data past the end of
// the screen and would lose the rest of the screen with it.
TEST(EncodeScreen, LongVariablesInTheKeysLineStayOnItsRow) {
  const char* text =
      "start ASK\n"
      "screen ASK\n"
      "  input 5 2 60 who\n"
      "  keys \"F3={who}{who}{who}\"\n"
      "  on enter goto ASK\n"
      "end\n";
  Application app;
  std::string err;
  ASSERT_TRUE(ParseApplication(text, &app, &err)) << err;
  AppSession session(app, "T1");
  session.Start();
  session.Answer("enter", {{"who", std::string(60, 'x')}});
  host5250::EbcdicCodec codec;
  host5250::Screen screen;
  host5250::DataStreamParser parser(screen);
  std::vector<std::string> answers;
  host5250::ds::RecordHeader h;
  parser.ProcessRecord(host5250::ds::BuildRecord(h, EncodeScreen(session.Current(), codec)), &answers);
  EXPECT_TRUE(answers.empty()) << parser.lastError;
  EXPECT_EQ(parser.PendingRead(), host5250::ds::kCmdReadMdtFields);
  EXPECT_EQ(screen.ReadText(23, 2, 79, codec), "F3=" + std::string(76, 'x'));
  EXPECT_EQ(screen.ReadText(24, 1, 80, codec), std::string(80, ' '));
}

}  // namespace
}  // namespace tervo::demohost
