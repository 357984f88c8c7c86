// Per-user settings through an override file, as tests and portable
// installations use them.
#include <gtest/gtest.h>

#include <QSettings>
#include <cstdlib>

#include "config/user_settings.h"
#include "sample_config.h"

namespace tervo::config {
namespace {

TEST(UserSettings, OverrideFileHoldsBothApplicationsAndDefaultsApply) {
  testing::TempFolder dir;
  const std::string file = dir.File("settings.ini");
  {
    UserSettings s(file);
    EXPECT_EQ(s.FileName(), "");
    EXPECT_EQ(s.RouterName(), "DemoHost");
    EXPECT_EQ(s.System(), "");
    EXPECT_EQ(s.LastDay(17), 17);
    s.SetFileName("/srv/tervo/plant");
    s.SetSystem("AS400A");
    s.SetLastDay(5);
    s.SetRadioDebug(true);
    std::string err;
    ASSERT_TRUE(s.Sync(&err)) << err;
  }
  UserSettings again(file);
  EXPECT_EQ(again.FileName(), "/srv/tervo/plant");
  EXPECT_EQ(again.System(), "AS400A");
  EXPECT_EQ(again.LastDay(17), 5);
  EXPECT_EQ(again.Get(kRadioApplication, kStartupSection, "DEBUG", ""), "1");
  QSettings raw(QString::fromStdString(file), QSettings::IniFormat);
  EXPECT_EQ(raw.value("TervoTerminal2/Startup/FileName").toString(), "/srv/tervo/plant");
  EXPECT_EQ(raw.value("QuilComm/Startup/DEBUG").toString(), "1");
}

TEST(UserSettings, HandEditedValuesWithCommasReadWhole) {
  testing::TempFolder dir;
  testing::WriteFile(dir.File("settings.ini"), "[TervoTerminal2]\nStartup\\FileName=/srv/a,b\nStartup\\System=\"S,1\"\n");
  UserSettings s(dir.File("settings.ini"));
  EXPECT_EQ(s.FileName(), "/srv/a,b");
  EXPECT_EQ(s.System(), "S,1");
  s.SetFileName("/srv/c,d");
  EXPECT_EQ(s.FileName(), "/srv/c,d");
}

TEST(UserSettings, LastDayOutsideTheMonthReadsAsToday) {
  testing::TempFolder dir;
  UserSettings s(dir.File("settings.ini"));
  const char* values[] = {"0", "32", "-3", "abc", ""};
  for (const char* v : values) {
    s.Set(kGatewayApplication, kStartupSection, "LastDay", v);
    EXPECT_EQ(s.LastDay(9), 9) << v;
  }
  s.Set(kGatewayApplication, kStartupSection, "LastDay", " 31");
  EXPECT_EQ(s.LastDay(9), 31);
}

// The command line's --settings is the programs' own (tests/e2e: Program).
TEST(UserSettings, OverrideComesFromTheEnvironment) {
  ::unsetenv("TERVO_SETTINGS");
  EXPECT_EQ(UserSettings::OverrideFromEnvironment(), "");
  ::setenv("TERVO_SETTINGS", "/tmp/env.ini", 1);
  EXPECT_EQ(UserSettings::OverrideFromEnvironment(), "/tmp/env.ini");
  ::unsetenv("TERVO_SETTINGS");
}

TEST(UserSettings, UnwritableOverrideFileIsReported) {
  testing::TempFolder dir;
  testing::WriteFile(dir.File("plain"), "a file, not a folder");
  UserSettings s(dir.File("plain/settings.ini"));
  s.SetSystem("X");
  std::string err;
  EXPECT_FALSE(s.Sync(&err));
  EXPECT_EQ(err, "cannot write the settings \"" + dir.File("plain/settings.ini") + "\"");
}

}  // namespace
}  // namespace tervo::config
