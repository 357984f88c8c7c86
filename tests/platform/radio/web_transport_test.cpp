// Browsers as terminals: WebSocket connections to the gateway's HTTP
// listener, admitted and kept like TCP/IP terminals, one device per id
// across both transports, and a connection that breaks the rules costs
// only itself.
#include "platform/radio/web_transport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QNetworkRequest>
#include <QTemporaryDir>
#include <QWebSocket>
#include <fstream>

#include "platform/radio/sim_links.h"
#include "platform/radio/tls_setup.h"
#include "platform/radio/web_page.h"
#include "radio_test_util.h"

namespace tervo::radio {
namespace {

using test::PumpUntil;
using test::Received;
using test::TakeWithin;

void SendScreen(RadioLink& link, const std::string& id, const std::string& text) {
  link.T_InitScreen(id, "S", 2081, 0, 0);
  link.T_Cls();
  link.T_PrintString(text);
  link.T_Say("OK");
  link.T_GetCheckEnter();
  link.T_Read();
  link.T_SendScreenToPc("S", 2088);
  link.T_WaitAnyScreenFromPc();
}

int Count(const test::LogRecorder& log, const std::string& part) {
  int n = 0;
  for (const auto& l : log.lines) n += l.find(part) != std::string::npos;
  return n;
}

class WebLink : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string err;
    ASSERT_TRUE(http_.Listen(QHostAddress::LocalHost, 0, std::nullopt, &err)) << err;
  }
  void Open(RadioLinkOptions o = {}) {
    o.web = &http_;
    o.webPath = kTerminalSocketPath;
    link_ = test::TcpLink(log_, {"T1", "T2"}, o);
    ASSERT_TRUE(link_);
    ASSERT_TRUE(link_->ServesBrowsers());
  }
  QUrl Url() const { return QUrl(QString("ws://127.0.0.1:%1/terminal").arg(http_.Port())); }
  struct Browser {
    Browser(const std::string& id, QUrl url, bool autoStart = true)
        : sim(id, 20), client(sim, url) {
      sim.SetAutoStart(autoStart);
      client.Connect();
    }
    sim::SimTerminal sim;
    sim::SimWebClient client;
  };
  std::unique_ptr<Browser> NewBrowser(const std::string& id, bool autoStart = true) {
    return std::make_unique<Browser>(id, Url(), autoStart);
  }

  http::Server http_;
  test::LogRecorder log_;
  std::unique_ptr<WireRadioLink> link_;
};

TEST_F(WebLink, BrowsersAreAdmittedAndServedLikeTcpTerminals) {
  Open();
  auto stranger = NewBrowser("T9");
  auto known = NewBrowser("T1");
  ASSERT_TRUE(PumpUntil([&] { return stranger->sim.Refused() && known->sim.Welcomed(); }));
  EXPECT_EQ(stranger->sim.Refusal(), "terminal not accepted");
  EXPECT_EQ(stranger->sim.RefusalCode(), wire::RefusedCode::kNotAccepted);
  EXPECT_TRUE(log_.Has("web: terminal T9 from 127.0.0.1 refused: terminal id T9 not accepted"));
  ASSERT_TRUE(PumpUntil([&] { return stranger->client.Unconnected(); }));

  Received r;
  ASSERT_TRUE(TakeWithin(*link_, &r));
  EXPECT_EQ(r.id, "T1      ");
  EXPECT_EQ(r.data, "START");
  EXPECT_TRUE(link_->IsTerminalConnected("T1"));
  SendScreen(*link_, "T1", "hello browser");
  ASSERT_TRUE(PumpUntil([&] { return known->sim.Screens() == 1; }));
  EXPECT_TRUE(known->sim.Display().Shows("hello browser"));
  known->sim.Display().MoveTo("OK");
  known->sim.Press(sim::Key::kEnter);
  ASSERT_TRUE(TakeWithin(*link_, &r));
  EXPECT_EQ(r.kind, kTerminalAnswer);
  EXPECT_EQ(r.value, 2);
  EXPECT_TRUE(log_.Has("web: terminal T1 connected from 127.0.0.1 (browser)"));
  EXPECT_TRUE(known->client.Unread().empty());
}

TEST_F(WebLink, AReconnectGetsTheUnansweredScreenAndAnAnswerCountsOnce) {
  Open();
  auto b = NewBrowser("T1");
  Received r;
  ASSERT_TRUE(TakeWithin(*link_, &r));
  SendScreen(*link_, "T1", "first");
  ASSERT_TRUE(PumpUntil([&] { return b->sim.Screens() == 1; }));
  b->client.Disconnect();
  ASSERT_TRUE(PumpUntil([&] { return !link_->IsTerminalConnected("T1"); }));
  SendScreen(*link_, "T1", "built while away");
  b->client.Connect();
  ASSERT_TRUE(PumpUntil([&] { return b->sim.Screens() == 2; }));
  EXPECT_TRUE(b->sim.Display().Shows("built while away"));
  EXPECT_FALSE(test::Take(*link_, &r)) << "a reconnect is no START";
  // Answered, then the same answer again (a page that sends twice): the
  // second is dropped by the link.
  b->sim.Press(sim::Key::kEnter);
  ASSERT_TRUE(TakeWithin(*link_, &r));
  EXPECT_EQ(r.kind, kTerminalAnswer);
  b->client.SendRaw(R"({"type":"answer","sequence":2,"name":"S","chosen":2,"values":[]})");
  ASSERT_TRUE(PumpUntil([&] { return log_.Has("ANSWER from terminal T1 refused"); }));
  EXPECT_FALSE(test::Take(*link_, &r));
}

TEST_F(WebLink, OneDevicePerIdAcrossTcpAndWebSockets) {
  Open();
  sim::SimTerminal gun("T1", 20);
  sim::SimTcpClient tcp(gun, "127.0.0.1", link_->ListeningPort());
  tcp.Connect();
  ASSERT_TRUE(PumpUntil([&] { return gun.Welcomed(); }));
  auto page = NewBrowser("T1", false);
  ASSERT_TRUE(PumpUntil([&] { return page->sim.Welcomed() && gun.Refused(); }));
  EXPECT_EQ(gun.RefusalCode(), wire::RefusedCode::kReplaced);
  EXPECT_EQ(gun.Refusal(), "replaced by a newer connection of terminal T1");
  EXPECT_TRUE(log_.Has("radio: terminal T1 connected elsewhere"));
  SendScreen(*link_, "T1", "for the page");
  ASSERT_TRUE(PumpUntil([&] { return page->sim.Screens() == 1; }));
  EXPECT_EQ(gun.Screens(), 0);

  // And back: the gun takes over from the page.
  sim::SimTerminal gun2("T1", 20);
  gun2.SetAutoStart(false);
  sim::SimTcpClient tcp2(gun2, "127.0.0.1", link_->ListeningPort());
  tcp2.Connect();
  ASSERT_TRUE(PumpUntil([&] { return gun2.Welcomed() && page->sim.Refused(); }));
  EXPECT_EQ(page->sim.RefusalCode(), wire::RefusedCode::kReplaced);
  ASSERT_TRUE(PumpUntil([&] { return gun2.Screens() == 1; }))
      << "the unanswered screen follows the terminal";
  EXPECT_TRUE(gun2.Display().Shows("for the page"));
  ASSERT_TRUE(PumpUntil([&] { return page->client.Unconnected(); }));

  // Two pages with one id: the newer wins, as on TCP/IP.
  auto p1 = NewBrowser("T2");
  ASSERT_TRUE(PumpUntil([&] { return p1->sim.Welcomed(); }));
  auto p2 = NewBrowser("T2", false);
  ASSERT_TRUE(PumpUntil([&] { return p2->sim.Welcomed() && p1->sim.Refused(); }));
  EXPECT_TRUE(log_.Has("web: terminal T2 connected again; older connection closed"));
}

TEST_F(WebLink, AnOversizedMessageClosesThatConnectionOnly) {
  RadioLinkOptions o;
  o.webLimits.maxMessageBytes = 4096;
  Open(o);
  auto big = NewBrowser("T1", false);
  auto other = NewBrowser("T2", false);
  ASSERT_TRUE(PumpUntil([&] { return big->sim.Welcomed() && other->sim.Welcomed(); }));
  big->client.SendRaw(QString(R"({"type":"message","text":"%1"})").arg(QString(5000, 'x')));
  ASSERT_TRUE(PumpUntil([&] { return big->client.Unconnected(); }));
  EXPECT_EQ(big->client.CloseCode(), QWebSocketProtocol::CloseCodeTooMuchData);
  ASSERT_TRUE(PumpUntil(
      [&] { return log_.Has("web: terminal T1 disconnected (a message over 4096 bytes)"); }));
  SendScreen(*link_, "T2", "still here");
  ASSERT_TRUE(PumpUntil([&] { return other->sim.Screens() == 1; }));
  Received r;
  EXPECT_FALSE(test::Take(*link_, &r));
}

TEST_F(WebLink, MessagesBreakingTheRulesAreRefusedOrDroppedWithTheirReason) {
  Open();
  auto b = NewBrowser("T1", false);
  ASSERT_TRUE(PumpUntil([&] { return b->sim.Welcomed(); }));
  // Welcomed: a message that is not right is dropped; the connection stays.
  b->client.SendRaw(R"({"type":"answer","sequence":"one","name":"S","chosen":1,"values":[]})");
  b->client.SendRaw(R"({"type":"teleport"})");
  b->client.SendRaw(R"({"type":"hello","id":"T2","nonce":"000102030405060708090a0b0c0d0e0f"})");
  ASSERT_TRUE(PumpUntil([&] {
    return log_.Has(
               "web: message from terminal T1 dropped: answer: \"sequence\" is not a whole "
               "number") &&
           log_.Has("web: message from terminal T1 dropped: unknown message type \"teleport\"") &&
           log_.Has("web: second HELLO from terminal T1 dropped");
  }));
  EXPECT_TRUE(b->client.Connected());
  // Not JSON at all: the stream is not trusted any further.
  b->client.SendRaw("{\"type\": \"start\"");
  ASSERT_TRUE(PumpUntil([&] { return b->client.Unconnected(); }));
  EXPECT_EQ(b->sim.RefusalCode(), wire::RefusedCode::kProtocol);
  EXPECT_NE(b->sim.Refusal().find("not JSON"), std::string::npos) << b->sim.Refusal();
  EXPECT_EQ(b->client.CloseCode(), QWebSocketProtocol::CloseCodePolicyViolated);

  // Before WELCOME, anything but HELLO is refused as on TCP/IP.
  sim::SimTerminal quiet("T2", 20);
  sim::SimWebClient raw(quiet, Url());
  quiet.SetSender({});
  raw.Connect();
  ASSERT_TRUE(PumpUntil([&] { return raw.Connected(); }));
  raw.SendRaw(R"({"type":"start"})");
  ASSERT_TRUE(PumpUntil([&] { return raw.Unconnected(); }));
  EXPECT_TRUE(log_.Has("START before HELLO"));
  Received r;
  EXPECT_FALSE(test::Take(*link_, &r));
}

TEST_F(WebLink, AFloodIsCappedWithOneLogLineAndTheOthersGoOn) {
  RadioLinkOptions o;
  o.webLimits.messagesPerSecond = 20;
  o.webLimits.burst = 40;
  Open(o);
  auto flood = NewBrowser("T1", false);
  auto other = NewBrowser("T2", false);
  ASSERT_TRUE(PumpUntil([&] { return flood->sim.Welcomed() && other->sim.Welcomed(); }));
  for (int i = 0; i < 2000; ++i) flood->client.SendRaw(R"({"type":"message","text":"spam"})");
  ASSERT_TRUE(
      PumpUntil([&] { return log_.Has("web: terminal T1 sends more than 20 messages a second"); }));
  test::Pump(300);
  EXPECT_EQ(Count(log_, "sends more than"), 1);
  // The link took what the rate let through, within the terminal's share.
  int taken = 0;
  Received r;
  while (test::Take(*link_, &r)) ++taken;
  EXPECT_GE(taken, 16);
  EXPECT_LE(taken, 40 + 20);
  EXPECT_LT(log_.lines.size(), 30u) << "the flood does not flood the log";
  other->sim.SendStart();
  ASSERT_TRUE(TakeWithin(*link_, &r));
  EXPECT_EQ(r.id, "T2      ");
  EXPECT_TRUE(flood->client.Connected());
}

TEST_F(WebLink, PagesOfOtherSitesCannotConnect) {
  Open();
  QWebSocket foreign;
  QNetworkRequest request(Url());
  request.setRawHeader("Origin", "http://evil.example");
  foreign.open(request);
  ASSERT_TRUE(PumpUntil(
      [&] { return log_.Has("web: WebSocket from a page of http://evil.example refused"); }));
  test::Pump(100);
  EXPECT_NE(foreign.state(), QAbstractSocket::ConnectedState);
  // The page's own origin is welcome.
  QWebSocket own;
  QNetworkRequest same(Url());
  same.setRawHeader("Origin", QString("http://127.0.0.1:%1").arg(http_.Port()).toUtf8());
  own.open(same);
  ASSERT_TRUE(PumpUntil([&] { return own.state() == QAbstractSocket::ConnectedState; }));
}

TEST_F(WebLink, SilentPagesArePingedAndDroppedWhenGone) {
  os::VirtualClock clock;
  RadioLinkOptions o;
  o.clock = &clock;
  o.checkEveryMs = 0;
  Open(o);
  auto b = NewBrowser("T1", false);
  ASSERT_TRUE(PumpUntil([&] { return b->sim.Welcomed(); }));
  EXPECT_EQ(b->sim.LastWelcome().keepAliveSeconds, 30);
  clock.Advance(30000);
  link_->CheckTimeouts();
  ASSERT_TRUE(PumpUntil([&] { return b->sim.PingsAnswered() == 1; }));
  // The page counts a PING as it answers; give its PONG the time to reach
  // the gateway before the clock jumps, or the gateway still waits for it.
  test::Pump(200);
  // A page that no longer answers.
  b->sim.SetSender({});
  clock.Advance(30000);
  link_->CheckTimeouts();
  ASSERT_TRUE(PumpUntil([&] { return b->sim.PingsAnswered() == 2; }));
  clock.Advance(15000);
  link_->CheckTimeouts();
  ASSERT_TRUE(PumpUntil([&] { return b->client.Unconnected(); }));
  EXPECT_TRUE(log_.Has("web: terminal T1 does not answer PING; connection closed"));
}

TEST_F(WebLink, WithTerminalKeysABrowserProvesTheSecret) {
  QTemporaryDir dir;
  RadioLinkOptions o;
  o.keyFile = dir.filePath("terminal-keys").toStdString();
  std::ofstream(o.keyFile) << "* = a-site-wide-access-key-0123\n";
  ::chmod(o.keyFile.c_str(), 0600);
  Open(o);
  auto without = NewBrowser("T1");
  auto wrong = NewBrowser("T2");
  wrong->sim.SetSecret(std::string("not-the-key"));
  ASSERT_TRUE(PumpUntil([&] { return without->sim.Refused() && wrong->sim.Refused(); }));
  EXPECT_EQ(wrong->sim.Refusal(), "terminal not accepted");
  auto right = NewBrowser("T1");
  right->sim.SetSecret(std::string("a-site-wide-access-key-0123"));
  ASSERT_TRUE(PumpUntil([&] { return right->sim.Welcomed(); }));
  EXPECT_EQ(right->sim.LastWelcome().flags & wire::kWelcomeAuthenticated,
            wire::kWelcomeAuthenticated);
  EXPECT_TRUE(log_.Has("web: terminal T1 connected from 127.0.0.1 (browser, authenticated)"));
  for (const auto& l : log_.lines) EXPECT_EQ(l.find("a-site-wide"), std::string::npos) << l;
}

TEST_F(WebLink, WithoutTlsTheGatewaySaysSoAndTheLinkDownMeansNoSocket) {
  Open();
  EXPECT_TRUE(log_.Has("web: WARNING: the terminal page is served without TLS"));
  EXPECT_TRUE(http_.HasRoute(kTerminalSocketPath));
  link_->TerminateComm(1);
  EXPECT_FALSE(http_.HasRoute(kTerminalSocketPath));
  EXPECT_FALSE(link_->ServesBrowsers());
}

}  // namespace
}  // namespace tervo::radio

namespace tervo::radio {
namespace {

TEST(WebLinkTls, WithACertificateBrowsersConnectOverWssOnly) {
  const std::string tls = std::string(TERVO_TEST_DATA) + "/tls/";
  QSslConfiguration server, client;
  std::string err;
  ASSERT_TRUE(
      ServerTlsConfiguration({tls + "localhost.crt", tls + "localhost.key", {}}, &server, &err))
      << err;
  ASSERT_TRUE(ClientTlsConfiguration(tls + "localhost.crt", {}, {}, &client, &err)) << err;
  http::Server http;
  ASSERT_TRUE(http.Listen(QHostAddress::LocalHost, 0, server, &err)) << err;
  test::LogRecorder log;
  RadioLinkOptions o;
  o.web = &http;
  auto link = test::TcpLink(log, {"T1"}, o);
  ASSERT_TRUE(link);
  EXPECT_FALSE(log.Has("served without TLS"));

  sim::SimTerminal secure("T1", 20);
  sim::SimWebClient wss(secure, QUrl(QString("wss://localhost:%1/terminal").arg(http.Port())));
  wss.UseTls(client);
  wss.Connect();
  ASSERT_TRUE(PumpUntil([&] { return secure.Welcomed(); }));
  EXPECT_EQ(secure.LastWelcome().flags & wire::kWelcomeEncrypted, wire::kWelcomeEncrypted);

  sim::SimTerminal plain("T1", 20);
  sim::SimWebClient ws(plain, QUrl(QString("ws://localhost:%1/terminal").arg(http.Port())));
  ws.Connect();
  test::Pump(300);
  EXPECT_FALSE(plain.Welcomed());
  EXPECT_TRUE(secure.Welcomed()) << "not taken over by a client in clear";
}

}  // namespace
}  // namespace tervo::radio
