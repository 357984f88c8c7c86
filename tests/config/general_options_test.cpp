// The options as a fresh dialog shows them, as they fall back when no file
// loads, and as consumers read them.
#include <gtest/gtest.h>

#include "config/config_writer.h"
#include "config/general_options.h"

namespace tervo::config {
namespace {

struct Expected {
  const char* key;
  const char* initial;
  const char* fallback;  // nullptr: keeps its value
};

const Expected kTable[] = {
    {"SessionCt", "1", "1"},
    {"DisplayCol", "1", "1"},
    {"DisplayRow", "", "1"},
    {"AutoRemove", ".,;", ",;:."},
    {"ExitWord", "Exit,Sair", "Exit,Sair,FIM,Fim,EXIT"},
    {"Cut", "0", "0"},
    {"SendTerminal", "1", "1"},
    {"MaskEdBox1", "__:__", nullptr},
    {"MaskEdBox2", "__:__", nullptr},
    {"Check1", "0", nullptr},
    {"Check2", "0", nullptr},
    {"ShowNorvikLogo", "0", "0"},
    {"SendMinimal", "1", "1"},
    {"SendUnderline", "1", "1"},
    {"DisplayLen", "24", "20"},
    {"DebugFile", "0", "0"},
    {"BaudRate", "19200", "38400"},
    {"Handshaking", "0", "0"},
    {"TestMode", "0", "0"},
    {"NewScreenTimeout", "1.5", "2"},
    {"ScreenIdAreaX", "", "0"},
    {"ScreenIdAreaY", "", "0"},
    {"ScreenIdAreaLen", "", "0"},
    {"Line24", "0", "0"},
    {"DontShowData", "1", "0"},
    {"SendErrorLine24", "1", "1"},
    {"SendErrorLine25", "1", "1"},
    {"SubScreenIdAreaX", "", "0"},
    {"SubScreenIdAreaY", "", "0"},
    {"SubScreenIdAreaLen", "", "0"},
    {"SendErrorLineN", "0", "0"},
    {"ErrorLineN", "", "0"},
    {"ErrorLineStart", "1", "1"},
    {"ErrorLineLen", "80", "80"},
    {"AutoSave", "0", "0"},
    {"TCPIP", "0", "0"},
    {"TCPIPAddr", "127.0.0.1", "127.0.0.1"},
    {"ComPort", "1", ""},
    {"CapsLock", "0", nullptr},
};

TEST(GeneralOptions, KeysInFileOrderWithInitialAndFallbackValues) {
  const auto& keys = GeneralOptions::Keys();
  ASSERT_EQ(keys.size(), std::size(kTable));
  GeneralOptions fresh;
  GeneralOptions changed;
  for (const auto& e : kTable) changed.SetText(e.key, "changed");
  changed.ApplyFallbacks();
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const Expected& e = kTable[i];
    EXPECT_EQ(keys[i], e.key);
    EXPECT_EQ(fresh.Text(e.key), e.initial) << e.key;
    EXPECT_EQ(changed.Text(e.key), e.fallback ? e.fallback : "changed") << e.key;
  }
}

TEST(GeneralOptions, NumericReadsCountEmptyAndNonNumericAsZero) {
  GeneralOptions o;
  EXPECT_EQ(o.Number("DisplayRow"), 0);  // empty at first
  EXPECT_EQ(o.Number("DisplayLen"), 24);
  EXPECT_DOUBLE_EQ(o.Real("NewScreenTimeout"), 1.5);
  o.SetText("BaudRate", "fast");
  EXPECT_EQ(o.Number("BaudRate"), 0);
  o.SetText("ComPort", " 3 ");
  EXPECT_EQ(o.Number("ComPort"), 3);
  o.SetText("SessionCt", "4.5");
  EXPECT_EQ(o.Number("SessionCt"), 4);
  EXPECT_TRUE(o.Checked("SendTerminal"));
  o.SetChecked("SendTerminal", false);
  EXPECT_EQ(o.Text("SendTerminal"), "0");
  EXPECT_FALSE(o.SetText("NoSuchKey", "1"));
  EXPECT_EQ(o.Text("NoSuchKey"), "");
}

// --radio-address must reach the radio link for this run and never the file:
// a later "Save as" or automatic save would otherwise keep a one-off address.
TEST(GeneralOptions, RunOverridesAreReadButNeverWritten) {
  GeneralOptions o;
  o.SetText("TCPIPAddr", "10.0.0.5:7300");
  ASSERT_TRUE(o.SetRunOverride("TCPIPAddr", "127.0.0.1:0"));
  EXPECT_EQ(o.Text("TCPIPAddr"), "127.0.0.1:0");
  EXPECT_EQ(o.ConfiguredText("TCPIPAddr"), "10.0.0.5:7300");
  o.SetText("TCPIPAddr", "10.0.0.6");  // the operator edits the configured value
  EXPECT_EQ(o.Text("TCPIPAddr"), "127.0.0.1:0") << "the run keeps its override";
  EXPECT_EQ(o.ConfiguredText("TCPIPAddr"), "10.0.0.6");
  o.ApplyFallbacks();
  EXPECT_EQ(o.Text("TCPIPAddr"), "127.0.0.1:0");
  EXPECT_NE(*o.RunOverride("TCPIPAddr"), o.ConfiguredText("TCPIPAddr"));
  EXPECT_EQ(o.RunOverride("ComPort"), nullptr);
  EXPECT_FALSE(o.SetRunOverride("NoSuchKey", "1"));

  const std::string file = WriteConfig(ScreenStore(), o);
  EXPECT_NE(file.find("TCPIPAddr=\"127.0.0.1\""), std::string::npos);
  EXPECT_EQ(file.find("127.0.0.1:0"), std::string::npos);
}

}  // namespace
}  // namespace tervo::config
