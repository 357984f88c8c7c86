// The reader's handling of lines: what is stored, what is a bad line and how
// a bad line is reported.
#include <gtest/gtest.h>

#include <QDir>

#include "config/config_reader.h"
#include "config/config_writer.h"
#include "sample_config.h"

namespace tervo::config {
namespace {

using testing::CrLf;
using testing::RecordingPrompt;

struct Loaded {
  ScreenStore store;
  GeneralOptions options;
  RecordingPrompt prompt;
  int bad = 0;
  explicit Loaded(const std::string& bytes, int screens = 5) {
    store.NumeroMaximoDeEcrans = screens;
    store.GrowScreenTables();
    bad = ParseConfig(bytes, store, options, prompt);
  }
};

TEST(ConfigReader, BadLineMessageHasTheLineNumberAndTheDecodedLine) {
  Loaded l(CrLf({"SessionCt=\"4\"", "", "Cut=\"1\"", "Screens[ 9][", "EscKey=\"x\x1f" "013\"", "]"}));
  ASSERT_EQ(l.prompt.lines.size(), 2u);
  EXPECT_EQ(l.prompt.lines[0].Message(), "Error at line , 2 ");
  EXPECT_EQ(l.prompt.lines[1].Message(), "Error at line , 5 EscKey=\"x\r\"");
  EXPECT_EQ(l.prompt.lines[1].number, 5);
  EXPECT_EQ(l.bad, 2);
  // The lines around the bad ones were stored.
  EXPECT_EQ(l.options.Text("SessionCt"), "4");
  EXPECT_EQ(l.options.Text("Cut"), "1");
}

// Every line below is bad on its own; the table holds screens 0 .. 5.
TEST(ConfigReader, LinesOutsideTheTablesAndMalformedLinesAreBad) {
  struct Case {
    std::vector<std::string> lines;
    const char* reason;  // "" for no bad line
    std::size_t badLine = 0;  // 0: the last line
  };
  const Case cases[] = {
      {{"Screens[ 6][", "Master=\"2\""}, "screen 6 is outside 0..5"},
      {{"Screens[ 1][", "Screen[ 501][", "Size=\"3\""}, "field 501 is outside 0..500"},
      {{"ScreenOriginal[ 1][", "Text[ 501]=\"x\""}, "field 501 is outside 0..500"},
      {{"ScreenOriginal[ 1][", "Text=\"x\""}, "missing field"},
      {{"ScreenOriginal[ 1][", "Count=\"502\""}, "Count 502 is outside 0..501"},
      {{"Indice[ 1][", "Screen[ 2001]=\" 4\""}, "position 2001 is outside 0..2000"},
      {{"DivideFields[ 2001][", "Size=\"3\""}, "division 2001 is outside 0..2000"},
      {{"ScreensText[ 181][ 0]=\"x\""}, "screen 181 is outside 0..180"},
      {{"ScreensText[ 1]=\"x\""}, "missing field"},
      {{"DeviceName[33]=\"D\""}, "session 33 is outside 0..32"},
      {{"TerminalIDDef[-1]=\"T\""}, "session -1 is outside 0..32"},
      {{"ScreenAspect[ 6]=\"x\""}, "screen 6 is outside 0..5"},
      {{"NumeroMaximoDeEcrans=\" 1000\""}, "NumeroMaximoDeEcrans 1000 is outside 0..999"},
      {{"NumeroMaximoDeEcrans=\"-1\""}, "NumeroMaximoDeEcrans -1 is outside 0..999"},
      {{"Screens[ 1][", "Size=\"abc\""}, ""},  // not a key of a screen: ignored
      {{"Screens[ 1][", "Screen[ 2][", "Size=\"abc\""}, "not a number: \"abc\""},
      {{"Screens[ 1][", "Screen[ 2][", "Size=\"\""}, "not a number: \"\""},
      {{"Screens[ 1][", "Screen[ 2][", "Divided=\"maybe\""}, "not a Boolean: \"maybe\""},
      {{"Screens[ 1][", "Screen[ 2][", "Size=\"99999999999\""}, "number out of range: \"99999999999\""},
      {{"Cut=\"True\""}, "not a number: \"True\""},
      {{"Cut=\"2\""}, "Cut 2 is outside 0..1"},
      {{"Handshaking=\"4\""}, "Handshaking 4 is outside 0..3"},
      {{"SessionCt"}, "missing quote"},
      {{"SessionCt=\"1"}, "missing closing quote"},
      {{"\"1\""}, "missing key name"},
      {{"SessionCt[ 1][", "=\"7\""}, "missing key name"},
      {{" [3]=\"7\""}, "missing key name"},
      {{"Screens[ x][", "Master=\"2\""}, "not a number: \" x\"", 1},
      {{"]"}, "] outside any block"},
      {{""}, "blank line"},
      {{"Value=\"a\x1f" "9\""}, "bad character escape"},
  };
  for (const Case& c : cases) {
    std::string bytes;
    for (const auto& line : c.lines) bytes += line + "\r\n";
    Loaded l(bytes);
    const std::string where = c.lines.back();
    if (!*c.reason) {
      EXPECT_EQ(l.bad, 0) << where;
      continue;
    }
    ASSERT_EQ(l.prompt.lines.size(), 1u) << where;
    const BadLine& bad = l.prompt.lines[0];
    EXPECT_EQ(bad.reason, c.reason) << where;
    EXPECT_EQ(bad.number, static_cast<int>(c.badLine ? c.badLine : c.lines.size())) << where;
  }
}

// A number that is bad after its first digits is rejected whole: the value
// already held stays.
TEST(ConfigReader, ABadNumberLeavesTheStoredValue) {
  Loaded l(CrLf({"Screens[ 1][", "Screen[ 2][", "Size=\"7\"", "Size=\"12abc\"", "]",
                 "FieldScr=\"4\"", "FieldScr=\"9.5x\"", "]", "Indice[ 1][", "Screen[ 3]=\" 8\"",
                 "Screen[ 3]=\" 5-\"", "]", "ScreenOriginal[ 1][", "Size[ 2]=\" 6\"",
                 "Size[ 2]=\"3 4\"", "]"}));
  EXPECT_EQ(l.bad, 4);
  EXPECT_EQ(l.store.Screens[1].Screen[2].Size, 7);
  EXPECT_EQ(l.store.Screens[1].FieldScr, 4);
  EXPECT_EQ(l.store.Indice[1][3], 8);
  EXPECT_EQ(l.store.Originals[1][2].Size, 6);
}

TEST(ConfigReader, ABadLastLineIsReportedToo) {
  Loaded l(std::string("SessionCt=\"3\"\r\nDisplayCol=\"2"));  // cut short while being written
  ASSERT_EQ(l.prompt.lines.size(), 1u);
  EXPECT_EQ(l.prompt.lines[0].Message(), "Error at line , 2 DisplayCol=\"2");
  EXPECT_EQ(l.options.Text("SessionCt"), "3");
}

TEST(ConfigReader, ValuesContainingBracketsAreRestored) {
  Loaded l(CrLf({"ExitWord=\"Exit[1],Sair]\"", "DeviceName[3]=\"A[0]=\"\"", "Screens[ 2][", "EscKey=\"@3[x\"",
                 "Screen[ 4][", "AuxText=\"[Qty]\"", "]", "]", "ScreensText[ 2][ 4]=\"x[3][4]\"",
                 "ScreenOriginal[ 2][", "Text[ 4]=\"[\"", "]"}));
  EXPECT_EQ(l.bad, 0);
  EXPECT_EQ(l.options.Text("ExitWord"), "Exit[1],Sair]");
  EXPECT_EQ(l.store.DeviceName[3], "A[0]=\"");
  EXPECT_EQ(l.store.Screens[2].EscKey, "@3[x");
  EXPECT_EQ(l.store.Screens[2].Screen[4].AuxText, "[Qty]");
  EXPECT_EQ(l.store.ScreensText[2][4], "x[3][4]");
  EXPECT_EQ(l.store.Originals[2][4].Text, "[");
}

// Quotes inside a value are not escaped: the value runs from the first quote
// to the last character of the line.
TEST(ConfigReader, QuotesAndControlCharactersInValues) {
  Loaded l(CrLf({"AutoRemove=\"a\"b\"\"", "ExitWord=\"x\x1f" "013\x1f" "010y\x1f" "031\"", "TCPIPAddr=\"\""}));
  EXPECT_EQ(l.bad, 0);
  EXPECT_EQ(l.options.Text("AutoRemove"), "a\"b\"");
  EXPECT_EQ(l.options.Text("ExitWord"), "x\r\ny\x1f");
  EXPECT_EQ(l.options.Text("TCPIPAddr"), "");
}

TEST(ConfigReader, NumbersConvertWithBlanksAndFractionsRoundHalfToEven) {
  Loaded l(CrLf({"Screens[ 1][", "ScreenId=\" 42\"", "Master=\"2.5\"", "MasterAux=\"3.5 \"", "FieldScr=\"-7\"", "]",
                 "Cut=\" 1\"", "Handshaking=\"2.0\""}));
  EXPECT_EQ(l.bad, 0);
  EXPECT_EQ(l.store.Screens[1].ScreenId, 42);
  EXPECT_EQ(l.store.Screens[1].Master, 2);
  EXPECT_EQ(l.store.Screens[1].MasterAux, 4);
  EXPECT_EQ(l.store.Screens[1].FieldScr, -7);
  EXPECT_EQ(l.options.Text("Cut"), "1");  // held as the check box holds it
  EXPECT_EQ(l.options.Text("Handshaking"), "2");
}

TEST(ConfigReader, FlagsAcceptTheWordsOfOtherLanguagesAndNumbers) {
  struct Case {
    const char* value;
    bool expected;
  };
  const Case cases[] = {{"True", true},  {"False", false},     {"TRUE", true},   {"false", false},
                        {"-1", true},    {"0", false},         {" 1 ", true},    {"Verdadeiro", true},
                        {"Falso", false}, {"Vrai", true},      {"FAUX", false},  {"Wahr", true},
                        {"Falsch", false}, {"Verdadero", true}, {"Vero", true}};
  for (const Case& c : cases) {
    Loaded l(CrLf({"AdvScreens[ 1][", std::string("Active=\"") + c.value + "\"", "]"}));
    EXPECT_EQ(l.bad, 0) << c.value;
    EXPECT_EQ(l.store.AdvScreens[1].Active, c.expected) << c.value;
  }
}

TEST(ConfigReader, NumeroMaximoDeEcransSizesTheTablesAndClearsTheIndex) {
  ScreenStore store;
  store.NumeroMaximoDeEcrans = 9;
  store.GrowScreenTables();
  store.Indice[2][100] = 4;
  store.Screens[3].EscKey = "kept";
  GeneralOptions options;
  RecordingPrompt prompt;
  ParseConfig(CrLf({"NumeroMaximoDeEcrans=\" 5\""}), store, options, prompt);
  EXPECT_EQ(store.NumeroMaximoDeEcrans, 5);
  EXPECT_EQ(store.ScreenTableSize(), 6);
  EXPECT_EQ(store.Indice.size(), 6u);
  EXPECT_EQ(store.ScreenAspect.size(), 6u);
  EXPECT_EQ(store.Indice[2][100], -1);
  EXPECT_EQ(store.Screens[3].EscKey, "kept");
  EXPECT_EQ(store.Screens[5].Master, kScreenFree);
}

TEST(ConfigReader, NestingIsTrackedPastBadAndDeepBlocks) {
  Loaded l(CrLf({"Screens[ x][", "Screen[ 1][", "Size=\"5\"", "]", "EscKey=\"lost\"", "]",  // opener bad
                 "Screens[ 2][", "Screen[ 3][", "Deep[ 1][", "Size=\"9\"", "]", "Size=\"4\"", "]", "]",
                 "Cut=\"1\""}));
  ASSERT_EQ(l.prompt.lines.size(), 1u);
  EXPECT_EQ(l.prompt.lines[0].number, 1);
  EXPECT_EQ(l.store.Screens[1].Screen[1].Size, 0);
  EXPECT_EQ(l.store.Screens[2].Screen[3].Size, 4);  // the level-3 line was not stored
  EXPECT_EQ(l.options.Text("Cut"), "1");            // level 0 again at the end
}

TEST(ConfigReader, AStrayCloserDoesNotShiftTheRestOfTheFile) {
  Loaded l(CrLf({"]", "Screens[ 1][", "Master=\"2\"", "]", "SessionCt=\"7\""}));
  EXPECT_EQ(l.bad, 1);
  EXPECT_EQ(l.store.Screens[1].Master, 2);
  EXPECT_EQ(l.options.Text("SessionCt"), "7");
}

TEST(ConfigReader, UnknownKeysAndBlocksAreIgnoredSilently) {
  Loaded l(CrLf({"NoSuchOption=\"1\"", "Screens[ 1][", "NoSuchKey=\"x\"", "]", "Elsewhere[ 3][", "Size=\"1\"", "]",
                 "MasterScreen[ 1][", "aux4l=\"True\"", "]", "cut=\"1\""}));
  EXPECT_EQ(l.bad, 0);
  EXPECT_FALSE(l.store.MasterScreens[1].aux4l);  // never a key of the file
  EXPECT_EQ(l.options.Text("Cut"), "0");          // names are compared exactly
}

TEST(ConfigReader, LoadingKeepsWhatTheFileDoesNotMention) {
  Loaded l(CrLf({"DeviceName[0]=\"NEW0\"", "Screens[ 1][", "EscKey=\"@3\"", "]"}));
  ScreenStore& store = l.store;
  store.DeviceName[5] = "OLD5";
  GeneralOptions options;
  RecordingPrompt prompt;
  ParseConfig(CrLf({"DeviceName[1]=\"NEW1\""}), store, options, prompt);
  EXPECT_EQ(store.DeviceName[0], "NEW0");
  EXPECT_EQ(store.DeviceName[1], "NEW1");
  EXPECT_EQ(store.DeviceName[5], "OLD5");
  EXPECT_EQ(store.Screens[1].EscKey, "@3");
}

TEST(ConfigReader, ScreenAspectIsCutOrPaddedTo2200) {
  Loaded l(CrLf({"ScreenAspect[ 1]=\"abc\"", "ScreenAspect[ 2]=\"" + std::string(2300, 'x') + "\""}));
  EXPECT_EQ(l.store.ScreenAspect[1], "abc" + std::string(2197, ' '));
  EXPECT_EQ(l.store.ScreenAspect[2], std::string(2200, 'x'));
}

TEST(ConfigFile, MissingFileAppliesTheFallbackOptionsAndKeepsTheTables) {
  testing::TempFolder dir;
  ScreenStore store;
  store.Screens[1].Master = kScreenDefined;
  GeneralOptions options;
  options.SetText("CapsLock", "1");
  options.SetText("DisplayLen", "24");
  RecordingPrompt prompt;
  EXPECT_FALSE(LoadData(dir.File("none"), store, options, prompt));
  EXPECT_EQ(options.Text("DisplayLen"), "24");  // LoadData alone changes nothing
  EXPECT_FALSE(LoadDataFromFile2(dir.File("none"), store, options, prompt));
  EXPECT_EQ(options.Text("DisplayLen"), "20");
  EXPECT_EQ(options.Text("CapsLock"), "1");  // no fallback: unchanged
  EXPECT_EQ(store.Screens[1].Master, kScreenDefined);
  // A folder where the file should be cannot be read either.
  ASSERT_TRUE(QDir().mkdir(QString::fromStdString(dir.File("folder.TVO"))));
  EXPECT_FALSE(LoadData(dir.File("folder"), store, options, prompt));
}

}  // namespace
}  // namespace tervo::config

namespace tervo::config {
namespace {

// A second configuration loaded after ClearAllScreens inherits what the first
// one held wherever the second file omits a zero or empty value; after
// ResetToFresh it is exactly the second file.
TEST(ConfigFile, LoadingAfterResetToFreshLeavesNothingOfTheFirstConfiguration) {
  const std::string first = CrLf({"NumeroMaximoDeEcrans=\" 2\"", "DeviceName[4]=\"OLD\"", "Screens[ 1][",
                                  "Screen[ 0][", "Show=\"1\"", "]", "]", "ScreensText[ 1][ 0]=\"old\""});
  const std::string second = CrLf({"NumeroMaximoDeEcrans=\" 2\"", "ScreenOriginal[ 1][", "Count=\"1\"", "]"});
  ScreenStore store;
  GeneralOptions options;
  RecordingPrompt prompt;
  ParseConfig(first, store, options, prompt);
  store.ClearAllScreens();
  ParseConfig(second, store, options, prompt);
  EXPECT_EQ(store.Screens[1].Screen[0].Show, 1);  // left over
  store.ResetToFresh();
  ParseConfig(second, store, options, prompt);
  ScreenStore clean;
  GeneralOptions cleanOptions;
  ParseConfig(second, clean, cleanOptions, prompt);
  EXPECT_TRUE(store.Screens == clean.Screens);
  EXPECT_EQ(store.ScreensText, clean.ScreensText);
  EXPECT_EQ(store.DeviceName, clean.DeviceName);
  EXPECT_EQ(WriteConfig(store, options), WriteConfig(clean, cleanOptions));
}

struct RecordingLog : Log {
  std::vector<std::string> lines;
  void WriteLog(const std::string& message, bool showInTitle) override {
    lines.push_back(message + (showInTitle ? " (title)" : ""));
  }
};

TEST(ConfigFile, HeadlessLoadsLogEachBadLine) {
  RecordingLog log;
  LogPrompt prompt(log);
  ScreenStore store;
  GeneralOptions options;
  ParseConfig(CrLf({"Cut=\"1\"", "", "DeviceName[40]=\"x\""}), store, options, prompt);
  EXPECT_EQ(log.lines, (std::vector<std::string>{"Error at line , 2 ", "Error at line , 3 DeviceName[40]=\"x\""}));
}

}  // namespace
}  // namespace tervo::config
