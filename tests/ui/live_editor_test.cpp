// The screen editor on a live session: the real gateway on the demo
// configuration, the embedded demo host and a simulated terminal over
// TCP/IP, the operator windows on the offscreen platform.  The operator
// unlocks, double-clicks the session, edits in the window, presses OK and
// saves; the terminal then shows the edited screen.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>

#include "config/config_reader.h"
#include "live_demo.h"
#include "ui/main_window.h"
#include "ui/screen_editor_window.h"

namespace tervo::ui {
namespace {

using editors::EditorCheck;
using editors::EditorText;

using testing::WaitUntil;
using LiveEditor = testing::LiveDemo;

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
  const int menu = built_.gateway->Sessions()[0].CurrentScreen;
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
