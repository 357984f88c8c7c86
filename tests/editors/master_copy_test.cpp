#include "editors/master_copy.h"

#include <gtest/gtest.h>

#include "editors/title.h"
#include "support/field_def.h"

namespace tervo::editors {
namespace {

using testing_support::Def;

class MasterCopyTest : public ::testing::Test {
 protected:
  MasterCopyTest() {
    store.NumeroMaximoDeEcrans = 6;
    store.GrowScreenTables();
    for (int s = 0; s <= 6; ++s) store.ResetScreenDef(s);
    options.SetText("DisplayLen", "10");
  }

  // Adds a captured host field to screen s at (row, column).
  int AddField(int s, int row, int column, const std::string& text, int length,
               bool isProtected = true) {
    auto& o = store.Originals[s];
    const int f = o.Count++;
    o[f].Text = text;
    o[f].Length = o[f].Size = length;
    o[f].Protected = isProtected;
    o[f].StartRow = row;
    o[f].StartColumn = column;
    store.Indice[s][row * 80 + column] = f;
    return f;
  }

  void MakeMaster(int s, std::initializer_list<int> keyFields) {
    store.Screens[s].Master = config::kScreenMaster;
    for (int f : keyFields) store.Screens[s].Screen[f].Flag |= config::kFlagMasterKey;
  }

  config::ScreenStore store;
  config::GeneralOptions options;
  config::NullLog log;
  MasterCopyContext ctx{store, options, log};
};

TEST_F(MasterCopyTest, MostKeyFieldsWinTiesGoToTheLowerNumber) {
  for (int m : {1, 2, 3}) {
    AddField(m, 1, 2, "WAREHOUSE", 9);
    AddField(m, 2, 2, "Item", 4);
    AddField(m, 3, 2, "Qty", 3);
  }
  MakeMaster(1, {0});
  MakeMaster(2, {0, 1, 2});
  MakeMaster(3, {0, 1, 2});
  AddField(5, 1, 2, "WAREHOUSE  ", 9);  // trailing blanks are trimmed
  AddField(5, 2, 2, "Item", 4);
  AddField(5, 3, 2, "Qty", 3);
  EXPECT_EQ(ChooseMaster(store, 5), 2);

  store.Originals[5][2].Text = "QTY";
  EXPECT_EQ(ChooseMaster(store, 5), 1) << "case counts: masters 2 and 3 no longer match";

  store.Screens[1].Screen[0].Flag = 0;
  EXPECT_EQ(ChooseMaster(store, 5), -1) << "a master without key fields never wins";
  EXPECT_EQ(ChooseMaster(store, 2), -1) << "a master is never copied onto";
  EXPECT_EQ(ChooseMaster(store, 6), -1) << "no captured fields";
}

TEST_F(MasterCopyTest, CopiesLayoutKeepsDataAndTakesFixedLabels) {
  AddField(1, 1, 2, "Item inquiry", 12);
  AddField(1, 3, 2, "OLD DATA", 8);
  AddField(1, 5, 2, "", 6, false);
  MakeMaster(1, {0});
  auto& m = store.Screens[1];
  m.EscKey = "@3";
  m.TeclasFuncao[2] = "Exit";
  m.Screen[0] = Def([](config::FieldDef& d) {
    d.Size = 10;
    d.Show = 1;
    d.Title = 1;
    d.Flag = config::kFlagMasterKey;
  });
  m.Screen[1] = Def([](config::FieldDef& d) {
    d.Size = 5;
    d.Show = 1;
    d.flag2 = 2;
  });
  m.Screen[2] = Def([](config::FieldDef& d) {
    d.Size = 6;
    d.Show = 1;
    d.AuxText = "Qty:extra";
    d.SizeTextAux = 4;
    d.InputField = 1;
  });
  store.ScreensText[1][0] = "Inquiry";
  store.AdvScreens[1].Keys1 = "@u";

  AddField(4, 1, 2, "Item inquiry", 12);
  AddField(4, 3, 2, "NEW DATA", 8);
  AddField(4, 5, 2, "", 7, false);  // a different length: not paired
  store.ScreensText[4][1] = "NEW DATA";

  ASSERT_TRUE(CopyFromMaster(ctx, 4));
  const auto& t = store.Screens[4];
  EXPECT_EQ(t.Master, config::kScreenCopy);
  EXPECT_EQ(t.MultipleInputFather, 1);
  EXPECT_EQ(t.EscKey, "@3");
  EXPECT_EQ(t.TeclasFuncao[2], "Exit");
  EXPECT_EQ(store.ScreensText[4][0], "Inquiry") << "a fixed label takes the master's text";
  EXPECT_EQ(store.ScreensText[4][1], "NEW D") << "data keeps its own text, cut to the size";
  EXPECT_EQ(t.Screen[1].Size, 5);
  EXPECT_EQ(t.Screen[2].InputField, 0) << "host lengths differ";
  EXPECT_EQ(store.AdvScreens[4].Keys1, "@u");
}

TEST_F(MasterCopyTest, TitlesAreCentredAndMasterFieldsOnlyHidesTheRest) {
  AddField(1, 1, 2, "Menu", 4);
  AddField(1, 2, 2, "Orders", 6);
  MakeMaster(1, {0});
  store.Screens[1].MasterAux = 1;
  store.Screens[1].Screen[1] = Def([](config::FieldDef& d) {
    d.Size = 10;
    d.Show = 1;
    d.flag2 = 1;
    d.Title = 1;
  });
  AddField(3, 1, 2, "Menu", 4);
  AddField(3, 2, 2, "Stock", 6);  // a title whose host text differs: keeps its own
  AddField(3, 4, 2, "Unpaired", 8);
  store.ScreensText[3][1] = "Stock";
  store.Screens[3].Screen[2].Show = 1;

  ASSERT_TRUE(CopyFromMaster(ctx, 3));
  EXPECT_EQ(store.Screens[3].Screen[2].Show, 0) << "master fields only";
  EXPECT_EQ(store.Screens[3].Screen[1].Show, 1);
  EXPECT_EQ(store.ScreensText[3][1], CenterTitle("Stock", 10));
}

TEST_F(MasterCopyTest, MoveVPairsAFieldOneRowLower) {
  AddField(1, 1, 2, "Key", 3);
  AddField(1, 4, 10, "", 6, false);
  MakeMaster(1, {0});
  store.MasterScreens[1].MoveV = 80;
  store.Screens[1].Screen[1] = Def([](config::FieldDef& d) {
    d.Size = 6;
    d.Show = 1;
    d.InputField = 1;
  });
  AddField(2, 1, 2, "Key", 3);
  AddField(2, 3, 10, "", 6, false);  // one row above the master's field
  AddField(2, 2, 30, "", 6, true);   // same length, different protection
  store.MasterScreens[1].MoveV = 80;

  ASSERT_TRUE(CopyFromMaster(ctx, 2));
  EXPECT_EQ(store.Screens[2].Screen[1].InputField, 1);
  EXPECT_EQ(store.Screens[2].Screen[2].InputField, 0);
}

}  // namespace
}  // namespace tervo::editors
