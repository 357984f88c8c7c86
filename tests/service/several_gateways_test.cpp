// Several gateways on one machine, run as the systemd template unit runs
// them: each instance its own configuration, settings, log folder and radio
// port.  Each signs its own terminal on, refuses the others' terminals, and
// keeps its counters beside its own configuration.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <memory>

#include "config/config_reader.h"
#include "config/config_writer.h"

namespace tervo {
namespace {

struct Prompt : config::LoadPrompt {
  void ReportBadLine(const config::BadLine& bad) override { ADD_FAILURE() << bad.Message(); }
};

QString Program(const QString& name) {
  return QCoreApplication::applicationDirPath() + "/../apps/" + name + "/" + name;
}

struct Instance {
  QString name;
  QString terminal;  // the first of its terminals
  QString folder;
  std::unique_ptr<QProcess> process;
  QString port;
};

// The demo configuration with the instance's own terminal ids and device
// names.
void WriteConfiguration(const QString& base, const QString& prefix) {
  config::ScreenStore store;
  config::GeneralOptions options;
  Prompt prompt;
  ASSERT_TRUE(config::LoadData(TERVO_TEST_DATA "/../../demo/warehouse", store, options, prompt));
  for (int i = 0; i < 4; ++i) {
    store.TerminalIDDef[i] = prefix.toStdString() + std::to_string(i + 1);
    store.DeviceName[i] = prefix.toUpper().toStdString() + "DEV0" + std::to_string(i + 1);
  }
  std::string err;
  ASSERT_TRUE(config::SaveDataToFile2(base.toStdString(), store, options, &err)) << err;
}

void Start(Instance& in) {
  in.process = std::make_unique<QProcess>();
  in.process->start(Program("tervo"),
                    {"--headless", "--config", in.folder + "/" + in.name, "--settings",
                     in.folder + "/settings.ini", "--log-folder", in.folder + "/log",
                     "--radio-address", "127.0.0.1:0", "--time-scale", "20"});
  ASSERT_TRUE(in.process->waitForStarted(5000));
}

// Waits for "tervo: ready" and reads the port the instance listens on.
void AwaitReady(Instance& in) {
  QByteArray out, err;
  const QRegularExpression portLine("terminals connect to port (\\d+)");
  for (int i = 0; i < 200 && !out.contains("tervo: ready"); ++i) {
    in.process->waitForReadyRead(100);
    out += in.process->readAllStandardOutput();
    err += in.process->readAllStandardError();
  }
  ASSERT_TRUE(out.contains("tervo: ready")) << in.name.toStdString() << ": " << err.toStdString();
  const auto match = portLine.match(QString::fromUtf8(err));
  ASSERT_TRUE(match.hasMatch()) << err.toStdString();
  in.port = match.captured(1);
}

// Runs one scripted terminal against a port; returns its exit code.
int Terminal(const QString& folder, const QString& port, const QString& id, const QString& script,
             std::string* output) {
  const QString file = folder + "/" + id + ".script";
  QFile f(file);
  if (!f.open(QIODevice::WriteOnly)) return -1;
  f.write(script.toUtf8());
  f.close();
  QProcess p;
  p.start(Program("tervo-terminal"),
          {"--connect", "127.0.0.1:" + port, "--id", id, "--script", file});
  if (!p.waitForFinished(60000)) return -1;
  *output = (p.readAllStandardOutput() + p.readAllStandardError()).toStdString();
  return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

TEST(SeveralGateways, ThreeInstancesEachServeTheirOwnTerminals) {
  QTemporaryDir root;
  ASSERT_TRUE(root.isValid());
  Instance instances[3] = {
      {"north", "N1", {}, {}, {}}, {"south", "S1", {}, {}, {}}, {"dock", "D1", {}, {}, {}}};
  for (Instance& in : instances) {
    in.folder = root.path() + "/" + in.name;
    ASSERT_TRUE(QDir().mkpath(in.folder));
    WriteConfiguration(in.folder + "/" + in.name, in.terminal.left(1));
    Start(in);
  }
  for (Instance& in : instances) AwaitReady(in);
  EXPECT_NE(instances[0].port, instances[1].port);

  for (const Instance& in : instances) {
    SCOPED_TRACE(in.name.toStdString());
    std::string out;
    EXPECT_EQ(Terminal(in.folder, in.port, in.terminal, "timeout 30\nexpect \"Sign On\"\n", &out),
              0)
        << out;
  }
  // The north terminal is a stranger to the south instance.
  std::string refused;
  EXPECT_EQ(Terminal(instances[1].folder, instances[1].port, "N2",
                     "timeout 2\nexpect \"Sign On\"\n", &refused),
            1);
  // Refused without a word of which ids the instance serves.
  EXPECT_NE(refused.find("refused: terminal not accepted"), std::string::npos) << refused;

  for (Instance& in : instances) in.process->terminate();  // SIGTERM, as systemctl stop
  for (Instance& in : instances) {
    SCOPED_TRACE(in.name.toStdString());
    ASSERT_TRUE(in.process->waitForFinished(20000));
    EXPECT_EQ(in.process->exitCode(), 0);
    EXPECT_TRUE(QFile::exists(in.folder + "/" + in.name + ".TVH"));
    EXPECT_TRUE(QFile::exists(in.folder + "/settings.ini"));
  }
}

}  // namespace
}  // namespace tervo
