// The screen editor on a live session: the real gateway on the demo
// configuration, the embedded demo host and a simulated terminal over
// TCP/IP, the operator windows on the offscreen platform.  The operator
// unlocks, double-clicks the session, edits in the window, presses OK and
// saves; the terminal then shows the edited screen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "config/config_reader.h"
#include "core/gateway_builder.h"
#include "platform/demohost/demo_host.h"
#include "platform/radio/sim_links.h"
#include "platform/radio/sim_terminal.h"
#include "ui/main_window.h"
#include "ui/screen_editor_window.h"
#include "ui/ui_rig.h"

namespace tervo::ui {
namespace {

using editors::EditorCheck;
using editors::EditorText;

bool WaitUntil(const std::function<bool()>& pred, int realMs = 10000) {
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

class LiveEditor : public ::testing::Test {
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
  testing::AnsweringPrompt prompt_;
  os::RecordingRestart restart_;
  os::SystemClock clock_;
  std::unique_ptr<OperatorWindows> windows_;
  core::BuiltGateway built_;
  std::unique_ptr<radio::sim::SimTerminal> terminal_;
  std::unique_ptr<radio::sim::SimTcpClient> link_;
};

TEST_F(LiveEditor, DoubleClickEditOkAndSaveReachTheTerminal) {
  ASSERT_TRUE(WaitUntil([&] { return Shows("Sign On"); })) << Screen();
  ASSERT_TRUE(terminal_->Display().MoveTo("User"));
  terminal_->Display().SetValue("DEMO");
  ASSERT_TRUE(terminal_->Display().MoveTo("Password"));
  terminal_->Display().SetValue("SECRET");
  terminal_->Press(radio::sim::Key::kEnter);
  ASSERT_TRUE(WaitUntil([&] { return Shows("Main Menu") && Shows("Option"); })) << Screen();

  windows_->RunCommand("FullAccess");
  QTest::mouseDClick(windows_->Main().Display(0), Qt::LeftButton, {}, QPoint(20, 20));
  ScreenEditorWindow& w = windows_->EditorWindow();
  ASSERT_TRUE(w.isVisible());
  EXPECT_EQ(w.HostBox("Col")->text(), "19") << "the menu's selection field, at the cursor";
  EXPECT_TRUE(built_.gateway->ConfigChanged);

  // The selection field becomes hidden; the label before it is shown with
  // a text of its own, cut to its size.
  Click(w.Check(EditorCheck::InputField));
  Click(w.Check(EditorCheck::ShowField2));
  Click(w.findChild<QPushButton*>("FieldMenos"));
  EXPECT_EQ(w.HostBox("Col")->text(), "2");
  if (!w.Check(EditorCheck::ShowField2)->isChecked()) Click(w.Check(EditorCheck::ShowField2));
  QTest::mouseClick(w.Box(EditorText::FieldText), Qt::LeftButton);
  Type(w.Box(EditorText::FieldText), "Choose a line below");
  Type(w.Box(EditorText::Maxsize), "13");
  if (w.Check(EditorCheck::SendWithEnter)->isChecked()) Click(w.Check(EditorCheck::SendWithEnter));
  if (!w.Check(EditorCheck::NewLine)->isChecked()) Click(w.Check(EditorCheck::NewLine));
  Click(w.findChild<QPushButton*>("Command1"));
  EXPECT_FALSE(w.isVisible());
  EXPECT_TRUE(prompt_.asked.empty());

  prompt_.files = {dir_.filePath("warehouse.TVO").toStdString()};
  windows_->RunCommand("SaveFile");
  config::ScreenStore saved;
  config::GeneralOptions options;
  config::NullLog log;
  config::LogPrompt quiet(log);
  ASSERT_TRUE(
      config::LoadDataFromFile2(dir_.filePath("warehouse").toStdString(), saved, options, quiet));
  const int menu = built_.gateway->Sessions().CurrentScreen[0];
  bool stored = false;
  for (const std::string& t : saved.ScreensText[static_cast<std::size_t>(menu)])
    stored = stored || t == "Choose a line";
  EXPECT_TRUE(stored) << "the saved file holds the edited text";

  // The terminal's next answer is held back and the edited menu served.
  for (int i = 0; i < 4 && !Shows("Choose a line"); ++i) {
    terminal_->Press(radio::sim::Key::kEnter);
    WaitUntil([&] { return Shows("Choose a line"); }, 3000);
  }
  EXPECT_TRUE(Shows("Choose a line")) << Screen();
  EXPECT_FALSE(Shows("Option")) << Screen();
}

}  // namespace
}  // namespace tervo::ui
