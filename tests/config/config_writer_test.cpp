// The writer's layout rules: which lines are always written, which only when
// worth keeping, and how field blocks are opened lazily.
#include <gtest/gtest.h>

#include <sstream>

#include "config/config_line_writer.h"
#include "config/config_writer.h"
#include "sample_config.h"

namespace tervo::config {
namespace {

std::vector<std::string> Lines(const std::string& bytes) {
  std::vector<std::string> out;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t end = bytes.find("\r\n", start);
    EXPECT_NE(end, std::string::npos) << "every line ends with CR LF";
    if (end == std::string::npos) break;
    out.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return out;
}

bool Has(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(LineWriter, SparseKeysAreWrittenOnlyWhenWorthKeeping) {
  struct Case {
    std::string value;
    const char* line;  // nullptr: not written
  };
  const Case cases[] = {
      {"", nullptr},
      {"0", nullptr},
      {"  0 ", nullptr},
      {"   ", nullptr},
      {std::string("\0\0", 2), nullptr},
      {std::string("\0x", 2), "K=\"\x1f" "000x\""},
      {"00", "K=\"00\""},
      {"-0", "K=\"-0\""},
      {" a ", "K=\" a \""},  // written untrimmed
      {"False", "K=\"False\""},
      {"\r\n", "K=\"\x1f" "013\x1f" "010\""},
      {"a\"b", "K=\"a\"b\""},
  };
  for (const Case& c : cases) {
    std::string out;
    LineWriter w(&out);
    w.Sparse({"K"}, c.value);
    EXPECT_EQ(out, c.line ? std::string(c.line) + "\r\n" : "") << c.value;
  }
  std::string out;
  LineWriter w(&out);
  w.SparseNumber({"N"}, 0);
  w.SparseNumber({"N", 3}, -80);
  w.Flag({"F"}, false);
  w.Always({"A"}, "");
  EXPECT_EQ(out, "N[ 3]=\"-80\"\r\nF=\"False\"\r\nA=\"\"\r\n");
}

TEST(LineWriter, LazyBlockOpensBeforeItsFirstLineAndVanishesWhenEmpty) {
  std::string out;
  LineWriter w(&out);
  w.Opener("Screens", 1);
  w.BeginLazyBlock("Screen", 0);
  w.SparseNumber({"Size"}, 0);
  w.Sparse({"AuxText"}, "0");
  w.EndLazyBlock();  // nothing written: no opener, no closer
  w.BeginLazyBlock("Screen", 1);
  w.SparseNumber({"Size"}, 0);
  w.SparseNumber({"Show"}, 1);
  w.Sparse({"AuxText"}, "Qty");
  w.EndLazyBlock();
  w.BeginLazyBlock("Screen", 2);  // held, then dropped by the next block
  w.BeginLazyBlock("Screen", 3);
  w.Flag({"Divided"}, false);
  w.EndLazyBlock();
  w.Closer();
  EXPECT_EQ(out, testing::CrLf({"Screens[ 1][", "Screen[ 1][", "Show=\"1\"", "AuxText=\"Qty\"", "]", "Screen[ 3][",
                                "Divided=\"False\"", "]", "]"}));
}

TEST(ConfigWriter, FreshStoreWritesTheAlwaysWrittenKeysAndEmptyBlocks) {
  ScreenStore store;
  GeneralOptions options;
  const auto lines = Lines(WriteConfig(store, options));
  ASSERT_GT(lines.size(), 42u);
  // The general keys in their order, NumeroMaximoDeEcrans before the last.
  const auto& keys = GeneralOptions::Keys();
  for (std::size_t i = 0; i + 1 < keys.size(); ++i)
    EXPECT_EQ(lines[i], keys[i] + "=\"" + options.Text(keys[i]) + "\"");
  EXPECT_EQ(lines[keys.size() - 1], "NumeroMaximoDeEcrans=\" 1\"");
  EXPECT_EQ(lines[keys.size()], "CapsLock=\"0\"");
  EXPECT_EQ(lines[keys.size() + 1], "Screens[ 0][");  // no device lines
  EXPECT_TRUE(Has(lines, "DisplayRow=\"\""));
  EXPECT_TRUE(Has(lines, "ScreenAspect[ 1]=\"" + std::string(2200, ' ') + "\""));
  EXPECT_TRUE(Has(lines, "Active=\"False\""));
  EXPECT_TRUE(Has(lines, "CopyText=\"False\""));
  EXPECT_FALSE(Has(lines, "ScreenCt=\"0\""));
  EXPECT_FALSE(Has(lines, "ScreenIdUser=\"0\""));  // "0" is not worth a line
  // Every division block is written, used or not, and the file ends with it.
  EXPECT_TRUE(Has(lines, "DivideFields[ 0]["));
  EXPECT_EQ(lines[lines.size() - 2], "DivideFields[ 2000][");
  EXPECT_EQ(lines.back(), "]");
  // The aux4l switch never reaches the file.
  for (const auto& l : lines) EXPECT_EQ(l.find("aux4l"), std::string::npos);
}

TEST(ConfigWriter, ScreenWithoutCapturedFieldsWritesOnlyItsOwnKeys) {
  ScreenStore store;
  GeneralOptions options;
  store.Screens[1].Master = kScreenDefined;
  store.Screens[1].Screen[0].Size = 5;  // not written: Count is 0
  store.ScreensText[1][0] = "text";
  store.DeviceName[0] = "DEV0";
  store.TerminalIDDef[12] = "T12";
  store.Indice[1][2000] = 3;
  store.Indice[1][81] = 0;
  const std::string bytes = WriteConfig(store, options);
  const auto lines = Lines(bytes);
  // ScreenIdTerminal and ScreenIdUser read "0" and are omitted.
  EXPECT_NE(bytes.find("\r\nScreens[ 1][\r\nMaster=\"2\"\r\n]\r\n"), std::string::npos);
  EXPECT_FALSE(Has(lines, "Screen[ 0]["));
  EXPECT_EQ(bytes.find("ScreensText"), std::string::npos);
  EXPECT_TRUE(Has(lines, "DeviceName[0]=\"DEV0\""));
  EXPECT_TRUE(Has(lines, "TerminalIDDef[12]=\"T12\""));
  EXPECT_NE(bytes.find("Indice[ 1][\r\nScreen[ 81]=\" 0\"\r\nScreen[ 2000]=\" 3\"\r\n]\r\n"), std::string::npos);
}

TEST(ConfigWriter, FieldsAreWrittenInTheirKeyOrder) {
  ScreenStore store;
  GeneralOptions options;
  store.Originals[1].Count = 1;
  FieldDef& f = store.Screens[1].Screen[0];
  f = {1, 2, 3, 4, "aux", 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, true, "join"};
  ScreenOriginal& o = store.Originals[1];
  o[0].Text = "t";
  o[0].Size = 1;
  o[0].Protected = true;
  o[0].StartRow = 2;
  o[0].StartColumn = 3;
  o[0].EndRow = 4;
  o[0].EndColumn = 5;
  o[0].Length = 6;
  o[0].AType = 7;
  o[0].Justify = 8;
  store.ScreensText[1][0] = "label";
  const std::string bytes = WriteConfig(store, options);
  EXPECT_NE(bytes.find(testing::CrLf({"Screen[ 0][", "AutoEnter=\"8\"", "flag2=\"13\"", "AuxText=\"aux\"",
                                      "Barcode=\"7\"", "FieldPos=\"1\"", "Flag=\"14\"", "InputField=\"11\"",
                                      "NewLine=\"3\"", "Order=\"6\"", "Protected=\"10\"", "SendWithEnter=\"12\"",
                                      "Show=\"4\"", "Size=\"2\"", "SizeTextAux=\"5\"", "Title=\"9\"",
                                      "UserId=\"15\"", "Divided=\"True\"", "JoinField=\"join\"", "]", "]"})),
            std::string::npos);
  EXPECT_NE(bytes.find(testing::CrLf({"ScreenOriginal[ 1][", "Count=\"1\"", "Protected[ 0]=\"True\"",
                                      "Size[ 0]=\"1\"", "Text[ 0]=\"t\"", "EndColumn[ 0]=\"5\"", "EndRow[ 0]=\"4\"",
                                      "StartColumn[ 0]=\"3\"", "StartRow[ 0]=\"2\"", "Length[ 0]=\"6\"",
                                      "AType[ 0]=\"7\"", "AutoEnter[ 0]=\"False\"", "Hidden[ 0]=\"False\"",
                                      "Justify[ 0]=\"8\"", "Underlined[ 0]=\"False\"", "]"})),
            std::string::npos);
  EXPECT_NE(bytes.find("\r\nScreensText[ 1][ 0]=\"label\"\r\nDivideFields"), std::string::npos);
}

}  // namespace
}  // namespace tervo::config
