// What the metrics page counts, taken at the engine's own moments: the wait
// from an answer to the next screen on the gateway's clock, answers that
// never reach the host, a host that could not be reached, and the daily
// table's day turning while the gateway runs.
#include <gtest/gtest.h>

#include "gateway_fixture.h"

namespace tervo::core::testing {
namespace {

// T1 connected and shown the item screen of definition 2 by a host that is
// busy with each key until it answers.
class Monitored : public Started {
 protected:
  void SetUp() override {
    Started::SetUp();
    Connect(kT1);
    ItemScreen(Display(0), "100234");
    Define(2);
    ShowItemInput(2);
    Display(0).onSendKeys = [this](const std::string&) { Display(0).inhibited = true; };
  }
  void HostAnswers() {
    Display(0).inhibited = false;
    Display(0).Events().KeyboardStatus();
    Display(0).Events().ReadyToSend(true);
    Settle();
  }
  const RunMetrics& M() const { return gateway_->Metrics(); }
};

TEST_F(Monitored, TheWaitRunsFromTheAnswerToTheHostsNextScreen) {
  gateway_->ReadyToSend(0, true);
  Pass(5000);  // the worker reads and types: not the gateway's wait
  Answer("T1", {"100311"});
  Pass(1500);  // the host works
  HostAnswers();
  EXPECT_EQ(M().Counts(0).answersProcessed, 1u);
  EXPECT_EQ(M().Counts(0).screensSent, 2u);
  EXPECT_EQ(M().Latency().count, 1u);
  EXPECT_DOUBLE_EQ(M().Latency().sumSeconds, 1.5);
  EXPECT_EQ(M().Latency().atOrBelow[4], 0u) << "not within 1 s";
  EXPECT_EQ(M().Latency().atOrBelow[5], 1u) << "within 2.5 s";

  // A screen the terminal asks for again is a screen sent.
  gateway_->HandleScreenRequest(kT1, "AS400" + std::to_string(store_->Screens[2].ScreenId));
  EXPECT_EQ(M().Counts(0).screensSent, 3u);
  // An answer the terminal gave before it restarted is not waited for: its
  // first screen after START measures nothing.
  Answer("T1", {"100418"});
  Connect(kT1);
  HostAnswers();
  EXPECT_EQ(M().Counts(0).screensSent, 4u);
  EXPECT_EQ(M().Latency().count, 1u);
}

TEST_F(Monitored, AnswersThatNeverReachTheHostAreDropped) {
  Answer("T1", {"100311"});  // before its first screen since START
  gateway_->ReadyToSend(0, true);
  EXPECT_EQ(M().Latency().count, 0u) << "a refused answer starts no wait";
  // The host left the answered screen (a break message) before the answer.
  ItemScreen(Display(0), "100234");
  Display(0).AddField(2, 2, "Break message from QSYSOPR", 26, true);
  Answer("T1", {"100311"});
  EXPECT_EQ(M().Counts(0).answersDropped, 2u);
  EXPECT_EQ(M().Counts(0).answersProcessed, 0u);
}

TEST_F(Started, AHostThatCannotBeReachedIsReportedUntilItIsReached) {
  Display(0).connectResult = false;
  Connect(kT1);
  EXPECT_TRUE(gateway_->Metrics().Unreachable(0));
  EXPECT_EQ(gateway_->Metrics().UnreachableReason(0), "connect refused");
  EXPECT_EQ(gateway_->Metrics().Counts(0).hostUnreachable, 1u);
  Display(0).connectResult = true;
  Connect(kT1);
  EXPECT_FALSE(gateway_->Metrics().Unreachable(0)) << "the host is back";
  EXPECT_EQ(gateway_->Metrics().Counts(0).hostUnreachable, 1u);
}

// A service runs for weeks: the day that begins at midnight is cleared as a
// day that passed while the gateway was stopped would be, not added to
// last month's count of that day.
class RunsOverMidnight : public GatewayTest {
 protected:
  RunsOverMidnight() : GatewayTest({2026, 3, 7, 23, 59, 0}) {}
};

TEST_F(RunsOverMidnight, TheCounterDayTurnsWhileTheGatewayRuns) {
  services_->stored.DailyScreens[7][0] = 5;
  services_->stored.DailyScreens[8].fill(40);  // February's 8th
  gateway_->Start();
  Pass(2 * 60 * 1000);
  EXPECT_EQ(gateway_->Counters().DailyScreens[7][0], 5);
  EXPECT_EQ(gateway_->Counters().DailyScreens[8][0], 0);
  EXPECT_EQ(gateway_->Counters().DailyErrors[8][0], 0);
  gateway_->Shutdown();
  EXPECT_EQ(services_->stored.DailyScreens[8][1], 0);
  EXPECT_EQ(settings_->Get("TervoTerminal2", "Startup", "LastDay", ""), "8");
}

}  // namespace
}  // namespace tervo::core::testing
