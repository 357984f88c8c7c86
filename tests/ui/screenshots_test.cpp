// Takes the screenshots of docs/screenshots: the real gateway on the demo
// configuration and the embedded demo host, four simulated terminals
// signed on over TCP/IP.  Disabled in the suite; scripts/screenshots.sh runs
// it under Xvfb.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

#include "config/text.h"
#include "core/gateway_builder.h"
#include "platform/radio/sim_links.h"
#include "platform/radio/sim_terminal.h"
#include "ui/divide_field_window.h"
#include "ui/general_config_dialog.h"
#include "ui/graph_window.h"
#include "ui/main_window.h"
#include "ui/master_screen_window.h"
#include "ui/monitor_windows.h"
#include "ui/operator_windows.h"
#include "ui/repeat_window.h"
#include "ui/screen_editor_window.h"
#include "ui/recent_messages_window.h"
#include "ui/screens_report_window.h"
#include "ui/startup_window.h"

namespace tervo::ui {
namespace {

bool ScreenShown(host5250::HostDisplay* d) {
  if (!d) return false;
  for (int row = 1; row <= 24; ++row)
    if (d->ReadText(row, 1, 80).find_first_not_of(' ') != std::string::npos) return true;
  return false;
}

void Settle(int ms) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

TEST(Screenshots, DISABLED_MainWindowDialogAndStartup) {
  const QString out = qEnvironmentVariable("TERVO_SCREENSHOT_DIR", "screenshots");
  QDir().mkpath(out);
  QTemporaryDir dir;
  ASSERT_TRUE(QFile::copy(QStringLiteral(TERVO_TEST_DATA "/../../demo/warehouse.TVO"),
                          dir.filePath("warehouse.TVO")));

  config::DefaultPrompt prompt;
  os::RecordingRestart restart;
  os::SystemClock clock;
  struct NoDialogs : config::FileDialogs {
    Result Open(const std::string&, const std::string&, std::string*) override {
      return Result::Cancelled;
    }
    Result Save(const std::string&, const std::string&, std::string*) override {
      return Result::Cancelled;
    }
  } dialogs;
  core::BuiltGateway built;
  OperatorWindows::Seams seams{&prompt, &dialogs, &restart, &clock, {}};
  seams.terminalConnected = [&built](const std::string& id) {
    return built.radio && built.radio->IsTerminalConnected(id);
  };
  OperatorWindows windows(seams);

  core::GatewayConfig config;
  config.configBase = dir.filePath("warehouse").toStdString();
  config.settingsFile = dir.filePath("settings.ini").toStdString();
  config.logFolder = dir.path().toStdString();
  {
    QTcpServer probe;  // a free port, named the way an installation names it
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    config.radioAddress = "127.0.0.1:" + std::to_string(probe.serverPort());
  }
  config.sessionCount = 4;
  std::string err;
  ASSERT_TRUE(core::BuildGateway(config, windows, &built, &err)) << err;
  windows.Attach(*built.gateway);
  windows.Start(built.configLoaded);
  ASSERT_TRUE(built.configLoaded);
  windows.Main().showNormal();
  windows.Main().resize(1280, 800);

  std::vector<std::unique_ptr<radio::sim::SimTerminal>> terminals;
  std::vector<std::unique_ptr<radio::sim::SimTcpClient>> links;
  // Batteries in several states, for the battery report.
  const std::pair<const char*, std::int32_t> handhelds[] = {
      {"T1", 5050}, {"T2", 4620}, {"T3", 4380}, {"T4", 4890}};
  for (const auto& [id, battery] : handhelds) {
    terminals.push_back(std::make_unique<radio::sim::SimTerminal>(id, 20, battery));
    links.push_back(std::make_unique<radio::sim::SimTcpClient>(*terminals.back(), "127.0.0.1",
                                                               built.radio->ListeningPort()));
    links.back()->Connect();
  }
  QElapsedTimer wait;
  wait.start();
  auto allShown = [&] {
    for (int s = 0; s < 4; ++s)
      if (!ScreenShown(built.gateway->Display(s))) return false;
    return true;
  };
  while (!allShown() && wait.elapsed() < 30000)
    QApplication::processEvents(QEventLoop::AllEvents, 50);
  EXPECT_TRUE(allShown());
  Settle(1500);
  // Two operators sign on, so the grid shows the application too.
  for (int t : {0, 3}) {
    terminals[t]->Type(t == 0 ? "ALICE" : "BOB");
    terminals[t]->Press(radio::sim::Key::kTab);
    terminals[t]->Type("SECRET");
    terminals[t]->Press(radio::sim::Key::kSend);
  }
  Settle(4000);
  if (qEnvironmentVariableIsSet("TERVO_SCREENSHOT_VERBOSE"))
    for (auto& t : terminals)
      std::fprintf(stderr, "%s:\n%s\n", t->Id().c_str(), radio::sim::ScreenText(*t).c_str());

  windows.RunCommand("FullAccess");
  windows.Main().As4001Click(1);
  windows.RunCommand("RouterConnect");  // a one-line result in the status bar
  windows.UpdateStatus();
  Settle(800);
  EXPECT_TRUE(windows.Main().grab().save(out + "/main-window.png"));

  windows.RunCommand("RecentMessages");
  Settle(500);
  EXPECT_TRUE(windows.MessagesWindow().grab().save(out + "/recent-messages.png"));
  windows.MessagesWindow().hide();

  windows.RunCommand("GeneralConf");
  windows.General().adjustSize();
  // A value that would not work, named at its field.
  auto* len = qobject_cast<QLineEdit*>(windows.General().Control("DisplayLen"));
  len->setFocus();
  len->selectAll();
  QTest::keyClicks(len, "abc");
  Settle(500);
  EXPECT_TRUE(windows.General().grab().save(out + "/general-configuration.png"));
  windows.General().hide();

  windows.RunCommand("SetTimer");
  windows.Startup().adjustSize();
  Settle(500);
  EXPECT_TRUE(windows.Startup().grab().save(out + "/startup-window.png"));

  // The screen editor on the first session's menu, opened by a double
  // click as the operator opens it, with the master screen and repeat
  // dialogs reached from it.  Nothing is changed.
  windows.Main().As4001Click(0);
  QTest::mouseDClick(windows.Main().Display(0), Qt::LeftButton, {}, QPoint(20, 20));
  Settle(300);
  ScreenEditorWindow& editor = windows.EditorWindow();
  EXPECT_TRUE(editor.isVisible());
  editor.adjustSize();
  Settle(500);
  EXPECT_TRUE(editor.grab().save(out + "/screen-editor.png"));
  // The dialogs are shown filled in as an operator would fill them; the
  // master box is cleared again and the repeat dialog closed without OK.
  editor.findChild<QPushButton*>("MasterScreen")->click();
  MasterScreenWindow& master = windows.MasterWindow();
  master.Control<QCheckBox>("MasterScreenCheck")->click();
  master.Control<QRadioButton>("DOWN")->click();
  master.adjustSize();
  Settle(500);
  EXPECT_TRUE(master.grab().save(out + "/master-screen.png"));
  master.Control<QCheckBox>("MasterScreenCheck")->click();
  master.close();
  editor.findChild<QPushButton*>("Repeat")->click();
  RepeatWindow& repeat = windows.RepeatRuleWindow();
  QTest::keyClicks(repeat.Box(editors::RepeatBox::Keys1), "@u");
  repeat.Box(editors::RepeatBox::CounterVal)->selectAll();
  QTest::keyClicks(repeat.Box(editors::RepeatBox::CounterVal), "3");
  repeat.Box(editors::RepeatBox::SubCounter1)->selectAll();
  QTest::keyClicks(repeat.Box(editors::RepeatBox::SubCounter1), "1");
  QTest::keyClicks(repeat.Box(editors::RepeatBox::TKeys), "@E");
  repeat.CounterOption(editors::kCounterFixed)->click();
  repeat.adjustSize();
  Settle(500);
  EXPECT_TRUE(repeat.grab().save(out + "/repeat.png"));
  repeat.close();
  editor.close();

  // The screens report on the first session's menu.  A part of one of its
  // lines is made a divided field through "Divide field", so the picture
  // shows every colour.
  windows.RunCommand("ScreenReport");
  ScreensReportWindow& report = windows.ScreensReportView();
  EXPECT_TRUE(report.isVisible());
  const int menu = built.gateway->Sessions()[0].CurrentScreen;
  report.Box("Text5")->selectAll();
  QTest::keyClicks(report.Box("Text5"), QString::number(menu));
  report.adjustSize();
  Settle(300);
  const config::ScreenStore& store = built.gateway->Store();
  const config::ScreenOriginal& o = store.Originals[menu];
  for (int j = 1; j < o.Count; ++j) {
    const std::string text = text::TrimBlanks(o[j].Text);
    if (store.Screens[menu].Screen[j].Show != 1 || !o[j].Protected || text.size() < 8) continue;
    const std::size_t lead = o[j].Text.find_first_not_of(' ');
    const int start =
        reports::ImageOffset(o[j].StartRow, o[j].StartColumn + static_cast<int>(lead));
    report.Image()->Select(
        start, static_cast<int>(text.find(' ') == std::string::npos ? 4 : text.find(' ')));
    QTest::mouseClick(report.Image()->viewport(), Qt::RightButton, {},
                      report.Image()->PointOf(start));
    break;
  }
  DivideFieldWindow& divide = windows.DivideWindow();
  EXPECT_TRUE(divide.isVisible());
  divide.adjustSize();
  Settle(300);
  EXPECT_TRUE(divide.grab().save(out + "/divide-field.png"));
  divide.findChild<QPushButton*>("InsertField")->click();
  Settle(300);
  EXPECT_TRUE(report.grab().save(out + "/screens-report.png"));
  report.close();

  windows.RunCommand("Graph");
  Settle(300);
  EXPECT_TRUE(windows.GraphView().grab().save(out + "/graph.png"));
  windows.GraphView().close();
  windows.RunCommand("BatteryReport");
  Settle(300);
  EXPECT_TRUE(windows.BatteryView().grab().save(out + "/battery-voltage.png"));
  windows.BatteryView().close();
  windows.RunCommand("Debug");
  Settle(300);
  EXPECT_TRUE(windows.DebugView().grab().save(out + "/debug-window.png"));
  windows.DebugView().close();
  windows.RunCommand("Report");
  Settle(300);
  EXPECT_TRUE(windows.ReportView().grab().save(out + "/report.png"));
  windows.ReportView().close();

  windows.Quit();
  links.clear();
}

}  // namespace
}  // namespace tervo::ui
