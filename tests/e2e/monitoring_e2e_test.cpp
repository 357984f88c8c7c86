// The metrics and health pages of the tervo program, read over its HTTP port
// the way a scraper and a load balancer read them, while a terminal signs on
// over the radio port; and what they say when the host cannot be reached or
// the radio link is down.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <memory>

#include "config/config_writer.h"
#include "demo_config.h"
#include "e2e_harness.h"
#include "prometheus_text.h"

namespace tervo::e2e {
namespace {

struct HttpAnswer {
  int status = 0;
  std::string contentType;
  std::string body;
};

// One GET over a fresh connection, as a scraper sends it.
bool HttpGet(quint16 port, const std::string& path, HttpAnswer* out) {
  QTcpSocket s;
  s.connectToHost("127.0.0.1", port);
  if (!s.waitForConnected(2000)) return false;
  s.write(("GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n").c_str());
  QByteArray bytes;
  while (s.state() == QAbstractSocket::ConnectedState && s.waitForReadyRead(3000))
    bytes += s.readAll();
  bytes += s.readAll();
  const int headEnd = bytes.indexOf("\r\n\r\n");
  if (headEnd < 0) return false;
  const QString head = QString::fromUtf8(bytes.left(headEnd));
  out->status = head.section(' ', 1, 1).toInt();
  const auto type = QRegularExpression("(?im)^content-type: *(.*)$").match(head);
  out->contentType = type.captured(1).trimmed().toStdString();
  out->body = bytes.mid(headEnd + 4).toStdString();
  return true;
}

quint16 FreePort() {
  QTcpServer probe;
  probe.listen(QHostAddress::LocalHost, 0);
  return probe.serverPort();
}

// The tervo program on a copy of the demo configuration.
class Monitoring : public ::testing::Test {
 protected:
  void Start(const QStringList& extra, bool enterOnStdin = false) {
    ASSERT_TRUE(dir_.isValid());
    const QString base = dir_.path() + "/warehouse";
    ASSERT_TRUE(QFile::copy(QString::fromStdString(config::ConfigFilePath(DemoConfigBase())),
                            base + ".TVO"));
    if (enterOnStdin) {
      QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
      env.insert("TERVO_STDIN_ENTER", "1");
      p_.setProcessEnvironment(env);
    }
    p_.start(
        QCoreApplication::applicationDirPath() + "/../apps/tervo/tervo",
        QStringList{"--headless", "--config", base, "--settings", dir_.path() + "/settings.ini",
                    "--log-folder", dir_.path() + "/log", "--sessions", "2", "--time-scale", "20"} +
            extra);
    ASSERT_TRUE(p_.waitForStarted(5000));
  }
  // Waits for "tervo: ready"; reads the radio and HTTP ports it printed.
  void AwaitReady() {
    for (int i = 0; i < 200 && !out_.contains("tervo: ready"); ++i) {
      p_.waitForReadyRead(100);
      out_ += p_.readAllStandardOutput();
      err_ += p_.readAllStandardError();
    }
    ASSERT_TRUE(out_.contains("tervo: ready")) << err_.toStdString();
    const QString err = QString::fromUtf8(err_);
    const auto radio = QRegularExpression("terminals connect to port (\\d+)").match(err);
    if (radio.hasMatch()) radioPort_ = static_cast<quint16>(radio.captured(1).toUInt());
    const auto page = QRegularExpression("terminal page at http://[^:]+:(\\d+)/").match(err);
    if (page.hasMatch()) httpPort_ = static_cast<quint16>(page.captured(1).toUInt());
    ASSERT_NE(httpPort_, 0) << err.toStdString();
  }
  void TearDown() override {
    if (p_.state() == QProcess::NotRunning) return;
    p_.terminate();
    EXPECT_TRUE(p_.waitForFinished(10000));
    EXPECT_EQ(p_.exitCode(), 0);
  }

  // Scrapes /metrics; the page must read as the format says.
  PromPage Scrape() {
    HttpAnswer a;
    PromPage page;
    EXPECT_TRUE(HttpGet(httpPort_, "/metrics", &a));
    EXPECT_EQ(a.status, 200);
    EXPECT_EQ(a.contentType, "text/plain; version=0.0.4; charset=utf-8");
    std::string err;
    EXPECT_TRUE(ParsePromText(a.body, &page, &err)) << err << "\n" << a.body;
    return page;
  }
  QJsonObject Health(int expectStatus) {
    HttpAnswer a;
    EXPECT_TRUE(HttpGet(httpPort_, "/healthz", &a));
    EXPECT_EQ(a.status, expectStatus) << a.body;
    EXPECT_EQ(a.contentType, "application/json");
    return QJsonDocument::fromJson(QByteArray::fromStdString(a.body)).object();
  }

  QTemporaryDir dir_;
  QProcess p_;
  QByteArray out_, err_;
  quint16 radioPort_ = 0;
  quint16 httpPort_ = 0;
};

const Labels kT1 = {{"session", "0"}, {"terminal", "T1"}};

TEST_F(Monitoring, CountersAndLatenciesMoveAsATerminalSignsOn) {
  ASSERT_NO_FATAL_FAILURE(Start({"--radio-address", "127.0.0.1:0", "--http-port", "127.0.0.1:0"}));
  ASSERT_NO_FATAL_FAILURE(AwaitReady());
  const PromPage idle = Scrape();
  EXPECT_EQ(idle.Value("tervo_serving"), 1);
  EXPECT_EQ(idle.Value("tervo_sessions"), 2);
  EXPECT_EQ(idle.Value("tervo_terminals_connected"), 0);
  EXPECT_EQ(idle.Value("tervo_screens_sent_total", kT1), 0) << "every session from the start";
  EXPECT_EQ(idle.Find("tervo_terminal_battery_volts", kT1), nullptr) << "nothing reported yet";

  Terminal t1("T1", radioPort_, 4700);
  ASSERT_TRUE(t1.WaitFor("Sign On")) << t1.Text();
  const PromPage signOn = Scrape();
  EXPECT_EQ(signOn.Value("tervo_terminals_connected"), 1);
  EXPECT_EQ(signOn.Value("tervo_terminal_connected", kT1), 1);
  EXPECT_EQ(signOn.Value("tervo_host_session_connected", kT1), 1);
  EXPECT_EQ(signOn.Value("tervo_screens_sent_total", kT1), 1);
  EXPECT_DOUBLE_EQ(signOn.Value("tervo_terminal_battery_volts", kT1), 4.7);
  EXPECT_EQ(signOn.Value("tervo_answer_to_screen_seconds_count"), 0);

  ASSERT_TRUE(t1.sim.Display().MoveTo("User"));
  t1.sim.Display().SetValue("DEMO");
  ASSERT_TRUE(t1.Enter("Password", "SECRET"));
  ASSERT_TRUE(t1.WaitFor("Main Menu")) << t1.Text();
  ASSERT_TRUE(t1.Enter("Option", "3"));
  ASSERT_TRUE(t1.WaitFor("Item Inquiry")) << t1.Text();
  ASSERT_TRUE(t1.Enter("Item", "999999"));  // the host answers with an error
  ASSERT_TRUE(t1.WaitFor("not on file")) << t1.Text();
  const PromPage worked = Scrape();
  std::string err;
  EXPECT_TRUE(CountersNeverFall(idle, signOn, &err)) << err;
  EXPECT_TRUE(CountersNeverFall(signOn, worked, &err)) << err;
  EXPECT_EQ(worked.Value("tervo_answers_processed_total", kT1), 3);
  EXPECT_EQ(worked.Value("tervo_screens_sent_total", kT1), 4);
  EXPECT_EQ(worked.Value("tervo_host_errors_total", kT1), 1);
  EXPECT_EQ(worked.Value("tervo_answers_dropped_total", kT1), 0);
  EXPECT_EQ(worked.Value("tervo_answer_to_screen_seconds_count"), 3) << "one wait per answer";
  EXPECT_GT(worked.Value("tervo_daily_screens", kT1), 0);
  EXPECT_EQ(worked.Value("tervo_screens_sent_total", {{"session", "1"}, {"terminal", "T2"}}), 0);

  const QJsonObject health = Health(200);
  EXPECT_EQ(health["status"].toString(), "serving");
  EXPECT_EQ(health["radio"].toString(), "up");
  const QJsonObject s0 = health["sessions"].toArray()[0].toObject();
  EXPECT_EQ(s0["terminal"].toString(), "T1");
  EXPECT_TRUE(s0["terminalConnected"].toBool());
  EXPECT_EQ(s0["host"].toString(), "connected");
}

TEST_F(Monitoring, AHostThatCannotBeReachedShowsInHealthAndMetrics) {
  const quint16 nobody = FreePort();  // no host listens there
  ASSERT_NO_FATAL_FAILURE(Start({"--radio-address", "127.0.0.1:0", "--http-port", "127.0.0.1:0",
                                 "--demo-host", QString("127.0.0.1:%1").arg(nobody)}));
  ASSERT_NO_FATAL_FAILURE(AwaitReady());
  Terminal t1("T1", radioPort_);
  ASSERT_TRUE(t1.WaitFor("Host not reachable")) << t1.Text();

  // The gateway itself serves: a balancer keeps it, the body says why T1
  // gets nowhere.
  const QJsonObject health = Health(200);
  EXPECT_EQ(health["status"].toString(), "serving");
  const QJsonObject s0 = health["sessions"].toArray()[0].toObject();
  EXPECT_EQ(s0["host"].toString(), "unreachable");
  EXPECT_FALSE(s0["hostReason"].toString().isEmpty());
  EXPECT_EQ(health["sessions"].toArray()[1].toObject()["host"].toString(), "not connected");

  const PromPage page = Scrape();
  EXPECT_EQ(page.Value("tervo_host_session_unreachable", kT1), 1);
  EXPECT_EQ(page.Value("tervo_host_unreachable_total", kT1), 1);
  EXPECT_EQ(page.Value("tervo_host_session_connected", kT1), 0);
}

TEST_F(Monitoring, ARadioLinkThatIsDownIsNotServing) {
  QTcpServer taken;  // the radio port is someone else's
  ASSERT_TRUE(taken.listen(QHostAddress::LocalHost, 0));
  httpPort_ = FreePort();
  ASSERT_NO_FATAL_FAILURE(Start({"--radio-address", QString("127.0.0.1:%1").arg(taken.serverPort()),
                                 "--http-port", QString("127.0.0.1:%1").arg(httpPort_)},
                                true));
  // While the start-up sequence retries the link, the pages are there.
  HttpAnswer a;
  ASSERT_TRUE(WaitUntil([&] { return HttpGet(httpPort_, "/healthz", &a); }, 10000));
  QJsonObject health = Health(503);
  EXPECT_EQ(health["status"].toString(), "not serving");
  EXPECT_EQ(health["reason"].toString(), "starting");
  EXPECT_EQ(health["radio"].toString(), "retrying");

  p_.write("\n");  // the operator gives up the retries
  ASSERT_NO_FATAL_FAILURE(AwaitReady());
  health = Health(503);
  EXPECT_EQ(health["reason"].toString(), "radio link down");
  EXPECT_EQ(health["radio"].toString(), "down");
  const PromPage page = Scrape();
  EXPECT_EQ(page.Value("tervo_serving"), 0);
  EXPECT_EQ(page.Value("tervo_radio_link_up"), 0);
}

}  // namespace
}  // namespace tervo::e2e
