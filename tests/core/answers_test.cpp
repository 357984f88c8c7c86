// A terminal's answer on its way into the host: which fields take a value,
// in what form, and when an answer must not be applied at all.
#include <gtest/gtest.h>

#include <algorithm>

#include "gateway_fixture.h"

namespace tervo::core::testing {
namespace {

class Answers : public Started {
 protected:
  void SetUp() override {
    Started::SetUp();
    Connect(kT1);
    ItemScreen(Display(0), "100234");
    Define(2);
    ShowItemInput(2);
  }
  void SendScreen() {
    gateway_->ReadyToSend(0, true);
    ASSERT_TRUE(S()[0].SendFlag) << "the screen went to the terminal";
  }
};

TEST_F(Answers, AnAnswerToAScreenTheHostHasLeftIsDropped) {
  SendScreen();
  // Before the answer comes, the host shows another screen (a message, a
  // time-out) with an input field at the same index.
  Display(0).ClearScreen();
  Display(0).AddField(2, 2, "Break message from QSYSOPR", 26, true);
  Display(0).AddField(20, 7, "", 6, false);
  Answer("T1", {"100311"});
  EXPECT_EQ(Display(0).Field(1).Text, "") << "the value is not typed into the other screen";
  EXPECT_EQ(Display(0).sentKeys, std::vector<std::string>{"@E"});
}

// The day's screen count is of screens sent: reading the answer to one
// neither counts it again nor reads anything but the answer's battery level.
TEST_F(Answers, AnAnsweredScreenCountsOnce) {
  const auto screensToday = [&] {
    int n = 0;
    for (const auto& day : gateway_->Counters().DailyScreens) n += day[0];
    return n;
  };
  const auto hostScreensSent = [&] {
    return static_cast<int>(
        std::count_if(radio_->calls.begin(), radio_->calls.end(), [](const std::string& c) {
          return c.rfind("T_InitScreen(", 0) == 0 && c.find(",2081,") != std::string::npos;
        }));
  };
  const int uncounted = hostScreensSent() - screensToday();
  SendScreen();
  EXPECT_EQ(hostScreensSent() - screensToday(), uncounted);
  radio_->battery["T1"] = 4700;
  Answer("T1", {"100311"});
  EXPECT_EQ(Display(0).Field(1).Text, "100311");
  EXPECT_EQ(hostScreensSent() - screensToday(), uncounted) << "each screen sent counts once";
  EXPECT_EQ(S()[0].TerminalScreen.BatteryLevel, 4700);
}

TEST_F(Answers, FieldsTheTerminalShowedAsTextKeepTheHostsValue) {
  // The host pre-fills an unprotected field (the warehouse) that the
  // definition shows as a line of text.
  ItemScreen(Display(0), "100234");
  Display(0).AddField(6, 2, "WH1", 3, false);
  Define(2);
  ShowItemInput(2);
  auto& wh = store_->Screens[2].Screen[2];
  wh.Show = 1;
  wh.Order = 2;
  wh.Size = 3;
  wh.flag2 = config::kFlag2Truncated;
  SendScreen();
  Answer("T1", {"100311"});
  EXPECT_EQ(Display(0).Field(1).Text, "100311");
  EXPECT_EQ(Display(0).Field(2).Text, "WH1") << "not blanked";
}

// Terminal F1-F8 on a screen whose definition maps no function key reach
// the host as its F1-F8, and the legend says so; a definition's mapping wins.
TEST_F(Answers, UnmappedFunctionKeysReachTheHostAndTheLegendNamesThem) {
  auto press = [&](int key) {
    Display(0).sentKeys.clear();
    radio_->Deliver({"T1", "AS400", radio::kTerminalAnswer, RecordingRadioLink::Chose(-key)});
    Pass(kPollIntervalMs);
    return Display(0).sentKeys;
  };
  SendScreen();
  EXPECT_EQ(Calls("T_SetLargeFunctionKeys('     F1\\e     F2\\eF3=Exit\\e',8)"), 1)
      << "the host's \"F3=Exit\" named in the legend";
  EXPECT_EQ(press(3), std::vector<std::string>{"@3"});
  EXPECT_EQ(press(8), std::vector<std::string>{"@8"});

  store_->Screens[2].TeclasFuncao[3] = "Back";
  store_->Screens[2].TeclasFuncaoVal[3] = "@c";
  EXPECT_EQ(press(4), std::vector<std::string>{"@c"});
  EXPECT_TRUE(press(3).empty()) << "not in the mapping: nothing for the host";
}

TEST_F(Answers, InvertInputSendsTheValueWithATrailingMinus) {
  Display(0).Field(1).Type = 8;  // signed numeric: the last position is the sign
  store_->Screens[2].Screen[1].flag2 = config::kFlag2InvertInput;
  SendScreen();
  Answer("T1", {"12"});
  EXPECT_EQ(Display(0).Field(1).Text, "00012-");
}

TEST_F(Answers, AFieldNotShownIsWrittenOnlyIntoAnEmptyHostField) {
  auto& hidden = store_->Screens[2].Screen[1];
  SendScreen();
  auto& ts = S()[0].TerminalScreen;
  hidden.Show = 0;
  // Its kept text differs from the host's: written only when the host field
  // is empty, so a value the host put there stays.
  ts.ShownText[1] = "ABC   ";
  Display(0).Field(1).Text = "";
  Answer("T1", {});
  EXPECT_EQ(Display(0).Field(1).Text, "ABC   ");

  gateway_->ReadyToSend(0, true);
  S()[0].TerminalScreen.ShownText[1] = "ABC   ";
  Display(0).Field(1).Text = "XYZ";
  Answer("T1", {});
  EXPECT_EQ(Display(0).Field(1).Text, "XYZ");
}

TEST_F(Answers, ALockedKeyboardIsResetBeforeTheValuesAreWritten) {
  SendScreen();
  Display(0).Keyboard().Locked = true;  // an error the host is waiting on
  std::vector<std::string> order;
  Display(0).onSendKeys = [&](const std::string& k) {
    order.push_back(k + " after " + std::to_string(Display(0).fields.setTextCalls) + " writes");
  };
  Answer("T1", {"100311"});
  EXPECT_EQ(order, (std::vector<std::string>{"@R after 0 writes", "@E after 1 writes"}));
  EXPECT_TRUE(Logged("ScrNum=2Sending @R"));
}

TEST_F(Answers, ATypedPasswordNeverReachesTheLog) {
  // After the sign-on the host shows a screen answered by keys: its fields
  // are logged with what the terminal last typed at their place.
  auto welcome = [this] {
    Display(0).ClearScreen();
    Display(0).AddField(3, 2, "Welcome", 7, true);
    Display(0).AddField(4, 2, "", 6, false);
  };
  welcome();
  Define(3);
  store_->Screens[3].DontSendToTerminal = 1;
  store_->Screens[3].EscKey = "@E";
  ItemScreen(Display(0));
  Display(0).Field(1).Hidden = true;  // the host does not display it
  SendScreen();
  bool signedOn = false;
  Display(0).onSendKeys = [&](const std::string&) {
    if (!signedOn) welcome();
    signedOn = true;
  };
  Answer("T1", {"s3cret"});
  ASSERT_TRUE(Logged("Before ReadyToSend ScrNum=3 Field=1 [******]"));
  for (const auto& line : services_->lines) EXPECT_EQ(line.find("s3cret"), std::string::npos);
}

TEST_F(Answers, AScreenRequestShowsTheTerminalItsOwnSessionsData) {
  Connect(kT2);
  ItemScreen(Display(1), "200127");
  auto& shown = store_->Screens[2].Screen[1];
  shown.flag2 = config::kFlag2Truncated;  // the input item starts with the host's value
  SendScreen();
  gateway_->ReadyToSend(1, true);
  ASSERT_TRUE(S()[1].SendFlag);

  // T1 lost its screen (a radio drop-out) and asks for it again: it must see
  // its own item, not the one T2's session captured last.
  radio_->calls.clear();
  gateway_->HandleScreenRequest(kT1, "AS400" + std::to_string(store_->Screens[2].ScreenId));
  EXPECT_GE(radio_->Find("T_GetText('100234"), 0);
  EXPECT_EQ(radio_->Find("T_GetText('200127"), -1);

  // Answered unchanged, T1's host keeps its own item.
  Answer("T1", {"100234"});
  EXPECT_EQ(Display(0).Field(1).Text, "100234");
  EXPECT_EQ(Display(0).fields.setTextCalls, 0);
}

TEST_F(Answers, AnAnswerFromBeforeStartIsRefused) {
  SendScreen();
  // The terminal restarts and then sends the answer it was holding: it
  // belongs to the connection the START ended.
  gateway_->HandleScreenRequest(kT1, "START");
  Answer("T1", {"999999"});
  EXPECT_TRUE(Display(0).sentKeys.empty());
  EXPECT_EQ(Display(0).Field(1).Text, "100234");
  Pass(kConnectSettleMs);
  ASSERT_TRUE(S()[0].SendFlag) << "the restarted session's screen was sent";
  Answer("T1", {"100311"});
  EXPECT_EQ(Display(0).Field(1).Text, "100311") << "its answers count again";
}

TEST_F(Answers, ABriskTerminalIsNeverTakenForAnIdleOne) {
  // A terminal that answers every screen before the next poll tick: at each
  // tick it is between its answer and the host's next screen.
  SendScreen();
  for (int i = 0; i < kIdleTicksLimit + 100; ++i) {
    radio_->incoming.push_back(
        {"T1", "AS400", radio::kTerminalAnswer,
         RecordingRadioLink::Chose(S()[0].TerminalScreen.Items.enterItem, {"100234"})});
    gateway_->PollTerminals();
  }
  EXPECT_EQ(Calls("T_PrintInverse('System DOWN')"), 0);
}

}  // namespace
}  // namespace tervo::core::testing
