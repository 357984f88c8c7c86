// Waits that hold up nobody: while one session's step waits (its host
// connection, an unknown screen, a join formula's keys), every other session
// is served, and work is done when it comes instead of on the next tick.
#include <gtest/gtest.h>

#include "gateway_fixture.h"

namespace tervo::core::testing {
namespace {

using tervo::testing::FakeHostDisplay;

// Both terminals connected, each showing the item screen of definition 2.
class TwoTerminals : public Started {
 protected:
  void SetUp() override {
    Started::SetUp();
    Connect(kT1);
    Connect(kT2);
    ItemScreen(Display(0), "100234");
    ItemScreen(Display(1), "200127");
    Define(2);
    ShowItemInput(2);
    // A host takes each key and is busy with it until it answers.
    for (int s : {0, 1})
      Display(s).onSendKeys = [this, s](const std::string&) { Display(s).inhibited = true; };
  }
  // Session s's host answers: input accepted again, the screen event sent.
  void HostAnswers(int s) {
    Display(s).inhibited = false;
    Display(s).Events().KeyboardStatus();
    Display(s).Events().ReadyToSend(true);
    Settle();
  }
  int ScreensSentTo(const std::string& id) {
    return Calls("T_InitScreen(" + tervo::testing::RecordingRadioLink::Quote(id) + ",'AS400");
  }
};

TEST_F(TwoTerminals, AnAnswerIsHandledWhenItArrivesAndTheNextKeyWhenTheHostTakesIt) {
  gateway_->ReadyToSend(0, true);
  ASSERT_EQ(ScreensSentTo("T1"), 1);
  const auto t0 = clock_->MonotonicMs();
  Answer("T1", {"100311"});
  EXPECT_EQ(Display(0).sentKeys, std::vector<std::string>{"@E"}) << "no tick needed";
  EXPECT_EQ(Display(0).Field(1).Text, "100311");

  store_->Screens[2].KeysAfterEnter = "@3";
  HostAnswers(0);  // the host's next screen, the same definition
  ASSERT_EQ(ScreensSentTo("T1"), 2);
  Answer("T1", {"100418"});
  EXPECT_EQ(Display(0).sentKeys.back(), "@E");
  HostAnswers(0);  // ... and the queue's next piece goes as soon as it is free
  EXPECT_EQ(Display(0).sentKeys.back(), "@3");
  EXPECT_EQ(clock_->MonotonicMs(), t0) << "all of it without a poll tick";
}

TEST_F(TwoTerminals, KeysThatBringNoHostEventGoAtThePaceOfTheTick) {
  // A screen answered by plain text that the host takes without a word: the
  // same screen comes back and is answered again.  That must not spin.
  store_->Screens[2].DontSendToTerminal = 1;
  store_->Screens[2].EscKey = "x";
  Display(0).onSendKeys = nullptr;
  gateway_->ReadyToSend(0, true);
  Settle();
  Pass(1000);
  EXPECT_GE(Display(0).sentKeys.size(), 5u);
  EXPECT_LE(Display(0).sentKeys.size(), 12u) << "about one piece per tick";
}

TEST_F(TwoTerminals, ATerminalThatStartsHoldsUpNoOther) {
  gateway_->ReadyToSend(1, true);
  ASSERT_EQ(ScreensSentTo("T2"), 1);
  const int connects = Display(0).connects;
  S()[0].StartCount = 1;                        // not a quick restart:
  gateway_->HandleScreenRequest(kT1, "START");  // T1's host session needs 4 s
  Pass(1000);
  Answer("T2", {"200255"});
  EXPECT_EQ(Display(1).Field(1).Text, "200255");
  EXPECT_EQ(Display(1).sentKeys, std::vector<std::string>{"@E"});
  EXPECT_EQ(Display(0).connects, connects) << "T1 still waits for its host";
  Pass(kConnectSettleMs);
  EXPECT_GT(Display(0).connects, connects);
}

TEST_F(GatewayTest, TerminalsThatStartTogetherAreConnectedTogether) {
  gateway_->Start();
  gateway_->HandleScreenRequest(kT1, "START");
  gateway_->HandleScreenRequest(kT2, "START");
  Pass(kConnectSettleMs);
  EXPECT_TRUE(S()[0].Terminal_Connected);
  EXPECT_TRUE(S()[1].Terminal_Connected) << "not one after the other";
}

TEST_F(TwoTerminals, AnUnknownScreenIsRetriedWhileTheOtherSessionsAreServed) {
  options_->SetText("NewScreenTimeout", "1.5");
  gateway_->ReadyToSend(1, true);
  Display(0).ClearScreen();
  Display(0).AddField(3, 2, "Unknown", 7, true);
  gateway_->ReadyToSend(0, true);
  EXPECT_TRUE(gateway_->SessionWaiting(0));
  Pass(500);
  Answer("T2", {"200255"});
  EXPECT_EQ(Display(1).sentKeys, std::vector<std::string>{"@E"});
  EXPECT_TRUE(S()[0].InNewScreen);
  Pass(1100);
  EXPECT_FALSE(S()[0].InNewScreen);
  EXPECT_EQ(ScreensSentTo("T1"), 1) << "defined after the time-out, then sent";
}

TEST_F(TwoTerminals, ANewerScreenOfTheSessionReplacesTheOneBeingIdentified) {
  options_->SetText("NewScreenTimeout", "1.5");
  const int defined = store_->ScreenCt;
  ItemScreen(Display(0), "100234");
  Display(0).AddField(9, 2, "Unknown", 7, true);
  gateway_->ReadyToSend(0, true);  // unknown: retried
  Pass(400);
  ItemScreen(Display(0), "100234");  // the host shows the known screen now
  gateway_->ReadyToSend(0, true);
  EXPECT_EQ(ScreensSentTo("T1"), 1);
  const int unknownRounds = CountLogged("Screen Desconhecido");
  Pass(3000);
  EXPECT_EQ(CountLogged("Screen Desconhecido"), unknownRounds) << "the old handling is gone";
  EXPECT_EQ(store_->ScreenCt, defined) << "and defines nothing";
}

// A join formula sends keys and reads the host's next screen.  While the
// host works, another session meets a screen nobody defined; the new
// definition grows the screen tables.  The first session then carries on
// with its screen: nothing it goes on with may point into the old tables.
TEST_F(TwoTerminals, AJoinFormulaWaitsForItsHostWhileTheTablesGrow) {
  store_->Screens[2].Screen[0].JoinField = "@u@EQU(1)";
  gateway_->ReadyToSend(0, true);
  EXPECT_EQ(Display(0).sentKeys, std::vector<std::string>{"@u"});
  EXPECT_FALSE(S()[0].ReadyToSendFlag) << "closed for the screens its keys bring";
  EXPECT_TRUE(gateway_->SessionWaiting(0));

  options_->SetText("NewScreenTimeout", "0");
  store_->ScreenCt = store_->NumeroMaximoDeEcrans;
  store_->Screens.shrink_to_fit();
  const std::size_t capacity = store_->Screens.capacity();
  Display(1).ClearScreen();
  Display(1).AddField(2, 2, "Never seen before", 17, true);
  gateway_->ReadyToSend(1, true);
  ASSERT_GT(store_->Screens.size(), capacity) << "the tables grew while session 0 waited";
  EXPECT_EQ(ScreensSentTo("T2"), 1);

  Pass(1000);
  EXPECT_EQ(ScreensSentTo("T1"), 0) << "still waiting for its host";
  Display(0).Field(1).Text = "next page";
  HostAnswers(0);
  EXPECT_TRUE(S()[0].ReadyToSendFlag);
  EXPECT_EQ(ScreensSentTo("T1"), 1);
  EXPECT_GE(radio_->Find("T_PrintString('next page')"), 0);
}

TEST_F(TwoTerminals, AJoinGivenUpWithItsHostReopensTheSession) {
  store_->Screens[2].Screen[0].JoinField = "@u@EQU(1)";
  gateway_->ReadyToSend(0, true);
  ASSERT_TRUE(gateway_->SessionWaiting(0));
  std::string message = "host gone";
  Display(0).Events().Disconnected(message);
  EXPECT_FALSE(gateway_->SessionWaiting(0));
  EXPECT_TRUE(S()[0].ReadyToSendFlag);
  EXPECT_FALSE(S()[0].InNewScreen);
}

TEST_F(GatewayTest, NoTimerOutlivesTheGateway) {
  gateway_->Start();
  gateway_->HandleScreenRequest(kT1, "START");
  gateway_->Shutdown();
  EXPECT_EQ(timers_->Pending(), 0u);
}

}  // namespace
}  // namespace tervo::core::testing
