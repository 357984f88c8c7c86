// The TCP/IP side: who may connect, what a reconnect and a second connection
// with the same id do, and what happens to frames that break the rules.
#include "platform/radio/tcp_transport.h"

#include <gtest/gtest.h>

#include <QTcpSocket>

#include "platform/radio/sim_links.h"
#include "radio_test_util.h"

namespace tervo::radio {
namespace {

using test::PumpUntil;
using test::Received;
using test::TakeWithin;

struct Terminal {
  Terminal(const std::string& id, quint16 port, bool autoStart = true)
      : sim(id, 20), client(sim, "127.0.0.1", port) {
    sim.SetAutoStart(autoStart);
    client.Connect();
  }
  sim::SimTerminal sim;
  sim::SimTcpClient client;
};

std::string Frame(std::uint8_t type, const std::string& id, const std::string& payload = {}) {
  std::string bytes, err;
  EXPECT_TRUE(wire::EncodeFrame({type, id, payload}, &bytes, &err)) << err;
  return bytes;
}

void SendMessageScreen(RadioLink& link, const std::string& id, const std::string& text) {
  link.T_InitScreen(id, "MSG", 2081, 0, 0);
  link.T_Cls();
  link.T_PrintString(text);
  link.T_Say("OK");
  link.T_GetCheckEnter();
  link.T_Read();
  link.T_SendScreenToPc("MSG", 2088);
  link.T_WaitAnyScreenFromPc();
  link.T_SendScreen();
}

TEST(TcpTransport, OnlyAcceptedIdsAreServed) {
  test::LogRecorder log;
  auto link = test::TcpLink(log, {"T1"});
  ASSERT_TRUE(link);
  Terminal stranger("T9", link->ListeningPort());
  Terminal known("T1", link->ListeningPort());
  ASSERT_TRUE(PumpUntil([&] { return stranger.sim.Refused() && known.sim.Welcomed(); }))
      << stranger.sim.Refused() << known.sim.Welcomed() << ::testing::PrintToString(log.lines);
  // The terminal learns nothing of which ids exist; the log says why.
  EXPECT_EQ(stranger.sim.Refusal(), "terminal not accepted");
  EXPECT_EQ(stranger.sim.RefusalCode(), wire::RefusedCode::kNotAccepted);
  EXPECT_TRUE(log.Has("radio: terminal T9 from 127.0.0.1 refused: terminal id T9 not accepted"));
  ASSERT_TRUE(PumpUntil([&] { return !stranger.client.Connected(); }));
  Received r;
  ASSERT_TRUE(TakeWithin(*link, &r));
  EXPECT_EQ(r.id, "T1      ");
  EXPECT_FALSE(test::Take(*link, &r));
  EXPECT_FALSE(link->IsTerminalConnected("T9"));
  EXPECT_TRUE(link->IsTerminalConnected("T1      "));
}

TEST(TcpTransport, AReconnectingTerminalIsTheSameTerminalAndGetsItsScreenAgain) {
  test::LogRecorder log;
  auto link = test::TcpLink(log, {"T1"});
  Terminal t("T1", link->ListeningPort());
  Received r;
  ASSERT_TRUE(TakeWithin(*link, &r));
  SendMessageScreen(*link, "T1", "first");
  ASSERT_TRUE(PumpUntil([&] { return t.sim.Screens() == 1; }));

  // Out of range: the gateway keeps going and builds the next screen.
  t.client.Disconnect();
  ASSERT_TRUE(PumpUntil([&] { return !link->IsTerminalConnected("T1"); }));
  SendMessageScreen(*link, "T1", "second");
  EXPECT_TRUE(log.Has("radio: terminal T1 not reachable"));

  t.client.Connect();
  ASSERT_TRUE(PumpUntil([&] { return t.sim.Screens() == 2; }));
  EXPECT_TRUE(t.sim.Display().Shows("second"));
  EXPECT_FALSE(test::Take(*link, &r)) << "a reconnect is no START";
  t.sim.Press(sim::Key::kEnter);
  ASSERT_TRUE(TakeWithin(*link, &r));
  EXPECT_EQ(r.kind, kTerminalAnswer);
  EXPECT_EQ(r.value, 2);
}

TEST(TcpTransport, ASecondConnectionWithTheSameIdReplacesTheFirst) {
  test::LogRecorder log;
  auto link = test::TcpLink(log, {"T1"});
  Terminal first("T1", link->ListeningPort());
  ASSERT_TRUE(PumpUntil([&] { return first.sim.Welcomed(); }));
  Terminal second("T1", link->ListeningPort(), false);
  ASSERT_TRUE(PumpUntil([&] { return second.sim.Welcomed() && !first.client.Connected(); }));
  EXPECT_TRUE(log.Has("radio: terminal T1 connected again; older connection closed"));
  SendMessageScreen(*link, "T1", "to the newer one");
  ASSERT_TRUE(PumpUntil([&] { return second.sim.Screens() == 1; }));
  EXPECT_EQ(first.sim.Screens(), 0);
}

TEST(TcpTransport, FramesBreakingTheRulesAreRefusedAndNothingIsMixed) {
  test::LogRecorder log;
  auto link = test::TcpLink(log, {"T1", "T2"});
  const quint16 port = link->ListeningPort();
  Terminal t1("T1", port, false);
  ASSERT_TRUE(PumpUntil([&] { return t1.sim.Welcomed(); }));

  // T1's connection speaking for T2: dropped, the connection stays.
  t1.client.WriteRaw(Frame(0x02, "T2"));
  ASSERT_TRUE(
      PumpUntil([&] { return log.Has("START for terminal T2 on the connection of T1 refused"); }));
  // A frame the gateway sends, coming from a terminal; a request too long.
  t1.client.WriteRaw(Frame(0x83, "T1"));
  t1.client.WriteRaw(Frame(0x03, "T1", wire::EncodeText(std::string(60, 'x'))));
  t1.client.WriteRaw(Frame(0x02, "T1", "x"));
  ASSERT_TRUE(PumpUntil([&] {
    return log.Has("SCREEN from terminal T1 refused: not a terminal message") &&
           log.Has("REQUEST from terminal T1 refused: text longer than 49 bytes") &&
           log.Has("START from terminal T1 refused: 1 unexpected bytes");
  }));
  EXPECT_TRUE(t1.client.Connected());
  Received r;
  EXPECT_FALSE(test::Take(*link, &r));

  const struct {
    std::string bytes;
    const char* logged;
  } closing[] = {
      {Frame(0x02, "T2"), "START before HELLO"},
      {"GET / HTTP/1.0\r\n\r\n", "bad frame start"},
      {Frame(0x02, "T2").substr(0, 12) + "\xff\xff", "payload of 65535 bytes exceeds 16384"},
  };
  for (const auto& c : closing) {
    sim::SimTerminal quiet("T2", 20);
    sim::SimTcpClient raw(quiet, "127.0.0.1", port);
    quiet.SetSender({});  // no HELLO: the test speaks for it
    raw.Connect();
    ASSERT_TRUE(PumpUntil([&] { return raw.Connected(); }));
    raw.WriteRaw(c.bytes);
    ASSERT_TRUE(PumpUntil([&] { return !raw.Connected(); })) << c.logged;
    EXPECT_TRUE(log.Has(c.logged)) << c.logged;
  }
  EXPECT_FALSE(test::Take(*link, &r));
  EXPECT_TRUE(t1.client.Connected());
}

TEST(TcpTransport, IdleConnectionsCannotLockTerminalsOut) {
  test::LogRecorder log;
  auto link = test::TcpLink(log, {"T1"});
  ASSERT_TRUE(link);
  // One after another: a burst would overrun the listen backlog.
  std::vector<std::unique_ptr<QTcpSocket>> idle;
  for (std::size_t i = 0; i < TcpTransport::kMaxPending; ++i) {
    idle.push_back(std::make_unique<QTcpSocket>());
    idle.back()->connectToHost("127.0.0.1", link->ListeningPort());
    ASSERT_TRUE(PumpUntil([&] { return idle.back()->state() == QAbstractSocket::ConnectedState; }));
  }
  test::Pump(20);
  Terminal t("T1", link->ListeningPort());
  ASSERT_TRUE(PumpUntil([&] { return t.sim.Welcomed(); }));
  ASSERT_TRUE(
      PumpUntil([&] { return idle.front()->state() == QAbstractSocket::UnconnectedState; }));
  EXPECT_TRUE(log.Has("radio: too many connections without HELLO"));
  for (std::size_t i = 1; i < idle.size(); ++i) {
    EXPECT_EQ(idle[i]->state(), QAbstractSocket::ConnectedState) << i;
  }
}

TEST(TcpTransport, AFullReceiveQueueDropsWithOneLogLine) {
  test::LogRecorder log;
  RadioLinkOptions o;
  o.maxQueued = 1;
  auto link = test::TcpLink(log, {"T1"}, o);
  ASSERT_TRUE(link);
  Terminal t("T1", link->ListeningPort());
  ASSERT_TRUE(PumpUntil([&] { return t.sim.Welcomed(); }));
  for (int i = 0; i < 5; ++i) t.sim.SendMessage("m" + std::to_string(i));
  ASSERT_TRUE(PumpUntil([&] { return log.Has("receive queue full"); }));
  test::Pump(50);
  int full = 0;
  for (const auto& l : log.lines) full += l.find("receive queue full") != std::string::npos;
  EXPECT_EQ(full, 1);
  Received r;
  ASSERT_TRUE(test::Take(*link, &r));
  EXPECT_EQ(r.data, "START");
  t.sim.SendMessage("after");
  ASSERT_TRUE(TakeWithin(*link, &r));
  EXPECT_EQ(r.kind, kOther);
  EXPECT_EQ(r.data, "after");
}

TEST(TcpTransport, AFloodingTerminalCannotCrowdOutTheOthers) {
  test::LogRecorder log;
  RadioLinkOptions o;
  o.maxQueued = 8;
  o.maxQueuedPerTerminal = 3;
  auto link = test::TcpLink(log, {"T1", "T2"}, o);
  ASSERT_TRUE(link);
  Terminal flood("T1", link->ListeningPort(), false);
  ASSERT_TRUE(PumpUntil([&] { return flood.sim.Welcomed(); }));
  for (int i = 0; i < 20; ++i) flood.sim.SendMessage("m" + std::to_string(i));
  ASSERT_TRUE(PumpUntil([&] { return log.Has("too many messages from terminal T1"); }));
  Terminal quiet("T2", link->ListeningPort());
  ASSERT_TRUE(PumpUntil([&] { return quiet.sim.Welcomed(); }));
  test::Pump(50);

  std::vector<std::string> taken;
  Received r;
  while (test::Take(*link, &r)) taken.push_back(r.id + r.data);
  EXPECT_EQ(taken,
            (std::vector<std::string>{"T1      m0", "T1      m1", "T1      m2", "T2      START"}));
  int logged = 0;
  for (const auto& l : log.lines) logged += l.find("too many messages") != std::string::npos;
  EXPECT_EQ(logged, 1);
  // Drained, the terminal is heard again.
  flood.sim.SendMessage("after");
  ASSERT_TRUE(TakeWithin(*link, &r));
  EXPECT_EQ(r.data, "after");
}

TEST(TcpTransport, AnAnswerDroppedByAFullQueueIsNotLost) {
  test::LogRecorder log;
  RadioLinkOptions o;
  o.maxQueued = 1;
  auto link = test::TcpLink(log, {"T1"}, o);
  ASSERT_TRUE(link);
  Terminal t("T1", link->ListeningPort(), false);
  ASSERT_TRUE(PumpUntil([&] { return t.sim.Welcomed(); }));
  t.sim.SendMessage("fills the queue");
  SendMessageScreen(*link, "T1", "answer me");
  ASSERT_TRUE(PumpUntil([&] { return t.sim.Screens() == 1; }));
  t.sim.Press(sim::Key::kEnter);
  ASSERT_TRUE(PumpUntil([&] { return log.Has("receive queue full"); }));
  Received r;
  ASSERT_TRUE(test::Take(*link, &r));
  EXPECT_EQ(r.kind, kOther);

  // The screen is still awaited: back in range, the terminal gets it again
  // and its answer reaches the gateway.
  t.client.Disconnect();
  ASSERT_TRUE(PumpUntil([&] { return !link->IsTerminalConnected("T1"); }));
  t.client.Connect();
  ASSERT_TRUE(PumpUntil([&] { return t.sim.Screens() == 2; }));
  t.sim.Press(sim::Key::kEnter);
  ASSERT_TRUE(TakeWithin(*link, &r));
  EXPECT_EQ(r.kind, kTerminalAnswer);
  EXPECT_EQ(r.value, 2);
}

TEST(TcpTransport, AddressTextMayNameThePort) {
  test::LogRecorder log;
  RadioLinkOptions o;
  o.log = log.Fn();
  WireRadioLink probe(o);
  probe.TCPIP_Start("127.0.0.1:0");
  ASSERT_EQ(probe.InitializeComm(1, 9600), 1);
  const quint16 free = probe.ListeningPort();
  EXPECT_NE(free, kDefaultTcpPort);
  probe.TerminateComm(1);

  WireRadioLink link(o);
  link.TCPIP_Start("127.0.0.1:" + std::to_string(free));
  ASSERT_EQ(link.InitializeComm(1, 9600), 1);
  EXPECT_EQ(link.ListeningPort(), free);

  WireRadioLink bad(o);
  bad.TCPIP_Start("not an address");
  EXPECT_EQ(bad.InitializeComm(1, 9600), 0);
  EXPECT_TRUE(log.Has("radio: TCP/IP address not an address is not an IP address"));
}

}  // namespace
}  // namespace tervo::radio
