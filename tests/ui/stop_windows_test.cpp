// A stop from outside (SIGTERM, SIGINT) of the windowed gateway: no
// question holds it, unsaved changes are saved or kept, and a question open
// at that moment is closed without acting on it.  And the kept changes at
// the next start.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include "config/config_writer.h"
#include "config/unsaved_file.h"
#include "ui/general_config_dialog.h"
#include "ui/main_window.h"
#include "ui/ui_rig.h"
#include "ui/widget_prompt.h"

namespace tervo::ui {
namespace {

using testing::Rig;

void Settle() {
  for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
}

TEST(StopWindows, ASignalWithUnsavedChangesKeepsThemAndAsksNothing) {
  Rig r(2);
  r.windows->RunCommand("GeneralConf");  // opening it marks the configuration unsaved
  ASSERT_TRUE(r.gateway->ConfigChanged);
  r.windows->Stop();
  Settle();
  EXPECT_TRUE(r.finished);
  EXPECT_TRUE(r.prompt.asked.empty());
  EXPECT_TRUE(r.gateway->ShutDown());
  EXPECT_EQ(r.services->countersSaved, 1);
  EXPECT_EQ(r.services->configurationSaves, 0);
  EXPECT_EQ(r.services->unsavedKept, 1);
  EXPECT_FALSE(r.windows->General().isVisible());
}

// The operator chose Exit, "Save Changes ?" is open, and the service is
// stopped: the question must not decide anything (its answer is Cancel),
// and the stop keeps the changes.
TEST(StopWindows, AQuestionOpenAtTheStopDecidesNothing) {
  Rig r(1);
  r.windows->RunCommand("GeneralConf");
  r.prompt.answer = config::Prompt::Answer::Cancel;
  r.prompt.whileAsking = [&] { r.windows->Stop(); };
  r.windows->RunCommand("ExitProgram");
  Settle();
  EXPECT_EQ(r.prompt.asked, std::vector<std::string>{"Save Changes ?"});
  EXPECT_TRUE(r.finished);
  EXPECT_EQ(r.services->configurationSaves, 0);
  EXPECT_EQ(r.services->unsavedKept, 1) << "cleared by an unanswered question, they were lost";
}

TEST(StopWindows, ClosingTheWindowStillAsks) {
  Rig r(1);
  r.windows->RunCommand("GeneralConf");
  r.prompt.answer = config::Prompt::Answer::No;
  r.windows->Main().close();
  EXPECT_EQ(r.prompt.asked, std::vector<std::string>{"Save Changes ?"});
  EXPECT_EQ(r.services->unsavedKept, 0) << "the operator said No";
}

// The boxes themselves: a stop closes the one that is open and none opens
// afterwards.
TEST(StopWindows, TheWidgetPromptClosesItsBoxAndAsksNoMore) {
  WidgetPrompt prompt;
  bool boxOpen = false;
  QTimer::singleShot(0, [&] {
    boxOpen = QApplication::activeModalWidget() != nullptr;
    prompt.Stop();
  });
  EXPECT_EQ(prompt.Message("Save Changes ?", "", config::Prompt::Buttons::YesNo),
            config::Prompt::Answer::Cancel);
  EXPECT_TRUE(boxOpen);
  EXPECT_EQ(prompt.Message("Clear?", "", config::Prompt::Buttons::YesNoDefaultNo),
            config::Prompt::Answer::Cancel);
  EXPECT_EQ(prompt.Input("System Name", "As400 INFO", "AS1"), "AS1")
      << "cancelling would store an empty name";
  EXPECT_EQ(prompt.Choose("Host interface", "", {"TN5250", "DemoHost"}, "DemoHost"), "DemoHost");
  std::string chosen;
  EXPECT_EQ(prompt.Save("plant", "/srv", &chosen), config::FileDialogs::Result::Cancelled);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// Changes an earlier stop kept beside the configuration, at the next start.
class KeptChanges : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = dir_.filePath("plant").toStdString();
    config::ScreenStore store;
    config::GeneralOptions options;
    std::string err;
    ASSERT_TRUE(config::SaveDataToFile2(base_, store, options, &err));
    options.SetText("ExitWord", "Quit");
    store.TerminalIDDef[0] = "T0";
    ASSERT_TRUE(config::WriteUnsavedFile(base_, store, options, &err));
  }
  std::unique_ptr<Rig> Start(config::Prompt::Answer answer) {
    auto r = std::make_unique<Rig>(1, [this](core::Gateway& g) { g.SetConfigPath(base_); });
    r->prompt.answer = answer;
    Settle();  // the question comes once the gateway runs
    return r;
  }
  QTemporaryDir dir_;
  std::string base_;
};

TEST_F(KeptChanges, YesLoadsThemAsUnsaved) {
  auto r = Start(config::Prompt::Answer::Yes);
  ASSERT_EQ(r->prompt.asked.size(), 1u);
  EXPECT_NE(r->prompt.asked[0].find("They change general options: ExitWord."), std::string::npos);
  EXPECT_EQ(r->prompt.buttons[0], config::Prompt::Buttons::YesNoCancel);
  EXPECT_EQ(r->gateway->Options().Text("ExitWord"), "Quit");
  EXPECT_EQ(qobject_cast<QLineEdit*>(r->windows->General().Control("ExitWord"))->text(), "Quit");
  EXPECT_NE(r->windows->Main().windowTitle().indexOf("Unsaved"), -1);
  EXPECT_TRUE(r->windows->Main().StatusTexts().contains("Unsaved"));
  EXPECT_TRUE(r->windows->Main().StatusTexts()[0].startsWith("Unsaved changes loaded"));
  EXPECT_TRUE(config::UnsavedFileExists(base_)) << "kept until the configuration is saved";

  r->prompt.files = {base_ + ".TVO"};
  r->windows->RunCommand("FullAccess");
  r->windows->RunCommand("SaveFile");
  EXPECT_FALSE(config::UnsavedFileExists(base_)) << "saved: nothing is waiting any more";
}

TEST_F(KeptChanges, NoDropsThemAndCancelLeavesThemForLater) {
  auto dropped = Start(config::Prompt::Answer::No);
  EXPECT_FALSE(config::UnsavedFileExists(base_));
  EXPECT_EQ(dropped->gateway->Options().Text("ExitWord"), "Exit,Sair");
  dropped.reset();

  ASSERT_TRUE(
      config::WriteUnsavedFile(base_, config::ScreenStore(), config::GeneralOptions(), nullptr));
  auto later = Start(config::Prompt::Answer::Cancel);
  EXPECT_TRUE(config::UnsavedFileExists(base_));
  EXPECT_FALSE(later->gateway->ConfigChanged);
}

}  // namespace
}  // namespace tervo::ui
