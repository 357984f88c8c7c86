// Telnet layer: IAC doubling both ways, commands split across reads,
// NEW-ENVIRON in both variable forms with ESC escaping, and the client's
// option answers.
#include <gtest/gtest.h>

#include "platform/host5250/telnet.h"
#include "platform/host5250/trace.h"
#include "platform/host5250/tn5250_session.h"

namespace tervo::host5250::testing {
namespace {

using namespace telnet;

struct Recorder : Sink {
  std::string data;
  std::vector<std::string> events;
  void OnData(const std::uint8_t* d, std::size_t n) override { data.append(reinterpret_cast<const char*>(d), n); }
  void OnCommand(std::uint8_t c) override { events.push_back("cmd " + std::to_string(c) + " after " + Hex(data)); }
  void OnNegotiation(std::uint8_t v, std::uint8_t o) override {
    events.push_back("neg " + std::to_string(v) + " " + std::to_string(o));
  }
  void OnSubnegotiation(std::uint8_t o, std::string_view p) override {
    events.push_back("sb " + std::to_string(o) + " " + Hex(std::string(p)));
  }
};

TEST(TelnetParser, SameEventsForEverySplit) {
  const std::string stream = Unhex("41FFFF42FFFD18FFFA18FFFF01FFF043FFEF44");
  Recorder whole;
  Parser p;
  p.Feed(reinterpret_cast<const std::uint8_t*>(stream.data()), stream.size(), whole);
  EXPECT_EQ(Hex(whole.data), "41FF424344");
  ASSERT_EQ(whole.events.size(), 3u);
  EXPECT_EQ(whole.events[0], "neg 253 24");
  EXPECT_EQ(whole.events[1], "sb 24 FF01");  // IAC IAC inside SB undoubled
  EXPECT_EQ(whole.events[2], "cmd 239 after 41FF4243");
  for (std::size_t cut = 1; cut < stream.size(); ++cut) {
    Recorder r;
    Parser q;
    q.Feed(reinterpret_cast<const std::uint8_t*>(stream.data()), cut, r);
    q.Feed(reinterpret_cast<const std::uint8_t*>(stream.data()) + cut, stream.size() - cut, r);
    EXPECT_EQ(r.data, whole.data) << cut;
    EXPECT_EQ(r.events, whole.events) << cut;
  }
}

TEST(TelnetBuilders, DoubleIacInRecordsAndSubnegotiations) {
  EXPECT_EQ(Hex(Record(Unhex("01FF02"))), "01FFFF02FFEF");
  EXPECT_EQ(Hex(Subnegotiation(kOptNewEnviron, Unhex("00FF"))), "FFFA2700FFFFFFF0");
}

TEST(TelnetParser, OversizedSubnegotiationIsCut) {
  std::string s = Unhex("FFFA27");
  s += std::string(Parser::kMaxSubnegotiation + 100, 'x');
  s += Unhex("FFF0");
  Recorder r;
  Parser p;
  p.Feed(reinterpret_cast<const std::uint8_t*>(s.data()), s.size(), r);
  ASSERT_EQ(r.events.size(), 1u);
  EXPECT_EQ(r.events[0].size(), std::string("sb 39 ").size() + 2 * Parser::kMaxSubnegotiation);
}

TEST(NewEnviron, EscapesAndParsesBothVariableForms) {
  std::vector<EnvVariable> vars{{true, "DEVNAME", std::string("A\x01" "B\x02")}, {false, "USER", std::nullopt}};
  const std::string wire = NewEnviron(kIs, vars);
  EXPECT_EQ(Hex(wire), "00034445564E414D450141020142020200" "55534552");
  std::uint8_t verb = 9;
  std::vector<EnvVariable> back;
  ASSERT_TRUE(ParseNewEnviron(wire, &verb, &back));
  EXPECT_EQ(verb, kIs);
  ASSERT_EQ(back.size(), 2u);
  EXPECT_TRUE(back[0].user);
  EXPECT_EQ(*back[0].value, std::string("A\x01" "B\x02"));
  EXPECT_FALSE(back[1].user);
  EXPECT_FALSE(back[1].value.has_value());
  EXPECT_FALSE(ParseNewEnviron("", &verb, &back));
  EXPECT_FALSE(ParseNewEnviron("\x07", &verb, &back));
}

// What the client answers to a host's NEW-ENVIRON SEND.
std::string EnvironAnswer(const std::string& device, const std::string& sendPayloadHex) {
  Tn5250Session s;
  s.SetDeviceName(device);
  std::string in = Unhex("FFFD27FFFA27" + sendPayloadHex + "FFF0");
  s.Receive(in.data(), in.size());
  return Hex(s.TakeOutput());
}

TEST(NewEnviron, DeviceNameOfferedAsUserVariable) {
  const std::string devname = "034445564E414D4501";  // USERVAR "DEVNAME" VALUE
  struct Case {
    const char* send;
    std::string device;
    std::string want;
  } cases[] = {
      // SEND with no list: everything we have.
      {"01", "TERM01", "FFFB27FFFA2700" + devname + "5445524D3031FFF0"},
      // SEND USERVAR (all user variables), SEND VAR (all well-known: none).
      {"0103", "TERM01", "FFFB27FFFA2700" + devname + "5445524D3031FFF0"},
      {"0100", "TERM01", "FFFB27FFFA2700FFF0"},
      // DEVNAME asked by name, in either form; an unknown one gets no value.
      {"01034445564E414D45", "T", "FFFB27FFFA2700" + devname + "54FFF0"},
      {"01004445564E414D4500555345520300", "T", "FFFB27FFFA2700" + devname + "540055534552FFF0"},
      // No device name set: nothing to offer.
      {"01", "", "FFFB27FFFA2700FFF0"},
      // A device name with bytes that need escaping: ESC before 0-3, IAC doubled.
      {"01", std::string("A\x02\xFF", 3), "FFFB27FFFA2700" + devname + "410202FFFFFFF0"},
  };
  for (const Case& c : cases) EXPECT_EQ(EnvironAnswer(c.device, c.send), c.want) << c.send;
}

TEST(TelnetNegotiation, AgreesOnceAndRefusesUnknownOptions) {
  Tn5250Session s;
  std::string in = Unhex("FFFD18FFFD18FFFB19FFFB19FFFD01FFFB01FFFE18");
  s.Receive(in.data(), in.size());
  // WILL TTYPE once, DO EOR once, WONT/DONT for ECHO, WONT TTYPE on DONT.
  EXPECT_EQ(Hex(s.TakeOutput()), "FFFB18FFFD19FFFC01FFFE01FFFC18");
}

TEST(TelnetNegotiation, TerminalTypeAnswer) {
  Tn5250Session s;
  s.SetTerminalType("IBM-3477-FC");
  std::string in = Unhex("FFFA1801FFF0");
  s.Receive(in.data(), in.size());
  EXPECT_EQ(Hex(s.TakeOutput()), "FFFA180049424D2D333437372D4643FFF0");
}

TEST(TelnetRecords, DataByteFFSurvivesBothDirections) {
  // A screen whose text holds X'FF' (doubled on the wire) keeps it, and a
  // field holding it sends it doubled.
  Tn5250Session s;
  const std::string wtd = Unhex("04400411000811010120FF1D4800200003FFC1C1" "04520000");
  const std::string rec = HostRecord(wtd);
  ASSERT_NE(rec.find("\xFF\xFF"), std::string::npos);
  s.Receive(rec.data(), rec.size());
  EXPECT_EQ(s.GetScreen().At(1), 0xFF);
  EXPECT_EQ(s.GetScreen().At(3), 0xFF);  // field data
  std::string err;
  ASSERT_TRUE(s.SendKeys("@E", &err)) << err;
  // A field with the MDT bit from the host is sent; its X'FF' doubled.
  EXPECT_NE(Hex(s.TakeOutput()).find("110104FFFFC1C1FFEF"), std::string::npos);
}

}  // namespace
}  // namespace tervo::host5250::testing
