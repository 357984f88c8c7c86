// Debug log lines and file names.
#include <gtest/gtest.h>

#include "config/debug_log.h"
#include "sample_config.h"

namespace tervo::config {
namespace {

TEST(DebugLog, FileNameHasNoLeadingZeros) {
  EXPECT_EQ(DebugLogFileName({2026, 3, 7, 9, 5, 0}), "TervoDebug_7_3_2026_9_5.log");
  EXPECT_EQ(DebugLogFileName({2026, 12, 31, 23, 59, 59}), "TervoDebug_31_12_2026_23_59.log");
  EXPECT_EQ(DebugLogFileName({2027, 1, 1, 0, 0, 0}), "TervoDebug_1_1_2027_0_0.log");
}

TEST(DebugLog, LineIsTheMessageIn80CharactersThenDateAndTime) {
  const os::LocalTime t{2026, 3, 7, 9, 5, 3};
  struct Case {
    std::string message;
    std::string start;
  };
  const Case cases[] = {
      {"Radio Base Not Found", "Radio Base Not Found" + std::string(60, ' ')},
      {std::string(100, 'x'), std::string(80, 'x')},
      {"", std::string(80, ' ')},
      {std::string(80, 'y'), std::string(80, 'y')},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatLogLine(c.message, t), c.start + "2026-03-07 09:05:03\r\n");
}

TEST(DebugLog, AppendsLinesToTheFileNamedAtOpenAndShowsErrorsInTheTitle) {
  testing::TempFolder dir;
  os::VirtualClock clock({2026, 3, 7, 9, 5, 0});
  std::string title;
  {
    DebugLog log(clock);
    log.SetTitleSink([&title](const std::string& t) { title = t; });
    std::string err;
    ASSERT_TRUE(log.Open(dir.File("logs/sub"), &err)) << err;
    EXPECT_EQ(log.Path(), dir.File("logs/sub/TervoDebug_7_3_2026_9_5.log"));
    clock.Advance(61'000);
    log.WriteLog(std::string(90, 'm'), false);
    EXPECT_EQ(title, "");
    log.WriteLog("Radio Base Not Found , <Enter> to go on", true);
    EXPECT_EQ(title, "ERROR:Radio Base Not Found , <Enter> to go on");
  }
  const std::string expected = std::string(80, 'm') + "2026-03-07 09:06:01\r\n" +
                               std::string("Radio Base Not Found , <Enter> to go on") + std::string(41, ' ') + "2026-03-07 09:06:01\r\n";
  EXPECT_EQ(testing::ReadFile(dir.File("logs/sub/TervoDebug_7_3_2026_9_5.log")), expected);
}

TEST(DebugLog, ClosedLogStillShowsTitleErrors) {
  os::VirtualClock clock;
  DebugLog log(clock);
  std::string title;
  log.SetTitleSink([&title](const std::string& t) { title = t; });
  log.WriteLog(std::string(85, 'e'), true);
  EXPECT_EQ(title, "ERROR:" + std::string(80, 'e'));
  EXPECT_FALSE(log.IsOpen());
}

}  // namespace
}  // namespace tervo::config
