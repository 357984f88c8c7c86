// The editors against the live chain: definitions changed in the screen
// editor, the master screen dialog and the repeat dialog while terminals
// work, and what the terminals show afterwards.
#include <gtest/gtest.h>

#include "config/config_reader.h"
#include "config/config_writer.h"
#include "demo_config.h"
#include "e2e_harness.h"
#include "editors/master_dialog.h"
#include "editors/repeat_dialog.h"
#include "editors/screen_editor.h"
#include "screens/capture.h"

namespace tervo::e2e {
namespace {

using editors::EditorCheck;
using editors::EditorText;
using radio::sim::Key;

class AnsweringPrompt : public config::Prompt {
 public:
  std::vector<std::string> asked;
  Answer answer = Answer::No;
  Answer Message(const std::string& text, const std::string&, Buttons) override {
    asked.push_back(text);
    return answer;
  }
  std::string Input(const std::string&, const std::string&, const std::string& d) override {
    return d;
  }
};

class EditorsE2e : public E2eTest {
 protected:
  void SignOn(Terminal& t, const std::string& user) {
    ASSERT_TRUE(t.WaitFor("Sign On")) << t.Text();
    ASSERT_TRUE(t.sim.Display().MoveTo("User"));
    t.sim.Display().SetValue(user);
    ASSERT_TRUE(t.Enter("Password", "SECRET")) << t.Text();
    ASSERT_TRUE(t.WaitFor("Main Menu")) << t.Text();
  }
  // The editor as a double click opens it: the session's screen, the live
  // field under the host cursor.
  void OpenAtCursor(int s) {
    host5250::HostDisplay* d = G().Display(s);
    ASSERT_NE(d, nullptr);
    const int f = screens::FieldAtCursor(G().Context(), s, d->CursorColumn(), d->CursorRow());
    ASSERT_GE(f, 0) << "no field at the cursor";
    ASSERT_TRUE(Ed().Open(G().Sessions()[s].CurrentScreen, s, f));
  }
  // The first answer after an edit is held back: the host gets Enter and
  // the edited screen is served again.  Presses the key until shown()
  // holds.
  bool PressUntil(Terminal& t, Key key, const std::function<bool()>& shown) {
    for (int i = 0; i < 4 && !shown(); ++i) {
      const int before = t.changes;
      t.sim.Press(key);
      WaitUntil([&] { return t.changes > before && !G().EditorDirty; }, 5000);
      WaitUntil(shown, 1500);
    }
    return shown();
  }
  bool PressUntil(Terminal& t, Key key, const std::string& text) {
    return PressUntil(t, key, [&] { return t.Shows(text); });
  }
  const config::ScreenDef& Screen(int n) {
    return G().Store().Screens[static_cast<std::size_t>(n)];
  }

  // The editor of the running gateway, set up by StartAll.
  void StartAll() {
    E2eTest::StartAll();
    if (HasFatalFailure()) return;
    editorOwned_ = std::make_unique<editors::ScreenEditor>(
        G().Context(), prompt_,
        editors::ScreenEditor::Hooks{[this] { G().EditorDirty = true; }, {}});
  }

  editors::ScreenEditor& Ed() { return *editorOwned_; }

  AnsweringPrompt prompt_;
  std::unique_ptr<editors::ScreenEditor> editorOwned_;
};

TEST_F(EditorsE2e, AnEditedScreenReachesTheTerminalAndTheSavedFile) {
  ASSERT_NO_FATAL_FAILURE(StartAll());
  auto t1 = NewTerminal("T1");
  ASSERT_NO_FATAL_FAILURE(SignOn(*t1, "DEMO"));
  ASSERT_TRUE(t1->Shows("Option"));
  // The cursor stands in the menu's selection field: it becomes plain
  // output (the lines are chosen instead), and the label before it shows.
  ASSERT_NO_FATAL_FAILURE(OpenAtCursor(0));
  ASSERT_EQ(Ed().EditScreen(), kMenu);
  ASSERT_EQ(Ed().Host().Col, 19);
  const int option = Ed().Field();
  Ed().SetCheck(EditorCheck::InputField, false);
  Ed().SetCheck(EditorCheck::ShowField2, false);
  Ed().FieldMenos();
  const int label = Ed().Field();
  ASSERT_EQ(Ed().Host().Col, 2);
  Ed().SetCheck(EditorCheck::ShowField2, true);
  Ed().SetText(EditorText::FieldText, "Choose a line below");
  Ed().SetText(EditorText::Maxsize, "13");
  Ed().SetCheck(EditorCheck::SendWithEnter, false);
  Ed().SetCheck(EditorCheck::NewLine, true);
  ASSERT_TRUE(Ed().Ok());
  Ed().Close();
  EXPECT_TRUE(prompt_.asked.empty());

  std::string err;
  ASSERT_TRUE(config::SaveDataToFile2(G().ConfigPath(), G().Store(), G().Options(), &err)) << err;
  config::ScreenStore saved;
  config::GeneralOptions options;
  config::NullLog nolog;
  config::LogPrompt quiet(nolog);
  int bad = 0;
  ASSERT_TRUE(config::LoadDataFromFile2(G().ConfigPath(), saved, options, quiet, &bad));
  EXPECT_EQ(bad, 0);
  EXPECT_EQ(saved.ScreensText[kMenu][static_cast<std::size_t>(label)], "Choose a line");
  EXPECT_EQ(saved.Screens[kMenu].Screen[static_cast<std::size_t>(option)].InputField, 0);

  ASSERT_TRUE(PressUntil(*t1, Key::kEnter, "Choose a line")) << t1->Text() << DebugLogTail();
  EXPECT_FALSE(t1->Shows("Option")) << t1->Text();
  // The menu still works through its lines.
  ASSERT_TRUE(t1->sim.Display().MoveTo("3. Item inquiry")) << t1->Text();
  t1->sim.Press(Key::kEnter);
  ASSERT_TRUE(t1->WaitFor("Item Inquiry")) << t1->Text();
}

TEST_F(EditorsE2e, AMasterMadeInTheDialogIsCopiedOntoANewSimilarScreen) {
  ASSERT_NO_FATAL_FAILURE(StartAll());
  auto t1 = NewTerminal("T1");
  ASSERT_NO_FATAL_FAILURE(SignOn(*t1, "DEMO"));
  const int before = t1->sim.Screens();
  ASSERT_TRUE(t1->Enter("Option", "4"));  // Stock Transfer: built automatically
  ASSERT_TRUE(WaitUntil([&] { return t1->sim.Screens() > before; }));
  const int transfer = G().Sessions()[0].CurrentScreen;
  ASSERT_GT(transfer, kMaster);

  // The operator refines it: the item input gets the prefix "Article", and
  // the screen becomes a master keyed on its header and its item label.
  ASSERT_NO_FATAL_FAILURE(OpenAtCursor(0));
  ASSERT_EQ(Ed().EditScreen(), transfer);
  ASSERT_EQ(Ed().Host().Col, 31);
  Ed().SetText(EditorText::AuxText, "Article");
  Ed().SetText(EditorText::MaxSizeAux, "8");
  Ed().SetAsMaster();
  editors::MasterDialog master(G().Store(), prompt_);
  ASSERT_TRUE(master.Open(transfer));
  master.ClickMaster(true);
  master.Close();
  ASSERT_TRUE(Ed().Enabled(EditorCheck::MasterKey));
  Ed().FieldMenos();
  ASSERT_EQ(Ed().Host().Text.substr(0, 11), "Item number");
  Ed().SetCheck(EditorCheck::MasterKey, true);
  Ed().SetFieldBox("1");
  ASSERT_EQ(Ed().Host().Text, "Warehouse Management");
  Ed().SetCheck(EditorCheck::MasterKey, true);
  ASSERT_TRUE(Ed().Ok());
  Ed().Close();
  EXPECT_EQ(Screen(transfer).Master, config::kScreenMaster);

  ASSERT_TRUE(PressUntil(*t1, Key::kF3, "Main Menu")) << t1->Text() << DebugLogTail();
  // "Clear Screen Data" on Item Inquiry: it is a new screen again, with
  // the same item label in the same place.
  G().Store().ResetScreenDef(kInquiry);
  ASSERT_TRUE(t1->Enter("Option", "3"));
  ASSERT_TRUE(WaitUntil([&] { return HostRow(0, 2).find("Item Inquiry") != std::string::npos; }));
  ASSERT_TRUE(t1->WaitFor("Article")) << t1->Text() << DebugLogTail();
  const int n = G().Sessions()[0].CurrentScreen;
  EXPECT_NE(n, transfer);
  EXPECT_EQ(Screen(n).Master, config::kScreenCopy);
  EXPECT_EQ(Screen(n).MultipleInputFather, transfer) << "two key fields beat the header master";
}

TEST_F(EditorsE2e, ARepeatRuleAnswersTheScreenWithItsKeys) {
  ASSERT_NO_FATAL_FAILURE(StartAll());
  auto t1 = NewTerminal("T1");
  ASSERT_NO_FATAL_FAILURE(SignOn(*t1, "DEMO"));
  ASSERT_TRUE(t1->Enter("Option", "3"));
  ASSERT_TRUE(t1->WaitFor("Item Inquiry"));
  ASSERT_TRUE(t1->Enter("Item", "100234"));
  ASSERT_TRUE(t1->WaitFor("Pallet wrap")) << t1->Text();

  // The item screen is answered by F3 once, instead of being shown.
  ASSERT_TRUE(Ed().Open(kItem, 0, 0));
  editors::RepeatDialog repeat(G().Store(), prompt_);
  ASSERT_TRUE(repeat.Open(Ed().EditScreen()));
  repeat.SelectCounter(editors::kCounterFixed);
  repeat.SetText(editors::RepeatBox::CounterVal, "1");
  repeat.SetText(editors::RepeatBox::IfCounter, "0");
  repeat.SetText(editors::RepeatBox::Keys1, "@3");
  repeat.SetText(editors::RepeatBox::SubCounter1, "1");
  ASSERT_TRUE(repeat.Ok());
  EXPECT_EQ(Ed().RepeatCaption(), "Repeat Used");
  Ed().Close();

  ASSERT_TRUE(PressUntil(*t1, Key::kEnter, [&] {
    return t1->Shows("Item Inquiry") && !t1->Shows("Pallet wrap");
  })) << t1->Text();
  ASSERT_TRUE(t1->Enter("Item", "200127"));
  ASSERT_TRUE(t1->WaitFor("Main Menu")) << t1->Text() << DebugLogTail();
  EXPECT_FALSE(t1->Shows("Hand pallet"));
  EXPECT_NE(HostRow(0, 2).find("Main Menu"), std::string::npos) << HostRow(0, 2);
}

TEST_F(EditorsE2e, AUserSpecificScreenServesOnlyThatUser) {
  ASSERT_NO_FATAL_FAILURE(StartAll());
  auto t1 = NewTerminal("T1");
  auto t2 = NewTerminal("T2");
  ASSERT_NO_FATAL_FAILURE(SignOn(*t1, "DEMO"));
  ASSERT_NO_FATAL_FAILURE(SignOn(*t2, "BOB"));
  ASSERT_TRUE(t1->Enter("Option", "3"));
  ASSERT_TRUE(t1->WaitFor("Item Inquiry"));

  // DEMO's inquiry gets its own title; "User" ticked asks for a new screen.
  ASSERT_NO_FATAL_FAILURE(OpenAtCursor(0));
  Ed().SetFieldBox("1");
  while (Ed().Host().Text.find("Item Inquiry") == std::string::npos && Ed().Field() < 10)
    Ed().FieldMais();
  ASSERT_NE(Ed().Host().Text.find("Item Inquiry"), std::string::npos);
  ASSERT_EQ(Ed().Form().Text(EditorText::TextUserId).substr(0, 4), "DEMO");
  Ed().SetText(EditorText::FieldText, "DEMO's items");
  // The new screen is built afresh, where each field's order is its
  // number; the title keeps its place there.
  Ed().SetText(EditorText::Order, std::to_string(Ed().Field()));
  Ed().SetCheck(EditorCheck::CheckUserId, true);
  prompt_.answer = config::Prompt::Answer::Yes;
  ASSERT_TRUE(Ed().Ok());
  Ed().Close();
  EXPECT_EQ(prompt_.asked, std::vector<std::string>{"Create New Screen ?"});
  const int n = Ed().EditScreen();
  ASSERT_NE(n, kInquiry);
  EXPECT_EQ(Screen(n).ScreenId, Screen(kInquiry).ScreenId);

  ASSERT_TRUE(PressUntil(*t1, Key::kEnter, "DEMO's items")) << t1->Text() << DebugLogTail();
  ASSERT_TRUE(t2->Enter("Option", "3"));
  ASSERT_TRUE(t2->WaitFor("Item Inquiry")) << t2->Text();
  EXPECT_FALSE(t2->Shows("DEMO's items"));
  EXPECT_EQ(G().Sessions()[1].CurrentScreen, kInquiry);
}

}  // namespace
}  // namespace tervo::e2e
