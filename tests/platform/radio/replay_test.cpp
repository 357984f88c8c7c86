// Building, answering and replaying screens through a real link on loopback,
// with simulated terminals on the other side.
#include <gtest/gtest.h>

#include "platform/radio/sim_links.h"
#include "radio_test_util.h"

namespace tervo::radio {
namespace {

using test::LogRecorder;
using test::PumpUntil;
using test::Received;
using test::TakeWithin;

// The shape of a host screen as rendering builds it: two input items, a
// menu prompt and the Enter item, then the read and the send.  A replayed
// build (after T_RefreshScreen) starts without T_InitScreen.
int BuildOrder(RadioLink& link, const std::string& id, std::string* qty, std::string* loc,
               bool fresh = false) {
  if (fresh) link.T_InitScreen(id, "AS400777", 2081, 0, 0);
  link.T_Cls();
  link.T_SetLargeFunctionKeys("ExitE", 5);
  link.T_Say("Qty ");
  link.T_GetText(*qty, 4, 0);
  link.T_Say("");
  link.T_GetText(*loc, 6, -2);
  link.T_NewLine();
  link.T_Say("1. Orders");
  link.T_GetCheckEnter();  // item 6
  link.T_NewLine();
  link.T_Say("Enter");
  link.T_GetCheckEnter();  // item 8
  const int r = link.T_Read();
  link.T_SendScreenToPc("AS400777", 2088);
  link.T_WaitAnyScreenFromPc();
  link.T_SendScreen();
  return r;
}

struct Terminal {
  Terminal(const std::string& id, quint16 port) : sim(id, 20), client(sim, "127.0.0.1", port) {
    client.Connect();
  }
  sim::SimTerminal sim;
  sim::SimTcpClient client;
};

class Replay : public ::testing::Test {
 protected:
  void SetUp() override {
    link = test::TcpLink(log, {"T1", "T2"});
    ASSERT_TRUE(link);
    t1 = std::make_unique<Terminal>("T1", link->ListeningPort());
    t2 = std::make_unique<Terminal>("T2", link->ListeningPort());
    Received r;
    for (int i = 0; i < 2; ++i) {
      ASSERT_TRUE(TakeWithin(*link, &r)) << ::testing::PrintToString(log.lines);
      EXPECT_EQ(r.kind, kScreenRequest);
      EXPECT_EQ(r.data, "START");
    }
  }
  void SendOrderTo(const std::string& id) {
    std::string qty = std::string("5\0  ", 4), loc = "A01   ";
    EXPECT_EQ(BuildOrder(*link, id, &qty, &loc, true), 0);
    EXPECT_EQ(qty, std::string("5\0  ", 4)) << "a fresh build leaves the buffer alone";
  }
  LogRecorder log;
  std::unique_ptr<WireRadioLink> link;
  std::unique_ptr<Terminal> t1, t2;
};

TEST_F(Replay, EachInputYieldsItsTypedValueAndReadTheChosenItem) {
  SendOrderTo("T1");
  ASSERT_TRUE(PumpUntil([&] { return t1->sim.Screens() == 1; }));
  auto& d = t1->sim.Display();
  EXPECT_EQ(d.Value(0), "5");
  EXPECT_EQ(d.Value(1), "A01");
  ASSERT_TRUE(d.SetValue("12"));
  ASSERT_TRUE(d.MoveTo("1. Orders"));
  t1->sim.SetBattery(4400);
  t1->sim.Press(sim::Key::kEnter);

  Received r;
  ASSERT_TRUE(TakeWithin(*link, &r));
  EXPECT_EQ(r.id, "T1      ");
  EXPECT_EQ(r.kind, kTerminalAnswer);
  EXPECT_EQ(r.data, "AS400777");
  EXPECT_EQ(r.value, 6);
  EXPECT_EQ(link->BatteryLevel("T1"), 4400);
  EXPECT_EQ(link->BatteryLevel("T2"), 5000) << "from T2's HELLO";

  link->T_RefreshScreen(r.id, r.data);
  std::string qty(4, ' '), loc(6, ' ');
  EXPECT_EQ(BuildOrder(*link, "T1", &qty, &loc), 6);
  EXPECT_EQ(qty, "12  ");
  EXPECT_EQ(loc, "A01   ");
  EXPECT_EQ(t1->sim.Screens(), 1) << "a replayed build sends nothing";
}

TEST_F(Replay, KeysAndTheSendKeyReachRead) {
  const struct {
    sim::Key key;
    const char* item;
    int read;
  } cases[] = {
      {sim::Key::kEscape, nullptr, -27},
      {sim::Key::kF3, nullptr, -3},
      {sim::Key::kF8, nullptr, -8},
      {sim::Key::kEnter, "Enter", 8},
      {sim::Key::kSend, "1. Orders", 6 + 128},
  };
  for (const auto& c : cases) {
    const int screens = t1->sim.Screens();
    SendOrderTo("T1");
    ASSERT_TRUE(PumpUntil([&] { return t1->sim.Screens() == screens + 1; }));
    if (c.item) {
      ASSERT_TRUE(t1->sim.Display().MoveTo(c.item));
    }
    t1->sim.Press(c.key);
    Received r;
    ASSERT_TRUE(TakeWithin(*link, &r));
    link->T_RefreshScreen(r.id, r.data);
    std::string qty(4, ' '), loc(6, ' ');
    EXPECT_EQ(BuildOrder(*link, "T1", &qty, &loc), c.read) << static_cast<int>(c.key);
    EXPECT_EQ(r.value, c.read);
  }
}

TEST_F(Replay, TwoTerminalsAnsweringAtOnceNeverMix) {
  SendOrderTo("T1");
  SendOrderTo("T2");
  ASSERT_TRUE(PumpUntil([&] { return t1->sim.Screens() == 1 && t2->sim.Screens() == 1; }));
  t1->sim.Display().SetValue("111");
  t2->sim.Display().SetValue("222");
  t2->sim.Display().MoveTo("Enter");
  t1->sim.Press(sim::Key::kF2);
  t2->sim.Press(sim::Key::kEnter);

  // Both answers are waiting before the gateway looks at either.
  Received a, b;
  ASSERT_TRUE(TakeWithin(*link, &a));
  ASSERT_TRUE(TakeWithin(*link, &b));
  for (const Received* r : {&b, &a}) {
    link->T_RefreshScreen(r->id, r->data);
    std::string qty(4, ' '), loc(6, ' ');
    const int read = BuildOrder(*link, r->id, &qty, &loc);
    if (r->id == "T1      ") {
      EXPECT_EQ(qty, "111 ");
      EXPECT_EQ(read, -2);
    } else {
      EXPECT_EQ(r->id, "T2      ");
      EXPECT_EQ(qty, "222 ");
      EXPECT_EQ(read, 8);
    }
  }
}

TEST_F(Replay, StaleAndRepeatedAnswersAreRefused) {
  SendOrderTo("T1");
  ASSERT_TRUE(PumpUntil([&] { return t1->sim.Screens() == 1; }));
  Answer late;
  late.sequence = t1->sim.Display().Sequence();
  late.screenName = "AS400777";
  late.chosen = 7;
  late.values = {"99", ""};
  std::string bytes, err;
  ASSERT_TRUE(wire::EncodeFrame({0x04, "T1", wire::EncodeAnswer(late)}, &bytes, &err));
  // A newer screen goes out before the answer to the older one arrives.
  SendOrderTo("T1");
  ASSERT_TRUE(PumpUntil([&] { return t1->sim.Screens() == 2; }));
  t1->client.WriteRaw(bytes);
  ASSERT_TRUE(PumpUntil([&] { return log.Has("refused: answers screen 1, awaiting 2"); }));

  t1->sim.Press(sim::Key::kEscape);
  Received r;
  ASSERT_TRUE(TakeWithin(*link, &r));
  EXPECT_EQ(r.value, -27);
  late.sequence = 2;
  ASSERT_TRUE(wire::EncodeFrame({0x04, "T1", wire::EncodeAnswer(late)}, &bytes, &err));
  t1->client.WriteRaw(bytes);
  ASSERT_TRUE(PumpUntil([&] { return log.Has("refused: answers screen 2, none awaited"); }));
  EXPECT_FALSE(test::Take(*link, &r));
}

TEST(ReadValue, ItemsAboveTheSendOffsetSurviveTheCallersSubtraction) {
  const struct {
    int chosen;
    bool send;
    int read;
  } cases[] = {{0, false, 0},  {-27, false, -27}, {-1, false, -1},   {3, false, 3},
               {3, true, 131}, {128, false, 128}, {130, false, 258}, {130, true, 258}};
  for (const auto& c : cases) {
    Answer a;
    a.chosen = c.chosen;
    a.sendKey = c.send;
    EXPECT_EQ(ReadValueOf(a), c.read) << c.chosen;
    const int r = ReadValueOf(a) > 128 ? ReadValueOf(a) - 128 : ReadValueOf(a);
    EXPECT_EQ(r, c.chosen);
  }
}

}  // namespace
}  // namespace tervo::radio
