// The listener over real loopback sockets: routes, keep-alive, the limits
// an exposed port needs, and the hand-over of WebSocket upgrades.
#include "platform/http/http_server.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpSocket>
#include <memory>

namespace tervo::http {
namespace {

bool PumpUntil(const std::function<bool()>& done, int ms = 3000) {
  QElapsedTimer t;
  t.start();
  while (!done()) {
    if (t.elapsed() >= ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}

class Client {
 public:
  explicit Client(quint16 port) {
    socket_.connectToHost(QHostAddress::LocalHost, port);
    PumpUntil([&] { return socket_.state() == QAbstractSocket::ConnectedState; });
  }
  void Send(const std::string& bytes) {
    socket_.write(bytes.data(), static_cast<qint64>(bytes.size()));
  }
  // Waits until what was received holds text (or the peer closed).
  std::string ReadUntil(const std::string& text, int ms = 3000) {
    PumpUntil(
        [&] {
          got_ += socket_.readAll().toStdString();
          return got_.find(text) != std::string::npos ||
                 socket_.state() == QAbstractSocket::UnconnectedState;
        },
        ms);
    return got_;
  }
  bool Closed(int ms = 3000) {
    return PumpUntil(
        [&] {
          got_ += socket_.readAll().toStdString();
          return socket_.state() == QAbstractSocket::UnconnectedState;
        },
        ms);
  }
  const std::string& Got() const { return got_; }

 private:
  QTcpSocket socket_;
  std::string got_;
};

class HttpServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ServerOptions o;
    o.clock = &clock_;
    o.checkEveryMs = 0;
    o.maxHeadBytes = 1024;
    o.maxConnections = 4;
    server_ = std::make_unique<Server>(o);
    std::string err;
    ASSERT_TRUE(server_->Listen(QHostAddress::LocalHost, 0, std::nullopt, &err)) << err;
    server_->Route("/", [](const Request& r) {
      Response resp = Response::Text(200, "page for " + r.Header("host"));
      return resp;
    });
  }
  os::VirtualClock clock_;
  std::unique_ptr<Server> server_;
};

TEST_F(HttpServerTest, ServesRoutesAndKeepsTheConnection) {
  Client c(server_->Port());
  c.Send("GET / HTTP/1.1\r\nHost: gw\r\n\r\nGET /missing HTTP/1.1\r\nHost: gw\r\n\r\n");
  const std::string got = c.ReadUntil("no page at /missing");
  EXPECT_EQ(got.find("HTTP/1.1 200 OK"), 0u) << got;
  EXPECT_NE(got.find("page for gw\n"), std::string::npos) << got;
  EXPECT_NE(got.find("HTTP/1.1 404 Not Found"), std::string::npos) << got;
  EXPECT_EQ(got.find("Connection: close"), std::string::npos) << got;
  // HEAD: the length GET would send, no body.
  c.Send("HEAD / HTTP/1.1\r\nHost: gw\r\nConnection: close\r\n\r\n");
  EXPECT_TRUE(c.Closed());
  const std::string all = c.Got();
  const std::string last = all.substr(all.rfind("HTTP/1.1 200"));
  EXPECT_NE(last.find("Content-Length: 12\r\n"), std::string::npos) << last;
  EXPECT_EQ(last.substr(last.size() - 4), "\r\n\r\n") << last;
}

TEST_F(HttpServerTest, RefusesWhatItDoesNotServeAndCloses) {
  const struct {
    const char* request;
    const char* status;
  } cases[] = {
      {"POST / HTTP/1.1\r\nHost: a\r\nContent-Length: 5\r\n\r\nhello", "413"},
      {"GET / HTTP/1.1\r\nHost: a\r\nTransfer-Encoding: chunked\r\n\r\n", "413"},
      {"GARBAGE\r\n\r\n", "400"},
      {"GET / HTTP/3.0\r\nHost: a\r\n\r\n", "505"},
  };
  for (const auto& k : cases) {
    Client c(server_->Port());
    c.Send(k.request);
    ASSERT_TRUE(c.Closed()) << k.request;
    EXPECT_EQ(c.Got().find(std::string("HTTP/1.1 ") + k.status), 0u) << c.Got();
  }
  Client post(server_->Port());
  post.Send("DELETE / HTTP/1.1\r\nHost: a\r\n\r\n");
  EXPECT_NE(post.ReadUntil("Allow: GET, HEAD").find("405"), std::string::npos);
}

TEST_F(HttpServerTest, AHeadThatNeverEndsIsCutAtItsLimit) {
  Client c(server_->Port());
  c.Send("GET / HTTP/1.1\r\nHost: a\r\nX: " + std::string(2000, 'x'));
  ASSERT_TRUE(c.Closed());
  EXPECT_EQ(c.Got().find("HTTP/1.1 431"), 0u) << c.Got();
}

TEST_F(HttpServerTest, SlowAndIdleConnectionsAreClosedInTime) {
  Client slow(server_->Port());
  slow.Send("GET / HTTP/1.1\r\nHo");
  Client idle(server_->Port());
  idle.Send("GET / HTTP/1.1\r\nHost: a\r\n\r\n");
  idle.ReadUntil("page for");
  ASSERT_TRUE(PumpUntil([&] { return server_->OpenConnections() == 2; }));
  clock_.Advance(9999);
  server_->CheckTimeouts();
  EXPECT_FALSE(slow.Closed(200));
  clock_.Advance(1);
  server_->CheckTimeouts();
  ASSERT_TRUE(slow.Closed());
  EXPECT_EQ(slow.Got().find("HTTP/1.1 408"), 0u) << slow.Got();
  // The answered connection may wait for its next request a while longer.
  EXPECT_FALSE(idle.Closed(200));
  clock_.Advance(20000);
  server_->CheckTimeouts();
  EXPECT_TRUE(idle.Closed());
}

TEST_F(HttpServerTest, ACrowdOfIdleConnectionsCannotLockClientsOut) {
  std::vector<std::unique_ptr<Client>> crowd;
  for (int i = 0; i < 4; ++i) crowd.push_back(std::make_unique<Client>(server_->Port()));
  ASSERT_TRUE(PumpUntil([&] { return server_->OpenConnections() == 4; }));
  Client late(server_->Port());
  late.Send("GET / HTTP/1.1\r\nHost: a\r\n\r\n");
  EXPECT_NE(late.ReadUntil("page for").find("200 OK"), std::string::npos);
  EXPECT_TRUE(crowd[0]->Closed());  // the oldest went
  EXPECT_LE(server_->OpenConnections(), 4u);
}

TEST_F(HttpServerTest, AnUpgradeIsHandedOverWithItsRequestUnread) {
  QTcpSocket* handed = nullptr;
  Request seen;
  server_->RouteUpgrade("/ws", [&](QTcpSocket* s, const Request& r) {
    handed = s;
    seen = r;
  });
  Client c(server_->Port());
  const std::string head =
      "GET /ws HTTP/1.1\r\nHost: a\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n\r\n";
  c.Send(head);
  ASSERT_TRUE(PumpUntil([&] { return handed != nullptr; }));
  EXPECT_EQ(seen.path, "/ws");
  EXPECT_EQ(handed->peek(1000).toStdString(), head);
  EXPECT_EQ(server_->OpenConnections(), 0u);  // not the listener's any more
  handed->deleteLater();
  // A plain GET of an upgrade path is told what the path takes.
  Client plain(server_->Port());
  plain.Send("GET /ws HTTP/1.1\r\nHost: a\r\n\r\n");
  ASSERT_TRUE(plain.Closed());
  EXPECT_EQ(plain.Got().find("HTTP/1.1 426"), 0u) << plain.Got();
  // Unrouted, it is gone.
  server_->Unroute("/ws");
  EXPECT_FALSE(server_->HasRoute("/ws"));
}

TEST(HttpServer, APortInUseIsAnErrorThatSaysSo) {
  Server a, b;
  std::string err;
  ASSERT_TRUE(a.Listen(QHostAddress::LocalHost, 0, std::nullopt, &err)) << err;
  EXPECT_FALSE(b.Listen(QHostAddress::LocalHost, a.Port(), std::nullopt, &err));
  EXPECT_NE(err.find("cannot listen on 127.0.0.1:" + std::to_string(a.Port())), std::string::npos)
      << err;
  EXPECT_FALSE(b.Listening());
}

}  // namespace
}  // namespace tervo::http
