// Stopping with nobody to ask (a signal, the timer's stop, no windows):
// no question, and unsaved changes are saved or kept beside the
// configuration, never lost; and what the next start does with kept ones.
#include <QTemporaryDir>

#include "config/config_writer.h"
#include "config/unsaved_file.h"
#include "core/kept_changes.h"
#include "gateway_fixture.h"

namespace tervo::core::testing {
namespace {

class Stopping : public GatewayTest {
 protected:
  void SetUp() override {
    gateway_->SetConfigPath("/srv/tervo/plant");
    gateway_->Start();
  }
};

TEST_F(Stopping, UnsavedChangesAreKeptBesideWithoutAQuestion) {
  gateway_->ConfigChanged = true;
  gateway_->RequestStop();
  gateway_->Shutdown();
  EXPECT_TRUE(ui_.questions.empty()) << "a question would hold a service stop until it is killed";
  EXPECT_EQ(services_->configurationSaves, 0) << "the file is written only when the operator says";
  EXPECT_EQ(services_->unsavedKept, 1);
  EXPECT_EQ(gateway_->KeptChangesPath(), "/srv/tervo/plant.TVO.unsaved");
  EXPECT_TRUE(Logged("Unsaved changes kept in plant.TVO.unsaved"));
  EXPECT_EQ(services_->countersSaved, 1);
}

TEST_F(Stopping, AutoSaveSavesAndKeepsOnlyWhenTheSaveFails) {
  options_->SetChecked("AutoSave", true);
  gateway_->ConfigChanged = true;
  gateway_->RequestStop();
  gateway_->Shutdown();
  EXPECT_EQ(services_->configurationSaves, 1);
  EXPECT_EQ(services_->unsavedKept, 0);
  EXPECT_TRUE(gateway_->KeptChangesPath().empty());
}

TEST_F(Stopping, AFailedAutoSaveKeepsTheChanges) {
  options_->SetChecked("AutoSave", true);
  services_->saveResult = false;
  gateway_->ConfigChanged = true;
  gateway_->SetUnattended();  // the timer's stop
  gateway_->Shutdown();
  EXPECT_EQ(services_->unsavedKept, 1);
}

TEST_F(Stopping, NothingIsKeptWithoutChanges) {
  gateway_->RequestStop();
  gateway_->Shutdown();
  EXPECT_EQ(services_->unsavedKept, 0);
}

TEST_F(Stopping, SavingLoadedKeptChangesRemovesTheirFile) {
  gateway_->ConfigChanged = true;
  gateway_->KeptChangesLoaded = true;
  ui_.answer = true;  // "Save Changes ?" Yes: the operator closes the window
  gateway_->Shutdown();
  EXPECT_EQ(services_->configurationSaves, 1);
  EXPECT_EQ(services_->unsavedRemoved, 1);
  EXPECT_FALSE(gateway_->KeptChangesLoaded);
}

TEST_F(GatewayTest, AStopEndsTheRadioRetryAtOnce) {
  radio_->initializeResult = 0;
  gateway_->Start();
  Pass(1000);
  gateway_->RequestStop();
  Pass(20000);
  EXPECT_EQ(Calls("InitializeComm"), 1) << "a service stop must not wait out a 6 s retry";
  gateway_->Shutdown();
}

TEST_F(GatewayTest, TheTimersStopLetsWaitsRunOn) {
  gateway_->Start();
  gateway_->SetUnattended();  // the countdown to the daily stop is under way
  gateway_->HandleScreenRequest(kT1, "START");
  Pass(kConnectSettleMs);
  EXPECT_TRUE(S()[0].Terminal_Connected) << "terminals are still served until the stop";
}

// Kept changes at the next start, on real files.
class KeptAtStart : public GatewayTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    base_ = dir_.filePath("plant").toStdString();
    std::string err;
    config::ScreenStore store;
    config::GeneralOptions options;
    ASSERT_TRUE(config::SaveDataToFile2(base_, store, options, &err)) << err;
    options.SetText("ExitWord", "Quit");
    store.TerminalIDDef[0] = "T1";
    store.TerminalIDDef[1] = "T2";
    ASSERT_TRUE(config::WriteUnsavedFile(base_, store, options, &err)) << err;
    gateway_->SetConfigPath(base_);
    gateway_->Start();
  }
  ~KeptAtStart() override { gateway_->Shutdown(); }
  QTemporaryDir dir_;
  std::string base_;
};

TEST_F(KeptAtStart, TheQuestionSaysWhatTheyChange) {
  ASSERT_TRUE(HasKeptChanges(*gateway_));
  const std::string q = KeptChangesQuestion(*gateway_);
  EXPECT_NE(q.find("were kept in plant.TVO.unsaved"), std::string::npos) << q;
  EXPECT_NE(q.find("They change general options: ExitWord."), std::string::npos) << q;
  EXPECT_NE(q.find("sessions (device name or terminal id): 0, 1"), std::string::npos) << q;
  EXPECT_NE(q.find("Cancel: decide at the next start"), std::string::npos) << q;
}

TEST_F(KeptAtStart, AcceptLoadsThemAsUnsaved) {
  EXPECT_EQ(ApplyKeptChoice(*gateway_, KeptChoice::kAccept),
            "Unsaved changes loaded from plant.TVO.unsaved");
  EXPECT_EQ(options_->Text("ExitWord"), "Quit");
  EXPECT_TRUE(gateway_->ConfigChanged);
  EXPECT_TRUE(gateway_->KeptChangesLoaded);
  EXPECT_NE(gateway_->Caption().find("Unsaved"), std::string::npos);
  EXPECT_TRUE(HasKeptChanges(*gateway_)) << "the file goes only once they are saved";
}

TEST_F(KeptAtStart, DropRemovesAndKeepLeavesThem) {
  EXPECT_EQ(ApplyKeptChoice(*gateway_, KeptChoice::kKeep),
            "Unsaved changes wait in plant.TVO.unsaved (accept or drop them)");
  EXPECT_TRUE(HasKeptChanges(*gateway_));
  EXPECT_FALSE(gateway_->ConfigChanged);
  EXPECT_EQ(ApplyKeptChoice(*gateway_, KeptChoice::kDrop),
            "Unsaved changes in plant.TVO.unsaved dropped");
  EXPECT_FALSE(HasKeptChanges(*gateway_));
  EXPECT_EQ(options_->Text("ExitWord"), "Exit,Sair");
  EXPECT_EQ(ApplyKeptChoice(*gateway_, KeptChoice::kAccept), "") << "nothing left";
}

TEST(KeptChoice, ParsesTheOptionWords) {
  KeptChoice c = KeptChoice::kAsk;
  for (const auto& [word, choice] : {std::pair{"ask", KeptChoice::kAsk},
                                     {"keep", KeptChoice::kKeep},
                                     {"accept", KeptChoice::kAccept},
                                     {"drop", KeptChoice::kDrop}}) {
    ASSERT_TRUE(ParseKeptChoice(word, &c)) << word;
    EXPECT_EQ(c, choice);
  }
  EXPECT_FALSE(ParseKeptChoice("yes", &c));
}

}  // namespace
}  // namespace tervo::core::testing
