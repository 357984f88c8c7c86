// Divided fields, the "Divide field" and "Repeat" dialogs and the number a
// new screen from the editor gets.
#include <gtest/gtest.h>

#include "editor_fixture.h"
#include "editors/divided_fields.h"
#include "editors/new_screen_number.h"
#include "editors/repeat_dialog.h"

namespace tervo::editors {
namespace {

class DividedFieldsTest : public testing::EditorFixture {
 protected:
  DividedFieldsTest() {
    out = Add(3, 7, "Article 12345  Qty 10  Loc A-01", 40, true);
    in = Add(4, 7, "", 10, false);
    Def(in).InputField = 1;
  }
  // The dialog on a selection of len characters at image offset start.
  DivideFieldDialog& Select(int start, int len) {
    dialog.Open(kScr, -1, start, len);
    return dialog;
  }
  int Parts(int field) const {
    int n = 0;
    for (int i = 0; i < store.DivideFieldsCt; ++i)
      n += store.DivideFields[i].ScrNum == kScr && store.DivideFields[i].FieldNum == field;
    return n;
  }
  bool Insert(int start, int len) {
    std::string err;
    return Select(start, len).InsertField(&err);
  }

  int out = 0, in = 0;
  DivideFieldDialog dialog{store};
};

TEST_F(DividedFieldsTest, FindFieldCoversTheWholeSpan) {
  EXPECT_EQ(FindField(store, kScr, 7, 3), out);
  EXPECT_EQ(FindField(store, kScr, 46, 3), out);
  EXPECT_EQ(FindField(store, kScr, 47, 3), -1);
  EXPECT_EQ(FindField(store, kScr, 6, 3), -1);
  EXPECT_EQ(FindField(store, store.ScreenTableSize(), 7, 3), -1);
}

TEST_F(DividedFieldsTest, InsertAddsMovesAndAddsAgain) {
  ASSERT_TRUE(Insert(170, 5));  // row 3, column 7
  EXPECT_EQ(dialog.Field(), out);
  ASSERT_EQ(store.DivideFieldsCt, 1);
  EXPECT_EQ(store.DivideFields[0], (config::DividedField{kScr, out, 170, 5, -1, 0}));
  EXPECT_TRUE(Def(out).Divided);

  ASSERT_TRUE(Insert(172, 3));
  EXPECT_EQ(store.DivideFieldsCt, 1) << "a selection inside a part moves it";
  EXPECT_EQ(store.DivideFields[0].pos, 172);
  EXPECT_EQ(store.DivideFields[0].Size, 3);

  ASSERT_TRUE(Insert(172, 4));
  EXPECT_EQ(store.DivideFieldsCt, 2) << "starting exactly at a part adds one";
}

TEST_F(DividedFieldsTest, RemoveTakesOnlyPartsHoldingTheWholeSelection) {
  ASSERT_TRUE(Insert(170, 5));
  ASSERT_TRUE(Insert(186, 6));
  Select(188, 6).RemoveField();  // crosses the end of the part at 186
  EXPECT_EQ(Parts(out), 2);
  Select(187, 2).RemoveField();
  EXPECT_EQ(Parts(out), 1);
  EXPECT_TRUE(Def(out).Divided);
  Select(170, 5).RemoveField();
  EXPECT_EQ(Parts(out), 0);
  EXPECT_FALSE(Def(out).Divided) << "the last part gone";
  EXPECT_EQ(store.DivideFieldsCt, 2) << "slots are kept";
}

TEST_F(DividedFieldsTest, InputFieldsAndEmptySpotsAreNotDivided) {
  ASSERT_TRUE(Insert(3 * 82 + 6, 4));  // row 4, column 7: the input field
  EXPECT_EQ(store.DivideFieldsCt, 0);
  EXPECT_FALSE(Def(in).Divided);
  ASSERT_TRUE(Insert(10 * 82, 4));  // no field there
  EXPECT_EQ(store.DivideFieldsCt, 0);
  Select(10 * 82, 4).RemoveField();
  EXPECT_EQ(dialog.Field(), -1);
}

TEST_F(DividedFieldsTest, FieldZeroCanBeDivided) {
  ASSERT_TRUE(Insert(29, 4));  // row 1, column 30: "Warehouse", field 0
  EXPECT_EQ(dialog.Field(), 0);
  EXPECT_EQ(Parts(0), 1);
  EXPECT_TRUE(Def(0).Divided);
}

TEST_F(DividedFieldsTest, AStalePartBeyondTheCountIsNotMovedButReplaced) {
  // ClearAllScreens leaves old slots behind; slot 0 still names this field.
  store.DivideFields[0] = {kScr, out, 170, 10, 0, 1};
  ASSERT_TRUE(Insert(172, 3));
  EXPECT_EQ(store.DivideFieldsCt, 1);
  EXPECT_EQ(store.DivideFields[0], (config::DividedField{kScr, out, 172, 3, -1, 0}));
  ASSERT_TRUE(Insert(180, 2));
  EXPECT_EQ(store.DivideFieldsCt, 2);
  EXPECT_EQ(store.DivideFields[0].pos, 172) << "the next part does not overwrite it";
}

TEST_F(DividedFieldsTest, AFullTableRefusesThePart) {
  store.DivideFieldsCt = config::kDivisionSlots;
  std::string err;
  EXPECT_FALSE(Select(170, 5).InsertField(&err));
  EXPECT_EQ(err, "the divided-field table is full (2001 parts)");
  EXPECT_FALSE(Def(out).Divided);
}

TEST(RepeatDialog, OkStoresAndActivatesDesactivateKeepsTheValues) {
  config::ScreenStore store;
  testing::RecordingPrompt prompt;
  store.AdvScreens[1].Keys = "old";
  store.AdvScreens[1].CounterVal = 9;
  RepeatDialog d(store, prompt);
  ASSERT_TRUE(d.Open(1));
  EXPECT_EQ(d.Text(RepeatBox::CounterVal), "9");
  EXPECT_EQ(d.Counter(), kNoCounter);
  d.SelectCounter(kCounterFixed);
  d.SetText(RepeatBox::CounterVal, "3");
  d.SetText(RepeatBox::Keys1, "@u");
  d.SetText(RepeatBox::SubCounter1, "1");
  d.SetText(RepeatBox::TKeys, "@E");
  EXPECT_TRUE(d.Ok());
  const config::RepeatRule& r = store.AdvScreens[1];
  EXPECT_TRUE(r.Active);
  EXPECT_EQ(r.Counter, 2);
  EXPECT_EQ(r.CounterVal, 3);
  EXPECT_EQ(r.Keys1, "@u");
  EXPECT_EQ(r.SubCounter1, 1);
  EXPECT_EQ(r.TKeys, "@E");
  EXPECT_EQ(r.Keys, "");
  EXPECT_FALSE(d.IsOpen());

  ASSERT_TRUE(d.Open(1));
  EXPECT_EQ(d.Counter(), kCounterFixed);
  d.Desactivate();
  EXPECT_FALSE(r.Active);
  EXPECT_EQ(r.CounterVal, 3);
  EXPECT_EQ(r.Keys1, "@u");
}

TEST(RepeatDialog, ABadNumberIsReportedAfterTheRestIsStored) {
  config::ScreenStore store;
  testing::RecordingPrompt prompt;
  store.AdvScreens[1].IfCounter = 4;
  RepeatDialog d(store, prompt);
  ASSERT_TRUE(d.Open(1));
  d.SetText(RepeatBox::IfCounter, "four");
  d.SetText(RepeatBox::CounterVal, "2");
  d.SetText(RepeatBox::Keys2, "@v");
  EXPECT_FALSE(d.Ok());
  EXPECT_EQ(prompt.asked, std::vector<std::string>{"Error not a number: \"four\""});
  EXPECT_EQ(store.AdvScreens[1].IfCounter, 4);
  EXPECT_EQ(store.AdvScreens[1].CounterVal, 2);
  EXPECT_EQ(store.AdvScreens[1].Keys2, "@v");
  EXPECT_TRUE(store.AdvScreens[1].Active);
  EXPECT_EQ(store.AdvScreens[1].Counter, 0) << "no option chosen: unchanged";
}

TEST(NewScreenNumber, SkipsMastersAndDefinitionsReusesCopiesAndGrows) {
  config::ScreenStore store;
  store.NumeroMaximoDeEcrans = 4;
  store.GrowScreenTables();
  store.Screens[1].Master = config::kScreenMaster;
  store.Screens[2].Master = config::kScreenDefined;
  store.Screens[3].Master = config::kScreenCopy;
  store.Screens[4].Master = config::kScreenDefined;
  EXPECT_EQ(NewScreenNumber(store), 3);
  EXPECT_EQ(store.ScreenCt, 3);
  store.Screens[3].Master = config::kScreenDefined;
  EXPECT_EQ(NewScreenNumber(store), 5);
  EXPECT_EQ(store.NumeroMaximoDeEcrans, 5);
  EXPECT_TRUE(store.ValidScreen(5));

  store.ScreenCt = config::kHighestAllocatedScreen;
  store.Screens[1].Master = config::kScreenFree;
  EXPECT_EQ(NewScreenNumber(store), 1) << "after 179 comes 1";
}

TEST(NewScreenNumber, NoneFreeGivesMinusOne) {
  config::ScreenStore store;
  store.NumeroMaximoDeEcrans = config::kHighestAllocatedScreen;
  store.GrowScreenTables();
  for (int s = 1; s <= config::kHighestAllocatedScreen; ++s)
    store.Screens[s].Master = config::kScreenDefined;
  EXPECT_EQ(NewScreenNumber(store), -1);
}

}  // namespace
}  // namespace tervo::editors
