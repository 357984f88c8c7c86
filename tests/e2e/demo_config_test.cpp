// The checked-in demo configuration is what the demo rules build from the
// demo host's screens, and it loads without a bad line.
#include "demo_config.h"

#include <gtest/gtest.h>

#include <QFile>

#include "config/config_reader.h"
#include "config/config_writer.h"
#include "e2e_harness.h"
#include "editors/terminal_preview.h"

namespace tervo::e2e {
namespace {

TEST(DemoConfig, CheckedInFileIsWhatTheRulesBuild) {
  DemoHostProcess host;
  ASSERT_TRUE(host.Start(false));
  config::ScreenStore store;
  config::GeneralOptions options;
  std::string err;
  ASSERT_TRUE(BuildDemoConfiguration(host.Address(), store, options, &err)) << err;
  const std::string bytes = config::WriteConfig(store, options);
  if (qEnvironmentVariableIsSet("TERVO_WRITE_DEMO_CONFIG")) {
    ASSERT_TRUE(config::SaveDataToFile2(DemoConfigBase(), store, options, &err)) << err;
    for (int n = kSignOn; n <= kMaster; ++n)
      std::printf("--- screen %d (id %d)\n%s\n", n, store.Screens[n].ScreenId,
                  editors::CreateTerminalSt(store, n).c_str());
  }
  QFile f(QString::fromStdString(config::ConfigFilePath(DemoConfigBase())));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << "demo/warehouse.TVO missing";
  EXPECT_TRUE(f.readAll().toStdString() == bytes)
      << "demo/warehouse.TVO is stale: run e2e_tests with TERVO_WRITE_DEMO_CONFIG=1";

  config::ScreenStore loaded;
  config::GeneralOptions loadedOptions;
  config::NullLog log;
  config::LogPrompt prompt(log);
  int bad = -1;
  ASSERT_TRUE(config::LoadData(DemoConfigBase(), loaded, loadedOptions, prompt, &bad));
  EXPECT_EQ(bad, 0);
  EXPECT_EQ(loaded.Screens[kMaster].Master, config::kScreenMaster);
  EXPECT_EQ(loaded.Screens[kReceived].DontSendToTerminal, 1);
  EXPECT_EQ(loaded.TerminalIDDef[3], "T4");
}

}  // namespace
}  // namespace tervo::e2e
