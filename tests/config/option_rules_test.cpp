// What the configuration windows accept: a text that would not work names
// its problem; the rules that replace a value (40 sessions) stay the
// dialog's own.
#include "config/option_rules.h"

#include <gtest/gtest.h>

namespace tervo::config {
namespace {

TEST(OptionRules, SingleFieldRanges) {
  const GeneralOptions options;
  struct Case {
    const char* key;
    const char* text;
    bool good;
  } cases[] = {
      {"SessionCt", "4", true},
      {"SessionCt", "40", true},  // the dialog cuts it
      {"SessionCt", "-3", false},
      {"SessionCt", "0", false},
      {"SessionCt", "", false},
      {"SessionCt", "2.5", false},
      {"DisplayCol", "33", false},
      {"DisplayRow", "", true},  // a fresh dialog's
      {"DisplayLen", "abc", false},
      {"DisplayLen", "20", true},
      {"DisplayLen", "0", false},
      {"DisplayLen", "81", false},
      {"NewScreenTimeout", "1.5", true},
      {"NewScreenTimeout", "1,5", false},
      {"NewScreenTimeout", "-1", false},
      {"ScreenIdAreaX", "", true},
      {"ScreenIdAreaX", "81", false},
      {"ScreenIdAreaY", "25", true},
      {"ScreenIdAreaY", "26", false},
      {"ErrorLineN", "", true},
      {"ErrorLineN", "26", false},
      {"ErrorLineStart", "0", false},
      {"ErrorLineLen", "80", true},
      {"BaudRate", "19200", true},
      {"BaudRate", "fast", false},
      {"ComPort", "", true},
      {"ComPort", "1", true},
      {"ComPort", "/dev/ttyUSB0", true},
      {"ComPort", "COM3", false},
      {"ComPort", "0", false},
      {"TCPIPAddr", "127.0.0.1", true},
      {"TCPIPAddr", "10.1.2.3:7300", true},
      {"TCPIPAddr", "localhost:7300", true},
      {"TCPIPAddr", "[::1]:7300", true},
      {"TCPIPAddr", "::1", true},
      {"TCPIPAddr", "10.1.2:7300", false},
      {"TCPIPAddr", "10.1.2.300", false},
      {"TCPIPAddr", "gateway.local", false},
      {"TCPIPAddr", "10.1.2.3:70000", false},
      {"TCPIPAddr", "", false},
      {"MaskEdBox1", "07:30", true},
      {"MaskEdBox1", "__:__", true},
      {"MaskEdBox2", "99:99", false},
      {"MaskEdBox2", "24:00", false},
      {"MaskEdBox2", "1_:__", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(CheckOption(c.key, c.text, options).empty(), c.good)
        << c.key << " \"" << c.text << "\"";
  EXPECT_EQ(CheckOption("DisplayLen", "abc", options), "Enter a whole number from 1 to 80.");
  EXPECT_FALSE(HasOptionRule("ExitWord"));
  EXPECT_FALSE(HasOptionRule("Handshaking"));
  EXPECT_TRUE(HasOptionRule("TCPIPAddr"));
}

TEST(OptionRules, RulesThatDependOnOtherOptions) {
  GeneralOptions o;
  // The identification area: Len without its column and row is what the
  // gateway would otherwise report at every screen.
  EXPECT_NE(CheckOption("ScreenIdAreaLen", "10", o), "");
  o.SetText("ScreenIdAreaX", "2");
  o.SetText("ScreenIdAreaY", "1");
  EXPECT_EQ(CheckOption("ScreenIdAreaLen", "10", o), "");
  EXPECT_EQ(CheckOption("SubScreenIdAreaLen", "10", GeneralOptions()), "");

  // The error line's row is needed only while "Send Error Line" is ticked.
  EXPECT_EQ(CheckOption("ErrorLineN", "", o), "");
  o.SetChecked("SendErrorLineN", true);
  EXPECT_EQ(CheckOption("ErrorLineN", "", o), "Enter the row of the error line, 1 to 25.");
  EXPECT_EQ(CheckOption("ErrorLineN", "22", o), "");

  o.SetText("ErrorLineStart", "71");
  EXPECT_EQ(CheckOption("ErrorLineLen", "10", o), "");
  EXPECT_EQ(CheckOption("ErrorLineLen", "11", o),
            "Start 71 leaves room for 10 characters on the line.");

  // Rows and columns must hold the visible sessions.
  o.SetText("SessionCt", "5");
  o.SetText("DisplayCol", "2");
  EXPECT_EQ(CheckOption("DisplayRow", "2", o), "5 sessions need more than 2 row(s) of 2.");
  EXPECT_EQ(CheckOption("DisplayRow", "3", o), "");
  EXPECT_NE(CheckOption("DisplayRow", "", o), "") << "empty counts as one row";
}

// One table gives every option its contents and its range: a range that
// shuts out the option's own first or fallback value would leave a fresh
// dialog that cannot be closed.
TEST(OptionRules, FreshAndFallbackContentsPassTheirOwnRules) {
  GeneralOptions fresh;
  GeneralOptions fallback;
  fallback.ApplyFallbacks();
  for (const OptionSpec& s : OptionTable()) {
    EXPECT_EQ(FindOption(s.key), &s) << s.key << " is named once";
    EXPECT_EQ(CheckOption(s.option, s.initial, fresh), "") << s.key;
    if (s.fallback) {
      EXPECT_EQ(CheckOption(s.option, s.fallback, fallback), "") << s.key;
    }
  }
  EXPECT_EQ(CheckOption("SessionCt", "0", fresh),
            "Enter a whole number of 1 or more; more than this run serves become its count.");
}

TEST(OptionRules, TerminalIds) {
  std::array<std::string, kSessionSlots> ids;
  ids[0] = "T1";
  ids[1] = "gun a";
  EXPECT_EQ(CheckTerminalId("", 2, ids, 3), "");
  EXPECT_EQ(CheckTerminalId("gun b", 2, ids, 3), "") << "inner blanks belong to the id";
  EXPECT_NE(CheckTerminalId(" t4 ", 2, ids, 3), "");
  EXPECT_NE(CheckTerminalId("t4 ", 2, ids, 3), "");
  EXPECT_NE(CheckTerminalId("TERMINAL9", 2, ids, 3), "") << "more than 8 characters";
  EXPECT_NE(CheckTerminalId("T\t1", 2, ids, 3), "");
  EXPECT_EQ(CheckTerminalId("T1", 2, ids, 3), "Session 0 has this id already.");
  EXPECT_EQ(CheckTerminalId("T1", 0, ids, 3), "") << "its own row is no duplicate";
  EXPECT_EQ(CheckTerminalId("T1", 2, ids, 0), "") << "only the rows given are compared";
}

}  // namespace
}  // namespace tervo::config
