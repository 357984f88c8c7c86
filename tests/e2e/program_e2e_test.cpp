// The tervo program itself: it starts on the demo configuration, says it is
// ready, and a SIGTERM runs the shutdown sequence before it ends.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include "config/config_writer.h"
#include "demo_config.h"

namespace tervo::e2e {
namespace {

TEST(Program, SigtermRunsTheShutdownSequence) {
  QTemporaryDir dir;
  const QString base = dir.path() + "/warehouse";
  ASSERT_TRUE(
      QFile::copy(QString::fromStdString(config::ConfigFilePath(DemoConfigBase())), base + ".TVO"));
  QProcess p;
  p.start(
      QCoreApplication::applicationDirPath() + "/../apps/tervo/tervo",
      {"--headless", "--config", base, "--settings", dir.path() + "/settings.ini", "--log-folder",
       dir.path() + "/log", "--radio-address", "127.0.0.1:0", "--sessions", "2"});
  ASSERT_TRUE(p.waitForStarted(5000));
  QByteArray out;
  for (int i = 0; i < 100 && !out.contains("tervo: ready"); ++i) {
    p.waitForReadyRead(100);
    out += p.readAllStandardOutput();
  }
  ASSERT_TRUE(out.contains("tervo: ready")) << p.readAllStandardError().toStdString();
  p.terminate();  // SIGTERM
  ASSERT_TRUE(p.waitForFinished(10000));
  EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(p.exitCode(), 0);
  EXPECT_TRUE(QFile::exists(base + ".TVH"));
  EXPECT_TRUE(QFile::exists(base + ".TVI"));
  QSettings settings(dir.path() + "/settings.ini", QSettings::IniFormat);
  EXPECT_FALSE(settings.allKeys().isEmpty());
  const QString err = QString::fromUtf8(p.readAllStandardError());
  EXPECT_TRUE(err.contains("caption: Tervo Remote Terminal 4.05 - Saved")) << err.toStdString();
}

// Without windows nobody is asked about changes an earlier stop kept: they
// wait, the program says so, and tervo-config shows, accepts or drops them.
TEST(Program, KeptChangesWaitHeadlessAndTervoConfigDecides) {
  QTemporaryDir dir;
  const QString base = dir.path() + "/warehouse";
  ASSERT_TRUE(
      QFile::copy(QString::fromStdString(config::ConfigFilePath(DemoConfigBase())), base + ".TVO"));
  QFile::copy(base + ".TVO", base + ".TVO.unsaved");
  {
    QFile kept(base + ".TVO.unsaved");
    ASSERT_TRUE(kept.open(QIODevice::ReadWrite));
    QByteArray bytes = kept.readAll();
    bytes.replace("ExitWord=\"", "ExitWord=\"Quit,");
    kept.resize(0);
    kept.write(bytes);
  }
  const QString apps = QCoreApplication::applicationDirPath() + "/../apps/";
  QProcess p;
  p.start(apps + "tervo/tervo",
          {"--headless", "--config", base, "--settings", dir.path() + "/settings.ini",
           "--radio-address", "127.0.0.1:0", "--sessions", "1"});
  ASSERT_TRUE(p.waitForStarted(5000));
  QByteArray out;
  for (int i = 0; i < 100 && !out.contains("tervo: ready"); ++i) {
    p.waitForReadyRead(100);
    out += p.readAllStandardOutput();
  }
  p.terminate();
  ASSERT_TRUE(p.waitForFinished(10000));
  const QString err = QString::fromUtf8(p.readAllStandardError());
  EXPECT_TRUE(err.contains("tervo: Unsaved changes wait in warehouse.TVO.unsaved"))
      << err.toStdString();
  EXPECT_FALSE(err.contains("question:")) << "nothing is asked at the stop";

  auto tool = [&](const QStringList& args, QByteArray* output) {
    QProcess t;
    t.start(apps + "tervo-config/tervo-config", args);
    EXPECT_TRUE(t.waitForFinished(10000));
    *output = t.readAllStandardOutput();
    return t.exitCode();
  };
  QByteArray shown;
  EXPECT_EQ(tool({"unsaved", base}, &shown), 0);
  EXPECT_TRUE(shown.contains("  general options: ExitWord")) << shown.toStdString();
  EXPECT_EQ(tool({"unsaved", base, "accept"}, &shown), 0);
  QFile configuration(base + ".TVO");
  ASSERT_TRUE(configuration.open(QIODevice::ReadOnly));
  EXPECT_TRUE(configuration.readAll().contains("ExitWord=\"Quit,"));
  EXPECT_FALSE(QFile::exists(base + ".TVO.unsaved"));
  EXPECT_EQ(tool({"unsaved", base, "drop"}, &shown), 1) << "nothing kept any more";
}

TEST(Program, SessionCountOutOfRangeIsRefused) {
  QProcess p;
  p.start(QCoreApplication::applicationDirPath() + "/../apps/tervo/tervo",
          {"--headless", "--sessions", "33"});
  ASSERT_TRUE(p.waitForFinished(5000));
  EXPECT_EQ(p.exitCode(), 2);
}

// Every program explains its options on --help (exit 0, on standard output)
// and refuses an option it does not know with its usage code.
TEST(Program, EveryProgramAnswersHelpAndRefusesUnknownOptions) {
  const QString apps = QCoreApplication::applicationDirPath() + "/../apps/";
  struct Case {
    const char* program;
    const char* anOption;  // named in the help
    int refused;
  };
  for (const Case& c :
       {Case{"tervo", "--radio-address", 2}, Case{"tervo-config", "diff", 2},
        Case{"tervo-demohost", "--listen", 2}, Case{"tervo-5250", "--settle-ms", 64},
        Case{"tervo-terminal", "--connect", 2}, Case{"tervo-keys", "--key-file", 2}}) {
    const QString path = apps + c.program + "/" + c.program;
    QProcess p;
    p.start(path, {"--help"});
    ASSERT_TRUE(p.waitForFinished(10000)) << c.program;
    EXPECT_EQ(p.exitCode(), 0) << c.program;
    EXPECT_TRUE(p.readAllStandardOutput().contains(c.anOption)) << c.program;
    p.start(path, {"--no-such-option"});
    ASSERT_TRUE(p.waitForFinished(10000)) << c.program;
    EXPECT_EQ(p.exitCode(), c.refused) << c.program;
  }
}

// The settings file comes from --settings FILE, --settings=FILE or, without
// either, TERVO_SETTINGS; the command line wins.
TEST(Program, SettingsFileFromTheCommandLineOrTheEnvironment) {
  QTemporaryDir dir;
  const QString fromEnv = dir.path() + "/env.ini", fromArgs = dir.path() + "/args.ini";
  auto run = [&](const QStringList& extra) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TERVO_SETTINGS", fromEnv);
    p.setProcessEnvironment(env);
    p.start(QCoreApplication::applicationDirPath() + "/../apps/tervo/tervo",
            QStringList{"--headless", "--config", dir.path() + "/none", "--radio-address",
                        "127.0.0.1:0", "--sessions", "1", "--http-port", "off"} +
                extra);
    ASSERT_TRUE(p.waitForStarted(5000));
    QByteArray out;
    for (int i = 0; i < 100 && !out.contains("tervo: ready"); ++i) {
      p.waitForReadyRead(100);
      out += p.readAllStandardOutput();
    }
    ASSERT_TRUE(out.contains("tervo: ready")) << p.readAllStandardError().toStdString();
    p.terminate();
    ASSERT_TRUE(p.waitForFinished(10000));
  };
  run({"--settings=" + fromArgs});
  EXPECT_TRUE(QFile::exists(fromArgs));
  EXPECT_FALSE(QFile::exists(fromEnv)) << "the command line wins";
  run({});
  QSettings settings(fromEnv, QSettings::IniFormat);
  EXPECT_FALSE(settings.value("TervoTerminal2/Startup/LastDay").toString().isEmpty());
}

}  // namespace
}  // namespace tervo::e2e
