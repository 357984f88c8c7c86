// Scripted simulated terminals exchanging screens and answers with a link,
// over TCP/IP and through a radio base on a pseudo-terminal pair.  A small
// gateway stand-in serves a sign-on screen, greets the user and says goodbye
// on F3.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include "platform/radio/sim_links.h"
#include "platform/radio/sim_script.h"
#include "radio_test_util.h"

namespace tervo::radio {
namespace {

class MiniGateway {
 public:
  explicit MiniGateway(RadioLink& link) : link_(link) {
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { Poll(); });
    timer_.start(5);
  }

 private:
  void SignOn(const std::string& id) {
    link_.T_InitScreen(id, "SIGNON", 2081, 0, 0);
    link_.T_Cls();
    link_.T_PrintInverse("Sign on");
    link_.T_NewLine();
    link_.T_Say("User ");
    link_.T_GetText("", 8, 0);
    link_.T_NewLine();
    link_.T_Say("Enter");
    link_.T_GetCheckEnter();
    link_.T_NewLine();
    link_.T_Say("F ");
    link_.T_GetText("", 2, -16);
    link_.T_Read();
    link_.T_SendScreenToPc("SIGNON", 2088);
    link_.T_WaitAnyScreenFromPc();
    link_.T_SendScreen();
  }
  void Hello(const std::string& id, const std::string& user) {
    link_.T_InitScreen(id, "HELLO", 2081, 0, 0);
    link_.T_Cls();
    link_.T_PrintLarge("Hello " + user);
    link_.T_NewLine();
    link_.T_Say("Enter");
    link_.T_GetCheckEnter();
    link_.T_Read();
    link_.T_SendScreenToPc("HELLO", 2088);
    link_.T_WaitAnyScreenFromPc();
    link_.T_SendScreen();
  }
  void Message(const std::string& id, const std::string& text) {
    link_.T_InitScreen(id, "ERROR", 1, 0, 0);
    link_.T_Cls();
    link_.T_PrintInverse(text);
    link_.T_NewLine();
    link_.T_WaitChar();
    link_.T_HardReset();
    link_.T_SendScreen();
  }
  void Poll() {
    test::Received r;
    while (test::Take(link_, &r)) {
      if (r.kind == kScreenRequest) {
        SignOn(r.id);
      } else if (r.kind == kTerminalAnswer && r.data == "SIGNON") {
        const std::vector<std::string>& v = r.answer.values;
        const std::string user = v.empty() ? "" : v[0];
        const std::string f = v.size() < 2 ? "" : v[1];
        // F3 pressed, or 3 typed into the "F " item.
        if (r.value == -3 || f.substr(0, 1) == "3") {
          Message(r.id, "Bye");
        } else {
          Hello(r.id, user.substr(0, user.find_last_not_of(' ') + 1));
        }
      } else if (r.kind == kTerminalAnswer) {
        Message(r.id, "Bye");
      }
    }
  }
  RadioLink& link_;
  QTimer timer_;
};

constexpr const char* kSignOnScript = R"(# sign on, greet, leave
expect Sign on
field User
type alice
choose Enter
expect Hello alice
press Enter
expect Bye
press Any
expect Sign on
field F
type 3
press Enter
expect Bye
)";

struct ScriptedTerminal {
  ScriptedTerminal(const std::string& id, const std::string& script) : sim(id, 20) {
    std::vector<sim::ScriptStep> steps;
    std::string err;
    EXPECT_TRUE(sim::ParseScript(script, &steps, &err)) << err;
    runner = std::make_unique<sim::ScriptRunner>(
        sim, steps, [this](const std::string& s) { out += s; }, 2000);
    sim.SetOnChange([this](const std::string& what) { runner->OnChange(what); });
  }
  void Start() {
    runner->Start([](int) {});
  }
  sim::SimTerminal sim;
  std::string out;
  std::unique_ptr<sim::ScriptRunner> runner;
};

TEST(ScriptedTerminal, ExchangesScreensOverTcp) {
  test::LogRecorder log;
  auto link = test::TcpLink(log, {"T1"});
  ASSERT_TRUE(link);
  MiniGateway gateway(*link);
  ScriptedTerminal t("T1", kSignOnScript);
  t.Start();
  sim::SimTcpClient client(t.sim, "127.0.0.1", link->ListeningPort());
  client.Connect();
  ASSERT_TRUE(test::PumpUntil([&] { return t.runner->Finished(); }, 10000)) << t.out;
  EXPECT_EQ(t.runner->ExitCode(), 0) << t.out;
  EXPECT_NE(t.out.find("--- T1 screen SIGNON #1\nSign on\nUser ________\nEnter\nF __\n---\n"),
            std::string::npos)
      << t.out;
  EXPECT_NE(t.out.find("Hello alice"), std::string::npos);
}

TEST(ScriptedTerminal, AFailedExpectationReportsTheScreen) {
  test::LogRecorder log;
  auto link = test::TcpLink(log, {"T1"});
  MiniGateway gateway(*link);
  ScriptedTerminal t("T1", "timeout 0.2\nexpect Sign on\nexpect Nowhere\n");
  t.Start();
  sim::SimTcpClient client(t.sim, "127.0.0.1", link->ListeningPort());
  client.Connect();
  ASSERT_TRUE(test::PumpUntil([&] { return t.runner->Finished(); }, 5000));
  EXPECT_EQ(t.runner->ExitCode(), 1);
  EXPECT_NE(t.out.find("FAILED: timed out waiting for line 3 (expect \"Nowhere\")\n"
                       "the terminal shows:\n--- T1 screen SIGNON #1\nSign on\n"),
            std::string::npos)
      << t.out;
}

TEST(ScriptedTerminal, SeveralTerminalsBehindARadioBaseOnAPseudoTerminal) {
  std::string slave, err;
  auto channel = sim::FdChannel::OpenPty(&slave, &err);
  ASSERT_TRUE(channel) << err;
  ScriptedTerminal t1("T1", kSignOnScript);
  ScriptedTerminal t2("T2",
                      "expect Sign on\nfield User\ntype bob\nchoose Enter\nexpect Hello bob\n");
  sim::SimRadioBase base(std::move(channel));  // goes before the terminals it carries
  t1.Start();
  t2.Start();
  base.Add(t1.sim);
  base.Add(t2.sim);

  test::LogRecorder log;
  RadioLinkOptions o;
  o.log = log.Fn();
  WireRadioLink link(o);
  link.SetSerialDevice(slave);
  ASSERT_EQ(test::OpenSerial(link, 9600), 1);
  MiniGateway gateway(link);
  ASSERT_TRUE(
      test::PumpUntil([&] { return t1.runner->Finished() && t2.runner->Finished(); }, 10000))
      << t1.out << t2.out;
  EXPECT_EQ(t1.runner->ExitCode(), 0) << t1.out;
  EXPECT_EQ(t2.runner->ExitCode(), 0) << t2.out;
  EXPECT_EQ(t2.out.find("alice"), std::string::npos) << "T1's screens never reach T2";
}

// The simulator program itself, as the end-to-end tests will run it.
TEST(ScriptedTerminal, TheProgramRunsAScriptOverTcp) {
  const QString program =
      QCoreApplication::applicationDirPath() + "/../apps/tervo-terminal/tervo-terminal";
  if (!QFile::exists(program)) GTEST_SKIP() << "tervo-terminal not built";
  test::LogRecorder log;
  auto link = test::TcpLink(log, {"T1"});
  MiniGateway gateway(*link);
  QTemporaryDir dir;
  const QString script = dir.filePath("t1.txt");
  for (const auto& [text, code] : {std::pair{std::string(kSignOnScript), 0},
                                   std::pair{std::string("timeout 0.3\nexpect Nowhere\n"), 1}}) {
    QFile f(script);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text.c_str());
    f.close();
    QProcess p;
    p.start(program, {"--connect", "127.0.0.1:" + QString::number(link->ListeningPort()), "--id",
                      "T1", "--script", script, "--timeout", "3"});
    ASSERT_TRUE(test::PumpUntil([&] { return p.state() == QProcess::NotRunning; }, 10000));
    const std::string out = p.readAllStandardOutput().toStdString();
    EXPECT_EQ(p.exitCode(), code) << out << p.readAllStandardError().toStdString();
    EXPECT_NE(out.find("--- T1 screen SIGNON"), std::string::npos) << out;
  }
}

TEST(ScriptedTerminal, TheProgramServesTerminalsAsARadioBaseOnAPseudoTerminal) {
  const QString program =
      QCoreApplication::applicationDirPath() + "/../apps/tervo-terminal/tervo-terminal";
  if (!QFile::exists(program)) GTEST_SKIP() << "tervo-terminal not built";
  QTemporaryDir dir;
  const QString s1 = dir.filePath("t1.txt"), s2 = dir.filePath("t2.txt");
  for (const auto& [path, text] :
       {std::pair{s1, std::string(kSignOnScript)},
        std::pair{s2, std::string("expect Sign on\nfield User\ntype bob\nchoose Enter\n"
                                  "expect Hello bob\n")}}) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text.c_str());
  }
  QProcess p;
  p.start(program, {"--base-pty", "--id", "T1,T2", "--script", s1, "--script", s2});
  std::string err;
  ASSERT_TRUE(test::PumpUntil([&] {
    err += p.readAllStandardError().toStdString();
    return err.find('\n') != std::string::npos;
  }));
  const std::string prefix = "radio base on ";
  ASSERT_EQ(err.rfind(prefix, 0), 0u) << err;
  test::LogRecorder log;
  RadioLinkOptions o;
  o.log = log.Fn();
  WireRadioLink link(o);
  link.SetSerialDevice(err.substr(prefix.size(), err.find('\n') - prefix.size()));
  ASSERT_EQ(test::OpenSerial(link, 9600), 1) << ::testing::PrintToString(log.lines);
  MiniGateway gateway(link);
  ASSERT_TRUE(test::PumpUntil([&] { return p.state() == QProcess::NotRunning; }, 15000));
  const std::string out = p.readAllStandardOutput().toStdString();
  EXPECT_EQ(p.exitCode(), 0) << out;
  EXPECT_NE(out.find("--- T2 screen HELLO #2\nHello bob\n"), std::string::npos) << out;
}

}  // namespace
}  // namespace tervo::radio
