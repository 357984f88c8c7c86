// A new site's first minutes against a real IBM i: the gateway with an empty
// configuration and the settings of a fresh installation, the host played
// from the recorded IBM i session (replay_host.h), a scripted terminal.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <algorithm>

#include "config/config_writer.h"
#include "config/text.h"
#include "config/unsaved_file.h"
#include "core/kept_changes.h"
#include "e2e_harness.h"
#include "platform/radio/sim_script.h"
#include "replay_host.h"

namespace tervo::e2e {
namespace {

class IbmI : public E2eTest {
 protected:
  // A configuration that names terminal T1 and its TCP/IP link and sets
  // nothing else: every other option is what a start without a file gives.
  void StartEmpty(const std::string& hostAddress) {
    config::ScreenStore store;
    config::GeneralOptions options;
    options.ApplyFallbacks();
    options.SetText("TCPIP", "1");
    options.SetText("ComPort", "1");
    options.SetText("DebugFile", "1");  // for the failure messages only
    store.TerminalIDDef[0] = "T1";
    const std::string base = dir_.path().toStdString() + "/site";
    std::string err;
    ASSERT_TRUE(config::SaveDataToFile2(base, store, options, &err)) << err;
    StartGateway(base, hostAddress);
  }
  void StartOnRecording() {
    ASSERT_TRUE(ibm_.Listen());
    StartEmpty(ibm_.Address());
  }

  // Runs script as terminal T1; the screens it saw go to *shown.
  int RunScript(const std::string& script, std::string* shown) {
    std::vector<radio::sim::ScriptStep> steps;
    std::string err;
    EXPECT_TRUE(radio::sim::ParseScript(script, &steps, &err)) << err;
    radio::sim::SimTerminal sim("T1", 20, 5000);
    radio::sim::ScriptRunner runner(
        sim, steps, [shown](const std::string& s) { *shown += s + "\n"; }, 10000);
    sim.SetOnChange([&runner](const std::string& what) { runner.OnChange(what); });
    radio::sim::SimTcpClient client(sim, "127.0.0.1", RadioPort());
    client.Connect();
    runner.Start([](int) {});
    WaitUntil([&] { return runner.Finished(); }, 60000);
    return runner.Finished() ? runner.ExitCode() : -1;
  }

  ReplayHost ibm_;
};

// Sign on (user, Tab, password, Enter), the main menu with its title and
// readable entries and the host's F3 in the legend, option 1, "User Tasks".
const char* kSignOnToUserTasks = R"(
expect "Sign On"
field User
type TESTUSR
press Tab
type TESTPSW
press Enter
expect "IBM i Main Menu"
expect "1 User tasks"
expect "90 Sign off"
expect "F3=Exit"
choose "1 User tasks"
expect "User Tasks"
expect "5 Work with your"
)";

// The sign-on has five inputs and a handful of lines, not phantom inputs
// made from the underline after each field.
TEST_F(IbmI, TheSignOnShowsItsFiveInputsAndItsTitle) {
  ASSERT_NO_FATAL_FAILURE(StartOnRecording());
  std::string shown;
  EXPECT_EQ(RunScript("expect \"Sign On\"\n", &shown), 0) << shown;
  const int scr = G().Sessions()[0].CurrentScreen;
  const config::ScreenDef& def = G().Store().Screens[static_cast<std::size_t>(scr)];
  int inputs = 0, lines = 0, title = 0;
  for (int j = 0; j < G().Store().Originals[static_cast<std::size_t>(scr)].Count; ++j) {
    const config::FieldDef& f = def.Screen[static_cast<std::size_t>(j)];
    if (f.Show != 1) continue;
    inputs += f.InputField == 1 ? 1 : 0;
    lines += f.NewLine == 1 ? 1 : 0;
    title += f.Title;
  }
  EXPECT_EQ(inputs, 5);
  EXPECT_EQ(title, 1);
  EXPECT_LE(lines, 7) << shown;
}

// A wrong password: the sign-on comes again with its message, whichever way
// the host puts it (written on row 24, or as an error on the error line).
const char* kWrongThenRight = R"(
expect "Sign On"
field User
type TESTUSR
press Tab
type NOTMINE
press Enter
expect "ERRO"
expect "Password not"
press Any
expect "Sign On"
expect-not "ERRO"
field User
type TESTUSR
press Tab
type TESTPSW
press Enter
expect "IBM i Main Menu"
)";

TEST_F(IbmI, AWrongPasswordShowsTheHostsMessage) {
  ASSERT_NO_FATAL_FAILURE(StartOnRecording());
  std::string shown;
  EXPECT_EQ(RunScript(kWrongThenRight, &shown), 0) << shown << DebugLogTail();
}

TEST_F(IbmI, AWrongPasswordAsAnErrorCodeShowsTheHostsMessage) {
  ibm_.SetWrongPassword(ReplayHost::WrongPassword::kErrorCode);
  ASSERT_NO_FATAL_FAILURE(StartOnRecording());
  std::string shown;
  EXPECT_EQ(RunScript(kWrongThenRight, &shown), 0) << shown << DebugLogTail();
}

// F3 on an automatically defined screen is the host's F3, as its legend says.
TEST_F(IbmI, TerminalF3IsTheHostsF3) {
  ASSERT_NO_FATAL_FAILURE(StartOnRecording());
  std::string shown;
  const int code = RunScript(R"(
expect "Sign On"
field User
type TESTUSR
press Tab
type TESTPSW
press Enter
choose "1 User tasks"
expect "User Tasks"
expect "F3=Exit"
press F3
expect "IBM i Main Menu"
)",
                             &shown);
  EXPECT_EQ(code, 0) << shown << DebugLogTail();
  EXPECT_EQ(ibm_.Answers().back().aid, 0x33);
}

// Without "Auto Save File" the screens learned are kept beside the
// configuration without a question, and the next start without windows
// knows them at once.
TEST_F(IbmI, WhatWasLearnedIsKnownAfterARestart) {
  ASSERT_NO_FATAL_FAILURE(StartOnRecording());
  std::string shown;
  ASSERT_EQ(RunScript(kSignOnToUserTasks, &shown), 0) << shown << DebugLogTail();
  EXPECT_EQ(G().ScreensLearned(), 3);  // sign-on, main menu, User Tasks
  const std::string base = G().ConfigPath();
  G().RequestStop();  // a service stop: nobody to ask
  G().Shutdown();
  EXPECT_TRUE(std::none_of(uiLines_.begin(), uiLines_.end(),
                           [](const std::string& l) { return l.rfind("question: ", 0) == 0; }));
  ASSERT_TRUE(config::UnsavedFileExists(base));
  QFile kept(QString::fromStdString(config::UnsavedFilePath(base)));
  ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
  const QByteArray bytes = kept.readAll();
  EXPECT_TRUE(bytes.contains("Sign On"));
  EXPECT_FALSE(bytes.contains("TESTPSW")) << "a typed password never reaches the file";
  built_.gateway.reset();

  ASSERT_NO_FATAL_FAILURE(StartGateway(base, ibm_.Address()));
  EXPECT_EQ(core::ApplyKeptChoice(G(), core::UnattendedChoice(G(), core::KeptChoice::kAsk)),
            "Unsaved changes loaded from site.TVO.unsaved");
  shown.clear();
  ASSERT_EQ(RunScript(kSignOnToUserTasks, &shown), 0) << shown << DebugLogTail();
  EXPECT_EQ(G().ScreensLearned(), 0) << "every screen was known";
}

// Nobody listens where the host should be: the terminal is told, the reason
// is logged and shown.
TEST_F(IbmI, AHostNobodyListensOnIsNotReachable) {
  QTcpServer probe;
  ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
  const std::string address = "127.0.0.1:" + std::to_string(probe.serverPort());
  probe.close();
  ASSERT_NO_FATAL_FAILURE(StartEmpty(address));
  std::string shown;
  EXPECT_EQ(RunScript("expect \"Host not reachable\"\n", &shown), 0) << shown << DebugLogTail();
  EXPECT_EQ(shown.find("Disconnect..."), std::string::npos);
  bool captioned = false;
  for (const std::string& l : uiLines_)
    captioned = captioned ||
                l.find("Host not reachable, session 0: connection refused") != std::string::npos;
  EXPECT_TRUE(captioned);
}

// The first contact as a site runs it, with an empty configuration and the
// settings of a fresh installation: the tervo program without windows and a
// scripted tervo-terminal, as separate processes, in one pass.
TEST(IbmIPrograms, SignOnMainMenuAndUserTasksInOnePass) {
  ReplayHost ibm;
  ASSERT_TRUE(ibm.Listen());
  QTemporaryDir dir;
  const std::string base = dir.path().toStdString() + "/site";
  config::ScreenStore store;
  config::GeneralOptions options;
  options.ApplyFallbacks();
  options.SetText("TCPIP", "1");
  options.SetText("ComPort", "1");
  store.TerminalIDDef[0] = "T1";
  std::string err;
  ASSERT_TRUE(config::SaveDataToFile2(base, store, options, &err)) << err;
  QFile script(dir.path() + "/signon.txt");
  ASSERT_TRUE(script.open(QIODevice::WriteOnly));
  script.write(kSignOnToUserTasks);
  script.close();

  const QString apps = QCoreApplication::applicationDirPath() + "/../apps/";
  QProcess gateway;
  gateway.start(apps + "tervo/tervo",
                {"--headless", "--config", QString::fromStdString(base), "--settings",
                 dir.path() + "/settings.ini", "--radio-address", "127.0.0.1:0", "--demo-host",
                 QString::fromStdString(ibm.Address()), "--time-scale", "20"});
  ASSERT_TRUE(gateway.waitForStarted(5000));
  QByteArray gatewayErr;
  QObject::connect(&gateway, &QProcess::readyReadStandardError,
                   [&] { gatewayErr += gateway.readAllStandardError(); });
  const QByteArray portLine = "terminals connect to port ";
  ASSERT_TRUE(WaitUntil([&] { return gatewayErr.contains(portLine) && gatewayErr.contains("\n"); }))
      << gatewayErr.toStdString();
  const int at = gatewayErr.indexOf(portLine) + portLine.size();
  const QByteArray port = gatewayErr.mid(at, gatewayErr.indexOf('\n', at) - at);

  QProcess terminal;
  terminal.start(apps + "tervo-terminal/tervo-terminal",
                 {"--connect", "127.0.0.1:" + QString::fromLatin1(port), "--id", "T1", "--script",
                  script.fileName(), "--timeout", "20"});
  ASSERT_TRUE(terminal.waitForStarted(5000));
  ASSERT_TRUE(WaitUntil([&] { return terminal.state() == QProcess::NotRunning; }, 60000));
  const std::string shown = terminal.readAllStandardOutput().toStdString();
  EXPECT_EQ(terminal.exitCode(), 0) << shown << terminal.readAllStandardError().toStdString();
  EXPECT_EQ(shown.find("ERRO"), std::string::npos) << "no error page: " << shown;
  // The host received what the recorded operator typed, and only that.
  EXPECT_EQ(ibm.Showing(), "User Tasks");
  const auto& a = ibm.Answers();
  ASSERT_EQ(a.size(), 3u);
  EXPECT_EQ(a[0].aid, 0xF1);
  EXPECT_EQ(text::TrimRightBlanks(a[0].fields.at({6, 53})), "TESTUSR");
  EXPECT_EQ(text::TrimRightBlanks(a[0].fields.at({7, 53})), "TESTPSW");
  EXPECT_EQ(a[0].fields.size(), 2u) << "the optional fields are not sent";
  EXPECT_EQ(a[1].aid, 0x88);  // the Query reply
  EXPECT_EQ(a[2].aid, 0xF1);
  EXPECT_EQ(text::TrimRightBlanks(a[2].fields.at({20, 7})), "1");

  gateway.terminate();
  ASSERT_TRUE(gateway.waitForFinished(10000));
  gatewayErr += gateway.readAllStandardError();
  // Nothing was saved, so the learned screens were kept beside.
  EXPECT_TRUE(gatewayErr.contains("unsaved changes kept in")) << gatewayErr.toStdString();
}

}  // namespace
}  // namespace tervo::e2e
