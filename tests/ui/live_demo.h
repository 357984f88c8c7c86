// The real gateway on the demo configuration, the embedded demo host and a
// simulated terminal over TCP/IP, with the operator windows on the
// offscreen platform: the live sessions the windows are tested against.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "core/gateway_builder.h"
#include "platform/demohost/demo_host.h"
#include "platform/radio/sim_links.h"
#include "platform/radio/sim_terminal.h"
#include "ui/ui_rig.h"

namespace tervo::ui::testing {

inline bool WaitUntil(const std::function<bool()>& pred, int realMs = 10000) {
  QElapsedTimer t;
  t.start();
  while (!pred()) {
    if (t.elapsed() > realMs) return pred();
    QTimer wake;
    wake.start(5);
    QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  }
  return true;
}

class LiveDemo : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    std::string err;
    ASSERT_TRUE(host_.ListenOnFreeLoopbackPort(&err)) << err;
    ASSERT_TRUE(QFile::copy(QStringLiteral(TERVO_TEST_DATA "/../../demo/warehouse.TVO"),
                            dir_.filePath("warehouse.TVO")));
    windows_ = std::make_unique<OperatorWindows>(
        OperatorWindows::Seams{&prompt_, &prompt_, &restart_, &clock_, {}});
    core::GatewayConfig c;
    c.configBase = dir_.filePath("warehouse").toStdString();
    c.settingsFile = dir_.filePath("settings.ini").toStdString();
    c.logFolder = dir_.path().toStdString();
    c.radioAddress = "127.0.0.1:0";
    c.demoHostAddress = "127.0.0.1:" + std::to_string(host_.Port());
    c.timeScale = 20.0;
    c.sessionCount = 1;
    ASSERT_TRUE(core::BuildGateway(c, *windows_, &built_, &err)) << err;
    windows_->Attach(*built_.gateway);
    windows_->Start(built_.configLoaded);
    ASSERT_TRUE(built_.gateway->Started());
    terminal_ = std::make_unique<radio::sim::SimTerminal>("T1", 20);
    link_ = std::make_unique<radio::sim::SimTcpClient>(*terminal_, "127.0.0.1",
                                                       built_.radio->ListeningPort());
    link_->Connect();
  }
  void TearDown() override {
    if (windows_) windows_->Quit();
    link_.reset();
    built_.gateway.reset();
    windows_.reset();
  }
  // Signs the terminal on and waits for the demo's main menu.
  bool SignOn() {
    if (!WaitUntil([&] { return Shows("Sign On"); })) return false;
    if (!terminal_->Display().MoveTo("User")) return false;
    terminal_->Display().SetValue("DEMO");
    if (!terminal_->Display().MoveTo("Password")) return false;
    terminal_->Display().SetValue("SECRET");
    terminal_->Press(radio::sim::Key::kEnter);
    return WaitUntil([&] { return Shows("Main Menu") && Shows("Option"); });
  }
  bool Shows(const std::string& text) const { return terminal_->Display().Shows(text); }
  std::string Screen() const { return radio::sim::ScreenText(*terminal_); }
  void Click(QAbstractButton* b) {
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
  }
  void Type(QLineEdit* box, const QString& text) {
    box->selectAll();
    QTest::keyClicks(box, text);
  }

  QTemporaryDir dir_;
  demohost::DemoHost host_;
  AnsweringPrompt prompt_;
  os::RecordingRestart restart_;
  os::SystemClock clock_;
  std::unique_ptr<OperatorWindows> windows_;
  core::BuiltGateway built_;
  std::unique_ptr<radio::sim::SimTerminal> terminal_;
  std::unique_ptr<radio::sim::SimTcpClient> link_;
};

}  // namespace tervo::ui::testing
