// The link as an outsider meets it over real sockets: with terminal keys in
// force a client without the secret gets no screen, one with it does; a
// recorded handshake replayed gets nowhere; a second device with the same id
// takes over and the first is told; TLS keeps out clients that do not
// trust the gateway's certificate, and the gateway keeps out terminals
// without a certificate when it asks for one.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QTemporaryDir>
#include <fstream>

#include "platform/radio/sim_links.h"
#include "platform/radio/tls_setup.h"
#include "radio_test_util.h"

namespace tervo::radio {
namespace {

using test::PumpUntil;
using test::Received;
using test::TakeWithin;

const std::string kTls = std::string(TERVO_TEST_DATA) + "/tls/";
constexpr const char* kSecret = "4f1d0c9b8a7e6d5c4b3a29180f1e2d3c";

struct Terminal {
  Terminal(const std::string& id, quint16 port, std::optional<std::string> secret,
           std::optional<QSslConfiguration> tls = std::nullopt)
      : sim(id, 20), client(sim, "127.0.0.1", port) {
    sim.SetSecret(std::move(secret));
    if (tls) client.UseTls(*tls);
    client.Connect();
  }
  sim::SimTerminal sim;
  sim::SimTcpClient client;
};

void SendScreen(RadioLink& link, const std::string& id, const std::string& text) {
  link.T_InitScreen(id, "S", 2081, 0, 0);
  link.T_PrintString(text);
  link.T_Say("OK");
  link.T_GetCheckEnter();
  link.T_Read();
  link.T_SendScreenToPc("S", 2088);
  link.T_WaitAnyScreenFromPc();
}

class Secured : public ::testing::Test {
 protected:
  std::unique_ptr<WireRadioLink> Link(const std::string& keys, TlsFiles tls = {}) {
    RadioLinkOptions o;
    if (!keys.empty()) {
      o.keyFile = dir.filePath("terminal-keys").toStdString();
      std::ofstream(o.keyFile) << keys;
      ::chmod(o.keyFile.c_str(), 0600);
    }
    o.tls = std::move(tls);
    return test::TcpLink(log, {"T1", "T2"}, o);
  }
  QTemporaryDir dir;
  test::LogRecorder log;
};

TEST_F(Secured, OnlyATerminalWithItsSecretGetsAScreen) {
  auto link = Link(std::string("T1 = ") + kSecret + "\n");
  ASSERT_TRUE(link);
  EXPECT_TRUE(log.Has("radio: terminals prove their secret (1 terminal keys"));
  const quint16 port = link->ListeningPort();
  Terminal none("T1", port, std::nullopt);
  Terminal wrong("T1", port, "not-the-secret");
  Terminal old("T1", port, kSecret);
  old.sim.SetProtocolVersion(wire::kVersion1);
  old.client.Disconnect();
  old.client.Connect();
  ASSERT_TRUE(PumpUntil([&] {
    return none.sim.Refused() && wrong.sim.Refused() && old.sim.Refused();
  })) << ::testing::PrintToString(log.lines);
  EXPECT_EQ(wrong.sim.Refusal(), "terminal not accepted");
  EXPECT_EQ(old.sim.Refusal(), kRefusedNeedsVersion2);
  EXPECT_TRUE(log.Has("refused: authentication failed: wrong terminal secret"));
  Received r;
  EXPECT_FALSE(test::Take(*link, &r)) << "no START from anyone unproven";
  EXPECT_FALSE(link->IsTerminalConnected("T1"));

  Terminal good("T1", port, kSecret);
  ASSERT_TRUE(TakeWithin(*link, &r)) << ::testing::PrintToString(log.lines);
  EXPECT_EQ(r.data, "START");
  EXPECT_TRUE(good.sim.LastWelcome().flags & wire::kWelcomeAuthenticated);
  EXPECT_TRUE(log.Has("radio: terminal T1 connected from 127.0.0.1 (v2, authenticated)"));
  EXPECT_TRUE(log.Has("radio: terminal T1: display 20, inverse, large font, beeper"));
  SendScreen(*link, "T1", "for the real one");
  ASSERT_TRUE(PumpUntil([&] { return good.sim.Screens() == 1; }));
  EXPECT_EQ(wrong.sim.Screens() + none.sim.Screens(), 0);
  for (const auto& line : log.lines) EXPECT_EQ(line.find(kSecret), std::string::npos) << line;
}

TEST_F(Secured, AReplayedHelloAndAuthGetNowhere) {
  auto link = Link(std::string("T1 = ") + kSecret + "\n");
  ASSERT_TRUE(link);
  Terminal genuine("T1", link->ListeningPort(), kSecret);
  // Everything the genuine terminal sends, as a listener on the network
  // would record it.
  std::string recorded;
  genuine.sim.SetSender([&](const wire::Frame& f) {
    std::string bytes, err;
    wire::EncodeFrame(f, &bytes, &err);
    recorded += bytes;
    genuine.client.WriteRaw(bytes);
  });
  genuine.client.Disconnect();
  genuine.client.Connect();
  Received r;
  ASSERT_TRUE(TakeWithin(*link, &r));
  genuine.client.Disconnect();
  ASSERT_TRUE(PumpUntil([&] { return !link->IsTerminalConnected("T1"); }));

  sim::SimTerminal attacker("T1", 20);
  sim::SimTcpClient raw(attacker, "127.0.0.1", link->ListeningPort());
  attacker.SetSender({});
  raw.Connect();
  ASSERT_TRUE(PumpUntil([&] { return raw.Connected(); }));
  raw.WriteRaw(recorded);
  ASSERT_TRUE(PumpUntil([&] { return attacker.Refused(); }));
  EXPECT_EQ(attacker.Refusal(), "terminal not accepted");
  EXPECT_FALSE(link->IsTerminalConnected("T1"));
  EXPECT_FALSE(test::Take(*link, &r));
}

TEST_F(Secured, ASecondAuthenticatedDeviceTakesOverAndTheFirstIsTold) {
  auto link = Link(std::string("* = ") + kSecret + "\n");
  ASSERT_TRUE(link);
  Terminal first("T2", link->ListeningPort(), kSecret);
  ASSERT_TRUE(PumpUntil([&] { return first.sim.Welcomed(); }));
  Terminal second("T2", link->ListeningPort(), kSecret);
  second.sim.SetAutoStart(false);
  ASSERT_TRUE(PumpUntil([&] { return second.sim.Welcomed() && first.sim.Refused(); }));
  EXPECT_EQ(first.sim.Refusal(), "replaced by a newer connection of terminal T2");
  EXPECT_EQ(first.sim.RefusalCode(), wire::RefusedCode::kReplaced);
  ASSERT_TRUE(PumpUntil([&] { return !first.client.Connected(); }));
  SendScreen(*link, "T2", "to the newer one");
  ASSERT_TRUE(PumpUntil([&] { return second.sim.Screens() == 1; }));
  EXPECT_EQ(first.sim.Screens(), 0);
}

TEST_F(Secured, ATerminalWithASecretDoesNotTalkToAGatewayThatCannotProveIt) {
  auto link = Link("");  // no keys: the gateway cannot prove anything
  ASSERT_TRUE(link);
  EXPECT_TRUE(log.Has("radio: WARNING: no terminal key file"));
  Terminal t("T1", link->ListeningPort(), kSecret);
  ASSERT_TRUE(PumpUntil([&] { return t.sim.Refused(); }));
  EXPECT_EQ(t.sim.Refusal(), "the gateway did not prove the terminal secret");
  ASSERT_TRUE(PumpUntil([&] { return !link->IsTerminalConnected("T1"); }));
}

TEST_F(Secured, TlsKeepsOutClientsThatDoNotTrustTheGateway) {
  auto link = Link(std::string("T1 = ") + kSecret + "\n",
                   {kTls + "localhost.crt", kTls + "localhost.key", {}});
  ASSERT_TRUE(link) << ::testing::PrintToString(log.lines);
  QSslConfiguration trusting, distrusting;
  std::string err;
  ASSERT_TRUE(ClientTlsConfiguration(kTls + "localhost.crt", {}, {}, &trusting, &err)) << err;
  ASSERT_TRUE(ClientTlsConfiguration(kTls + "other.crt", {}, {}, &distrusting, &err)) << err;

  Terminal wary("T1", link->ListeningPort(), kSecret, distrusting);
  Terminal clear("T1", link->ListeningPort(), kSecret);  // no TLS at all
  ASSERT_TRUE(PumpUntil([&] { return wary.client.Unconnected() && clear.client.Unconnected(); }));
  EXPECT_FALSE(wary.client.Error().empty());
  EXPECT_FALSE(wary.sim.Welcomed());
  EXPECT_FALSE(clear.sim.Welcomed());
  ASSERT_TRUE(PumpUntil([&] { return log.Has("radio: TLS handshake with 127.0.0.1 failed"); }));

  Terminal good("T1", link->ListeningPort(), kSecret, trusting);
  Received r;
  ASSERT_TRUE(TakeWithin(*link, &r)) << good.client.Error();
  EXPECT_TRUE(good.client.Encrypted());
  EXPECT_EQ(good.sim.LastWelcome().flags, wire::kWelcomeAuthenticated | wire::kWelcomeEncrypted);
  SendScreen(*link, "T1", "over TLS");
  ASSERT_TRUE(PumpUntil([&] { return good.sim.Screens() == 1; }));
  EXPECT_TRUE(good.sim.Display().Shows("over TLS"));
}

TEST_F(Secured, AGatewayAskingForClientCertificatesRefusesTerminalsWithout) {
  auto link = Link("", {kTls + "localhost.crt", kTls + "localhost.key", kTls + "terminal.crt"});
  ASSERT_TRUE(link) << ::testing::PrintToString(log.lines);
  QSslConfiguration without, with;
  std::string err;
  ASSERT_TRUE(ClientTlsConfiguration(kTls + "localhost.crt", {}, {}, &without, &err)) << err;
  ASSERT_TRUE(ClientTlsConfiguration(kTls + "localhost.crt", kTls + "terminal.crt",
                                     kTls + "terminal.key", &with, &err))
      << err;
  Terminal anonymous("T1", link->ListeningPort(), std::nullopt, without);
  ASSERT_TRUE(PumpUntil([&] { return log.Has("radio: TLS handshake with 127.0.0.1 failed"); }));
  ASSERT_TRUE(PumpUntil([&] { return anonymous.client.Unconnected(); }));
  EXPECT_FALSE(anonymous.sim.Welcomed());

  Terminal known("T1", link->ListeningPort(), std::nullopt, with);
  ASSERT_TRUE(PumpUntil([&] { return known.sim.Welcomed(); })) << known.client.Error();
}

TEST_F(Secured, ABadCertificateFileKeepsTheLinkDown) {
  RadioLinkOptions o;
  o.tls = {dir.filePath("missing.crt").toStdString(), kTls + "localhost.key", {}};
  EXPECT_EQ(test::TcpLink(log, {"T1"}, o), nullptr);
  EXPECT_TRUE(log.Has("radio: TLS: cannot read")) << ::testing::PrintToString(log.lines);
  o.tls = {kTls + "localhost.key", kTls + "localhost.key", {}};
  EXPECT_EQ(test::TcpLink(log, {"T1"}, o), nullptr);
  EXPECT_TRUE(log.Has("holds no PEM certificate"));
}

}  // namespace
}  // namespace tervo::radio
