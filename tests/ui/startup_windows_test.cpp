#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include "ui/main_window.h"
#include "ui/small_windows.h"
#include "ui/startup_window.h"
#include "ui/system_message_window.h"
#include "ui/ui_rig.h"

namespace tervo::ui {
namespace {

using testing::Rig;

auto TimerOptions(const char* on, const char* off, bool check1, bool check2) {
  return [=](core::Gateway& g) {
    g.Options().SetText("MaskEdBox1", on);
    g.Options().SetText("MaskEdBox2", off);
    g.Options().SetChecked("Check1", check1);
    g.Options().SetChecked("Check2", check2);
  };
}

TEST(StartupWindow, HoldsTheTimerOptionsInItsControls) {
  config::GeneralOptions options;
  options.SetText("MaskEdBox1", "07:00");
  StartupWindow w(options);
  EXPECT_EQ(w.windowTitle(), "Boot AS400");
  EXPECT_EQ(w.findChild<QLabel*>("Heading")->text(), "Startup Timer");
  EXPECT_EQ(w.findChild<QCheckBox*>("Check1")->text(), "Activate Timer");
  EXPECT_EQ(w.findChild<QCheckBox*>("Check2")->text(), "Close Program on timer off");
  EXPECT_EQ(w.findChild<QCheckBox*>("AutoSave")->text(), "Auto Save File");
  EXPECT_EQ(w.findChild<QWidget*>("StartNow")->property("text").toString(), "Start Now");
  EXPECT_EQ(w.findChild<QWidget*>("Command2")->property("text").toString(), "OK");
  EXPECT_EQ(w.TickTimer().interval(), 10000);
  auto* off = w.findChild<QLineEdit*>("MaskEdBox2");
  EXPECT_EQ(off->displayText(), "__:__");
  off->setFocus();
  off->home(false);
  QTest::keyClicks(off, "1930");
  EXPECT_EQ(options.Text("MaskEdBox2"), "19:30");
  w.findChild<QCheckBox*>("AutoSave")->click();
  EXPECT_EQ(options.Text("AutoSave"), "1");
}

TEST(StartupWindow, WaitsForOnThenOpensTheMainWindow) {
  Rig r(2, TimerOptions("07:00", "19:00", true, false));
  // Created at 12:00, inside the span: the first tick opens it.
  EXPECT_FALSE(r.windows->Main().isVisible());
  EXPECT_TRUE(r.windows->Startup().isVisible());
  EXPECT_FALSE(r.gateway->Started()) << "the gateway starts with the main window";
  r.windows->Tick();
  EXPECT_TRUE(r.windows->Main().isVisible());
  EXPECT_FALSE(r.windows->Startup().isVisible());
  EXPECT_TRUE(r.gateway->Started());
}

TEST(StartupWindow, OffEarlierThanOnOnlyStartsByStartNow) {
  Rig r(1, TimerOptions("22:00", "06:00", true, false));
  for (int h : {23, 2, 5}) {
    r.At(h, 0, 0);
    r.windows->Tick();
  }
  EXPECT_FALSE(r.windows->Main().isVisible());
  QTest::mouseClick(r.windows->Startup().findChild<QWidget*>("StartNow"), Qt::LeftButton);
  EXPECT_TRUE(r.windows->Main().isVisible());
  EXPECT_FALSE(r.windows->Startup().isVisible());
}

TEST(StartupWindow, AFileThatFailsToLoadOpensTheMainWindowAtOnce) {
  Rig r(1, TimerOptions("07:00", "19:00", true, false), /*loaded=*/false);
  EXPECT_TRUE(r.windows->Main().isVisible());
}

TEST(StartupWindow, ActivateTimerRestartsTheComputerAfterOff) {
  Rig r(1, TimerOptions("07:00", "19:00", true, false));
  r.windows->Tick();
  r.At(19, 0, 0);
  r.windows->Tick();
  EXPECT_TRUE(r.windows->Main().isVisible()) << "exactly OFF is not after it";
  r.At(19, 0, 10);
  r.windows->Tick();
  EXPECT_FALSE(r.windows->Main().isVisible());
  EXPECT_TRUE(r.windows->Startup().isVisible());
  EXPECT_TRUE(r.gateway->ShutDown()) << "closing the main window ran the shutdown sequence";
  EXPECT_EQ(r.restart.requests, 0) << "the countdown runs first";
  r.windows->Tick();  // a tick during the countdown starts no second one
  r.Pass(10000);
  EXPECT_EQ(r.restart.requests, 1);
  EXPECT_FALSE(r.finished) << "the program itself waits for the restart";
}

TEST(StartupWindow, AfterACancelledRestartTheNextOnStartsAFreshGateway) {
  Rig r(1, TimerOptions("07:00", "19:00", true, false));
  r.windows->Tick();
  r.At(19, 30, 0);
  r.windows->Tick();
  ASSERT_TRUE(r.windows->Message().isVisible());
  QTest::keyClick(&r.windows->Message(), Qt::Key_Return);
  r.Pass(10000);
  EXPECT_EQ(r.restart.requests, 0);
  EXPECT_FALSE(r.finished);
  r.At(7, 0, 30);
  r.windows->Tick();
  EXPECT_TRUE(r.finished);
  EXPECT_TRUE(r.windows->ReopenRequested()) << "the shut-down gateway is not shown again";
}

TEST(StartupWindow, TheTimedStopAsksNobody) {
  Rig r(1, TimerOptions("07:00", "19:00", true, false));
  r.windows->Tick();
  r.gateway->ConfigChanged = true;
  r.At(19, 0, 10);
  r.windows->Tick();
  r.Pass(10000);
  EXPECT_TRUE(r.prompt.asked.empty()) << "a question would hold the restart until someone answers";
  EXPECT_EQ(r.restart.requests, 1);
}

TEST(StartupWindow, EnterInTheMessageWindowCancelsTheCountdown) {
  Rig r(1, TimerOptions("07:00", "19:00", false, true));
  ASSERT_TRUE(r.windows->Main().isVisible());
  r.At(20, 0, 0);
  r.windows->Tick();
  ASSERT_TRUE(r.windows->Message().isVisible());
  QTest::keyClick(&r.windows->Message(), Qt::Key_Return);
  r.Pass(10000);
  EXPECT_EQ(r.windows->Message().LastKey(), 13);
  EXPECT_TRUE(r.windows->Message().Confirmed());
  EXPECT_FALSE(r.finished) << "Enter keeps the gateway running";
  EXPECT_TRUE(r.windows->Main().isVisible());
  EXPECT_EQ(r.restart.requests, 0);

  r.windows->Tick();
  r.Pass(10000);
  EXPECT_TRUE(r.finished) << "without Enter the next countdown closes the program";
  EXPECT_TRUE(r.gateway->ShutDown());
  EXPECT_EQ(r.restart.requests, 0) << "closing the program is not a restart";
}

TEST(SystemMessageWindow, CountsDownRecordsKeysAndHides) {
  SystemMessageWindow w;
  EXPECT_EQ(w.windowTitle(), "System Message ");
  w.Start("Radio Base Not Found", 5.0);
  EXPECT_TRUE(w.isVisible());
  EXPECT_EQ(w.CountdownLabel()->text(), "5");
  int recorded = 0;
  QObject::connect(&w, &SystemMessageWindow::keyRecorded, [&](int k) { recorded = k; });
  QTest::keyClick(&w, Qt::Key_X);
  EXPECT_EQ(w.LastKey(), 'X');
  EXPECT_FALSE(w.Confirmed());
  for (int i = 0; i < 4; ++i) w.Second();
  EXPECT_EQ(w.CountdownLabel()->text(), "1");
  EXPECT_TRUE(w.isVisible());
  w.Second();
  EXPECT_FALSE(w.isVisible());
  QTest::keyClick(&w, Qt::Key_Return);
  EXPECT_EQ(recorded, 13);
  EXPECT_TRUE(w.Confirmed());
  w.Start("again", 2.5);
  EXPECT_EQ(w.Countdown(), 2) << "halves round to even";
  EXPECT_EQ(w.LastKey(), 0) << "a new message clears the last key";
}

TEST(TerminalScreenWindow, ShowsThePreviewAndEnterClosesIt) {
  Rig r(1);
  r.windows->RunCommand("TerminalEmulator");
  TerminalScreenWindow& t = r.windows->Terminal();
  EXPECT_EQ(t.windowTitle(), "Terminal Screen");
  EXPECT_TRUE(t.isVisible());
  r.windows->PreviewChanged("ITEM LOOKUP\r\nQty:");
  EXPECT_EQ(t.Text(), "ITEM LOOKUP\nQty:");
  QTest::keyClick(t.findChild<QPlainTextEdit*>("Terminal"), Qt::Key_Return);
  EXPECT_FALSE(t.isVisible());
}

}  // namespace
}  // namespace tervo::ui
