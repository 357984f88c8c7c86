// The serial side through a pseudo-terminal pair: the gateway's link opens
// the slave as its serial port, a simulated radio base serves the master.
#include "platform/radio/serial_transport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QTemporaryDir>
#include <fstream>

#include "platform/radio/sim_links.h"
#include "radio_test_util.h"

namespace tervo::radio {
namespace {

using test::PumpUntil;
using test::Received;
using test::TakeWithin;

TEST(SerialDeviceName, NumbersPathsAndNames) {
  const struct {
    const char* comPort;
    const char* device;
  } cases[] = {{"1", "/dev/ttyS0"},
               {" 4 ", "/dev/ttyS3"},
               {"COM2", "/dev/ttyS1"},
               {"/dev/ttyUSB0", "/dev/ttyUSB0"},
               {"ttyACM1", "/dev/ttyACM1"},
               {"0", ""},
               {"", ""},
               {"99999999", ""}};
  for (const auto& c : cases) EXPECT_EQ(SerialDeviceName(c.comPort), c.device) << c.comPort;
}

class Serial : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string err;
    auto channel = sim::FdChannel::OpenPty(&slave, &err);
    ASSERT_TRUE(channel) << err;
    master = channel.get();
    base = std::make_unique<sim::SimRadioBase>(std::move(channel));
    RadioLinkOptions o;
    o.log = log.Fn();
    link = std::make_unique<WireRadioLink>(o);
    link->SetSerialDevice(slave);
  }
  std::string slave;
  sim::FdChannel* master = nullptr;
  // The terminals outlive the base that carries them.
  sim::SimTerminal t1{"T1", 20}, t2{"T2", 20, 4300};
  std::unique_ptr<sim::SimRadioBase> base;
  test::LogRecorder log;
  std::unique_ptr<WireRadioLink> link;
};

TEST_F(Serial, InitializeCommIsNonZeroOnlyWhenTheBaseAnswers) {
  RadioLinkOptions o;
  o.log = log.Fn();
  WireRadioLink silent(o);
  std::string quietSlave, err;
  auto quiet = sim::FdChannel::OpenPty(&quietSlave, &err);
  ASSERT_TRUE(quiet);
  silent.SetSerialDevice(quietSlave);
  EXPECT_EQ(silent.InitializeComm(1, 9600), 0) << "it never waits for the base";
  EXPECT_TRUE(silent.BaseAnswerPending());
  test::Pump(200);
  EXPECT_EQ(silent.InitializeComm(1, 9600), 0);
  EXPECT_TRUE(log.Has("does not answer; asked again"));

  // The base's answer comes through the event loop; the link tells.
  int told = 0;
  link->SetReceiveNotifier([&] { ++told; });
  EXPECT_EQ(link->InitializeComm(1, 9600), 0);
  ASSERT_TRUE(PumpUntil([&] { return !link->BaseAnswerPending(); }));
  EXPECT_EQ(told, 1);
  EXPECT_EQ(link->InitializeComm(1, 9600), 1);
  EXPECT_EQ(base->Probes(), 1);
  EXPECT_TRUE(log.Has("answered: tervo-terminal radio base"));
}

TEST_F(Serial, ManyTerminalsShareTheLineAndStayApart) {
  base->Add(t1);
  base->Add(t2);
  ASSERT_EQ(test::OpenSerial(*link, 19200), 1);
  ASSERT_TRUE(PumpUntil([&] { return t1.Welcomed() && t2.Welcomed(); }));
  Received a, b;
  ASSERT_TRUE(TakeWithin(*link, &a));
  ASSERT_TRUE(TakeWithin(*link, &b));
  EXPECT_EQ(a.data, "START");
  EXPECT_EQ(b.data, "START");
  EXPECT_NE(a.id, b.id);
  EXPECT_EQ(link->BatteryLevel("T2"), 4300);

  for (const char* id : {"T1", "T2"}) {
    link->T_InitScreen(id, std::string("S") + id, 2081, 0, 0);
    link->T_PrintString(std::string("for ") + id);
    link->T_GetText("    ", 4, 0);
    link->T_Read();
    link->T_SendScreenToPc(std::string("S") + id, 2088);
    link->T_WaitAnyScreenFromPc();
    link->T_SendScreen();
  }
  ASSERT_TRUE(PumpUntil([&] { return t1.Screens() == 1 && t2.Screens() == 1; }));
  EXPECT_TRUE(t1.Display().Shows("for T1"));
  EXPECT_TRUE(t2.Display().Shows("for T2"));

  // Line noise between frames costs one log line, not the link.
  master->Write("\x01\x02garbage TV\x07");
  t2.Type("22");
  t2.Press(sim::Key::kSend);
  t1.Type("11");
  t1.Press(sim::Key::kSend);
  ASSERT_TRUE(TakeWithin(*link, &a));
  ASSERT_TRUE(TakeWithin(*link, &b));
  EXPECT_TRUE(log.Has("radio: serial line"));
  for (const Received* r : {&a, &b}) {
    ASSERT_EQ(r->answer.values.size(), 1u);
    EXPECT_EQ(r->answer.values[0], r->id == "T1      " ? "11" : "22");
    EXPECT_EQ(r->data, r->id == "T1      " ? "ST1" : "ST2");
    EXPECT_EQ(r->value, 1);
    EXPECT_TRUE(r->answer.sendKey);
  }

  // A reset reaches every terminal behind the base; each starts again.
  link->ForceResetOnAllTerminal();
  ASSERT_TRUE(TakeWithin(*link, &a));
  ASSERT_TRUE(TakeWithin(*link, &b));
  EXPECT_EQ(a.data + b.data, "STARTSTART");
}

TEST_F(Serial, FramesBeforeHelloAreRefused) {
  ASSERT_EQ(test::OpenSerial(*link, 9600), 1);
  std::string bytes, err;
  ASSERT_TRUE(wire::EncodeFrame({0x02, "T7", ""}, &bytes, &err));
  master->Write(bytes);
  ASSERT_TRUE(PumpUntil([&] { return log.Has("START from terminal T7 before HELLO refused"); }));
  Received r;
  EXPECT_FALSE(test::Take(*link, &r));
}

// Behind a radio base each terminal proves its own secret, relayed over the
// shared line; one that cannot is refused without disturbing the other.
TEST(SerialKeys, EachTerminalBehindTheBaseProvesItsSecret) {
  QTemporaryDir dir;
  const std::string keys = dir.filePath("terminal-keys").toStdString();
  std::ofstream(keys) << "T1 = first-terminal-secret-0001\nT2 = second-terminal-secret-02\n";
  ::chmod(keys.c_str(), 0600);
  std::string slave, err;
  auto channel = sim::FdChannel::OpenPty(&slave, &err);
  ASSERT_TRUE(channel) << err;
  sim::SimTerminal t1{"T1", 20}, t2{"T2", 20}, old{"T3", 20};
  t1.SetSecret("first-terminal-secret-0001");
  t2.SetSecret("a-guess");
  old.SetProtocolVersion(wire::kVersion1);
  sim::SimRadioBase base(std::move(channel));
  base.Add(t1);
  base.Add(t2);
  base.Add(old);
  test::LogRecorder log;
  RadioLinkOptions o;
  o.log = log.Fn();
  o.keyFile = keys;
  WireRadioLink link(o);
  link.SetSerialDevice(slave);
  ASSERT_EQ(test::OpenSerial(link, 9600), 1);
  ASSERT_TRUE(PumpUntil([&] { return t1.Welcomed() && t2.Refused() && old.Refused(); }))
      << ::testing::PrintToString(log.lines);
  EXPECT_EQ(t2.Refusal(), "terminal not accepted");
  EXPECT_EQ(old.Refusal(), kRefusedNeedsVersion2);
  EXPECT_TRUE(log.Has("radio: terminal T1 connected through the radio base (v2, authenticated)"));
  EXPECT_EQ(t1.LastWelcome().keepAliveSeconds, 0) << "terminals behind a base are not pinged";
  Received r;
  ASSERT_TRUE(TakeWithin(link, &r));
  EXPECT_EQ(r.id, "T1      ");
  EXPECT_EQ(r.data, "START");
  EXPECT_FALSE(link.IsTerminalConnected("T2"));
  // What T2 sends now is not heard.
  t2.SendStart();
  ASSERT_TRUE(PumpUntil([&] { return log.Has("START from terminal T2 before HELLO refused"); }));
  EXPECT_FALSE(test::Take(link, &r));
}

}  // namespace
}  // namespace tervo::radio
