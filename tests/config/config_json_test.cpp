// The configuration as JSON: whatever the file holds comes back byte for byte
// through export and import, text is Unicode without losing a byte, and an
// import refuses what the file could not hold, saying where.
#include "config/config_json.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "config/config_reader.h"
#include "config/config_writer.h"
#include "config/windows1252.h"
#include "large_config.h"
#include "sample_config.h"

namespace tervo::config {
namespace {

using testing::RecordingPrompt;

// The configuration a file holds, loaded into a fresh store.
struct Loaded {
  ScreenStore store;
  GeneralOptions options;
};

void Parse(const std::string& bytes, Loaded* out) {
  RecordingPrompt prompt;
  ParseConfig(bytes, out->store, out->options, prompt);
  ASSERT_TRUE(prompt.lines.empty()) << prompt.lines.front().Message();
}

// Export, import, write: the file must come back unchanged, and the JSON of
// the imported configuration must be the JSON it came from.
void ExpectRoundTrip(const std::string& file) {
  Loaded loaded;
  Parse(file, &loaded);
  ASSERT_EQ(WriteConfig(loaded.store, loaded.options), file)
      << "the file is not in the writer's form";
  const std::string json = ExportJson(loaded.store, loaded.options);
  Loaded back;
  std::string err;
  ASSERT_TRUE(ImportJson(json, back.store, back.options, &err)) << err;
  EXPECT_TRUE(WriteConfig(back.store, back.options) == file)
      << "the file changed on its way through JSON";
  EXPECT_TRUE(ExportJson(back.store, back.options) == json) << "the JSON changed on its way back";
}

TEST(ConfigJson, EveryTableAndHardTextComesBackByteForByte) {
  ScreenStore store;
  GeneralOptions options;
  testing::FillSample(store, options);
  ExpectRoundTrip(WriteConfig(store, options));
  // Also straight from the tables, which hold values the file leaves out.
  ScreenStore back;
  GeneralOptions backOptions;
  std::string err;
  ASSERT_TRUE(ImportJson(ExportJson(store, options), back, backOptions, &err)) << err;
  EXPECT_TRUE(WriteConfig(back, backOptions) == WriteConfig(store, options));
}

TEST(ConfigJson, TheDemoConfigurationComesBackByteForByte) {
  const std::string demo = testing::ReadFile(TERVO_TEST_DATA "/../../demo/warehouse.TVO");
  ASSERT_FALSE(demo.empty());
  ExpectRoundTrip(demo);
}

// The most screens and the most fields the gateway makes, each in its own
// configuration so that the test stays quick (tervo-bench config measures
// both at once).
TEST(ConfigJson, LargeGeneratedConfigurationsComeBackByteForByte) {
  for (const auto& [screens, fields] :
       {std::pair{kHighestAllocatedScreen, 30}, std::pair{3, kMaxFieldIndex + 1}}) {
    SCOPED_TRACE(std::to_string(screens) + " screens of " + std::to_string(fields) + " fields");
    ScreenStore store;
    GeneralOptions options;
    testing::FillLarge(store, options, screens, fields);
    ExpectRoundTrip(WriteConfig(store, options));
  }
}

TEST(ConfigJson, EachByteIsOneUnicodeCharacterAndComesBack) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  ScreenStore store;
  GeneralOptions options;
  options.SetText("ExitWord", all);
  store.DeviceName[3] = all;
  store.Originals[1].Count = 1;
  store.Screens[1].Screen[0].AuxText = all;
  store.ScreensText[1][0] = all;
  const std::string json = ExportJson(store, options);

  // The euro sign is itself in UTF-8; unassigned codes and control
  // characters are escaped so that a reviewer sees them.
  EXPECT_NE(json.find("\xE2\x82\xAC"), std::string::npos);
  EXPECT_NE(json.find("\\u0081"), std::string::npos);
  EXPECT_NE(json.find("\\u001f"), std::string::npos);
  EXPECT_NE(json.find("\\u000b\\f\\r\\u000e"), std::string::npos);
  const QJsonObject root = QJsonDocument::fromJson(QByteArray::fromStdString(json)).object();
  EXPECT_EQ(root["general"].toObject()["ExitWord"].toString(), FromWindows1252(all));

  ScreenStore back;
  GeneralOptions backOptions;
  std::string err;
  ASSERT_TRUE(ImportJson(json, back, backOptions, &err)) << err;
  EXPECT_EQ(backOptions.Text("ExitWord"), all);
  EXPECT_EQ(back.DeviceName[3], all);
  EXPECT_EQ(back.Screens[1].Screen[0].AuxText, all);
  EXPECT_EQ(back.ScreensText[1][0], all);
}

TEST(ConfigJson, WhatTheFileLeavesOutIsLeftOutAndComesBackAsAFreshStoreHoldsIt) {
  ScreenStore store;
  GeneralOptions options;
  store.Originals[1].Count = 1;
  store.Screens[1].ScreenIdUser = "0";     // what a freed screen holds
  store.Screens[1].ScreenIdTerminal = "";  // what auto-fill leaves
  store.Screens[1].Screen[0].AuxText = "   ";
  store.Screens[1].Screen[0].Size = 7;
  const std::string json = ExportJson(store, options);
  EXPECT_EQ(json.find("ScreenIdUser"), std::string::npos);
  EXPECT_EQ(json.find("ScreenIdTerminal"), std::string::npos);
  EXPECT_EQ(json.find("AuxText"), std::string::npos);
  EXPECT_NE(json.find("\"Size\": 7"), std::string::npos);

  // A document with nothing but its format is a fresh configuration.
  ScreenStore fresh;
  GeneralOptions freshOptions;
  ScreenStore back;
  GeneralOptions backOptions;
  std::string err;
  ASSERT_TRUE(ImportJson("{\"format\": \"tervo-config\", \"version\": 1}", back, backOptions, &err))
      << err;
  EXPECT_TRUE(WriteConfig(back, backOptions) == WriteConfig(fresh, freshOptions));
}

TEST(ConfigJson, AScreenImageOfRowsIsReadableAndAnyOtherImageIsKeptWhole) {
  ScreenStore store;
  GeneralOptions options;
  store.NumeroMaximoDeEcrans = 2;
  store.GrowScreenTables();
  std::string rows;
  for (int r = 0; r < 25; ++r)
    rows += (r == 2 ? "  Item Inquiry" + std::string(66, ' ') : std::string(80, ' ')) + "\r\n";
  store.ScreenAspect[1] = rows;
  store.ScreenAspect[1].resize(kScreenAspectSize, ' ');
  store.ScreenAspect[2] = "a hand-edited image\r\nwithout its rows";
  store.ScreenAspect[2].resize(kScreenAspectSize, ' ');
  const std::string json = ExportJson(store, options);
  EXPECT_NE(
      json.find(
          "\"ScreenAspect\": [\n        \"\",\n        \"\",\n        \"  Item Inquiry\"\n      ]"),
      std::string::npos)
      << json;
  EXPECT_NE(json.find("\"ScreenAspect\": \"a hand-edited image\\r\\nwithout its rows\""),
            std::string::npos);
  ExpectRoundTrip(WriteConfig(store, options));
}

TEST(ConfigJson, ImportRefusesWhatTheFileCannotHoldAndSaysWhere) {
  struct Case {
    std::string members;  // inside the document, after format and version
    std::string message;  // expected in the error
  };
  const std::string screen1 =
      R"("NumeroMaximoDeEcrans": 3, "screens": [{"screen": 1, "Count": 2, "fields": [)";
  const Case cases[] = {
      {R"("screen": 1)", "unknown member \"screen\""},
      {R"("NumeroMaximoDeEcrans": 1000)", "NumeroMaximoDeEcrans 1000 is outside 0..999"},
      {R"("NumeroMaximoDeEcrans": 3, "screens": [{"screen": 4}])", "screen 4 is outside 0..3"},
      {R"("NumeroMaximoDeEcrans": 3, "screens": [{"screen": 1}, {"screen": 1}])",
       "screen 1 appears twice"},
      {R"("NumeroMaximoDeEcrans": 3, "screens": [{"screen": 1, "fields": [{"field": 0}]}])",
       "screen 1: fields are listed but Count is 0"},
      {R"("NumeroMaximoDeEcrans": 3, "screens": [{"screen": 1, "Count": 502}])",
       "screen 1: Count 502 is outside 0..501"},
      {screen1 + R"({"field": 2}]}])", "screen 1: field 2 is outside 0..1"},
      {screen1 + R"({"field": 0, "Size": "10"}]}])",
       "screen 1 field 0: Size: expected a whole number, found \"10\""},
      {screen1 + R"({"field": 0, "Size": 1.5}]}])",
       "screen 1 field 0: Size: expected a whole number, found 1.5"},
      {screen1 + R"({"field": 0, "Size": 2147483648}]}])", "Size: expected a whole number"},
      {screen1 + R"({"field": 0, "Divided": 1}]}])",
       "screen 1 field 0: Divided: expected true or false"},
      {screen1 + R"({"field": 0, "Sise": 1}]}])", "screen 1 field 0: unknown member \"Sise\""},
      {screen1 + R"({"field": 0, "host": {"Txt": ""}}]}])",
       "screen 1 field 0: unknown member \"host.Txt\""},
      {screen1 + R"({"field": 0, "AuxText": "\u4e2d"}]}])",
       "screen 1 field 0: AuxText: character U+4E2D is not in Windows-1252"},
      {screen1 + R"({"field": 0, "AuxText": "\ud83d\ude00"}]}])",
       "character U+1F600 is not in Windows-1252"},
      {R"("NumeroMaximoDeEcrans": 181, "screens": [{"screen": 181, "Count": 1,
          "fields": [{"field": 0, "ScreensText": "x"}]}])",
       "screen 181 field 0: screen 181 has no field texts"},
      {R"("NumeroMaximoDeEcrans": 3, "screens": [{"screen": 1, "Indice": {"2001": 0}}])",
       "screen 1: Indice: \"2001\" is not a position 0..2000"},
      {R"("NumeroMaximoDeEcrans": 3, "screens": [{"screen": 1, "Indice": {"x": 0}}])",
       "\"x\" is not a position"},
      {R"("NumeroMaximoDeEcrans": 3, "screens": [{"screen": 1, "ScreenAspect": [")" +
           std::string(81, 'x') + "\"]}]",
       "screen 1: ScreenAspect row 1 is longer than 80 characters"},
      {R"("NumeroMaximoDeEcrans": 3, "screens": [{"screen": 1, "AdvScreens": {"Active": "True"}}])",
       "screen 1: AdvScreens.Active: expected true or false"},
      {R"("general": {"Cut": "2"})", "general: Cut 2 is outside 0..1"},
      {R"("general": {"DisplayLength": "20"})", "general: unknown option \"DisplayLength\""},
      {R"("general": {"DisplayLen": 20})", "general: DisplayLen: expected a text"},
      {R"("sessions": [{"session": 33, "DeviceName": "D"}])", "session 33 is outside 0..32"},
      {R"("DivideFields": [{"entry": 2001, "Size": 5}])", "entry 2001 is outside 0..2000"},
  };
  for (const Case& c : cases) {
    const std::string json = R"({"format": "tervo-config", "version": 1, )" + c.members + "}";
    ScreenStore store;
    GeneralOptions options;
    std::string err;
    EXPECT_FALSE(ImportJson(json, store, options, &err)) << c.members;
    EXPECT_NE(err.find(c.message), std::string::npos) << c.members << "\n  gave: " << err;
  }
}

TEST(ConfigJson, ADocumentThatIsNoConfigurationIsRefused) {
  const std::pair<std::string, std::string> cases[] = {
      {"{\n  \"format\": \"tervo-config\",\n  \"version\": 1,\n  \"screens\": [}\n",
       "line 4, column"},
      {"[1, 2]", "expected a JSON object"},
      {R"({"format": "something-else", "version": 1})", "\"format\" must be \"tervo-config\""},
      {R"({"format": "tervo-config", "version": 2})", "version 2 is not known"},
      {R"({"format": "tervo-config"})", "version (missing) is not known"},
  };
  for (const auto& [json, message] : cases) {
    ScreenStore store;
    GeneralOptions options;
    std::string err;
    EXPECT_FALSE(ImportJson(json, store, options, &err)) << json;
    EXPECT_NE(err.find(message), std::string::npos) << json << "\n  gave: " << err;
  }
}

}  // namespace
}  // namespace tervo::config
