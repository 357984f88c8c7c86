// The difference of two configurations: nothing for the same meaning in
// other lines, one line for one changed field, and each kind of place named
// by number with its old and new values.
#include "config/config_diff.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

#include "config/config_reader.h"
#include "config/config_writer.h"
#include "config/text.h"
#include "sample_config.h"

namespace tervo::config {
namespace {

using testing::RecordingPrompt;

struct Config {
  ScreenStore store;
  GeneralOptions options;
};

void Parse(const std::string& bytes, Config* out, int* badLines = nullptr) {
  RecordingPrompt prompt;
  const int bad = ParseConfig(bytes, out->store, out->options, prompt);
  if (badLines) *badLines = bad;
}

const std::string& Demo() {
  static const std::string bytes = testing::ReadFile(TERVO_TEST_DATA "/../../demo/warehouse.TVO");
  return bytes;
}

std::vector<std::string> Lines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t end = bytes.find("\r\n", start);
    lines.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

std::string Diff(const Config& a, const Config& b) {
  return FormatDiff(DiffConfigurations(a.store, a.options, b.store, b.options));
}

TEST(ConfigDiff, TheSameConfigurationInOtherLinesGivesNothing) {
  std::vector<std::string> lines = Lines(Demo());
  ASSERT_GT(lines.size(), 100u);
  // The general keys in reverse order (all of them come before the first
  // block, NumeroMaximoDeEcrans included).
  const auto firstBlock = std::find_if(lines.begin(), lines.end(),
                                       [](const std::string& l) { return l.back() == '['; });
  std::reverse(lines.begin(), firstBlock - 0);
  // The master settings before the repeat rules, the members of every
  // repeat rule and master block reversed.
  const auto adv = std::find(lines.begin(), lines.end(), "AdvScreens[ 0][");
  const auto master = std::find(lines.begin(), lines.end(), "MasterScreen[ 0][");
  const auto texts = std::find_if(master, lines.end(), [](const std::string& l) {
    return l.rfind("ScreensText", 0) == 0 || l.rfind("DivideFields", 0) == 0;
  });
  ASSERT_TRUE(adv < master && master < texts);
  std::rotate(adv, master, texts);
  for (auto it = adv; it != texts; ++it) {
    const auto close = std::find(it, texts, "]");
    std::reverse(it + 1, close);
    it = close;
  }
  // Numbers and flags written another way, blank lines, LF line ends.
  std::string other;
  for (std::string& l : lines) {
    if (l == "Divided=\"False\"") l = "Divided=\"false\"";
    if (l == "Master=\"2\"") l = "Master=\" 02 \"";
    other += l + "\n\n";
  }
  Config a, b;
  Parse(Demo(), &a);
  int bad = 0;
  Parse(other, &b, &bad);
  EXPECT_GT(bad, 0);  // the blank lines
  EXPECT_EQ(Diff(a, b), "");
  EXPECT_NE(WriteConfig(b.store, b.options), other);
}

TEST(ConfigDiff, OneChangedFieldGivesOneLine) {
  Config a, b;
  Parse(Demo(), &a);
  Parse(Demo(), &b);
  FieldDef& f = b.store.Screens[3].Screen[1];
  const int size = f.Size;
  f.Size = size + 5;
  EXPECT_EQ(Diff(a, b), "screen 3 field 1: Size " + std::to_string(size) + " \xE2\x86\x92 " +
                            std::to_string(size + 5) + "\n");
  // More members of the same field stay on its line, in the record's order;
  // its display text and capture with it.
  const int shown = f.Show;
  f.Show = 1 - shown;
  b.store.ScreensText[3][1] = "Qty";
  b.store.Originals[3][1].Text = "Quantity:";
  const std::string diff = Diff(a, b);
  EXPECT_EQ(std::count(diff.begin(), diff.end(), '\n'), 1) << diff;
  EXPECT_EQ(diff.find("screen 3 field 1: Size "), 0u) << diff;
  EXPECT_NE(diff.find(", Show " + std::to_string(shown) + " \xE2\x86\x92 " +
                      std::to_string(1 - shown) + ", ScreensText "),
            std::string::npos)
      << diff;
  EXPECT_NE(diff.find(" \xE2\x86\x92 \"Qty\", host.Text "), std::string::npos) << diff;
  EXPECT_NE(diff.find(" \xE2\x86\x92 \"Quantity:\"\n"), std::string::npos) << diff;
}

TEST(ConfigDiff, ValuesTheFileCannotTellApartAreTheSame) {
  Config a, b;
  a.store.Originals[1].Count = b.store.Originals[1].Count = 1;
  a.store.Screens[1].ScreenIdUser = "0";  // a freed screen
  b.store.Screens[1].ScreenIdUser = "";   // an auto-filled one
  a.store.Screens[1].Screen[0].AuxText = "   ";
  // Beyond Count nothing is kept.
  b.store.Screens[1].Screen[3].Size = 9;
  b.store.ScreensText[1][3] = "left over";
  EXPECT_EQ(Diff(a, b), "");
}

TEST(ConfigDiff, ScreensAndFieldsThatComeAndGoAreMarked) {
  Config a, b;
  Parse(Demo(), &a);
  Parse(Demo(), &b);
  b.store.NumeroMaximoDeEcrans = 11;
  b.store.GrowScreenTables();
  b.store.Screens[11].ScreenId = 4711;
  b.store.Screens[11].Master = kScreenDefined;
  b.store.Originals[11].Count = 1;
  b.store.Originals[11][0].Text = "Stock Transfer";
  const int count = b.store.Originals[1].Count;
  b.store.Originals[1].Count = count - 1;
  const std::string arrow = " \xE2\x86\x92 ";
  const std::string expected = "general: NumeroMaximoDeEcrans 10" + arrow + "11\n" +  //
                               "screen 1: Count " + std::to_string(count) + arrow +
                               std::to_string(count - 1) + "\n";  //
  const std::string diff = Diff(a, b);
  EXPECT_EQ(diff.substr(0, expected.size()), expected) << diff;
  EXPECT_NE(diff.find("screen 1 field " + std::to_string(count - 1) + " (removed): "),
            std::string::npos)
      << diff;
  EXPECT_NE(diff.find("screen 11 (added): ScreenId 0" + arrow + "4711, Master 0" + arrow +
                      "2, Count 0" + arrow + "1\nscreen 11 field 0 (added): host.Text \"\"" +
                      arrow + "\"Stock Transfer\"\n"),
            std::string::npos)
      << diff;
  // The other way round the same places, removed.
  const std::string back = Diff(b, a);
  EXPECT_NE(back.find("screen 11 (removed): ScreenId 4711" + arrow + "0"), std::string::npos)
      << back;
  EXPECT_NE(back.find("screen 1 field " + std::to_string(count - 1) + " (added): "),
            std::string::npos)
      << back;
}

TEST(ConfigDiff, EachKindOfPlaceIsNamedWithItsMembers) {
  Config a, b;
  Parse(Demo(), &a);
  Parse(Demo(), &b);
  b.options.SetText("DisplayLen", "24");
  b.store.TerminalIDDef[2] = "T9";
  b.store.AdvScreens[4].Active = true;
  b.store.AdvScreens[4].Keys1 = "@u";
  const int p = static_cast<int>(std::find_if(a.store.Indice[4].begin(), a.store.Indice[4].end(),
                                              [](int v) { return v != -1; }) -
                                 a.store.Indice[4].begin());
  ASSERT_LT(p, kPositionSlots);
  b.store.Indice[4][p] = -1;
  b.store.ScreenAspect[4].replace(82 * 2, 5, "HELLO");
  b.store.DivideFieldsCt = 1;
  b.store.DivideFields[0] = {4, 3, 170, 5, -1, 0};
  const std::string arrow = " \xE2\x86\x92 ";
  const int was = a.store.Indice[4][p];
  const std::string row3 = text::TrimRightBlanks(a.store.ScreenAspect[4].substr(82 * 2, 80));
  std::string row3After = row3;
  row3After.replace(0, 5, "HELLO");
  EXPECT_EQ(Diff(a, b),
            "general: DisplayLen \"20\"" + arrow + "\"24\", DivideFieldsCt 0" + arrow + "1\n" +
                "session 2: TerminalIDDef \"T3\"" + arrow + "\"T9\"\n" +
                "screen 4: AdvScreens.Active false" + arrow + "true, AdvScreens.Keys1 \"\"" +
                arrow + "\"@u\", Indice[" + std::to_string(p) + "] " + std::to_string(was) + arrow +
                "-1\n" + "screen 4 row 3: ScreenAspect \"" + row3 + "\"" + arrow + "\"" +
                text::TrimRightBlanks(row3After) + "\"\n" + "division 0 (added): ScrNum 0" + arrow +
                "4, FieldNum 0" + arrow + "3, pos 0" + arrow + "170, Size 0" + arrow +
                "5, NewLine 0" + arrow + "-1\n");

  // The same for tools: typed values, one object per place.
  const std::vector<DiffEntry> entries = DiffConfigurations(a.store, a.options, b.store, b.options);
  const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(DiffToJson(entries)));
  ASSERT_TRUE(doc.isObject());
  const QJsonArray differences = doc["differences"].toArray();
  ASSERT_EQ(differences.size(), 5);
  const QJsonObject screen = differences[2].toObject();
  EXPECT_EQ(screen["scope"].toString(), "screen");
  EXPECT_EQ(screen["screen"].toInt(), 4);
  EXPECT_EQ(screen["state"].toString(), "changed");
  const QJsonObject active = screen["changes"].toArray()[0].toObject();
  EXPECT_EQ(active["member"].toString(), "AdvScreens.Active");
  EXPECT_EQ(active["old"], QJsonValue(false));
  EXPECT_EQ(active["new"], QJsonValue(true));
  EXPECT_EQ(differences[3].toObject()["scope"].toString(), "row");
  EXPECT_EQ(differences[3].toObject()["row"].toInt(), 3);
  EXPECT_EQ(differences[4].toObject()["entry"].toInt(), 0);
  EXPECT_EQ(differences[4].toObject()["state"].toString(), "added");
  EXPECT_EQ(QJsonDocument::fromJson(QByteArray::fromStdString(DiffToJson({})))["differences"]
                .toArray()
                .size(),
            0);
}

}  // namespace
}  // namespace tervo::config
