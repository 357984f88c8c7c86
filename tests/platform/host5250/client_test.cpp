// tervo-5250 against local servers: the recorded IBM i session replayed by
// a test server, and TLS with a self-signed certificate.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>
#include <QTimer>
#include <map>

#include "platform/host5250/host_router.h"
#include "platform/host5250/telnet.h"
#include "platform/host5250/trace.h"

namespace tervo::host5250::testing {
namespace {

// What the client must have sent before the next server step: telnet
// negotiations per option, subnegotiations per option, records.
struct Tally : telnet::Sink {
  std::map<int, int> negotiations, subnegotiations;
  int records = 0;
  void OnData(const std::uint8_t*, std::size_t) override {}
  void OnCommand(std::uint8_t c) override { records += c == telnet::kEor; }
  void OnNegotiation(std::uint8_t, std::uint8_t o) override { ++negotiations[o]; }
  void OnSubnegotiation(std::uint8_t o, std::string_view) override { ++subnegotiations[o]; }
  bool Covers(const Tally& need) const {
    for (auto [o, n] : need.negotiations) if (negotiations.count(o) == 0 || negotiations.at(o) < n) return false;
    for (auto [o, n] : need.subnegotiations) if (subnegotiations.count(o) == 0 || subnegotiations.at(o) < n) return false;
    return records >= need.records;
  }
};

// Plays the recording: server steps are written once the client has sent
// what the recorded client sent before them (by kind, not byte for byte).
class ReplayServer : public QObject {
 public:
  ReplayServer() : steps_(LoadTrace("login.yml")) {
    server_.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&server_, &QTcpServer::newConnection, this, [this] {
      socket_ = server_.nextPendingConnection();
      QObject::connect(socket_, &QTcpSocket::readyRead, this, [this] {
        const QByteArray d = socket_->readAll();
        parser_.Feed(reinterpret_cast<const std::uint8_t*>(d.constData()), d.size(), got_);
        Pump();
      });
      Pump();
    });
  }
  quint16 Port() const { return server_.serverPort(); }

 private:
  void Pump() {
    while (next_ < steps_.size()) {
      const TraceStep& s = steps_[next_];
      if (!s.fromServer) {
        telnet::Parser p;
        p.Feed(reinterpret_cast<const std::uint8_t*>(s.bytes.data()), s.bytes.size(), need_);
        ++next_;
        continue;
      }
      if (!got_.Covers(need_)) return;
      socket_->write(s.bytes.data(), static_cast<qint64>(s.bytes.size()));
      ++next_;
    }
  }
  std::vector<TraceStep> steps_;
  std::size_t next_ = 0;
  QTcpServer server_;
  QTcpSocket* socket_ = nullptr;
  telnet::Parser parser_;
  Tally got_, need_;
};

struct ClientRun {
  int exitCode = -1;
  std::string out, err;
};

ClientRun RunClient(const QStringList& args) {
  const QString program = QCoreApplication::applicationDirPath() + "/../apps/tervo-5250/tervo-5250";
  if (!QFile::exists(program)) {
    ADD_FAILURE() << "build tervo-5250 first: " << program.toStdString();
    return {};
  }
  QProcess p;
  p.start(program, args);
  QEventLoop loop;
  QObject::connect(&p, &QProcess::finished, &loop, &QEventLoop::quit);
  QTimer::singleShot(20000, &loop, &QEventLoop::quit);
  loop.exec();
  if (p.state() != QProcess::NotRunning) p.kill(), p.waitForFinished();
  return ClientRun{p.exitCode(), p.readAllStandardOutput().toStdString(), p.readAllStandardError().toStdString()};
}

// The 24 rows of screen n in a --dump output.
std::vector<std::string> DumpedRows(const std::string& out, int n) {
  std::vector<std::string> rows;
  const std::string mark = "=== Screen " + std::to_string(n) + " ===\n";
  std::size_t pos = out.find(mark);
  if (pos == std::string::npos) return rows;
  pos += mark.size();
  for (int r = 0; r < 24; ++r) {
    std::size_t nl = out.find('\n', pos);
    rows.push_back(out.substr(pos, nl - pos));
    pos = nl + 1;
  }
  return rows;
}

TEST(Tervo5250, DumpsTheRecordedScreensWhenTheRecordingIsReplayed) {
  ReplayServer server;
  ClientRun r = RunClient({"--host", QString("127.0.0.1:%1").arg(server.Port()), "--device", "TERM01", "--keys",
                     "TESTUSR@TTESTPSW@E", "--dump", "--wait-ms", "5000"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(DumpedRows(r.out, 1), HtmlScreen("login-welcome-screen.html"));
  EXPECT_EQ(DumpedRows(r.out, 2), HtmlScreen("user-menu-screen.html"));
  EXPECT_NE(r.out.find("Cursor: 6,53"), std::string::npos);
  EXPECT_NE(r.out.find("  06,53 len   10 input     type 0 justify 0"), std::string::npos);
  EXPECT_NE(r.out.find("  07,53 len   10 input     type 0 justify 0 hidden"), std::string::npos);
  EXPECT_EQ(r.out.find("=== Screen 3 ==="), std::string::npos);
}

// A host that writes a screen and overwrites it 150 ms later ("flash"), then
// answers the operator's Enter with a last screen.  It notes whether the
// Enter came after the second screen, with the value typed into its field.
class FlashServer : public QTcpServer {
 public:
  FlashServer() { listen(QHostAddress::LocalHost, 0); }
  bool enterAfterFinal = false;
  bool typedIntoFinal = false;
  int enters = 0;

 protected:
  void incomingConnection(qintptr fd) override {
    auto* s = new QTcpSocket(this);
    s->setSocketDescriptor(fd);
    auto send = [s](const std::string& hex) {
      const std::string r = HostRecord(Unhex(hex));
      s->write(r.data(), static_cast<qint64>(r.size()));
    };
    // Input at (5,10), then the real screen with its input at (7,20).
    send(
        "0440"
        "04110008"
        "110509"
        "1D4000"
        "24"
        "0004"
        "04520000");
    QTimer::singleShot(150, s, [this, send] {
      finalSent_ = true;
      send(
          "0440"
          "04110008"
          "110101"
          "20"
          "C6C9D5C1D3"
          "110713"
          "1D4000"
          "24"
          "0004"
          "04520000");
    });
    QObject::connect(s, &QTcpSocket::readyRead, s, [this, s, send] {
      const QByteArray d = s->readAll();
      if (d.indexOf(QByteArray::fromHex("F1")) < 0 || d.indexOf(QByteArray::fromHex("FFEF")) < 0)
        return;
      ++enters;
      enterAfterFinal = finalSent_;
      typedIntoFinal = d.contains(QByteArray::fromHex("110714E7"));
      send(
          "0440"
          "04110008"
          "110101"
          "20"
          "C4D6D5C5"
          "04520000");
    });
  }

 private:
  bool finalSent_ = false;
};

// Scripted keys wait until the host has been quiet for --settle-ms: the
// flash screen is overwritten before the Enter goes.
TEST(Tervo5250, SettleMsWaitsUntilTheHostIsQuiet) {
  FlashServer server;
  ClientRun r = RunClient({"--host", QString("127.0.0.1:%1").arg(server.serverPort()), "--keys",
                           "X@E", "--settle-ms", "600", "--dump", "--wait-ms", "5000"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(server.enters, 1);
  EXPECT_TRUE(server.enterAfterFinal);
  EXPECT_TRUE(server.typedIntoFinal);
  EXPECT_NE(r.out.find("=== Screen 3 ===\n DONE"), std::string::npos) << r.out;
}

// A TLS server that sends one screen as soon as the handshake is done.
class TlsServer : public QTcpServer {
 public:
  TlsServer() { listen(QHostAddress::LocalHost, 0); }

 protected:
  void incomingConnection(qintptr fd) override {
    auto* s = new QSslSocket(this);
    s->setSocketDescriptor(fd);
    QFile cert(QString(TERVO_TEST_DATA) + "/tls/localhost.crt"), key(QString(TERVO_TEST_DATA) + "/tls/localhost.key");
    cert.open(QIODevice::ReadOnly);
    key.open(QIODevice::ReadOnly);
    s->setLocalCertificate(QSslCertificate(cert.readAll()));
    s->setPrivateKey(QSslKey(key.readAll(), QSsl::Rsa));
    QObject::connect(s, &QSslSocket::encrypted, s, [s] {
      const std::string screen = HostRecord(Unhex("0440" "04110008" "110101" "20E2C5C3E4D9C5" "04520000"));
      s->write(screen.data(), static_cast<qint64>(screen.size()));
    });
    s->startServerEncryption();
  }
};

TEST(Tervo5250, TlsVerifiedWithTheCaFileAndRefusedWithout) {
  if (!QSslSocket::supportsSsl()) GTEST_SKIP() << "no TLS backend";
  TlsServer server;
  const QString host = QString("localhost:%1").arg(server.serverPort());
  ClientRun ok = RunClient({"--host", host, "--tls", "--ca-file", QString(TERVO_TEST_DATA) + "/tls/localhost.crt",
                      "--dump", "--wait-ms", "5000"});
  EXPECT_EQ(ok.exitCode, 0) << ok.err;
  EXPECT_EQ(DumpedRows(ok.out, 1).at(0).substr(0, 7), " SECURE");
  ClientRun refused = RunClient({"--host", host, "--tls", "--dump", "--wait-ms", "5000"});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_NE(refused.err.find("TLS certificate refused"), std::string::npos) << refused.err;
  EXPECT_EQ(refused.out.find("=== Screen"), std::string::npos);
}

TEST(Tn5250Client, EventsArriveFromTheEventLoopAndHandlersMayCallBack) {
  ReplayServer server;
  std::string err;
  auto display = CreateHostDisplay("WallData.TN5250", {}, &err);
  ASSERT_TRUE(display) << err;
  display->Link().SelectedSystemName = QString("127.0.0.1:%1").arg(server.Port()).toStdString();
  QEventLoop loop;
  int screens = 0;
  std::string firstRow;
  HostDisplayEvents events;
  events.ReadyToSend = [&](bool state) {
    EXPECT_TRUE(state);
    ++screens;
    EXPECT_FALSE(display->InputInhibited());
    if (screens == 1) {
      // Calling back into the display from the handler is safe.
      std::string e;
      EXPECT_TRUE(display->SendKeys("TESTUSR@TTESTPSW@E", &e)) << e;
      EXPECT_TRUE(display->InputInhibited());
      EXPECT_TRUE(display->Keyboard().Locked);
    } else {
      firstRow = display->ReadText(1, 1, 80);
      loop.quit();
    }
  };
  display->SetEvents(events);
  ASSERT_TRUE(display->Connect(&err)) << err;
  QTimer::singleShot(10000, &loop, &QEventLoop::quit);
  loop.exec();
  EXPECT_EQ(screens, 2);
  EXPECT_EQ(firstRow, HtmlScreen("user-menu-screen.html")[0]);
  display->Disconnect();
}

TEST(Tn5250Client, RefusedConnectionIsReportedFromTheEventLoop) {
  QTcpServer probe;
  probe.listen(QHostAddress::LocalHost, 0);
  const quint16 port = probe.serverPort();
  probe.close();  // nobody listens there now
  std::string err;
  auto display = CreateHostDisplay("TN5250", {}, &err);
  display->Link().SelectedSystemName = "127.0.0.1:" + std::to_string(port);
  std::string message;
  bool inConnect = false;
  HostDisplayEvents events;
  events.Disconnected = [&](std::string& m) {
    EXPECT_FALSE(inConnect);
    message = m;
  };
  display->SetEvents(events);
  inConnect = true;
  ASSERT_TRUE(display->Connect(&err)) << err;
  inConnect = false;
  QEventLoop loop;
  QTimer::singleShot(3000, &loop, &QEventLoop::quit);
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (!message.empty()) loop.quit();
  });
  poll.start(10);
  loop.exec();
  EXPECT_EQ(message, "connection refused");
  EXPECT_TRUE(display->InputInhibited());
  std::string keysErr;
  EXPECT_FALSE(display->SendKeys("@E", &keysErr));
  EXPECT_EQ(keysErr, "Host session not connected");

  // The gateway's own Disconnect raises no event, even with one queued.
  message.clear();
  ASSERT_TRUE(display->Connect(&err));
  display->Disconnect();
  QEventLoop again;
  QTimer::singleShot(200, &again, &QEventLoop::quit);
  again.exec();
  EXPECT_TRUE(message.empty());
  // A system name that cannot be attempted fails at once.
  display->Link().SelectedSystemName = "host:0";
  EXPECT_FALSE(display->Connect(&err));
  EXPECT_EQ(err, "Bad port in system name \"host:0\"");
}

}  // namespace
}  // namespace tervo::host5250::testing
