// Screens the gateway learns while it runs survive a restart without a
// question: saved with "Auto Save File", kept beside the configuration
// without it, and loaded by the next start without windows.
#include <QTemporaryDir>

#include "config/config_writer.h"
#include "config/unsaved_file.h"
#include "core/kept_changes.h"
#include "gateway_fixture.h"

namespace tervo::core::testing {
namespace {

class Learning : public Started {
 protected:
  void SetUp() override {
    gateway_->SetConfigPath("/srv/tervo/plant");
    Started::SetUp();
    Connect();
  }
  // An unknown host screen, defined after NewScreenTimeout.
  void Learn(const std::string& label) {
    Display(0).ClearScreen();
    Display(0).AddField(3, 2, label, static_cast<int>(label.size()), true);
    Display(0).AddField(5, 20, "", 6, false);
    S()[0].SendFlag = false;
    gateway_->ReadyToSend(0, true);
    Pass(2000);  // NewScreenTimeout: defined
  }
};

TEST_F(Learning, ScreensAreKeptBesideWithoutAQuestion) {
  Learn("Receiving");
  EXPECT_EQ(gateway_->ScreensLearned(), 1);
  EXPECT_EQ(services_->unsavedKept, 0);
  Pass(kKeepLearnedMs);
  EXPECT_EQ(services_->unsavedKept, 1) << "kept a moment after it was learned";
  EXPECT_FALSE(gateway_->ConfigChanged) << "nothing for the operator to answer";
  EXPECT_TRUE(Logged("Unsaved changes kept in plant.TVO.unsaved"));
  // Two screens learned together (by two terminals) go in one write.
  Connect(kT2);
  for (int s = 0; s < 2; ++s) {
    Display(s).ClearScreen();
    Display(s).AddField(3 + s, 2, s == 0 ? "Picking" : "Transfer", 8, true);
    S()[s].SendFlag = false;
    gateway_->ReadyToSend(s, true);
  }
  Pass(2000 + kKeepLearnedMs);
  EXPECT_EQ(gateway_->ScreensLearned(), 3);
  EXPECT_EQ(services_->unsavedKept, 2);
  // The windowed stop asks nothing for them, and has nothing new to keep.
  gateway_->Shutdown();
  EXPECT_TRUE(ui_.questions.empty());
  EXPECT_EQ(services_->unsavedKept, 2);
  EXPECT_EQ(services_->configurationSaves, 0);
}

TEST_F(Learning, AScreenLearnedJustBeforeTheStopIsKeptAtTheStop) {
  Learn("Receiving");
  Pass(kKeepLearnedMs);
  ASSERT_EQ(services_->unsavedKept, 1);
  Learn("Picking");  // defined, not yet kept
  ASSERT_EQ(gateway_->ScreensLearned(), 2);
  ASSERT_EQ(services_->unsavedKept, 1);
  gateway_->Shutdown();
  EXPECT_EQ(services_->unsavedKept, 2);
}

TEST_F(Learning, AutoSaveSavesThemAtTheStopAsToday) {
  options_->SetChecked("AutoSave", true);
  Learn("Receiving");
  EXPECT_EQ(services_->unsavedKept, 0);
  gateway_->RequestStop();
  gateway_->Shutdown();
  EXPECT_EQ(services_->configurationSaves, 1);
  EXPECT_EQ(services_->unsavedKept, 0);
}

TEST_F(Learning, SavingPutsThemInTheConfigurationAndRemovesTheSideFile) {
  Learn("Receiving");
  Pass(kKeepLearnedMs);
  ASSERT_EQ(services_->unsavedKept, 1);
  gateway_->ConfigChanged = true;  // the operator changed something too, and saves at the stop
  gateway_->Shutdown();
  EXPECT_EQ(ui_.questions, std::vector<std::string>{"Save Changes ?"});
  EXPECT_EQ(services_->configurationSaves, 1);
  EXPECT_EQ(services_->unsavedRemoved, 1) << "its screens are in the configuration now";
}

// Changes an earlier stop kept, waiting for the operator, are never written
// over: the running configuration does not hold them.
TEST_F(Learning, KeptChangesThatWaitAreNotWrittenOver) {
  services_->unsavedExists = true;
  Learn("Receiving");
  Pass(kKeepLearnedMs);
  Learn("Picking");
  Pass(kKeepLearnedMs);
  gateway_->RequestStop();
  gateway_->Shutdown();
  EXPECT_EQ(services_->unsavedKept, 0);
  EXPECT_EQ(CountLogged("Learned screens not kept: unsaved changes wait (accept or drop them)"), 1);
}

// The next start without windows loads kept changes that only add screens,
// and leaves the operator's for the operator.
class NextStart : public GatewayTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    base_ = dir_.filePath("plant").toStdString();
    store_->TerminalIDDef[0] = "T1";
    std::string err;
    ASSERT_TRUE(config::SaveDataToFile2(base_, *store_, *options_, &err)) << err;
    gateway_->SetConfigPath(base_);
  }
  // What a gateway that learned screen 7 keeps beside the file.
  void KeepLearned(const std::function<void(config::ScreenStore&, config::GeneralOptions&)>& also) {
    config::ScreenStore kept;
    config::GeneralOptions options = *options_;
    kept.TerminalIDDef = store_->TerminalIDDef;
    kept.NumeroMaximoDeEcrans = 7;
    kept.GrowScreenTables();
    kept.ScreenCt = 7;
    kept.Screens[7].ScreenId = 134853933;
    kept.Originals[7].Count = 1;
    kept.Originals[7][0].Text = "Sign On";
    kept.Originals[7][0].Length = 7;
    if (also) also(kept, options);
    std::string err;
    ASSERT_TRUE(config::WriteUnsavedFile(base_, kept, options, &err)) << err;
  }
  QTemporaryDir dir_;
  std::string base_;
};

TEST_F(NextStart, LearnedScreensAreLoaded) {
  ASSERT_NO_FATAL_FAILURE(KeepLearned(nullptr));
  gateway_->Start();
  EXPECT_TRUE(KeptChangesOnlyAddScreens(*gateway_));
  EXPECT_EQ(UnattendedChoice(*gateway_, KeptChoice::kAsk), KeptChoice::kAccept);
  EXPECT_EQ(UnattendedChoice(*gateway_, KeptChoice::kDrop), KeptChoice::kDrop) << "as told";
  ApplyKeptChoice(*gateway_, UnattendedChoice(*gateway_, KeptChoice::kAsk));
  EXPECT_EQ(store_->Screens[7].ScreenId, 134853933);
  gateway_->Shutdown();
}

TEST_F(NextStart, TheOperatorsChangesWaitForTheOperator) {
  for (const auto& change :
       std::vector<std::function<void(config::ScreenStore&, config::GeneralOptions&)>>{
           [](config::ScreenStore&, config::GeneralOptions&o) { o.SetText("ExitWord", "Quit"); },
           [](config::ScreenStore&s, config::GeneralOptions&) { s.TerminalIDDef[2] = "T3"; },
       }) {
    ASSERT_NO_FATAL_FAILURE(KeepLearned(change));
    EXPECT_FALSE(KeptChangesOnlyAddScreens(*gateway_));
    EXPECT_EQ(UnattendedChoice(*gateway_, KeptChoice::kAsk), KeptChoice::kKeep);
  }
  // A screen the file has, changed: an edit, not a learned screen.
  config::ScreenStore store;
  config::GeneralOptions options = *options_;
  store.TerminalIDDef = store_->TerminalIDDef;
  store.NumeroMaximoDeEcrans = 7;
  store.GrowScreenTables();
  store.Screens[7].ScreenId = 134853933;
  std::string err;
  ASSERT_TRUE(config::SaveDataToFile2(base_, store, options, &err)) << err;
  store.Screens[7].EscKey = "@3";
  ASSERT_TRUE(config::WriteUnsavedFile(base_, store, options, &err)) << err;
  EXPECT_FALSE(KeptChangesOnlyAddScreens(*gateway_));
  ASSERT_TRUE(config::WriteUnsavedFile(base_, *store_, *options_, &err)) << err;
  EXPECT_FALSE(KeptChangesOnlyAddScreens(*gateway_)) << "nothing added at all";
}

}  // namespace
}  // namespace tervo::core::testing
