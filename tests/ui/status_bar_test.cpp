// What the main window tells the operator: the status bar, the recent
// messages, the one-line results of commands, the confirmations before
// clearing, and that using the windows keeps the configuration unlocked.
#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTest>
#include <QToolButton>

#include "ui/general_config_dialog.h"
#include "ui/main_window.h"
#include "ui/recent_messages_window.h"
#include "ui/ui_rig.h"

namespace tervo::ui {
namespace {

using testing::Rig;

QStringList Status(Rig& r) {
  r.windows->UpdateStatus();
  return r.windows->Main().StatusTexts();
}

TEST(StatusBar, SaysHowTheGatewayIsDoing) {
  Rig r(3);
  QStringList s = Status(r);
  EXPECT_TRUE(s.contains("No radio base")) << s.join('|').toStdString();
  EXPECT_TRUE(s.contains("Terminals 0/3"));
  EXPECT_TRUE(s.contains("Host sessions 0/3"));
  EXPECT_TRUE(s.contains("Saved"));

  std::string err;
  r.Host(0).Connect(&err);
  r.Host(2).Connect(&err);
  r.windows->RunCommand("GeneralConf");
  s = Status(r);
  EXPECT_TRUE(s.contains("Host sessions 2/3"));
  EXPECT_TRUE(s.contains("Unsaved"));
}

TEST(StatusBar, CountsTheTerminalsTheRadioLinkHolds) {
  Rig r(2);
  r.terminalConnected = [](const std::string& id) { return id == "T1"; };
  EXPECT_TRUE(Status(r).contains("Terminals 1/2"));
}

TEST(RecentMessages, ListsWhatTheCaptionShowedWithItsTime) {
  Rig r(1);
  MainWindow& w = r.windows->Main();
  for (int i = 0; i < 3; ++i) r.gateway->WriteLog("Radio Base Not Found , <Enter> to go on", true);
  r.gateway->WriteLog("Host closed", true);
  EXPECT_EQ(Status(r).last(), "Recent messages (4 new errors)");

  QTest::mouseClick(w.MessagesButton(), Qt::LeftButton);
  RecentMessagesWindow& m = r.windows->MessagesWindow();
  ASSERT_TRUE(m.isVisible());
  QStringList lines;
  for (int i = 0; i < m.List()->count(); ++i) lines << m.List()->item(i)->text();
  EXPECT_TRUE(lines.contains("12:00:00  ERROR   Radio Base Not Found , <Enter> to go on (3 times)"))
      << lines.join('\n').toStdString();
  EXPECT_EQ(lines.last(), "12:00:00  ERROR   Host closed");
  EXPECT_EQ(Status(r).last(), "Recent messages") << "read once shown";

  r.gateway->WriteLog("Session 1: lost", true);
  EXPECT_EQ(m.List()->count(), lines.size() + 1) << "an open list follows";
  m.close();
  ASSERT_NE(w.MenuAction("RecentMessages"), nullptr);
  EXPECT_TRUE(w.MenuAction("RecentMessages")->isEnabled()) << "reachable while locked too";
  w.MenuAction("RecentMessages")->trigger();
  EXPECT_TRUE(m.isVisible());
}

// Clearing cannot be undone but by loading the file again: ask, No first.
TEST(Commands, ClearingAsksFirstAndSaysWhatItDid) {
  Rig r(2);
  r.windows->RunCommand("FullAccess");
  auto& store = r.gateway->Store();
  store.NumeroMaximoDeEcrans = 3;
  store.GrowScreenTables();
  store.Screens[2].ScreenId = 22;
  store.Screens[2].Master = config::kScreenDefined;
  r.gateway->Sessions()[1].CurrentScreen = 2;
  QTest::mouseClick(r.windows->Main().Display(1), Qt::LeftButton);

  r.prompt.answer = config::Prompt::Answer::No;
  r.windows->RunCommand("ClearScreen");
  ASSERT_EQ(r.prompt.asked.size(), 1u);
  EXPECT_NE(r.prompt.asked[0].find("Clear the definition of screen 2, shown in session 1 (T1)?"),
            std::string::npos)
      << r.prompt.asked[0];
  EXPECT_EQ(r.prompt.buttons[0], config::Prompt::Buttons::YesNoDefaultNo);
  EXPECT_EQ(store.Screens[2].ScreenId, 22);
  EXPECT_EQ(Status(r)[0], "Clear Screen Data: nothing cleared");

  r.windows->RunCommand("ClearData");
  EXPECT_NE(r.prompt.asked[1].find("Clear all 1 screen definitions?"), std::string::npos);
  EXPECT_EQ(store.Screens[2].ScreenId, 22);
  EXPECT_FALSE(r.gateway->ConfigChanged);

  r.prompt.answer = config::Prompt::Answer::Yes;
  r.windows->RunCommand("ClearData");
  EXPECT_EQ(store.Screens[2].ScreenId, 0);
  EXPECT_TRUE(r.gateway->ConfigChanged) << "the caption must not say Saved over cleared screens";
  EXPECT_EQ(Status(r)[0], "Clear All Data: 1 screen definitions cleared");
}

TEST(Commands, AutoFillAndConnectSayWhatHappened) {
  Rig r(2);
  r.windows->RunCommand("FullAccess");
  r.windows->RunCommand("AutoFill");
  EXPECT_EQ(Status(r)[0], "Auto Fill: session 0 (T0) has no captured screen to fill");

  std::string err;
  r.Host(1).Connect(&err);
  r.windows->RunCommand("RouterConnect");
  EXPECT_EQ(Status(r)[0],
            "Connect: host sessions open when their terminal sends START; 1 of 2 connected now");
  const auto& items = r.windows->Messages().Items();
  EXPECT_EQ(items.back().kind, reports::RecentMessage::Kind::kResult);
}

// The lock relocks after five minutes without use, not during work.
TEST(Activity, UsingTheWindowsKeepsTheConfigurationUnlocked) {
  Rig r(1);
  MainWindow& w = r.windows->Main();
  r.windows->RunCommand("FullAccess");
  r.windows->RunCommand("GeneralConf");
  auto* exitWord = qobject_cast<QLineEdit*>(r.windows->General().Control("ExitWord"));
  for (int minute = 0; minute < 10; ++minute) {
    for (int i = 0; i < 6; ++i) r.windows->Tick();  // one minute
    QTest::keyClick(exitWord, Qt::Key_X);
  }
  EXPECT_TRUE(w.ConfigurationsMenu()->menuAction()->isVisible()) << "ten minutes of typing";
  QTest::mouseClick(w.Display(0), Qt::LeftButton);
  for (int i = 0; i < 31; ++i) r.windows->Tick();
  EXPECT_TRUE(w.ConfigurationsMenu()->menuAction()->isVisible());
  r.windows->Tick();
  EXPECT_FALSE(w.ConfigurationsMenu()->menuAction()->isVisible()) << "idle: it locks again";
}

}  // namespace
}  // namespace tervo::ui
