// Terminals, gateway and demo host end to end: the transactions a warehouse
// worker runs, and what the gateway does when something goes away.
#include <gtest/gtest.h>

#include <QTcpSocket>

#include "config/text.h"
#include "demo_config.h"
#include "e2e_harness.h"
#include "platform/demohost/host_connection.h"

namespace tervo::e2e {
namespace {

using radio::sim::Key;

class Transactions : public E2eTest {
 protected:
  // START and sign-on: the terminal ends on the main menu.
  void SignOn(Terminal& t, const std::string& user = "DEMO") {
    ASSERT_TRUE(t.WaitFor("Sign On")) << t.Text();
    ASSERT_TRUE(t.sim.Display().MoveTo("User"));
    t.sim.Display().SetValue(user);
    ASSERT_TRUE(t.Enter("Password", "SECRET")) << t.Text();
    ASSERT_TRUE(t.WaitFor("Main Menu")) << t.Text();
  }
};

TEST_F(Transactions, SignOnReachesTheTerminalAndTypedValuesReachTheHost) {
  ASSERT_NO_FATAL_FAILURE(StartAll());
  auto t1 = NewTerminal("T1");
  ASSERT_NO_FATAL_FAILURE(SignOn(*t1));
  EXPECT_EQ(text::TrimBlanks(G().Sessions()[0].SessionUser), "DEMO");
  // Menu choice by number, then an item inquiry.
  ASSERT_TRUE(t1->Enter("Option", "3"));
  ASSERT_TRUE(t1->WaitFor("Item Inquiry")) << t1->Text();
  ASSERT_TRUE(t1->Enter("Item", "100234"));
  ASSERT_TRUE(t1->WaitFor("Pallet wrap")) << t1->Text();
  EXPECT_TRUE(t1->Shows("A-01-02"));
  EXPECT_NE(HostRow(0, 5).find("100234"), std::string::npos);
}

TEST_F(Transactions, FunctionKeysThroughTheLegendAndTheFItem) {
  ASSERT_NO_FATAL_FAILURE(StartAll());
  auto t1 = NewTerminal("T1");
  ASSERT_NO_FATAL_FAILURE(SignOn(*t1));
  ASSERT_TRUE(t1->Enter("Option", "3"));
  ASSERT_TRUE(t1->WaitFor("Item Inquiry"));
  t1->sim.Press(Key::kF3);  // the legend's F3: host F3, back to the menu
  ASSERT_TRUE(t1->WaitFor("Main Menu")) << t1->Text();
  ASSERT_TRUE(t1->Enter("Option", "3"));
  ASSERT_TRUE(t1->WaitFor("Item Inquiry"));
  ASSERT_TRUE(t1->Enter("F ", "12"));  // "F " item: host F12 (Cancel)
  ASSERT_TRUE(t1->WaitFor("Main Menu")) << t1->Text();
  EXPECT_NE(HostRow(0, 2).find("Main Menu"), std::string::npos);
}

TEST_F(Transactions, RollKeysPageTheHostList) {
  ASSERT_NO_FATAL_FAILURE(StartAll());
  auto t1 = NewTerminal("T1");
  ASSERT_NO_FATAL_FAILURE(SignOn(*t1));
  ASSERT_TRUE(t1->Enter("Option", "2"));
  ASSERT_TRUE(t1->WaitFor("Picking List"));
  EXPECT_NE(HostRow(0, 7).find("SO-50211"), std::string::npos);
  const int before = t1->sim.Screens();
  ASSERT_TRUE(t1->sim.Display().MoveTo("PgDown"));
  t1->sim.Press(Key::kEnter);
  ASSERT_TRUE(WaitUntil([&] { return t1->sim.Screens() > before; }));
  EXPECT_NE(HostRow(0, 7).find("SO-50215"), std::string::npos) << HostRow(0, 7);
  ASSERT_TRUE(t1->sim.Display().MoveTo("PgUp"));
  t1->sim.Press(Key::kEnter);
  ASSERT_TRUE(WaitUntil([&] { return HostRow(0, 7).find("SO-50211") != std::string::npos; }));
}

TEST_F(Transactions, HostErrorLineGivesTheErrorPage) {
  ASSERT_NO_FATAL_FAILURE(StartAll());
  auto t1 = NewTerminal("T1");
  ASSERT_NO_FATAL_FAILURE(SignOn(*t1));
  ASSERT_TRUE(t1->Enter("Option", "3"));
  ASSERT_TRUE(t1->WaitFor("Item Inquiry"));
  ASSERT_TRUE(t1->Enter("Item", "999999"));
  ASSERT_TRUE(t1->WaitFor("not on file", 3000)) << t1->Text() << DebugLogTail();
  EXPECT_TRUE(t1->Shows("ERRO")) << t1->Text();
  // The error is shown once: the next answer clears it.
  t1->sim.Press(Key::kEnter);
  ASSERT_TRUE(WaitUntil([&] { return !t1->Shows("not on file"); })) << t1->Text();
}

TEST_F(Transactions, MenuChoiceByItem) {
  ASSERT_NO_FATAL_FAILURE(StartAll());
  auto t1 = NewTerminal("T1");
  ASSERT_NO_FATAL_FAILURE(SignOn(*t1));
  // Each menu entry is a host field of its own and a line the terminal can
  // choose: Enter on it types the entry's number and presses Enter.
  ASSERT_TRUE(t1->Shows("90. Sign off")) << t1->Text();
  ASSERT_TRUE(t1->sim.Display().MoveTo("3. Item inquiry")) << t1->Text();
  t1->sim.Press(Key::kEnter);
  ASSERT_TRUE(t1->WaitFor("Item Inquiry")) << t1->Text();
  ASSERT_TRUE(WaitUntil([&] { return HostRow(0, 2).find("Item Inquiry") != std::string::npos; }))
      << HostRow(0, 2);
  EXPECT_TRUE(Logged("Info ...3@E")) << DebugLogTail();
}

TEST_F(Transactions, ScreenMarkedNotToSendIsAnsweredByItsKeys) {
  ASSERT_NO_FATAL_FAILURE(StartAll());
  auto t1 = NewTerminal("T1");
  ASSERT_NO_FATAL_FAILURE(SignOn(*t1));
  ASSERT_TRUE(t1->Enter("Option", "1"));
  ASSERT_TRUE(t1->WaitFor("Qty")) << t1->Text();  // the menu shows "1. Receiving" too
  ASSERT_TRUE(t1->sim.Display().MoveTo("Order"));
  t1->sim.Display().SetValue("4711");
  ASSERT_TRUE(t1->sim.Display().MoveTo("Item"));
  t1->sim.Display().SetValue("100311");
  ASSERT_TRUE(t1->Enter("Qty", "25"));
  ASSERT_TRUE(t1->WaitFor("Confirm Receipt")) << t1->Text();
  // Typed values reached the host as the fields ask: the quantity right-
  // adjusted and zero-filled, the order number as typed.
  EXPECT_NE(HostRow(0, 7).find("0000025"), std::string::npos) << HostRow(0, 7);
  EXPECT_NE(HostRow(0, 5).find("4711"), std::string::npos) << HostRow(0, 5);
  const int before = t1->sim.Screens();
  t1->sim.Press(Key::kEnter);
  // "Receipt posted" is answered by Enter without reaching the terminal.
  ASSERT_TRUE(WaitUntil([&] { return t1->sim.Screens() > before && t1->Shows("Receiving"); }))
      << t1->Text();
  EXPECT_EQ(t1->sim.Screens(), before + 1);
  EXPECT_TRUE(Logged("Before ReadyToSend ScrNum=9") || true);
}

TEST_F(Transactions, UnknownScreenBecomesACopyOfItsMaster) {
  ASSERT_NO_FATAL_FAILURE(StartAll());
  auto t1 = NewTerminal("T1");
  ASSERT_NO_FATAL_FAILURE(SignOn(*t1));
  const int before = t1->sim.Screens();
  ASSERT_TRUE(t1->Enter("Option", "4"));  // Stock Transfer has no definition
  ASSERT_TRUE(WaitUntil([&] { return t1->sim.Screens() > before; }));
  const int n = G().Sessions()[0].CurrentScreen;
  EXPECT_GT(n, kMaster);
  const config::ScreenDef& d = G().Store().Screens[static_cast<std::size_t>(n)];
  EXPECT_EQ(d.ScreenId, G().Sessions()[0].ScreenIdValue);
  EXPECT_EQ(d.Master, config::kScreenCopy);
  EXPECT_EQ(d.MultipleInputFather, kMaster);
  EXPECT_EQ(d.TeclasFuncao[2], "Exit");
  EXPECT_EQ(t1->sim.Display().ScreenName(), "AS400" + std::to_string(d.ScreenId));
}

TEST_F(Transactions, LogoffWordEndsWithDisconnect) {
  ASSERT_NO_FATAL_FAILURE(StartAll());
  auto t1 = NewTerminal("T1");
  ASSERT_NO_FATAL_FAILURE(SignOn(*t1));
  G().Store().Screens[kMenu].EscKey = "@LOGOFF";
  t1->sim.Press(Key::kEscape);
  ASSERT_TRUE(t1->WaitFor("Disconnect...")) << t1->Text();
  EXPECT_FALSE(G().Sessions()[0].Terminal_Connected);
}

TEST_F(Transactions, UnknownTerminalIsTold) {
  ASSERT_NO_FATAL_FAILURE(StartAll());
  built_.radio->TCPIP_AcceptTerminalId("T9");  // the link lets it in; no session serves it
  auto t9 = NewTerminal("T9");
  ASSERT_TRUE(t9->WaitFor("TERM ID NOT DEFINED")) << t9->Text();
}

TEST_F(Transactions, GlobalMessageDisconnects) {
  ASSERT_NO_FATAL_FAILURE(StartAll());
  auto t1 = NewTerminal("T1");
  ASSERT_NO_FATAL_FAILURE(SignOn(*t1));
  G().GlobalMessage = "Closing at 18:00";
  ASSERT_TRUE(t1->Enter("Option", "3"));
  ASSERT_TRUE(t1->WaitFor("Closing at 18:00")) << t1->Text();
  EXPECT_FALSE(G().Sessions()[0].Terminal_Connected);
}

TEST_F(Transactions, LowBatteryReportedWithTheAnswerIsShown) {
  ASSERT_NO_FATAL_FAILURE(StartAll());
  auto t1 = NewTerminal("T1", 4100);
  ASSERT_NO_FATAL_FAILURE(SignOn(*t1));
  EXPECT_EQ(G().Sessions()[0].TerminalScreen.BatteryLevel, 4100);
  EXPECT_NE(std::find(uiLines_.begin(), uiLines_.end(), "caption: ERROR:Battery Low T1"),
            uiLines_.end());
}

TEST_F(Transactions, HostDroppingOneSessionLeavesTheOthersServed) {
  ASSERT_NO_FATAL_FAILURE(StartAll());
  auto t1 = NewTerminal("T1");
  auto t2 = NewTerminal("T2");
  ASSERT_NO_FATAL_FAILURE(SignOn(*t1));
  ASSERT_NO_FATAL_FAILURE(SignOn(*t2));
  // The host closes T1's session.
  for (const demohost::HostConnection* c : host_.Host().Connections()) {
    if (c->DeviceName() != "DEMO01") continue;
    auto* socket = const_cast<demohost::HostConnection*>(c)->findChild<QTcpSocket*>();
    ASSERT_NE(socket, nullptr);
    socket->abort();
  }
  ASSERT_TRUE(WaitUntil([&] { return !G().Sessions()[0].Terminal_Connected; }));
  ASSERT_TRUE(t2->Enter("Option", "3"));
  ASSERT_TRUE(t2->WaitFor("Item Inquiry"));
  ASSERT_TRUE(t2->Enter("Item", "300042"));
  ASSERT_TRUE(t2->WaitFor("Safety gloves")) << t2->Text();
  // T1 starts again and is served by a new host session.
  t1->sim.SendStart();
  ASSERT_TRUE(t1->WaitFor("Sign On")) << t1->Text();
}

TEST_F(Transactions, TerminalDroppingMidTransactionIsServedOnReturn) {
  ASSERT_NO_FATAL_FAILURE(StartAll());
  auto t1 = NewTerminal("T1");
  auto t2 = NewTerminal("T2");
  ASSERT_NO_FATAL_FAILURE(SignOn(*t1));
  ASSERT_NO_FATAL_FAILURE(SignOn(*t2));
  ASSERT_TRUE(t1->sim.Display().MoveTo("Option"));
  t1->sim.Display().SetValue("3");
  t1->sim.Press(Key::kEnter);
  // Gone as soon as the gateway has the answer, before the next screen.
  ASSERT_TRUE(WaitUntil([&] { return !G().Sessions()[0].SendFlag; }));
  t1->client.Disconnect();
  ASSERT_TRUE(t2->Enter("Option", "2"));
  ASSERT_TRUE(t2->WaitFor("Picking List"));
  ASSERT_TRUE(WaitUntil([&] { return HostRow(0, 2).find("Item Inquiry") != std::string::npos; }));
  t1->client.Connect();  // back in reach: the unanswered screen follows
  ASSERT_TRUE(t1->WaitFor("Item Inquiry")) << t1->Text();
  ASSERT_TRUE(t1->Enter("Item", "200127"));
  ASSERT_TRUE(t1->WaitFor("Hand pallet")) << t1->Text();
}

}  // namespace
}  // namespace tervo::e2e
