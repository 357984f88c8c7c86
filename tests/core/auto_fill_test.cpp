// Automatic configuration of a captured host screen.
#include "editors/auto_fill.h"

#include <gtest/gtest.h>

#include <vector>

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
    sessions_[1].CurrentScreen = kScr;
    store_.TerminalIDDef[1] = "T2";
  }

  int Add(int row, int col, const std::string& text, int length, bool prot) {
    config::ScreenOriginal& o = store_.Originals[kScr];
    const int j = o.Count++;
    o[j].Text = text;
    o[j].Length = length;
    o[j].Size = length;
    o[j].Protected = prot;
    o[j].StartRow = row;
    o[j].StartColumn = col;
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
  EXPECT_EQ(F(a).flag2, config::kFlag2Summarized | config::kFlag2Words);
  EXPECT_EQ(F(b).Size, 8);
  EXPECT_EQ(F(b).InputField, 1);
  EXPECT_EQ(F(b).flag2, config::kFlag2Truncated);
  EXPECT_EQ(F(b).NewLine, 1);
  EXPECT_EQ(F(c).Size, 24);  // alone on its row
  EXPECT_EQ(F(c).NewLine, 1);
  EXPECT_EQ(Text(c), "Description of the item");  // whole words
  EXPECT_EQ(F(d).Size, 25);    // host length 30, at most 25
  EXPECT_EQ(F(d).NewLine, 0);  // opens its row, a label follows
  EXPECT_EQ(F(e).NewLine, 1);
  EXPECT_EQ(F(g).NewLine, 1);  // after a label on its row
  EXPECT_EQ(F(f).NewLine, 0);
  for (int j = a; j <= g; ++j) {
    EXPECT_EQ(F(j).Show, 1);
    EXPECT_EQ(F(j).Order, j);
    // Labels send with Enter (menu lines); of the inputs only the last.
    EXPECT_EQ(F(j).SendWithEnter, j == b || j == d ? 0 : 1) << j;
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

// Enter in the User field must not send the sign-on without the password:
// only the last input sends, and a password that no other non-display
// input follows (the optional fields after it need no Enter of their own).
TEST_F(AutoFill, EnterSendsFromTheLastInputAndThePassword) {
  const char* labels[] = {"User", "Password", "Program/procedure", "Menu", "Current library"};
  std::vector<int> in;
  for (int k = 0; k < 5; ++k) {
    Label(6 + k, 17, labels[k]);
    in.push_back(Input(6 + k, 53, 10));
  }
  store_.Originals[kScr][in[1]].Hidden = true;  // the password
  Run();
  EXPECT_EQ(F(in[0]).SendWithEnter, 0);  // User: Enter goes on to Password
  EXPECT_EQ(F(in[1]).SendWithEnter, 1);
  EXPECT_EQ(F(in[2]).SendWithEnter, 0);
  EXPECT_EQ(F(in[3]).SendWithEnter, 0);
  EXPECT_EQ(F(in[4]).SendWithEnter, 1);
  EXPECT_EQ(F(in[0] - 1).SendWithEnter, 1);  // labels keep it (menu lines)
}

TEST_F(AutoFill, OneInputSendsAndOfSeveralPasswordsOnlyTheLast) {
  Label(5, 2, "Item");
  const int item = Input(5, 20, 6);
  Run();
  EXPECT_EQ(F(item).SendWithEnter, 1);

  store_.Originals[kScr].Count = 0;
  std::vector<int> in;
  for (int k = 0; k < 4; ++k) in.push_back(Input(5 + k, 40, 10));
  for (int k = 0; k < 3; ++k) store_.Originals[kScr][in[k]].Hidden = true;  // old, new, again
  Run();
  EXPECT_EQ(F(in[0]).SendWithEnter, 0);
  EXPECT_EQ(F(in[1]).SendWithEnter, 0);
  EXPECT_EQ(F(in[2]).SendWithEnter, 1);
  EXPECT_EQ(F(in[3]).SendWithEnter, 1);
}

// IBM i's main menu as the host lays it out: the menu name at the left of
// row 1, the title centred, entries with their numbers, with "Send Minimal
// Data" on as a fresh installation has it.
TEST_F(AutoFill, KeepsTheCentredTitleAndShortensByWholeWords) {
  options_.SetText("DisplayLen", "20");
  options_.SetText("SendMinimal", "1");
  options_.SetText("AutoRemove", ",;:.");
  const int name = Label(1, 2, "MAIN");
  const int title = Label(1, 33, "IBM i Main Menu");
  const int system = Label(2, 62, "System:   TESTSYS");
  const int select = Label(3, 2, "Select one of the following:");
  const int e1 = Label(5, 7, "1. User tasks");
  const int e5 = Label(9, 7, "5. Work with your spooled output files");
  const int e10 = Label(14, 6, "10. Informationassistantoptions");
  Run();
  EXPECT_EQ(F(title).Show, 1);
  EXPECT_EQ(F(title).Title, 1);
  EXPECT_EQ(F(title).NewLine, 1);
  EXPECT_EQ(Text(title), "IBM i Main Menu");
  EXPECT_EQ(F(name).Show, 0);  // off-centre: not a title
  EXPECT_EQ(F(name).Title, 0);
  EXPECT_EQ(F(system).Show, 0);
  EXPECT_EQ(F(select).Show, 0);
  EXPECT_EQ(F(e1).Show, 1);
  EXPECT_EQ(Text(e5), "5 Work with your");
  EXPECT_EQ(F(e5).Show, 1);
  EXPECT_EQ(Text(e10), "10 Informationassis.");  // a word that cannot fit alone
  EXPECT_EQ(F(e10).flag2, config::kFlag2Summarized | config::kFlag2Words);
}

TEST_F(AutoFill, OnlyOneTitleAndOnlyNearTheTop) {
  options_.SetText("SendMinimal", "1");
  const int first = Label(1, 36, "Sign On");
  const int second = Label(2, 36, "Welcome");
  const int low = Label(12, 36, "Centred");
  Run();
  EXPECT_EQ(F(first).Title, 1);
  EXPECT_EQ(F(second).Title, 0);
  EXPECT_EQ(F(low).Title, 0);
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
  mo[0].Text = "Warehouse Management";
  mo[0].Length = 20;
  mo[0].Protected = true;
  mo[0].StartRow = 5;
  mo[0].StartColumn = 2;
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
