// Building screens and taking the terminals' answers through a real link on
// loopback, with simulated terminals on the other side.
#include <gtest/gtest.h>

#include "platform/radio/sim_links.h"
#include "radio_test_util.h"

namespace tervo::radio {
namespace {

using test::LogRecorder;
using test::PumpUntil;
using test::Received;
using test::TakeWithin;
using Values = std::vector<std::string>;

// The shape of a host screen as rendering builds it: two input items, a
// menu prompt and the Enter item, then the read and the send.
void BuildOrder(RadioLink& link, const std::string& id) {
  link.T_InitScreen(id, "AS400777", kHostScreenFormat, 0, 0);
  link.T_Cls();
  link.T_SetLargeFunctionKeys("ExitE", 5);
  link.T_Say("Qty ");
  link.T_GetText("5", 4, 0);
  link.T_Say("");
  link.T_GetText("A01", 6, -kInputAutoExit);
  link.T_NewLine();
  link.T_Say("1. Orders");
  link.T_GetCheckEnter();  // item 6
  link.T_NewLine();
  link.T_Say("Enter");
  link.T_GetCheckEnter();  // item 8
  link.T_Read();
  link.T_SendScreenToPc("AS400777", kAnswerExpected);
  link.T_WaitAnyScreenFromPc();
  link.T_SendScreen();
}

struct Terminal {
  Terminal(const std::string& id, quint16 port) : sim(id, 20), client(sim, "127.0.0.1", port) {
    client.Connect();
  }
  sim::SimTerminal sim;
  sim::SimTcpClient client;
};

class Answers : public ::testing::Test {
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
  void SendOrderTo(const std::string& id) { BuildOrder(*link, id); }
  LogRecorder log;
  std::unique_ptr<WireRadioLink> link;
  std::unique_ptr<Terminal> t1, t2;
};

TEST_F(Answers, EachInputYieldsItsTypedValueAndTheChosenItem) {
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
  EXPECT_FALSE(r.answer.sendKey);
  EXPECT_EQ(r.answer.values, (Values{"12", "A01"}));
  EXPECT_EQ(link->BatteryLevel("T1"), 4400);
  EXPECT_EQ(link->BatteryLevel("T2"), 5000) << "from T2's HELLO";
}

TEST_F(Answers, KeysAndTheSendKeyArriveAsTheChosenCode) {
  const struct {
    sim::Key key;
    const char* item;
    int chosen;
    bool sendKey;
  } cases[] = {
      {sim::Key::kEscape, nullptr, kChosenEscape, false},
      {sim::Key::kF3, nullptr, -3, false},
      {sim::Key::kF8, nullptr, kChosenF8, false},
      {sim::Key::kEnter, "Enter", 8, false},
      {sim::Key::kSend, "1. Orders", 6, true},
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
    EXPECT_EQ(r.value, c.chosen) << static_cast<int>(c.key);
    EXPECT_EQ(r.answer.sendKey, c.sendKey) << static_cast<int>(c.key);
  }
}

TEST_F(Answers, TwoTerminalsAnsweringAtOnceNeverMix) {
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
    ASSERT_FALSE(r->answer.values.empty());
    if (r->id == "T1      ") {
      EXPECT_EQ(r->answer.values[0], "111");
      EXPECT_EQ(r->value, -2);
    } else {
      EXPECT_EQ(r->id, "T2      ");
      EXPECT_EQ(r->answer.values[0], "222");
      EXPECT_EQ(r->value, 8);
    }
  }
}

TEST_F(Answers, StaleAndRepeatedAnswersAreRefused) {
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

// Typed values go into host fields: control characters a terminal sends
// (a scanner's prefix, a stray Escape) arrive as blanks, and a NUL ends the
// value.
TEST_F(Answers, ControlCharactersInValuesArriveBlanked) {
  SendOrderTo("T1");
  ASSERT_TRUE(PumpUntil([&] { return t1->sim.Screens() == 1; }));
  Answer typed;
  typed.sequence = t1->sim.Display().Sequence();
  typed.screenName = "AS400777";
  typed.chosen = 8;
  typed.values = {std::string("\x1b") + "12\t3", std::string("A0\0junk", 8)};
  std::string bytes, err;
  ASSERT_TRUE(wire::EncodeFrame({0x04, "T1", wire::EncodeAnswer(typed)}, &bytes, &err)) << err;
  t1->client.WriteRaw(bytes);
  Received r;
  ASSERT_TRUE(TakeWithin(*link, &r)) << ::testing::PrintToString(log.lines);
  EXPECT_EQ(r.answer.values, (Values{" 12 3", "A0"}));
}

}  // namespace
}  // namespace tervo::radio
