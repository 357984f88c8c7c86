// The windowed `tervo` itself, stopped as a service manager stops it
// (SIGTERM) while its configuration has unsaved changes: it must end well
// within a service manager's patience, write its counters and keep the
// changes, also when a question is open at that moment.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

#include "config/config_reader.h"
#include "config/config_writer.h"
#include "config/unsaved_file.h"

namespace tervo::ui {
namespace {

constexpr qint64 kStopLimitMs = 5000;

QByteArray Read(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class WindowedProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = dir_.filePath("warehouse");
    ASSERT_TRUE(
        QFile::copy(QStringLiteral(TERVO_TEST_DATA "/../../demo/warehouse.TVO"), base_ + ".TVO"));
    // What an earlier stop kept: the demo configuration with other exit words.
    config::ScreenStore store;
    config::GeneralOptions options;
    struct Quiet : config::LoadPrompt {
      void ReportBadLine(const config::BadLine&) override {}
    } quiet;
    ASSERT_TRUE(config::LoadData(base_.toStdString(), store, options, quiet));
    options.SetText("ExitWord", "Quit,Sair");
    std::string err;
    ASSERT_TRUE(config::WriteUnsavedFile(base_.toStdString(), store, options, &err)) << err;
    kept_ = Read(base_ + ".TVO.unsaved");
    original_ = Read(base_ + ".TVO");
  }

  // Starts the windowed program on the offscreen platform and waits for it
  // to be ready and to have dealt with the kept changes.
  void Start(const QStringList& extra, const QByteArray& waitFor) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.remove("TERVO_SETTINGS");
    p_.setProcessEnvironment(env);
    p_.start(
        QCoreApplication::applicationDirPath() + "/../apps/tervo/tervo",
        QStringList{"--config", base_, "--settings", dir_.filePath("settings.ini"), "--log-folder",
                    dir_.filePath("log"), "--radio-address", "127.0.0.1:0", "--sessions", "2"} +
            extra);
    ASSERT_TRUE(p_.waitForStarted(5000));
    QElapsedTimer t;
    t.start();
    while (!(out_.contains("tervo: ready") && err_.contains(waitFor)) && t.elapsed() < 30000) {
      p_.waitForReadyRead(100);
      out_ += p_.readAllStandardOutput();
      err_ += p_.readAllStandardError();
    }
    ASSERT_TRUE(out_.contains("tervo: ready")) << err_.toStdString();
    ASSERT_TRUE(err_.contains(waitFor)) << err_.toStdString();
  }

  // SIGTERM, and the milliseconds until the process has ended.
  qint64 Stop() {
    QElapsedTimer t;
    t.start();
    p_.terminate();
    EXPECT_TRUE(p_.waitForFinished(15000));
    const qint64 ms = t.elapsed();
    err_ += p_.readAllStandardError();
    EXPECT_EQ(p_.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p_.exitCode(), 0);
    return ms;
  }

  QTemporaryDir dir_;
  QString base_;
  QByteArray kept_, original_;
  QProcess p_;
  QByteArray out_, err_;
};

TEST_F(WindowedProgram, SigtermWithUnsavedChangesEndsAtOnceAndKeepsThem) {
  Start({"--unsaved", "accept"}, "Unsaved changes loaded from warehouse.TVO.unsaved");
  const qint64 ms = Stop();
  std::printf("windowed stop with unsaved changes: %lld ms\n", static_cast<long long>(ms));
  EXPECT_LT(ms, kStopLimitMs);
  EXPECT_TRUE(QFile::exists(base_ + ".TVH")) << "counters written";
  EXPECT_TRUE(QFile::exists(base_ + ".TVI"));
  EXPECT_EQ(Read(base_ + ".TVO"), original_) << "nobody said to save";
  const QByteArray keptNow = Read(base_ + ".TVO.unsaved");
  EXPECT_TRUE(keptNow.contains("ExitWord=\"Quit,Sair\"")) << "the changes are kept";
  EXPECT_FALSE(keptNow.contains("127.0.0.1:0")) << "the run's address is no configuration";
  EXPECT_TRUE(
      err_.contains("tervo: unsaved changes kept in " + base_.toLocal8Bit() + ".TVO.unsaved"))
      << err_.toStdString();
}

TEST_F(WindowedProgram, SigtermWhileTheStartQuestionIsOpen) {
  Start({}, "");
  // The question about the kept changes opens once the gateway runs.
  QElapsedTimer settle;
  settle.start();
  while (settle.elapsed() < 500) p_.waitForReadyRead(50);
  const qint64 ms = Stop();
  std::printf("windowed stop with a question open: %lld ms\n", static_cast<long long>(ms));
  EXPECT_LT(ms, kStopLimitMs);
  EXPECT_TRUE(QFile::exists(base_ + ".TVH"));
  EXPECT_EQ(Read(base_ + ".TVO.unsaved"), kept_) << "unanswered, nothing was decided";
  EXPECT_EQ(Read(base_ + ".TVO"), original_);
}

TEST_F(WindowedProgram, WithAutoSaveTheChangesReachTheConfiguration) {
  // Auto Save is itself an option of the kept configuration.
  QByteArray kept = kept_;
  kept.replace("AutoSave=\"0\"", "AutoSave=\"1\"");
  QFile f(base_ + ".TVO.unsaved");
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(kept);
  f.close();
  Start({"--unsaved", "accept"}, "Unsaved changes loaded");
  EXPECT_LT(Stop(), kStopLimitMs);
  const QByteArray saved = Read(base_ + ".TVO");
  EXPECT_TRUE(saved.contains("ExitWord=\"Quit,Sair\""));
  EXPECT_FALSE(saved.contains("127.0.0.1:0"));
  EXPECT_FALSE(QFile::exists(base_ + ".TVO.unsaved")) << "saved: nothing waits any more";
}

}  // namespace
}  // namespace tervo::ui
