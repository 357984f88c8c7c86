// The battery report's rows and the configuration report's text.
#include <gtest/gtest.h>

#include "reports/battery_report.h"
#include "reports/config_report.h"

namespace tervo::reports {
namespace {

TEST(BatteryReport, ReadingsAreClampedIntoTheScaleAndStoredSo) {
  config::ScreenStore store;
  screens::SessionState sessions;
  store.TerminalIDDef[0] = "T1";
  store.TerminalIDDef[1] = "T2";
  store.TerminalIDDef[2] = "T3";
  sessions[0].TerminalScreen.BatteryLevel = 4100;
  sessions[1].TerminalScreen.BatteryLevel = 5600;
  sessions[2].TerminalScreen.BatteryLevel = 4800;
  sessions[20].TerminalScreen.BatteryLevel = 0;  // a slot without terminal
  const BatteryReport r = UpdateBatteryReport(store, sessions);
  ASSERT_EQ(r.rows.size(), 3u);
  EXPECT_EQ(r.rows[0].value, kBatteryScaleMin) << "drawn at the left end";
  EXPECT_EQ(sessions[0].TerminalScreen.BatteryLevel, 4300) << "and stored so";
  EXPECT_EQ(r.rows[1].value, kBatteryScaleMax);
  EXPECT_EQ(sessions[1].TerminalScreen.BatteryLevel, 5200);
  EXPECT_EQ(r.rows[2].value, 4800);
  EXPECT_EQ(sessions[20].TerminalScreen.BatteryLevel, 4300) << "every slot is clamped";
}

TEST(BatteryReport, SlotsWithoutTerminalIdLeaveNoGap) {
  config::ScreenStore store;
  screens::SessionState sessions;
  store.TerminalIDDef[0] = "T1";
  store.TerminalIDDef[1] = "   ";  // blank counts as none
  store.TerminalIDDef[4] = "T5";
  store.TerminalIDDef[32] = " T33";
  const BatteryReport r = UpdateBatteryReport(store, sessions);
  ASSERT_EQ(r.rows.size(), 3u);
  EXPECT_EQ(r.rows[0].slot, 0);
  EXPECT_EQ(r.rows[1].slot, 4);
  EXPECT_EQ(r.rows[2].slot, 32);
  EXPECT_EQ(r.rows[2].terminalId, " T33") << "shown as configured";
  EXPECT_EQ(r.rows[0].top, 1000);
  EXPECT_EQ(r.rows[1].top, 1450);
  EXPECT_EQ(r.rows[2].top, 1900);
  EXPECT_EQ(r.windowHeight, 2350 + 1000);
  EXPECT_EQ(r.buttonsTop, 2350 + 200);

  const BatteryReport none = UpdateBatteryReport(config::ScreenStore{}, sessions);
  EXPECT_TRUE(none.rows.empty());
  EXPECT_EQ(none.windowHeight, 2000);
}

TEST(ConfigReport, CountsDefinitionsWithAnIdentificationValue) {
  config::ScreenStore store;
  store.NumeroMaximoDeEcrans = 12;
  store.GrowScreenTables();
  EXPECT_EQ(ConfigReportText(store, true),
            "Numero total de ecrans       :  12\r\n"
            "Numero total de ecrans usados: 0\r\n"
            "Numero total de ecrans master: 0\r\n"
            "Numero total de Copias do master: 0\r\n"
            "\r\n"
            "Com Ports Connected...\r\n"
            "RADIO BASE OK\r\n");
  auto define = [&](int s, std::int32_t status, std::int32_t id) {
    store.Screens[s].Master = status;
    store.Screens[s].ScreenId = id;
  };
  define(0, config::kScreenDefined, 7);
  define(1, config::kScreenDefined, 8);
  define(2, config::kScreenDefined, 0);  // no identification value: not counted
  define(3, config::kScreenMaster, 9);
  define(4, config::kScreenCopy, 10);
  define(5, config::kScreenCopy, 11);
  define(6, config::kScreenCopy, 12);
  store.NumeroMaximoDeEcrans = 5;  // screen 6 is beyond the configuration
  const ConfigReportCounts c = CountReportedScreens(store);
  EXPECT_EQ(c.defined, 2);
  EXPECT_EQ(c.masters, 1);
  EXPECT_EQ(c.copies, 2);
  const std::string text = ConfigReportText(store, false);
  EXPECT_NE(text.find("Numero total de ecrans usados: 2\r\n"), std::string::npos) << text;
  EXPECT_EQ(text.substr(text.size() - 26), "RADIO BASE NOT CONNECTED\r\n")
      << "the link is down: the report does not say OK";
}

}  // namespace
}  // namespace tervo::reports
