// Saving and loading the whole configuration: everything written comes back
// member for member, and a second save writes the same bytes.
#include <gtest/gtest.h>

#include "config/config_reader.h"
#include "config/config_writer.h"
#include "sample_config.h"

namespace tervo::config {
namespace {

using testing::FillSample;
using testing::RecordingPrompt;
using testing::TempFolder;

void ExpectSameTables(const ScreenStore& a, const ScreenStore& b) {
  EXPECT_EQ(a.NumeroMaximoDeEcrans, b.NumeroMaximoDeEcrans);
  EXPECT_EQ(a.ScreenCt, b.ScreenCt);
  EXPECT_EQ(a.DivideFieldsCt, b.DivideFieldsCt);
  ASSERT_EQ(a.ScreenTableSize(), b.ScreenTableSize());
  for (int s = 0; s < a.ScreenTableSize(); ++s) {
    for (int j = 0; j < kFieldSlots; ++j)
      EXPECT_TRUE(a.Screens[s].Screen[j] == b.Screens[s].Screen[j]) << "screen " << s << " field " << j;
    EXPECT_TRUE(a.Screens[s] == b.Screens[s]) << "screen " << s;
    EXPECT_TRUE(a.Originals[s] == b.Originals[s]) << "capture of screen " << s;
    EXPECT_EQ(a.Indice[s], b.Indice[s]) << "index of screen " << s;
    EXPECT_EQ(a.ScreenAspect[s], b.ScreenAspect[s]) << "image of screen " << s;
    EXPECT_TRUE(a.AdvScreens[s] == b.AdvScreens[s]) << "repeat rule " << s;
    EXPECT_TRUE(a.MasterScreens[s] == b.MasterScreens[s]) << "master settings " << s;
  }
  for (int s = 0; s <= kMaxTextScreen; ++s) EXPECT_EQ(a.ScreensText[s], b.ScreensText[s]) << "texts " << s;
  for (int k = 0; k < kDivisionSlots; ++k) EXPECT_TRUE(a.DivideFields[k] == b.DivideFields[k]) << "division " << k;
  EXPECT_EQ(a.DeviceName, b.DeviceName);
  EXPECT_EQ(a.TerminalIDDef, b.TerminalIDDef);
}

TEST(ConfigRoundTrip, EveryMemberComesBackAndTheSecondSaveIsByteIdentical) {
  TempFolder dir;
  ScreenStore store;
  GeneralOptions options;
  FillSample(store, options);
  std::string err;
  ASSERT_TRUE(SaveDataToFile2(dir.File("plant"), store, options, &err)) << err;

  ScreenStore loaded;
  GeneralOptions loadedOptions;
  loadedOptions.ApplyFallbacks();  // nothing of the previous options may survive
  RecordingPrompt prompt;
  int bad = -1;
  ASSERT_TRUE(LoadDataFromFile2(dir.File("plant"), loaded, loadedOptions, prompt, &bad));
  EXPECT_EQ(bad, 0);
  EXPECT_TRUE(prompt.lines.empty()) << prompt.lines.front().Message();

  ExpectSameTables(store, loaded);
  for (const std::string& key : GeneralOptions::Keys())
    EXPECT_EQ(loadedOptions.Text(key), options.Text(key)) << key;

  ASSERT_TRUE(SaveDataToFile2(dir.File("again"), loaded, loadedOptions, &err)) << err;
  EXPECT_EQ(testing::ReadFile(dir.File("again.TVO")), testing::ReadFile(dir.File("plant.TVO")));
}

TEST(ConfigRoundTrip, ParsesTheSameFromMemoryAsFromFile) {
  ScreenStore store;
  GeneralOptions options;
  FillSample(store, options);
  const std::string bytes = WriteConfig(store, options);
  ScreenStore loaded;
  GeneralOptions loadedOptions;
  RecordingPrompt prompt;
  EXPECT_EQ(ParseConfig(bytes, loaded, loadedOptions, prompt), 0);
  ExpectSameTables(store, loaded);
  EXPECT_EQ(WriteConfig(loaded, loadedOptions), bytes);
}

// Files edited on other systems may have lost their CRs.
TEST(ConfigRoundTrip, LfOnlyLinesLoadLikeCrLf) {
  ScreenStore store;
  GeneralOptions options;
  FillSample(store, options);
  std::string bytes = WriteConfig(store, options);
  std::string lf;
  for (std::size_t i = 0; i < bytes.size(); ++i)
    if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')) lf.push_back(bytes[i]);
  ASSERT_LT(lf.size(), bytes.size());
  ScreenStore loaded;
  GeneralOptions loadedOptions;
  RecordingPrompt prompt;
  EXPECT_EQ(ParseConfig(lf, loaded, loadedOptions, prompt), 0);
  ExpectSameTables(store, loaded);
}

}  // namespace
}  // namespace tervo::config
