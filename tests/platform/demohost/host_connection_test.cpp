// The host side of the telnet negotiation and its failure paths, seen from
// a raw socket that answers exactly as each test wants.
#include <gtest/gtest.h>

#include <QTcpSocket>

#include <functional>
#include <memory>

#include "platform/demohost/demo_host.h"
#include "platform/host5250/ebcdic.h"
#include "terminal.h"

namespace tervo::demohost {
namespace {

using testing::Terminal;

const std::string kDoTtype("\xFF\xFD\x18", 3);
const std::string kTtypeSend("\xFF\xFA\x18\x01\xFF\xF0", 6);

// Answers the host's negotiation like a 5250 terminal, without ever
// answering a 5250 record.
struct RawPeer {
  explicit RawPeer(quint16 port, bool negotiate = true) {
    QObject::connect(&socket, &QTcpSocket::readyRead, [this, negotiate] {
      const QByteArray b = socket.readAll();
      got.append(b.constData(), static_cast<std::size_t>(b.size()));
      if (!negotiate) return;
      if (!sentTtype && got.find(kDoTtype) != std::string::npos) {
        sentTtype = true;
        Write(std::string("\xFF\xFB\x18\xFF\xFC\x27", 6));  // WILL TTYPE, WONT NEW-ENVIRON
      }
      if (!sentType && got.find(kTtypeSend) != std::string::npos) {
        sentType = true;
        Write(std::string("\xFF\xFA\x18\x00", 4) + "IBM-3179-2" + std::string("\xFF\xF0", 2));
        // Agree to EOR and BINARY both ways before being asked.
        Write(std::string("\xFF\xFB\x19\xFF\xFD\x19\xFF\xFB\x00\xFF\xFD\x00", 12));
      }
    });
    socket.connectToHost(QHostAddress::LocalHost, port);
  }
  void Write(const std::string& s) { socket.write(s.data(), static_cast<qint64>(s.size())); }
  bool Closed() const { return socket.state() == QAbstractSocket::UnconnectedState; }

  QTcpSocket socket;
  std::string got;
  bool sentTtype = false;
  bool sentType = false;
};

class HostConnectionTest : public ::testing::Test {
 protected:
  void Start(DemoHostOptions o) {
    o.log = [this](const std::string& l) { log += l + "\n"; };
    host = std::make_unique<DemoHost>(o);
    std::string err;
    ASSERT_TRUE(host->ListenOnFreeLoopbackPort(&err)) << err;
  }
  std::unique_ptr<DemoHost> host;
  std::string log;
};

TEST_F(HostConnectionTest, ASilentPeerIsDisconnectedAfterTheNegotiationTimeout) {
  DemoHostOptions o;
  o.negotiationTimeoutMs = 30;
  Start(o);
  RawPeer peer(host->Port(), false);
  EXPECT_TRUE(Terminal::WaitFor([&] { return peer.Closed(); }));
  EXPECT_NE(log.find("telnet negotiation did not finish in time"), std::string::npos) << log;
  EXPECT_TRUE(Terminal::WaitFor([&] { return host->Connections().empty(); }));
}

TEST_F(HostConnectionTest, AnUnansweredQueryStillGetsTheFirstScreen) {
  DemoHostOptions o;
  o.queryTimeoutMs = 20;
  Start(o);
  RawPeer peer(host->Port());
  host5250::EbcdicCodec codec;
  const std::string signOn = codec.ToHost("Sign On");
  ASSERT_TRUE(Terminal::WaitFor([&] { return peer.got.find(signOn) != std::string::npos; })) << log;
  EXPECT_NE(log.find("no answer to the Query"), std::string::npos);
  // No DEVNAME offered: a generated name, shown on the sign-on screen.
  EXPECT_NE(peer.got.find(codec.ToHost("QPADEV0001")), std::string::npos);
  // The Query went out before the screen.
  EXPECT_LT(peer.got.find(std::string("\x04\xF3\x00\x05\xD9\x70\x00", 7)), peer.got.find(signOn));
}

TEST_F(HostConnectionTest, AQueryReplyWithANullInTheModelIsLoggedWithoutIt) {
  Start(DemoHostOptions{});
  RawPeer peer(host->Port());
  const std::string query("\x04\xF3\x00\x05\xD9\x70\x00", 7);
  ASSERT_TRUE(Terminal::WaitFor([&] { return peer.got.find(query) != std::string::npos; })) << log;
  // Cursor, AID X'88', the reply's fixed part, then type 3179 model
  // X'00F0F2' as the tn5250 client sends it.
  std::string payload("\x00\x00\x88", 3);
  payload += std::string(27, '\x00');
  payload += std::string("\xF3\xF1\xF7\xF9\x00\xF0\xF2", 7);
  std::string record("\x00\x00\x12\xA0\x00\x00\x04\x00\x00\x00", 10);
  record[1] = static_cast<char>(10 + payload.size());
  peer.Write(record + payload + std::string("\xFF\xEF", 2));
  host5250::EbcdicCodec codec;
  ASSERT_TRUE(Terminal::WaitFor([&] { return peer.got.find(codec.ToHost("Sign On")) != std::string::npos; })) << log;
  ASSERT_EQ(host->Connections().size(), 1u);
  EXPECT_EQ(host->Connections()[0]->QueryDevice(), "3179-02");
  EXPECT_NE(log.find("Query reply: display 3179-02"), std::string::npos) << log;
}

TEST_F(HostConnectionTest, AnEndlessRecordClosesTheConnection) {
  DemoHostOptions o;
  o.queryTimeoutMs = 20;
  Start(o);
  RawPeer peer(host->Port());
  host5250::EbcdicCodec codec;
  ASSERT_TRUE(Terminal::WaitFor([&] { return peer.got.find(codec.ToHost("Sign On")) != std::string::npos; }));
  peer.Write(std::string(40 * 1024, 'x'));
  EXPECT_TRUE(Terminal::WaitFor([&] { return peer.Closed(); }));
  EXPECT_NE(log.find("record longer than"), std::string::npos) << log;
}

TEST(DeviceNames, OfferedNamesAndGeneratedOnes) {
  struct Case {
    std::string name;
    bool valid;
  } cases[] = {{"WHSE01", true}, {"A", true},           {"$DSP#@_1", true}, {"", false},
               {"1ABC", false},  {"_ABC", false},       {"ABCDEFGHIJK", false},
               {"ab", false},    {"A-B", false},        {"WH.01", true}};
  for (const Case& c : cases) EXPECT_EQ(DeviceNames::Valid(c.name), c.valid) << c.name;

  DeviceNames names;
  std::string refused;
  EXPECT_EQ(names.Claim(" whse01 ", &refused), "WHSE01");  // trimmed, upper-cased
  EXPECT_EQ(refused, "");
  EXPECT_EQ(names.Claim("WHSE01", &refused), "QPADEV0001");
  EXPECT_EQ(refused, "is in use by another session");
  EXPECT_EQ(names.Claim("bad name", &refused), "QPADEV0002");
  EXPECT_EQ(refused, "is not a valid 5250 device name");
  refused.clear();
  EXPECT_EQ(names.Claim("", &refused), "QPADEV0003");
  EXPECT_EQ(refused, "");
  names.Release("WHSE01");
  EXPECT_EQ(names.Claim("WHSE01"), "WHSE01");
  // A generated name someone offered is skipped.
  DeviceNames more;
  EXPECT_EQ(more.Claim("QPADEV0001"), "QPADEV0001");
  EXPECT_EQ(more.Claim(""), "QPADEV0002");
}

TEST(ParseListenAddress, Forms) {
  struct Case {
    std::string text;
    bool ok;
    std::string host;
    quint16 port;
  } cases[] = {
      {"127.0.0.1:2323", true, "127.0.0.1", 2323}, {"[::1]:23", true, "::1", 23},
      {":2323", true, "127.0.0.1", 2323},          {"2323", true, "127.0.0.1", 2323},
      {"0.0.0.0:0", true, "0.0.0.0", 0},           {"127.0.0.1:", false, "", 0},
      {"127.0.0.1:70000", false, "", 0},           {"localhost:23", false, "", 0},
      {"127.0.0.1:2x", false, "", 0},
  };
  for (const Case& c : cases) {
    QHostAddress a;
    quint16 p = 1;
    std::string err;
    EXPECT_EQ(DemoHost::ParseListenAddress(c.text, &a, &p, &err), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(a.toString().toStdString(), c.host) << c.text;
      EXPECT_EQ(p, c.port) << c.text;
    } else {
      EXPECT_NE(err.find(c.text), std::string::npos) << err;
    }
  }
}

}  // namespace
}  // namespace tervo::demohost
