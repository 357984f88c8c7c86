// Changes kept beside the configuration when nobody could be asked to save
// them: the file's name, that it holds exactly the configuration, that a
// failed write keeps the earlier one, and what accepting and dropping do.
#include "config/unsaved_file.h"

#include <gtest/gtest.h>

#include <QDir>

#include "config/config_writer.h"
#include "sample_config.h"

namespace tervo::config {
namespace {

using testing::ReadFile;
using testing::TempFolder;

TEST(UnsavedFile, NamedAfterTheConfigurationFile) {
  EXPECT_EQ(UnsavedFilePath("/srv/tervo/plant"), "/srv/tervo/plant.TVO.unsaved");
  EXPECT_EQ(UnsavedFilePath(""), ".TVO.unsaved");
}

TEST(UnsavedFile, HoldsTheWholeConfigurationWithoutRunOverrides) {
  TempFolder dir;
  const std::string base = dir.File("plant");
  ScreenStore store;
  GeneralOptions options;
  testing::FillSample(store, options);
  options.SetRunOverride("TCPIPAddr", "127.0.0.1:0");
  std::string err;
  ASSERT_FALSE(UnsavedFileExists(base));
  ASSERT_TRUE(WriteUnsavedFile(base, store, options, &err)) << err;
  EXPECT_EQ(ReadFile(UnsavedFilePath(base)), WriteConfig(store, options));
  EXPECT_EQ(ReadFile(UnsavedFilePath(base)).find("127.0.0.1:0"), std::string::npos);
  std::string when;
  ASSERT_TRUE(UnsavedFileExists(base, &when));
  EXPECT_EQ(when.size(), 16u) << when;  // yyyy-mm-dd hh:mm

  // Loading gives exactly what was kept, nothing of what the tables held.
  ScreenStore loaded;
  GeneralOptions loadedOptions;
  loaded.NumeroMaximoDeEcrans = 9;
  loaded.GrowScreenTables();
  loaded.Screens[8].ScreenId = 88;
  loadedOptions.SetRunOverride("TCPIPAddr", "127.0.0.1:0");
  testing::RecordingPrompt prompt;
  int bad = -1;
  ASSERT_TRUE(LoadUnsavedFile(base, loaded, loadedOptions, prompt, &bad));
  EXPECT_EQ(bad, 0);
  EXPECT_EQ(WriteConfig(loaded, loadedOptions), WriteConfig(store, options));
  EXPECT_FALSE(loaded.ValidScreen(8));
  EXPECT_EQ(loadedOptions.Text("TCPIPAddr"), "127.0.0.1:0") << "the run's override stays";
}

TEST(UnsavedFile, AFailedWriteKeepsTheEarlierFile) {
  TempFolder dir;
  const std::string base = dir.File("plant");
  testing::WriteFile(UnsavedFilePath(base), "earlier");
  ByteWriter diskFull = [](std::string_view bytes,
                           const std::function<bool(std::string_view)>& sink) {
    sink(bytes.substr(0, 10));
    return false;
  };
  std::string err;
  EXPECT_FALSE(WriteUnsavedFile(base, ScreenStore(), GeneralOptions(), &err, diskFull));
  EXPECT_NE(err.find("cannot write"), std::string::npos) << err;
  EXPECT_EQ(ReadFile(UnsavedFilePath(base)), "earlier");
}

TEST(UnsavedFile, AcceptReplacesTheConfigurationAndDropRemoves) {
  TempFolder dir;
  const std::string base = dir.File("plant");
  GeneralOptions options;
  ScreenStore store;
  std::string err;
  ASSERT_TRUE(SaveDataToFile2(base, store, options, &err));
  options.SetText("ExitWord", "Quit");
  ASSERT_TRUE(WriteUnsavedFile(base, store, options, &err));
  testing::RecordingPrompt prompt;
  ASSERT_TRUE(AcceptUnsavedFile(base, prompt, &err)) << err;
  EXPECT_EQ(ReadFile(ConfigFilePath(base)), WriteConfig(store, options));
  EXPECT_FALSE(UnsavedFileExists(base));
  EXPECT_FALSE(AcceptUnsavedFile(base, prompt, &err)) << "nothing left to accept";

  ASSERT_TRUE(WriteUnsavedFile(base, store, options, &err));
  ASSERT_TRUE(RemoveUnsavedFile(base, &err));
  EXPECT_FALSE(UnsavedFileExists(base));
  EXPECT_TRUE(RemoveUnsavedFile(base, &err)) << "a file that is not there is no error";
  EXPECT_EQ(QDir(QString::fromStdString(dir.path())).entryList(QDir::Files),
            QStringList{"plant.TVO"});
}

TEST(UnsavedFile, DescribesWhatDiffers) {
  ScreenStore a, b;
  GeneralOptions ao, bo;
  EXPECT_TRUE(DescribeDifferences(a, ao, b, bo).empty());
  bo.SetText("ExitWord", "Quit");
  bo.SetText("DisplayLen", "20");
  bo.SetRunOverride("TCPIPAddr", "1.2.3.4");  // not configuration
  b.TerminalIDDef[3] = "T3";
  b.NumeroMaximoDeEcrans = 14;
  b.GrowScreenTables();
  for (int s : {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}) b.Screens[s].ScreenId = 100 + s;
  b.ScreensText[1][4] = "Qty";
  b.DivideFieldsCt = 1;
  EXPECT_EQ(DescribeDifferences(a, ao, b, bo),
            (std::vector<std::string>{
                "general options: ExitWord, DisplayLen",  // in file order
                "sessions (device name or terminal id): 3",
                "screen definitions: 1, 2, 3, 4, 5, 6, 7, 8, 9, 10 and 3 more", "divided fields"}));
  // A screen number that only one side has, but free, is no difference.
  ScreenStore grown;
  grown.NumeroMaximoDeEcrans = 5;
  grown.GrowScreenTables();
  EXPECT_TRUE(DescribeDifferences(a, ao, grown, ao).empty());
}

}  // namespace
}  // namespace tervo::config
