// The report windows over a live session: the real gateway on the demo
// configuration and the embedded demo host, a simulated terminal signed
// on; each window is opened from the main window's menus.
#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>

#include "config/text.h"
#include "live_demo.h"
#include "ui/graph_window.h"
#include "ui/main_window.h"
#include "ui/monitor_windows.h"
#include "ui/screen_editor_window.h"
#include "ui/screens_report_window.h"

namespace tervo::ui {
namespace {

using LiveReports = testing::LiveDemo;
using testing::WaitUntil;

TEST_F(LiveReports, EveryWindowOpensFromTheMenusOverTheRunningDemo) {
  terminal_->SetBattery(4100);
  ASSERT_TRUE(SignOn()) << Screen();
  core::Gateway& g = *built_.gateway;
  const int menu = g.Sessions()[0].CurrentScreen;
  MainWindow& main = windows_->Main();
  windows_->RunCommand("FullAccess");

  // The screens report on the menu the terminal shows.
  main.MenuAction("ScreenReport")->trigger();
  ScreensReportWindow& report = windows_->ScreensReportView();
  ASSERT_TRUE(report.isVisible());
  EXPECT_FALSE(main.isEnabled());
  report.Box("Text5")->selectAll();
  QTest::keyClicks(report.Box("Text5"), QString::number(menu));
  ASSERT_EQ(windows_->ScreensReportModel().ShowScreen(), menu);
  const config::ScreenOriginal& o = g.Store().Originals[menu];
  int shown = -1;
  for (int j = 0; j < o.Count && shown < 0; ++j)
    if (g.Store().Screens[menu].Screen[j].Show == 1 && !text::TrimBlanks(o[j].Text).empty())
      shown = j;
  ASSERT_GE(shown, 0);
  const int offset = reports::ImageOffset(o[shown].StartRow, o[shown].StartColumn);
  const QTextBlock row = report.Image()->document()->findBlockByNumber(o[shown].StartRow - 1);
  EXPECT_EQ(row.text().mid(o[shown].StartColumn - 1, 5).toStdString(), o[shown].Text.substr(0, 5));
  QTest::mouseClick(report.Image()->viewport(), Qt::LeftButton, {},
                    report.Image()->PointOf(offset));
  EXPECT_EQ(windows_->ScreensReportModel().Field(), shown);
  QTest::mouseDClick(report.Image()->viewport(), Qt::LeftButton, {},
                     report.Image()->PointOf(offset));
  ASSERT_TRUE(windows_->EditorWindow().isVisible());
  EXPECT_EQ(windows_->EditorWindow().FieldBox()->text(), QString::number(shown));
  windows_->EditorWindow().close();
  report.close();
  EXPECT_TRUE(main.isEnabled());

  // Screens handled today, the battery, the debug lines, the summary.
  main.MenuAction("Graph")->trigger();
  ASSERT_TRUE(windows_->GraphView().isVisible());
  EXPECT_GT(windows_->GraphView().Values().at(0), 0) << "the sign-on and the menu";
  windows_->GraphView().close();

  main.MenuAction("BatteryReport")->trigger();
  BatteryWindow& battery = windows_->BatteryView();
  ASSERT_TRUE(battery.isVisible());
  EXPECT_EQ(battery.RowLabel(0)->text(), "T1");
  EXPECT_EQ(battery.RowScale(0)->value(), 4300) << "4100 reported";
  battery.close();

  main.MenuAction("Debug")->trigger();
  DebugWindow& debug = windows_->DebugView();
  ASSERT_TRUE(debug.isVisible());
  EXPECT_NE(debug.List(core::DebugList::kHost)
                ->item(0)
                ->text()
                .indexOf(QStringLiteral("Scr=%1 ").arg(menu)),
            -1)
      << debug.List(core::DebugList::kHost)->item(0)->text().toStdString();
  EXPECT_FALSE(debug.List(core::DebugList::kTerminal)->item(0)->text().isEmpty());
  debug.close();

  main.MenuAction("Report")->trigger();
  ASSERT_TRUE(windows_->ReportView().isVisible());
  EXPECT_NE(windows_->ReportView().Text().find("RADIO BASE OK"), std::string::npos);
}

}  // namespace
}  // namespace tervo::ui
