// The link's clocks, run on a virtual clock: a peer that goes silent is
// probed and dropped, a frame that stops half-way is dropped on TCP and on a
// serial line, a connection that never says HELLO is closed, and a terminal
// that does not read is held to a fixed amount of waiting output.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/os/clock.h"
#include "platform/radio/sim_links.h"
#include "radio_test_util.h"

namespace tervo::radio {
namespace {

using test::PumpUntil;
using test::Received;
using test::TakeWithin;

std::string Bytes(std::uint8_t type, const std::string& id, const std::string& payload = {},
                  std::uint8_t version = wire::kVersion) {
  std::string out, err;
  EXPECT_TRUE(wire::EncodeFrame({type, id, payload, version}, &out, &err)) << err;
  return out;
}

std::string Hello(const std::string& id) {
  wire::Hello h;
  h.nonce = std::string(wire::kNonceBytes, 'n');
  return Bytes(0x01, id, wire::EncodeHello(h));
}

// A client that speaks raw bytes and records the frames it gets.
struct RawClient {
  explicit RawClient(quint16 port) : quiet("--", 20), client(quiet, "127.0.0.1", port) {
    quiet.SetSender({});
    client.Connect();
  }
  sim::SimTerminal quiet;  // unused: the test speaks for it
  sim::SimTcpClient client;
};

class Timed : public ::testing::Test {
 protected:
  std::unique_ptr<WireRadioLink> Link() {
    RadioLinkOptions o;
    o.clock = &clock;
    o.checkEveryMs = 0;  // the test moves the clock and checks
    return test::TcpLink(log, {"T1", "T2"}, o);
  }
  // Moves the virtual clock and lets the link look at it.
  void Advance(WireRadioLink& link, int ms) {
    clock.Advance(ms);
    link.CheckTimeouts();
  }
  os::VirtualClock clock;
  test::LogRecorder log;
};

TEST_F(Timed, ASilentPeerIsProbedAndADeadOneDropped) {
  auto link = Link();
  ASSERT_TRUE(link);
  sim::SimTerminal live("T1", 20);
  sim::SimTcpClient liveClient(live, "127.0.0.1", link->ListeningPort());
  liveClient.Connect();
  // T2 says HELLO and then nothing more, ever: a device that lost power.
  RawClient dead(link->ListeningPort());
  ASSERT_TRUE(PumpUntil([&] { return dead.client.Connected() && live.Welcomed(); }));
  dead.client.WriteRaw(Hello("T2"));
  ASSERT_TRUE(PumpUntil([&] { return link->IsTerminalConnected("T2"); }));

  Advance(*link, 29000);
  test::Pump(20);
  EXPECT_EQ(live.PingsAnswered(), 0) << "no PING before 30 s of silence";
  Advance(*link, 1000);
  ASSERT_TRUE(PumpUntil([&] { return live.PingsAnswered() == 1; }));
  test::Pump(20);  // the PONG arrives
  Advance(*link, 15000);
  EXPECT_FALSE(link->IsTerminalConnected("T2"));
  EXPECT_TRUE(log.Has("radio: terminal T2 does not answer PING; connection closed"));
  EXPECT_TRUE(link->IsTerminalConnected("T1")) << "its PONG kept it";
  ASSERT_TRUE(PumpUntil([&] { return dead.client.Unconnected(); }));
}

TEST_F(Timed, AHalfFrameOnTcpEndsTheConnectionAfterThreeSeconds) {
  auto link = Link();
  ASSERT_TRUE(link);
  RawClient t(link->ListeningPort());
  ASSERT_TRUE(PumpUntil([&] { return t.client.Connected(); }));
  t.client.WriteRaw(Hello("T1"));
  ASSERT_TRUE(PumpUntil([&] { return link->IsTerminalConnected("T1"); }));

  // A frame sent in two halves within the time is fine.
  const std::string start = Bytes(0x02, "T1");
  t.client.WriteRaw(start.substr(0, 7));
  test::Pump(20);
  Advance(*link, 2900);
  t.client.WriteRaw(start.substr(7));
  Received r;
  ASSERT_TRUE(TakeWithin(*link, &r));
  EXPECT_EQ(r.data, "START");

  // A frame that stops half-way is not waited for.
  t.client.WriteRaw(Bytes(0x05, "T1", wire::EncodeText("lost")).substr(0, 16));
  test::Pump(20);
  Advance(*link, 2999);
  EXPECT_TRUE(link->IsTerminalConnected("T1"));
  Advance(*link, 1);
  EXPECT_FALSE(link->IsTerminalConnected("T1"));
  EXPECT_TRUE(log.Has("radio: terminal T1 refused: frame not completed within 3000 ms"));
  ASSERT_TRUE(PumpUntil([&] { return t.client.Unconnected(); }));
}

TEST_F(Timed, AConnectionThatNeverSaysHelloIsClosed) {
  auto link = Link();
  ASSERT_TRUE(link);
  RawClient idle(link->ListeningPort());
  ASSERT_TRUE(PumpUntil([&] { return idle.client.Connected(); }));
  Advance(*link, 9999);
  test::Pump(20);
  EXPECT_TRUE(idle.client.Connected());
  Advance(*link, 1);
  ASSERT_TRUE(PumpUntil([&] { return idle.client.Unconnected(); }));
  EXPECT_TRUE(log.Has("refused: no HELLO completed within 10000 ms"));
}

// The gateway keeps sending screens to a terminal that never reads: what
// waits for it stays capped, the oldest screens go first with one log line,
// and the terminal that reads again ends on the newest screen.
TEST_F(Timed, ATerminalThatDoesNotReadIsCapped) {
  auto link = Link();
  ASSERT_TRUE(link);
  // A real socket whose reading side is stopped and kept small.
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  const int small = 4096;
  ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(link->ListeningPort());
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  const std::string hello = Hello("T1");
  ASSERT_EQ(::write(fd, hello.data(), hello.size()), static_cast<ssize_t>(hello.size()));
  ASSERT_TRUE(PumpUntil([&] { return link->IsTerminalConnected("T1"); }));

  const std::string filler(4000, 'x');
  std::size_t most = 0;
  int sent = 0;
  for (; sent < 3000 && !log.Has("does not take its screens"); ++sent) {
    link->T_InitScreen("T1", "S" + std::to_string(sent), 2081, 0, 0);
    for (int i = 0; i < 3; ++i) link->T_PrintString(filler);
    link->T_SendScreen();
    most = std::max(most, link->Backlog());
    if (sent % 8 == 0) test::Pump(1);
  }
  ASSERT_TRUE(
      log.Has("radio: terminal T1 does not take its screens; the oldest unsent ones are "
              "dropped"))
      << sent;
  for (int more = 0; more < 200; ++more, ++sent) {
    link->T_InitScreen("T1", "S" + std::to_string(sent), 2081, 0, 0);
    for (int i = 0; i < 3; ++i) link->T_PrintString(filler);
    link->T_SendScreen();
    most = std::max(most, link->Backlog());
  }
  const OutputLimits limits;
  EXPECT_LE(most, limits.backlogBytes + 13000) << "memory stays flat";
  int logged = 0;
  for (const auto& l : log.lines)
    logged += l.find("does not take its screens") != std::string::npos;
  EXPECT_EQ(logged, 1);
  EXPECT_TRUE(link->IsTerminalConnected("T1")) << "screens are dropped, not the terminal";

  // Reading again, the terminal gets the screens still waiting, ending on
  // the newest one.
  wire::FrameDecoder decoder;
  std::string lastName;
  const std::string newest = "S" + std::to_string(sent - 1);
  ASSERT_TRUE(PumpUntil(
      [&] {
        char buf[65536];
        ssize_t n;
        while ((n = ::recv(fd, buf, sizeof buf, MSG_DONTWAIT)) > 0) {
          decoder.Feed(buf, static_cast<std::size_t>(n));
          wire::Frame f;
          std::string err;
          while (decoder.Next(&f, &err) == wire::FrameDecoder::Result::kFrame) {
            ScreenProgram p;
            if (f.type == 0x83 && wire::DecodeScreen(f.payload, &p, &err)) lastName = p.name;
          }
        }
        return lastName == newest;
      },
      5000))
      << lastName << " " << newest;
  ASSERT_TRUE(PumpUntil([&] { return log.Has("takes its screens again"); }));
  ::close(fd);
}

// A terminal that floods the link costs one log line a minute, and the
// next line says how much was lost meanwhile.
TEST_F(Timed, AFloodingTerminalCostsOneLogLineAMinute) {
  auto link = Link();
  ASSERT_TRUE(link);
  sim::SimTerminal t("T1", 20);
  sim::SimTcpClient client(t, "127.0.0.1", link->ListeningPort());
  t.SetAutoStart(false);
  client.Connect();
  ASSERT_TRUE(PumpUntil([&] { return t.Welcomed(); }));
  auto flood = [&](int n) {
    for (int i = 0; i < n; ++i) t.SendMessage("m");
    test::Pump(50);
    Received r;
    while (test::Take(*link, &r)) {
    }
  };
  auto lines = [&] {
    int n = 0;
    for (const auto& l : log.lines)
      n += l.find("too many messages from terminal T1") != std::string::npos;
    return n;
  };
  flood(40);
  EXPECT_EQ(lines(), 1);
  flood(40);
  EXPECT_EQ(lines(), 1) << "a second flood within the minute";
  clock.Advance(60000);
  flood(20);
  EXPECT_EQ(lines(), 2);
  // 23 after the first line, 24 in the second flood.
  EXPECT_TRUE(log.Has("waiting; more are dropped (47 since the last such line)"))
      << ::testing::PrintToString(log.lines);
}

class TimedSerial : public Timed {
 protected:
  void SetUp() override {
    std::string err;
    auto channel = sim::FdChannel::OpenPty(&slave, &err);
    ASSERT_TRUE(channel) << err;
    master = channel.get();
    base = std::make_unique<sim::SimRadioBase>(std::move(channel));
    RadioLinkOptions o;
    o.log = log.Fn();
    o.clock = &clock;
    o.checkEveryMs = 0;
    link = std::make_unique<WireRadioLink>(o);
    link->SetSerialDevice(slave);
  }
  std::string slave;
  sim::FdChannel* master = nullptr;
  sim::SimTerminal t1{"T1", 20};
  std::unique_ptr<sim::SimRadioBase> base;
  std::unique_ptr<WireRadioLink> link;
};

// Line noise that looks like the header of a 257-byte frame must not
// swallow the real frames behind it until 260 more bytes happen to arrive.
TEST_F(TimedSerial, AHalfFrameOnTheLineIsSkippedAfterThreeSeconds) {
  base->Add(t1);
  ASSERT_EQ(test::OpenSerial(*link, 9600), 1);
  Received r;
  ASSERT_TRUE(TakeWithin(*link, &r));
  ASSERT_EQ(r.data, "START");

  std::string noise = Bytes(0x05, "T1", std::string(257, 'n')).substr(0, 14);
  master->Write(noise + Bytes(0x02, "T1") + Bytes(0x05, "T1", wire::EncodeText("after")));
  test::Pump(50);
  EXPECT_FALSE(test::Take(*link, &r)) << "still waiting for the long frame";
  Advance(*link, 3000);
  ASSERT_TRUE(test::Take(*link, &r));
  EXPECT_EQ(r.data, "START");
  ASSERT_TRUE(test::Take(*link, &r));
  EXPECT_EQ(r.data, "after");
  EXPECT_TRUE(log.Has("frame not completed within 3000 ms; skipped"));
}

TEST_F(TimedSerial, ASilentBaseIsProbedAndASilentOneReported) {
  base->Add(t1);
  ASSERT_EQ(test::OpenSerial(*link, 9600), 1);
  ASSERT_EQ(base->Probes(), 1);
  Advance(*link, 30000);
  ASSERT_TRUE(PumpUntil([&] { return base->Probes() == 2; }));
  test::Pump(20);  // BASE-READY
  Advance(*link, 15000);
  EXPECT_FALSE(log.Has("does not answer PROBE")) << "it answered";

  // The base goes quiet (its side of the line stops answering).
  base.reset();
  Advance(*link, 30000);
  Advance(*link, 15000);
  EXPECT_TRUE(log.Has("radio: radio base on " + slave + " does not answer PROBE"));
}

}  // namespace
}  // namespace tervo::radio
