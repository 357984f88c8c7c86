// Automatic configuration of a captured host screen.
#include "editors/auto_fill.h"

#include <gtest/gtest.h>

#include "config/text.h"
#include "editors/fit_field_text.h"
#include "support/recording_radio_link.h"

namespace tervo::editors {
namespace {

class AutoFill : public ::testing::Test {
 protected:
  AutoFill() : ctx_{store_, options_, sessions_, radio_, log_, clock_, counters_} {
    options_.SetText("DisplayLen", "24");
    options_.SetText("SendMinimal", "0");
    options_.SetText("DontShowData", "0");
    options_.SetText("ExitWord", "Exit,Cancel");
    ctx_.fitFieldText = [this](const std::string& t, int w) {
      return FitFieldText(t, w, options_, log_);
    };
    store_.NumeroMaximoDeEcrans = 5;
    store_.GrowScreenTables();
    sessions_.SessionCount = 2;
    sessions_.CurrentScreen[1] = kScr;
    store_.TerminalIDDef[1] = "T2";
  }

  int Add(int row, int col, const std::string& text, int length, bool prot) {
    config::ScreenOriginal& o = store_.Originals[kScr];
    const int j = o.Count++;
    o.Text[j] = text;
    o.Length[j] = length;
    o.Size[j] = length;
    o.Protected[j] = prot;
    o.StartRow[j] = row;
    o.StartColumn[j] = col;
    return j;
  }
  int Label(int row, int col, const std::string& text) {
    return Add(row, col, text, static_cast<int>(text.size()), true);
  }
  int Input(int row, int col, int length) { return Add(row, col, "", length, false); }
  void Row24(const std::string& text) {
    store_.ScreenAspect[kScr].replace(23 * 82, text.size(), text);
  }
  const config::FieldDef& F(int j) const { return store_.Screens[kScr].Screen[j]; }
  const std::string& Text(int j) const { return store_.ScreensText[kScr][j]; }
  void Run() { AutoFillScreen(ctx_, 1); }

  static constexpr int kScr = 5;
  config::ScreenStore store_;
  config::GeneralOptions options_;
  screens::SessionState sessions_;
  tervo::testing::RecordingRadioLink radio_;
  config::NullLog log_;
  os::VirtualClock clock_;
  config::DailyCounters counters_;
  screens::ScreenContext ctx_;
};

TEST_F(AutoFill, LabelsAndInputsShareTerminalLines) {
  const int a = Label(5, 2, "Item number");
  const int b = Input(5, 20, 8);
  const int c = Label(6, 2, "Description of the item on file");
  const int d = Input(7, 2, 30);
  const int e = Label(7, 40, "Qty");
  const int f = Label(8, 2, "Lot");
  const int g = Input(8, 20, 4);
  Run();
  EXPECT_EQ(F(a).Size, 12);  // half the line: an input follows on its row
  EXPECT_EQ(F(a).NewLine, 0);
  EXPECT_EQ(F(a).flag2, config::kFlag2Summarized);
  EXPECT_EQ(F(b).Size, 8);
  EXPECT_EQ(F(b).InputField, 1);
  EXPECT_EQ(F(b).flag2, config::kFlag2Truncated);
  EXPECT_EQ(F(b).NewLine, 1);
  EXPECT_EQ(F(c).Size, 24);  // alone on its row
  EXPECT_EQ(F(c).NewLine, 1);
  EXPECT_EQ(Text(c).size(), 24u);
  EXPECT_EQ(F(d).Size, 25);    // host length 30, at most 25
  EXPECT_EQ(F(d).NewLine, 0);  // opens its row, a label follows
  EXPECT_EQ(F(e).NewLine, 1);
  EXPECT_EQ(F(g).NewLine, 1);  // after a label on its row
  EXPECT_EQ(F(f).NewLine, 0);
  for (int j = a; j <= g; ++j) {
    EXPECT_EQ(F(j).Show, 1);
    EXPECT_EQ(F(j).Order, j);
    EXPECT_EQ(F(j).SendWithEnter, 1);
  }
  EXPECT_EQ(store_.Indice[kScr][5 * 80 + 20], b);
  EXPECT_EQ(store_.Screens[kScr].ScreenIdTerminal, "T2");
}

TEST_F(AutoFill, BlankLabelsHideAndClearScreenHidesEverything) {
  const int a = Label(3, 2, "     ");
  const int b = Label(4, 2, "Menu");
  Run();
  EXPECT_EQ(F(a).Show, 0);
  EXPECT_EQ(F(a).Size, 12);
  EXPECT_EQ(F(b).Show, 1);
  options_.SetText("DontShowData", "1");
  Run();
  EXPECT_EQ(F(b).Show, 0);
  EXPECT_EQ(F(b).Size, 24);  // everything else is still filled
  EXPECT_EQ(store_.Indice[kScr][4 * 80 + 2], b);
}

TEST_F(AutoFill, SendMinimalHidesPlainLabelsButKeepsMenuEntries) {
  options_.SetText("SendMinimal", "1");
  const int title = Label(1, 30, "Warehouse");
  const int entry = Label(3, 2, "1. Receiving");
  const int plain = Label(4, 2, "Select one");
  Run();
  EXPECT_EQ(F(title).Show, 0);
  EXPECT_EQ(F(entry).Show, 1);
  EXPECT_EQ(F(plain).Show, 0);
  EXPECT_EQ(F(plain).NewLine, 0);
}

TEST_F(AutoFill, ResetsTheScreenAndFindsTheExitKey) {
  config::ScreenDef& d = store_.Screens[kScr];
  d.ScreenId = 4242;
  d.KeysAfterEnter = "@E";
  d.DontSendToTerminal = 1;
  d.Master = config::kScreenDefined;
  d.TeclasFuncao[2] = "Exit";
  store_.AdvScreens[kScr].Active = true;
  Label(5, 2, "Item");
  Row24(" F3=Exit   F12=Cancel");
  Run();
  EXPECT_EQ(d.ScreenId, 4242);
  EXPECT_EQ(d.KeysAfterEnter, "");
  EXPECT_EQ(d.DontSendToTerminal, 0);
  EXPECT_EQ(d.Master, config::kScreenFree);
  EXPECT_EQ(d.TeclasFuncao[2], "Exit");  // kept
  EXPECT_FALSE(store_.AdvScreens[kScr].Active);
  EXPECT_EQ(d.EscKey, "@c");  // F12, from the later exit word
}

TEST_F(AutoFill, RemovesTheScreensDividedFieldsAndStillCopiesTheMaster) {
  const int a = Label(5, 2, "Warehouse Management");
  Label(6, 2, "Stock");
  store_.Screens[kScr].Screen[a].Divided = true;
  store_.DivideFieldsCt = 2;
  store_.DivideFields[0] = {kScr, a, 410, 5, 1, 0};
  store_.DivideFields[1] = {3, 1, 170, 5, 1, 0};
  // A master with the same header.
  const int m = 2;
  config::ScreenOriginal& mo = store_.Originals[m];
  mo.Count = 1;
  mo.Text[0] = "Warehouse Management";
  mo.Length[0] = 20;
  mo.Protected[0] = true;
  mo.StartRow[0] = 5;
  mo.StartColumn[0] = 2;
  store_.Indice[m][5 * 80 + 2] = 0;
  store_.Screens[m].Master = config::kScreenMaster;
  store_.Screens[m].Screen[0].Flag = config::kFlagMasterKey;
  store_.Screens[m].EscKey = "@3";
  Run();
  EXPECT_EQ(store_.DivideFields[0].ScrNum, -1);
  EXPECT_EQ(store_.DivideFields[1].ScrNum, 3);  // another screen's entry stays
  EXPECT_FALSE(F(a).Divided);
  EXPECT_EQ(store_.Screens[kScr].Master, config::kScreenCopy);
  EXPECT_EQ(store_.Screens[kScr].MultipleInputFather, m);
  EXPECT_EQ(store_.Screens[kScr].EscKey, "@3");
}

TEST_F(AutoFill, NoCapturedFieldsOnlyResets) {
  store_.Screens[kScr].KeysAfterEnter = "@E";
  Row24(" F3=Exit");
  Run();
  EXPECT_EQ(store_.Screens[kScr].KeysAfterEnter, "");
  EXPECT_EQ(store_.Screens[kScr].EscKey, "@3");
  EXPECT_EQ(store_.Indice[kScr][0], -1);
}

}  // namespace
}  // namespace tervo::editors
