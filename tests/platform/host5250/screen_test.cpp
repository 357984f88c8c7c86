// Data stream commands and orders, the field list, typing and AID answers.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/host5250/datastream.h"
#include "platform/host5250/field_list.h"
#include "platform/host5250/monocase.h"
#include "platform/host5250/trace.h"

namespace tervo::host5250::testing {
namespace {

// Clear Unit, WTD (CC1 CC2 = 00 08: unlock) with orders, then Read MDT.
std::string Screen(const std::string& ordersHex, const std::string& readHex = "04520000") {
  return HostRecord(Unhex("0440" "04110008" + ordersHex + readHex));
}

struct Host {
  Tn5250Session s;
  Host() { s.SetDeviceName("T"); }
  void Send(const std::string& bytes) { s.Receive(bytes.data(), bytes.size()); }
  // The payloads of the records the client sent since the last call.
  std::vector<std::string> Answers() {
    std::vector<std::string> out;
    std::string all = s.TakeOutput();
    std::size_t pos = 0;
    while (true) {
      std::size_t eor = all.find("\xFF\xEF", pos);
      if (eor == std::string::npos) break;
      std::string rec = all.substr(pos, eor - pos);
      out.push_back(Hex(rec.substr(std::min<std::size_t>(rec.size(), 7))));  // from byte 7: flags, opcode, data
      pos = eor + 2;
    }
    return out;
  }
};

std::string Rtrim(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

// "TEXT" in EBCDIC, hex.
std::string E(const std::string& text) {
  EbcdicCodec c;
  return Hex(c.ToHost(text));
}

TEST(FieldCodes, TypeAndJustifyFromTheFieldFormatWord) {
  struct Case {
    std::uint16_t ffw;
    int type, justify;
  } cases[] = {
      {0x4000, 0, 0},  // alphanumeric
      {0x4100, 1, 0},  // alphabetic only
      {0x4200, 2, 0},  // numeric shift
      {0x4300, 3, 0},  // numeric only
      {0x4500, 5, 0},  // digits only
      {0x4600, 6, 0},  // I/O
      {0x4700, 8, 0},  // signed numeric keeps its sign position
      {0x4305, 3, 1},  // right adjust, zero fill
      {0x4006, 0, 2},  // right adjust, blank fill
      {0x4007, 0, 3},  // mandatory fill
      {0x4725, 8, 1},  // monocase bit does not disturb the codes
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FieldType(c.ffw), c.type) << std::hex << c.ffw;
    EXPECT_EQ(FieldJustify(c.ffw), c.justify) << std::hex << c.ffw;
  }
}

// What the write-back makes of a value for each code pair, and what the host
// then receives: the codes must make the write-back produce valid input.
TEST(FieldCodes, WriteBackFormsReachTheHostIntact) {
  struct Case {
    const char* ffw;     // hex FFW of a length-6 field
    const char* stored;  // the text the write-back stores for the codes
    const char* sent;    // field data the host receives (EBCDIC hex)
  } cases[] = {
      // Type 8 (signed numeric), any justify: L-1 zero-filled digits; the
      // sign position stays blank and is not sent.
      {"4700", "00012", "F0F0F0F1F2"},
      // Type 3, justify 1 (zero fill): right-adjusted with zeros.
      {"4305", "000042", "F0F0F0F0F4F2"},
      // Type 5, justify 2 (blank fill): right-adjusted with blanks.
      {"4506", "    42", "40404040F4F2"},  // leading blanks sent, as the field asks
      // Type 0, justify 3 (mandatory fill): cut or padded to the full length.
      {"4007", "ABCDEF", "C1C2C3C4C5C6"},
  };
  for (const Case& c : cases) {
    Host h;
    h.Send(Screen(std::string("110101" "1D") + c.ffw + "20" "0006"));
    h.Answers();
    ScreenFields f(h.s.GetScreen(), h.s.Codec());
    ASSERT_TRUE(f.SetText(0, c.stored)) << c.ffw;
    std::string err;
    ASSERT_TRUE(h.s.SendKeys("@E", &err));
    auto answers = h.Answers();
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0], std::string("0000030102F1110102") + c.sent) << c.ffw;
  }
}

TEST(FieldList, InputAndProtectedFieldsInScreenOrder) {
  Host h;
  // Row 1: label "NAME" after attribute at col 1; input field at (1,10)
  // length 5 (attribute at col 9) with FFW 4305; ending attribute at (1,15);
  // row 2: non-display text.
  h.Send(Screen("110101" "20" + E("NAME") + "110109" "1D4305" "24" "0005" "11010F" "20" + E("AFTER") +
                "110201" "27" + E("SECRET") + "20"));
  ScreenFields f(h.s.GetScreen(), h.s.Codec());
  std::vector<std::string> got;
  for (int i = 0; i < f.Count(); ++i) {
    DisplayField d = f.Item(i);
    got.push_back(std::to_string(d.StartRow) + "," + std::to_string(d.StartColumn) + "-" +
                  std::to_string(d.EndRow) + "," + std::to_string(d.EndColumn) + " " +
                  (d.Protected ? "P" : "I") + (d.Hidden ? "H" : "") + (d.Attributes.Underlined ? "U" : "") +
                  " t" + std::to_string(d.Type) + " j" + std::to_string(d.Justify) + " [" +
                  Rtrim(d.Text) + "]");
  }
  const std::vector<std::string> want = {
      "1,2-1,8 P t0 j0 [NAME]",
      "1,10-1,14 IU t3 j1 []",
      "1,16-2,0 P t0 j0 [AFTER]",
  };
  ASSERT_GE(got.size(), 4u);
  EXPECT_EQ(got[0], want[0]);
  EXPECT_EQ(got[1], want[1]);
  EXPECT_EQ(got[2].substr(0, 8), "1,16-1,8");
  EXPECT_EQ(got[2].substr(got[2].size() - 7), "[AFTER]");
  EXPECT_EQ(got[3].substr(0, 11), "2,2-2,7 PH ");  // non-display text reads blank
  EXPECT_EQ(f.Item(3).Text, std::string(6, ' '));
  EXPECT_EQ(h.s.ReadText(2, 1, 10), std::string(10, ' '));
  EXPECT_EQ(f.Item(99).Length, 0);  // out of range: empty field
}

TEST(FieldList, TextWriteSetsModifiedAndOnlyModifiedFieldsAreSent) {
  Host h;
  h.Send(Screen("110101" "1D4000" "20" "0004" "110110" "1D4020" "20" "0004" "110120" "1D4700" "20" "0004"
                "110130" "20" + E("LABEL")));
  h.Answers();
  ScreenFields f(h.s.GetScreen(), h.s.Codec());
  std::vector<int> inputs;
  for (int i = 0; i < f.Count(); ++i) {
    if (!f.Item(i).Protected) inputs.push_back(i);
  }
  ASSERT_EQ(inputs.size(), 3u);
  EXPECT_TRUE(f.SetText(inputs[1], "ab"));  // monocase field takes upper case
  EXPECT_EQ(Rtrim(f.Item(inputs[1]).Text), "AB");
  EXPECT_TRUE(f.SetText(inputs[2], "012-"));  // signed numeric: '-' in the sign position
  EXPECT_FALSE(f.SetText(f.Count() - 1, "X"));  // the protected label refuses
  EXPECT_FALSE(f.SetText(-1, "X"));
  std::string err;
  ASSERT_TRUE(h.s.SendKeys("@E", &err)) << err;
  // Cursor (1,2) (home: first input field), Enter, then only the two written
  // fields; the signed field drops its sign and zones the last digit D.
  EXPECT_EQ(h.Answers(), std::vector<std::string>{"000003" "0102F1" "110111" + E("AB") + "110121" "F0F1D2"});
}

TEST(Keys, MonocaseUpperCaseOfWindows1252) {
  struct Case {
    unsigned char in, out;
  } cases[] = {
      {'a', 'A'}, {'z', 'Z'}, {'A', 'A'}, {'1', '1'}, {'{', '{'},
      {0xE9, 0xC9},  // e-acute
      {0xFE, 0xDE},  // thorn
      {0xF7, 0xF7},  // division sign: no letter
      {0xFF, 0xFF},  // y-diaeresis: its capital is not at 0xDF
      {0xDF, 0xDF},  // sharp s has no capital
      {0x9A, 0x9A},  // s-caron stays (outside the rule)
  };
  for (const Case& c : cases) {
    EXPECT_EQ(static_cast<unsigned char>(UpperCase1252(static_cast<char>(c.in))), c.out) << int{c.in};
  }
}

TEST(Keys, MnemonicsTypeTabAndEraseAndSendAids) {
  struct Case {
    const char* keys;
    const char* answer;  // cursor, AID and fields after the keys
  } cases[] = {
      {"@E", "0102F1"},
      {"@u", "0102F5"},
      {"@v", "0102F4"},
      {"@1", "010231"},
      {"@9", "010239"},
      {"@a", "01023A"},
      {"@c", "01023C"},
      {"@d", "0102B1"},
      {"@o", "0102BC"},
      {"@C", "0102BD"},
      {"@H", "0102F3"},
      {"AB@E", "0104F1110102C1C2"},
      {"A@TB@E", "0112F1110102C1110111C2"},
      {"A@T@BB@E", "0103F1110102C2"},  // Backtab from a field start: previous field
      {"ABC@B@F@E", "0102F1110102"},           // Erase EOF from the start empties the field
      {"@@@E", "0103F11101027C"},              // "@@" types an "@"
      {"@X@E", "0102F1"},                      // unknown mnemonic skipped
  };
  for (const Case& c : cases) {
    Host h;
    h.Send(Screen("110101" "1D4000" "20" "0004" "110110" "1D4000" "20" "0004"));
    h.Answers();
    std::string err;
    EXPECT_TRUE(h.s.SendKeys(c.keys, &err)) << c.keys << ": " << err;
    auto answers = h.Answers();
    ASSERT_EQ(answers.size(), 1u) << c.keys;
    EXPECT_EQ(answers[0], std::string("000003") + c.answer) << c.keys;
  }
}

TEST(Keys, FieldRulesRefuseAndReport) {
  Host h;
  // Digits-only field of 3 at (1,2), auto-enter alphanumeric field of 2 at (1,10).
  h.Send(Screen("110101" "1D4500" "20" "0003" "110109" "1D4080" "20" "0002"));
  h.Answers();
  std::string err;
  EXPECT_FALSE(h.s.SendKeys("1X", &err));
  EXPECT_EQ(err, "Only characters 0 through 9 allowed.");
  // Filling the digits field moves on; filling the auto-enter field sends Enter.
  EXPECT_TRUE(h.s.SendKeys("23QZ", &err)) << err;
  auto answers = h.Answers();
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_EQ(answers[0], "000003" "010BF1" "110102F1F2F3" "11010AD8E9");
  // Keys while the answer is outstanding are refused and reported.
  EXPECT_TRUE(h.s.InputInhibited());
  EXPECT_FALSE(h.s.SendKeys("A@E", &err));
  EXPECT_EQ(err, "Input inhibited; keys not sent: A@E");
  // Typing outside any input field.
  Host p;
  p.Send(Screen("110101" "20" + E("TEXT")));
  EXPECT_FALSE(p.s.SendKeys("A", &err));
  EXPECT_EQ(err, "Cursor in protected area of display.");
}

TEST(Keys, AidBeforeTheHostReadsWaitsForTheRead) {
  Host h;
  h.Send(Screen("110101" "1D4000" "20" "0004", ""));  // unlocked, no read yet
  std::string err;
  ASSERT_TRUE(h.s.SendKeys("A@E", &err)) << err;
  EXPECT_TRUE(h.Answers().empty());
  EXPECT_EQ(h.s.PendingAid(), ds::kAidEnter);
  h.Send(HostRecord(Unhex("04520000")));
  EXPECT_EQ(h.Answers(), std::vector<std::string>{"000003" "0103F1110102C1"});
}

TEST(Keys, StartOfHeaderMarksFunctionKeysWithoutData) {
  Host h;
  // SOH: flag, reserved, reseq, error row 24, key mask: F3 (byte 6 bit 0x04)
  // sends no data.
  h.Send(Screen("0107" "000000180000" "04" "110101" "1D4800" "20" "0002"));
  h.Answers();
  std::string err;
  ASSERT_TRUE(h.s.SendKeys("@3", &err));
  EXPECT_EQ(h.Answers(), std::vector<std::string>{"000003" "010233"});
  h.Send(HostRecord(Unhex("04520000")));
  ASSERT_TRUE(h.s.SendKeys("@4", &err));
  EXPECT_EQ(h.Answers(), std::vector<std::string>{"000003" "010234" "110102"});
}

TEST(ErrorLine, WriteErrorCodeLocksUntilReset) {
  Host h;
  h.Send(Screen("110101" "1D4000" "20" "0004"));
  h.Answers();
  // Error message with an IC order moving the cursor to (1,3).
  h.Send(HostRecord(Unhex("0421" "22" + E("WRONG VALUE") + "130103" "04520000")));
  EXPECT_TRUE(h.s.InputInhibited());
  EXPECT_TRUE(h.s.keyboardChanged);
  EXPECT_EQ(Rtrim(h.s.ReadText(25, 1, 80)), " WRONG VALUE");
  EXPECT_EQ(h.s.GetScreen().Cursor(), 2);
  std::string err;
  EXPECT_FALSE(h.s.SendKeys("A", &err));
  ASSERT_TRUE(h.s.SendKeys("@R", &err)) << err;
  EXPECT_FALSE(h.s.InputInhibited());
  EXPECT_EQ(h.s.ReadText(25, 1, 80), std::string(80, ' '));
  // AutoReset: the next key resets by itself.
  h.Send(HostRecord(Unhex("0421" + E("AGAIN"))));
  h.s.autoReset = true;
  EXPECT_TRUE(h.s.SendKeys("Z", &err)) << err;
}

// The owner learns of every error the host puts up, also when the keyboard
// was locked already (the AID locked it and the host answers with the error),
// so it can read the error line and reset.
TEST(ErrorLine, KeyboardEventWhenAnErrorBeginsEvenIfAlreadyLocked) {
  struct Case {
    const char* name;
    std::string answerHex;  // the host's record after the operator's Enter
    bool event;
    bool locked;
  };
  const Case cases[] = {
      {"error answers the AID", "0421" + E("NO SUCH ITEM") + "04520000", true, true},
      {"error with the alarm first", "04110004" "0421" + E("NO") + "04520000", true, true},
      {"new screen unlocks", "04110008" "110101" "20" + E("NEXT") + "04520000", true, false},
      {"write that keeps the lock", "04110000" "110101" "20" + E("BUSY"), false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Host h;
    h.Send(Screen("110101" "1D4000" "20" "0004"));
    h.Answers();
    std::string err;
    ASSERT_TRUE(h.s.SendKeys("@E", &err)) << err;
    EXPECT_TRUE(h.s.InputInhibited());
    h.s.keyboardChanged = false;  // the owner has seen the lock begin
    h.Send(HostRecord(Unhex(c.answerHex)));
    EXPECT_EQ(h.s.keyboardChanged, c.event);
    EXPECT_EQ(h.s.InputInhibited(), c.locked);
  }
  // A second error while the first still waits for Reset is an event too.
  Host h;
  h.Send(Screen("110101" "1D4000" "20" "0004"));
  h.Send(HostRecord(Unhex("0421" + E("FIRST"))));
  h.s.keyboardChanged = false;
  h.Send(HostRecord(Unhex("0421" + E("SECOND"))));
  EXPECT_TRUE(h.s.keyboardChanged);
  EXPECT_EQ(Rtrim(h.s.ReadText(25, 1, 80)), "SECOND");
}

TEST(ErrorLine, StartOfHeaderErrorRowShowsTheMessageThere) {
  Host h;
  h.Send(Screen("0107" "000000180000" "00" "111801" "20" + E("BOTTOM ROW")));
  h.Send(HostRecord(Unhex("0421" + E("ERR"))));
  EXPECT_EQ(Rtrim(h.s.ReadText(24, 1, 80)), "ERR");
  EXPECT_EQ(Rtrim(h.s.ReadText(25, 1, 80)), "ERR");
  std::string err;
  h.s.SendKeys("@R", &err);
  EXPECT_EQ(Rtrim(h.s.ReadText(24, 1, 80)), " BOTTOM ROW");
}

// IBM i's Start of Header names error row 25, which a 24-row display does
// not have: the message then shows on its last row, over what the row held
// until Reset, as a display shows it (and on the message line, row 25).
TEST(ErrorLine, AnErrorRowOffTheScreenMeansTheLastRow) {
  for (const std::string& header : {std::string("010700000019000000"), std::string()}) {
    SCOPED_TRACE(header.empty() ? "no header" : "error row 25");
    Host h;
    h.Send(Screen(header +
                  "111828"
                  "22" +
                  E("(C) COPYRIGHT")));
    EXPECT_EQ(Rtrim(h.s.ReadText(24, 1, 80)), std::string(40, ' ') + "(C) COPYRIGHT");
    h.Send(HostRecord(Unhex("0421" + E("Password not correct for user profile.") + "04520000")));
    EXPECT_EQ(Rtrim(h.s.ReadText(24, 1, 80)), "Password not correct for user profile.");
    EXPECT_EQ(Rtrim(h.s.ReadText(25, 1, 80)), "Password not correct for user profile.");
    std::string err;
    ASSERT_TRUE(h.s.SendKeys("@R", &err)) << err;
    EXPECT_EQ(Rtrim(h.s.ReadText(24, 1, 80)), std::string(40, ' ') + "(C) COPYRIGHT");
  }
}

TEST(SaveRestore, RestoredScreenEqualsTheSavedOne) {
  Host h;
  h.Send(Screen("110101" "22" + E("TITLE") + "110201" "1D4000" "24" "0006" "11020A" "20" + E("END") +
                "110301" "1D4700" "20" "0003" "130202"));
  std::string err;
  ASSERT_TRUE(h.s.SendKeys("AB", &err));
  h.Answers();
  h.Send(HostRecord(Unhex("0402")));
  auto saved = h.Answers();
  ASSERT_EQ(saved.size(), 1u);
  EXPECT_EQ(saved[0].substr(0, 6), "000004");  // Save Screen opcode
  const std::string savedData = Unhex(saved[0].substr(6));
  std::vector<std::string> before;
  for (int r = 1; r <= 3; ++r) before.push_back(h.s.ReadText(r, 1, 80));
  const int cursor = h.s.GetScreen().Cursor();
  // Another screen, then Restore Screen with the saved data.
  h.Send(Screen("110101" "20" + E("OTHER")));
  h.Send(HostRecord(Unhex("0412") + savedData));
  for (int r = 1; r <= 3; ++r) EXPECT_EQ(h.s.ReadText(r, 1, 80), before[r - 1]) << r;
  EXPECT_EQ(h.s.GetScreen().Cursor(), cursor);
  ASSERT_EQ(h.s.GetScreen().Fields().size(), 2u);
  EXPECT_TRUE(h.s.GetScreen().Fields()[0].mdt);
  EXPECT_TRUE(h.s.GetScreen().Fields()[1].signedNumeric());
  EXPECT_EQ(h.s.PendingRead(), ds::kCmdReadMdtFields);
}

TEST(DataStream, OrdersWriteWhereTheyShould) {
  Host h;
  // RA fills (1,1)-(1,5) with 'X'; EA erases (1,3)-(1,4); TD writes raw
  // bytes incl. X'1C' as data; WEA accepted; MC moves the cursor.
  h.Send(Screen("110101" "020105E7" "110103" "03010402FF" "110110" "100003C11CC2" "120100" "140305"));
  EXPECT_EQ(h.s.ReadText(1, 1, 5), "XX  X");
  EXPECT_EQ(h.s.ReadText(1, 16, 3), "A B");
  EXPECT_EQ(h.s.GetScreen().Cursor(), 2 * 80 + 4);
  EXPECT_TRUE(h.Answers().empty());
}

TEST(DataStream, RollMovesRowsAndClearsTheRest) {
  Host h;
  h.Send(Screen("110101" + E("ONE") + "110201" + E("TWO") + "110301" + E("THREE")));
  h.Send(HostRecord(Unhex("0423" "81" "0103")));  // roll rows 1-3 down by one
  EXPECT_EQ(Rtrim(h.s.ReadText(1, 1, 80)), "");
  EXPECT_EQ(Rtrim(h.s.ReadText(2, 1, 80)), "ONE");
  EXPECT_EQ(Rtrim(h.s.ReadText(3, 1, 80)), "TWO");
  h.Send(HostRecord(Unhex("0423" "02" "0103")));  // up by two
  EXPECT_EQ(Rtrim(h.s.ReadText(1, 1, 80)), "TWO");
  EXPECT_EQ(Rtrim(h.s.ReadText(2, 1, 80)), "");
}

TEST(DataStream, FaultsGetNegativeResponsesAndLengthsAreHonoured) {
  struct Case {
    const char* payload;
    const char* answer;  // "" for none
    const char* row1;    // row 1 text afterwards (trimmed)
  } cases[] = {
      // Unknown command: negative response, rest of the record ignored.
      {"0440" "0499" "04110000C1", "8000001003010 1", ""},
      // Unknown structured field skipped by its length, next command runs.
      {"0440" "04F30006D9AA0102" "0411000011010 1C1", "800000100501 11", "A"},
      // Structured field of another class.
      {"04F30005AA7000", "800000100501 11", ""},
      // SBA outside the screen.
      {"04110000" "111901", "800000100501 22", ""},
      // SOH longer than 7.
      {"04110000" "0108", "800000100501 2B", ""},
      // Clear Unit Alternate with a bad parameter.
      {"042005", "800000100301 05", ""},
      // Field past the end of the screen.
      {"04110000" "1118501D4000200010", "800000100501 22", ""},
      // A record cut in the middle of an order: no answer, nothing written.
      {"04110000" "1101", "", ""},
      // Data before any command.
      {"C1C2", "800000100501 31", ""},
      // Query and Query Station State both answered with the Query reply.
      {"04F30005D97000", "000000 000088", ""},
  };
  for (const Case& c : cases) {
    Host h;
    std::string payload = c.payload;
    payload.erase(std::remove(payload.begin(), payload.end(), ' '), payload.end());
    h.Send(HostRecord(Unhex(payload)));
    auto answers = h.Answers();
    std::string want = c.answer;
    want.erase(std::remove(want.begin(), want.end(), ' '), want.end());
    if (want.empty()) {
      EXPECT_TRUE(answers.empty()) << c.payload;
    } else {
      ASSERT_EQ(answers.size(), 1u) << c.payload;
      EXPECT_EQ(answers[0].substr(0, want.size()), want) << c.payload;
    }
    EXPECT_EQ(Rtrim(h.s.ReadText(1, 1, 80)), c.row1) << c.payload;
  }
}

TEST(DataStream, ControlCharactersLockUnlockAndResetFields) {
  Host h;
  h.Send(Screen("110101" "1D4000" "20" "0004"));
  std::string err;
  h.s.SendKeys("AB", &err);
  h.Answers();
  // CC1 X'A0': lock, reset MDT and null the non-bypass fields; no unlock.
  h.Send(HostRecord(Unhex("0411A000")));
  EXPECT_TRUE(h.s.InputInhibited());
  EXPECT_FALSE(h.s.GetScreen().Fields()[0].mdt);
  EXPECT_EQ(h.s.ReadText(1, 2, 4), "    ");
  // CC2 unlock.
  h.Send(HostRecord(Unhex("04110008")));
  EXPECT_FALSE(h.s.InputInhibited());
}

TEST(DataStream, NewScreenEventOnlyWhenWrittenAndUnlocked) {
  Host h;
  h.Send(HostRecord(Unhex("0440" "04112000" "110101C1")));  // written, locked
  EXPECT_FALSE(h.s.newScreen);
  h.Send(HostRecord(Unhex("04520000")));  // the read unlocks it
  EXPECT_TRUE(h.s.newScreen);
  h.s.newScreen = false;
  h.Send(HostRecord(Unhex("04520000")));  // nothing new written
  EXPECT_FALSE(h.s.newScreen);
}

}  // namespace
}  // namespace tervo::host5250::testing
