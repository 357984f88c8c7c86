// "Master Screen Setup": statuses, MoveV, "To be the Father" and "Update
// old screens".
#include "editors/master_dialog.h"

#include <gtest/gtest.h>

#include "editor_fixture.h"

namespace tervo::editors {
namespace {

class MasterDialogTest : public ::testing::Test {
 protected:
  MasterDialogTest() {
    store.NumeroMaximoDeEcrans = 9;
    store.GrowScreenTables();
    for (int s = 0; s <= 9; ++s) store.ResetScreenDef(s);
  }
  config::ScreenDef& S(int s) { return store.Screens[s]; }

  config::ScreenStore store;
  testing::RecordingPrompt prompt;
  MasterDialog dialog{store, prompt};
};

TEST_F(MasterDialogTest, ClosingUntouchedKeepsADefinedOrCopiedScreen) {
  for (int status : {config::kScreenDefined, config::kScreenCopy, config::kScreenFree}) {
    S(3).Master = status;
    ASSERT_TRUE(dialog.Open(3));
    EXPECT_FALSE(dialog.MasterChecked());
    EXPECT_FALSE(dialog.FramesEnabled());
    dialog.Close();
    EXPECT_EQ(S(3).Master, status) << "never freed for the allocator by closing";
  }
}

TEST_F(MasterDialogTest, TickingMakesAMasterAndStoresMoveVOnClose) {
  S(3).Master = config::kScreenDefined;
  ASSERT_TRUE(dialog.Open(3));
  dialog.ClickMaster(true);
  EXPECT_EQ(S(3).Master, config::kScreenMaster);
  EXPECT_TRUE(dialog.FramesEnabled());
  dialog.SelectDirection(-80);
  EXPECT_EQ(dialog.MoveVBox(), "-80");
  EXPECT_EQ(store.MasterScreens[3].MoveV, 0) << "stored only with the dialog";
  dialog.SelectCopyText(true);
  dialog.SelectMasterFieldsOnly(true);
  dialog.Close();
  EXPECT_EQ(store.MasterScreens[3].MoveV, -80);
  EXPECT_TRUE(store.MasterScreens[3].CopyText);
  EXPECT_EQ(S(3).MasterAux, 1);

  ASSERT_TRUE(dialog.Open(3));
  EXPECT_TRUE(dialog.MasterChecked());
  EXPECT_EQ(dialog.Direction(), -80);
  EXPECT_TRUE(dialog.MasterFieldsOnly());
  dialog.SetMoveVBox("160");
  dialog.Close();
  EXPECT_EQ(store.MasterScreens[3].MoveV, 160) << "any step may be typed";
  ASSERT_TRUE(dialog.Open(3));
  EXPECT_EQ(dialog.Direction(), MasterDialog::kNoDirection);
  dialog.SetMoveVBox("down");
  dialog.Close();
  EXPECT_EQ(prompt.asked, std::vector<std::string>{"Error not a number: \"down\""});
  EXPECT_EQ(store.MasterScreens[3].MoveV, 160);
  EXPECT_EQ(S(3).Master, config::kScreenMaster);
}

TEST_F(MasterDialogTest, ClearingTheBoxGivesBackTheNonMasterStatus) {
  S(3).Master = config::kScreenDefined;
  ASSERT_TRUE(dialog.Open(3));
  dialog.ClickMaster(true);
  dialog.ClickMaster(false);
  dialog.Close();
  EXPECT_EQ(S(3).Master, config::kScreenDefined);

  S(4).Master = config::kScreenMaster;
  ASSERT_TRUE(dialog.Open(4));
  dialog.ClickMaster(false);
  EXPECT_FALSE(dialog.FramesEnabled());
  dialog.Close();
  EXPECT_EQ(S(4).Master, config::kScreenDefined) << "a former master is kept as defined";
}

TEST_F(MasterDialogTest, ToBeTheFatherTakesOverTheCopiesOfTheOldMaster) {
  S(7).Master = config::kScreenMaster;
  S(7).ScreenId = 700;
  for (int s : {2, 5, 8}) {
    S(s).Master = config::kScreenCopy;
    S(s).MultipleInputFather = 7;
  }
  S(6).Master = config::kScreenCopy;
  S(6).MultipleInputFather = 1;
  S(5).Master = config::kScreenDefined;  // the copy opened in the editor
  ASSERT_TRUE(dialog.Open(5));
  EXPECT_EQ(dialog.FatherBox(), "7");
  EXPECT_TRUE(dialog.KillFatherEnabled());
  dialog.ToBeTheFather();
  EXPECT_EQ(S(2).MultipleInputFather, 5);
  EXPECT_EQ(S(8).MultipleInputFather, 5);
  EXPECT_EQ(S(6).MultipleInputFather, 1) << "copies of another master stay";
  EXPECT_EQ(S(5).MultipleInputFather, 0) << "a master has no father, least of all itself";
  EXPECT_EQ(S(5).Master, config::kScreenMaster);
  EXPECT_EQ(S(7).Master, config::kScreenFree);
  EXPECT_EQ(S(7).ScreenId, 0);
  EXPECT_TRUE(dialog.MasterChecked());
  EXPECT_EQ(dialog.FatherBox(), "");
  dialog.Close();
  EXPECT_EQ(S(5).Master, config::kScreenMaster);

  // "Update old screens" later frees the copies, never the master itself.
  ASSERT_TRUE(dialog.Open(5));
  dialog.UpdateOldScreens();
  for (int s : {2, 8}) {
    EXPECT_EQ(S(s).Master, config::kScreenFree) << s;
    EXPECT_EQ(S(s).ScreenId, 0) << s;
  }
  EXPECT_EQ(S(5).Master, config::kScreenMaster);
  EXPECT_EQ(S(6).Master, config::kScreenCopy);
}

TEST_F(MasterDialogTest, NoFatherNothingToTakeOver) {
  S(4).Master = config::kScreenDefined;
  ASSERT_TRUE(dialog.Open(4));
  EXPECT_FALSE(dialog.KillFatherEnabled());
  dialog.ToBeTheFather();
  EXPECT_EQ(S(4).Master, config::kScreenDefined);
  EXPECT_EQ(S(0).Master, config::kScreenFree);
  dialog.UpdateOldScreens();  // not a master: the button is disabled
  EXPECT_EQ(S(4).Master, config::kScreenDefined);
}

}  // namespace
}  // namespace tervo::editors
