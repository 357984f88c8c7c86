// The screen editor without its window: what opening, loading and storing
// do to the tables, navigation, the interlocks and the OK rules.
#include "editors/screen_editor.h"

#include <gtest/gtest.h>

#include "editor_fixture.h"
#include "editors/divided_fields.h"
#include "editors/title.h"

namespace tervo::editors {
namespace {

using C = EditorCheck;
using T = EditorText;

class ScreenEditorTest : public testing::EditorFixture {
 protected:
  ScreenEditorTest()
      : editor(ctx, prompt, {[this] { ++dirty; }, [this](const std::string& p) { preview = p; }}) {}

  // Opens the editor on kScr for kSession at field f.
  void OpenAt(int f) { ASSERT_TRUE(editor.Open(kScr, kSession, f)); }
  const EditorForm& Form() const { return editor.Form(); }

  ScreenEditor editor;
  int dirty = 0;
  std::string preview;
};

TEST_F(ScreenEditorTest, OpeningDefinesFreeAndCopiedScreensAndLeavesMastersAlone) {
  const std::pair<int, int> cases[] = {{config::kScreenFree, config::kScreenDefined},
                                       {config::kScreenCopy, config::kScreenDefined},
                                       {config::kScreenDefined, config::kScreenDefined},
                                       {config::kScreenMaster, config::kScreenMaster}};
  for (const auto& [before, after] : cases) {
    store.Screens[kScr].Master = before;
    OpenAt(4);
    EXPECT_EQ(store.Screens[kScr].Master, after) << before;
    EXPECT_EQ(editor.Enabled(C::MasterKey), after == config::kScreenMaster) << before;
    editor.Close();
  }
  EXPECT_FALSE(editor.Open(store.ScreenTableSize(), kSession, 0)) << "outside the tables";
}

TEST_F(ScreenEditorTest, LoadsTheFieldAndProposesTheSessionsTerminalAndUser) {
  Def(5) = {};
  Def(5).Size = 6;
  Def(5).InputField = 1;
  Def(5).Order = 5;
  Def(5).AuxText = "  Item  ";
  Def(5).SizeTextAux = 5;
  Def(5).flag2 = 2;
  Def(5).Flag = config::kFlagAutoExit | config::kFlagCursorStart;
  Def(5).UserId = 3;
  Text(5) = "  100234 ";
  store.Screens[kScr].EscKey = " @3 ";
  store.Screens[kScr].ScreenIdUser = "BOB";
  store.Screens[kScr].ScreenIdTerminal = "T9";
  store.Screens[kScr].CheckScreenIdTerm = 1;
  OpenAt(5);
  EXPECT_EQ(Form().Text(T::Screen), "4711");
  EXPECT_EQ(Form().Text(T::FieldText), "100234");
  EXPECT_EQ(Form().Text(T::AuxText), "Item");
  EXPECT_EQ(Form().Text(T::Maxsize), "6");
  EXPECT_EQ(Form().Text(T::ExitKey), "@3");
  EXPECT_TRUE(Form().Check(C::InputField));
  EXPECT_TRUE(Form().Check(C::AutoExitfield));
  EXPECT_TRUE(Form().Check(C::CursorPosition));
  EXPECT_FALSE(Form().Check(C::MasterKey));
  EXPECT_TRUE(Form().Check(C::UserId));
  EXPECT_TRUE(Form().Check(C::VarAux));
  EXPECT_TRUE(Form().TextModeSelected(2));
  EXPECT_FALSE(Form().TextModeSelected(0));
  EXPECT_EQ(Form().Text(T::TextTermId), "T9") << "Term ticked: the stored terminal";
  EXPECT_EQ(Form().Text(T::TextUserId), "ALICE") << "User not ticked: the session's user";
  EXPECT_EQ(editor.Host().Row, 5);
  EXPECT_EQ(editor.Host().Col, 10);
  EXPECT_EQ(editor.Host().Size, 6);
  EXPECT_TRUE(editor.Host().Input);
  EXPECT_EQ(editor.ScrNumber(), "3");
  EXPECT_EQ(dirty, 1) << "loading a field sets EditorDirty";

  store.Originals[kScr][7].Hidden = true;
  store.Originals[kScr][7].Text = "SECRET";
  editor.SetFieldBox("7");
  EXPECT_EQ(editor.Host().Text, "") << "a non-display field's text is never shown";
  EXPECT_FALSE(editor.Host().Show);
}

TEST_F(ScreenEditorTest, StoringWritesEveryControlAndTheBitSums) {
  OpenAt(6);
  editor.SetText(T::FieldText, "Quantity wanted");
  editor.SetText(T::Maxsize, "8");
  editor.SetText(T::AuxText, "Qty:xyz");
  editor.SetText(T::MaxSizeAux, "4");
  editor.SetText(T::JoinField, "  [5]  ");
  editor.SetCheck(C::ShowField2, true);
  editor.SetCheck(C::UserId, true);
  editor.SetCheck(C::VarAux, true);
  editor.SetCheck(C::NewLineBefore, true);
  editor.SetCheck(C::AutoExitfield, true);  // ticks Input too
  editor.SelectTextMode(config::kFlag2InvertInput);
  editor.SetText(T::KeysAfterEnter, " @E ");
  editor.SetFunctionKey(2, "Exit");
  editor.SetFunctionKeyValue(2, "@3");
  editor.FieldMais();  // storing happens on leaving the field
  EXPECT_EQ(Text(6), "Quantity") << "cut to Maxsize";
  EXPECT_EQ(Def(6).Size, 8);
  EXPECT_EQ(Def(6).AuxText, "Qty:");
  EXPECT_EQ(Def(6).SizeTextAux, 4);
  EXPECT_EQ(Def(6).JoinField, "[5]");
  EXPECT_EQ(Def(6).Show, 1);
  EXPECT_EQ(Def(6).InputField, 1);
  EXPECT_EQ(Def(6).UserId, 3);
  EXPECT_EQ(Def(6).Flag, config::kFlagNewLineBefore | config::kFlagAutoExit);
  EXPECT_EQ(Def(6).flag2, 64);
  EXPECT_EQ(store.Screens[kScr].KeysAfterEnter, "@E");
  EXPECT_EQ(store.Screens[kScr].TeclasFuncao[2], "Exit");
  EXPECT_EQ(store.Screens[kScr].TeclasFuncaoVal[2], "@3");
  EXPECT_EQ(editor.Field(), 7);
  EXPECT_EQ(dirty, 2);
  EXPECT_TRUE(prompt.asked.empty());

  editor.SelectTextMode(config::kFlag2VarAux);
  editor.FieldMenos();
  EXPECT_EQ(Def(7).flag2, 128);
}

TEST_F(ScreenEditorTest, ACombinedTextModeIsKeptUntilAnOptionIsChosen) {
  Def(4).flag2 = config::kFlag2Truncated | config::kFlag2InvertInput;
  OpenAt(4);
  EXPECT_TRUE(Form().TextModeSelected(2));
  EXPECT_TRUE(Form().TextModeSelected(64));
  editor.FieldMais();
  EXPECT_EQ(Def(4).flag2, 66) << "stored back unchanged";
  editor.FieldMenos();
  editor.SelectTextMode(config::kFlag2Summarized);
  editor.FieldMais();
  EXPECT_EQ(Def(4).flag2, 1);
}

TEST_F(ScreenEditorTest, AFailedStepKeepsItsMembersAndTheRestIsStored) {
  Def(4).Size = 4;
  Text(4) = "Item";
  Def(4).Order = 4;
  OpenAt(4);
  editor.SetText(T::Maxsize, "ab");
  editor.SetText(T::FieldText, "Article");
  editor.SetText(T::Order, "x");
  editor.SetCheck(C::ShowField2, true);
  editor.SetText(T::ExitKey, "@12");
  EXPECT_FALSE(editor.StoreField());
  ASSERT_EQ(prompt.asked.size(), 1u);
  EXPECT_EQ(prompt.asked[0], "Error not a number: \"ab\"");
  EXPECT_EQ(Def(4).Size, 4);
  EXPECT_EQ(Text(4), "Item") << "the text is cut to Maxsize, which failed";
  EXPECT_EQ(Def(4).Order, 4);
  EXPECT_EQ(Def(4).Show, 1);
  EXPECT_EQ(store.Screens[kScr].EscKey, "@12");

  editor.SetText(T::Maxsize, "");
  editor.LeaveText(T::Maxsize);
  EXPECT_EQ(Form().Text(T::Maxsize), "0") << "an empty size becomes 0 on leaving";
}

TEST_F(ScreenEditorTest, NothingIsStoredWithoutAScreenNumber) {
  OpenAt(4);
  editor.SetText(T::Screen, " ");
  editor.SetCheck(C::ShowField2, true);
  EXPECT_TRUE(editor.StoreField());
  EXPECT_EQ(Def(4).Show, 0);
  EXPECT_EQ(store.Screens[kScr].ScreenId, 4711);
}

TEST_F(ScreenEditorTest, NavigationStepsOverBlankProtectedFields) {
  OpenAt(0);
  editor.FieldMais();
  EXPECT_EQ(editor.Field(), 4) << "fields 1..3 are blank and protected";
  editor.FieldMenos();
  EXPECT_EQ(editor.Field(), 0);
  editor.FieldMenos();
  EXPECT_EQ(editor.Field(), 0) << "field 0 stays";
  editor.SetFieldBox("7");
  editor.FieldMais();
  EXPECT_EQ(editor.Field(), 7) << "the last field stays";
  editor.SetFieldBox("abc");
  EXPECT_EQ(editor.Field(), 7) << "a box without a number loads nothing";
  editor.SetFieldBox("600");
  EXPECT_EQ(editor.Field(), 7) << "nor one beyond the field table";
}

TEST_F(ScreenEditorTest, OrderButtonsSwapWithTheNeighbouringOrder) {
  Def(4).Order = 5;
  Def(5).Order = 6;
  Def(6).Order = 4;
  Def(7).Order = 7;
  OpenAt(4);
  editor.OrderUp();
  EXPECT_EQ(Def(4).Order, 6);
  EXPECT_EQ(Def(5).Order, 5);
  EXPECT_EQ(Form().Text(T::Order), "6");
  Def(7).Order = 9;
  editor.OrderUp();
  EXPECT_EQ(Def(4).Order, 6) << "no field of order 7: nothing changes";
  editor.OrderDown();
  EXPECT_EQ(Def(4).Order, 5);
  EXPECT_EQ(Def(5).Order, 6);
}

TEST_F(ScreenEditorTest, OnlyOneFieldKeepsTheCursorStartPosition) {
  Def(5).Flag = config::kFlagCursorStart | config::kFlagAutoExit;
  Def(200).Flag = config::kFlagCursorStart;
  OpenAt(7);
  editor.SetCheck(C::CursorPosition, true);
  EXPECT_EQ(Def(5).Flag, config::kFlagAutoExit);
  EXPECT_EQ(Def(200).Flag, 0) << "every field of the screen, captured or not";
  editor.FieldMenos();
  EXPECT_EQ(Def(7).Flag, config::kFlagCursorStart);
}

TEST_F(ScreenEditorTest, InputAndCursorInterlocks) {
  OpenAt(5);
  editor.SetCheck(C::Protected, true);
  EXPECT_TRUE(Form().Check(C::InputField));
  EXPECT_TRUE(Form().Check(C::CursorInText));
  editor.SetCheck(C::InputField, false);
  EXPECT_FALSE(Form().Check(C::Protected)) << "no protected input without input";
  editor.SetCheck(C::Protected, true);
  editor.SetCheck(C::Barcode, true);
  EXPECT_FALSE(Form().Check(C::Protected));
  EXPECT_TRUE(Form().Check(C::InputField));

  editor.SetCheck(C::NormalFont, true);
  EXPECT_FALSE(Form().Check(C::InputField));
  EXPECT_FALSE(Form().Check(C::CursorInText));
  for (C c : {C::InputField, C::Protected, C::AutoExitfield, C::Barcode, C::TitleField,
              C::AutoEnter, C::SendWithEnter, C::CursorInText})
    EXPECT_FALSE(editor.Enabled(c)) << static_cast<int>(c);
  EXPECT_FALSE(editor.TextModeEnabled(config::kFlag2Scroll));
  editor.SetCheck(C::Largefont, true);
  EXPECT_FALSE(Form().Check(C::NormalFont));
  editor.SetCheck(C::Largefont, false);
  EXPECT_TRUE(editor.Enabled(C::InputField)) << "both cleared: enabled again";
  EXPECT_TRUE(editor.TextModeEnabled(config::kFlag2Scroll));
  editor.SetCheck(C::NormalFont, true);
  editor.SetCheck(C::CursorInText, true);
  EXPECT_FALSE(Form().Check(C::NormalFont));
}

TEST_F(ScreenEditorTest, TitleLineAndShowInterlocks) {
  OpenAt(0);
  editor.SetText(T::FieldText, "x");
  editor.SetText(T::FieldText, CenterTitle("Warehouse", 20));
  editor.SetCheck(C::InputField, true);
  editor.SetText(T::Maxsize, "9");
  editor.SetCheck(C::TitleField, true);
  EXPECT_EQ(Form().Text(T::Maxsize), "20");
  EXPECT_TRUE(Form().Check(C::NewLine));
  EXPECT_FALSE(Form().Check(C::InputField));
  EXPECT_FALSE(Form().Check(C::CursorInText));
  editor.SetCheck(C::TitleField, false);
  EXPECT_EQ(Form().Text(T::FieldText), "Warehouse") << "markers and centring blanks go";

  editor.FieldMais();
  Def(0).Order = -1;
  editor.FieldMenos();
  editor.SetCheck(C::ShowField2, true);
  EXPECT_FALSE(Form().Check(C::ShowField2)) << "a field out of the order is never shown";
}

TEST_F(ScreenEditorTest, TextModesLockTheTextAndTheSizes) {
  Def(4).Size = 4;
  Def(4).flag2 = config::kFlag2Summarized;
  OpenAt(4);
  EXPECT_FALSE(editor.TextEditable(T::FieldText)) << "only fixed text is typed";
  editor.ClickFieldText();
  EXPECT_TRUE(Form().TextModeSelected(0));
  EXPECT_TRUE(editor.TextEditable(T::FieldText));

  editor.SelectTextMode(config::kFlag2AutoNL);
  EXPECT_EQ(Form().Text(T::Maxsize), "20");
  EXPECT_TRUE(editor.TextEditable(T::Maxsize));
  EXPECT_FALSE(editor.TextEnabled(T::AuxText));

  editor.SetText(T::Maxsize, "12");
  editor.SelectTextMode(config::kFlag2Scroll);
  EXPECT_EQ(Form().Text(T::MaxSizeAux), "12") << "an empty prefix size takes the field's";
  EXPECT_EQ(Form().Text(T::Maxsize), "4") << "the host size";
  EXPECT_FALSE(editor.TextEditable(T::Maxsize));
  editor.SelectTextMode(config::kFlag2Truncated);
  EXPECT_TRUE(editor.TextEditable(T::Maxsize));
  EXPECT_TRUE(editor.TextEnabled(T::AuxText));
}

TEST_F(ScreenEditorTest, PresetButtons) {
  OpenAt(7);
  editor.ApplyPreset(EditorPreset::ProtectedInput);
  EXPECT_TRUE(Form().Check(C::InputField));
  EXPECT_TRUE(Form().Check(C::Protected));
  EXPECT_TRUE(Form().Check(C::ShowField2));
  EXPECT_EQ(Form().Text(T::Maxsize), "4");
  EXPECT_TRUE(Form().TextModeSelected(config::kFlag2Truncated));
  editor.ApplyPreset(EditorPreset::Input);
  EXPECT_FALSE(Form().Check(C::Protected));
  editor.ApplyPreset(EditorPreset::Title);
  EXPECT_TRUE(Form().Check(C::TitleField));
  EXPECT_FALSE(Form().Check(C::InputField));
  EXPECT_TRUE(Form().Check(C::NewLine));
}

TEST_F(ScreenEditorTest, ReopeningOnAnotherScreenStoresTheFieldWhereItCameFrom) {
  store.Originals[5] = store.Originals[kScr];
  store.Screens[5].ScreenId = 99;
  OpenAt(4);
  editor.SetCheck(C::ShowField2, true);
  ASSERT_TRUE(editor.Open(5, kSession, 4));
  EXPECT_EQ(Def(4).Show, 1);
  EXPECT_EQ(store.Screens[5].Screen[4].Show, 0) << "nothing of screen 3 lands on screen 5";
  EXPECT_EQ(store.Screens[5].ScreenId, 99);
}

TEST_F(ScreenEditorTest, OkWithoutIdentificationChangesStoresAndPreviews) {
  Def(4).Show = 1;
  Def(4).Size = 4;
  Text(4) = "Item";
  OpenAt(4);
  editor.SetText(T::FieldText, "Article");
  editor.SetText(T::Maxsize, "7");
  EXPECT_TRUE(editor.Ok());
  editor.Close();
  EXPECT_TRUE(prompt.asked.empty());
  EXPECT_EQ(Text(4), "Article");
  EXPECT_EQ(preview, "Article");
  EXPECT_FALSE(editor.IsOpen());
}

TEST_F(ScreenEditorTest, CreateNewScreenNoKeepsTheNumberAndTakesThePreference) {
  OpenAt(4);
  editor.SetCheck(C::CheckUserId, true);
  prompt.answer = config::Prompt::Answer::No;
  EXPECT_TRUE(editor.Ok());
  EXPECT_EQ(prompt.asked, std::vector<std::string>{"Create New Screen ?"});
  EXPECT_EQ(editor.EditScreen(), kScr);
  EXPECT_EQ(store.Screens[kScr].CheckScreenIdUser, 1);
  EXPECT_EQ(store.Screens[kScr].ScreenIdUser, "ALICE");
  EXPECT_EQ(store.ScreenCt, 0) << "no number taken";
}

TEST_F(ScreenEditorTest, CreateNewScreenYesMakesAUserSpecificDefinedCopy) {
  store.Screens[1].Master = config::kScreenMaster;
  store.Screens[2].Master = config::kScreenCopy;  // a copy may be reused
  store.Screens[2].ScreenId = 55;
  Def(4).Show = 1;
  OpenAt(4);
  editor.SetText(T::TextUserId, "BOB");
  editor.SetCheck(C::CheckUserId, true);
  editor.SetText(T::FieldText, "Article");
  editor.SetText(T::Maxsize, "7");
  prompt.answer = config::Prompt::Answer::Yes;
  ASSERT_TRUE(editor.Ok());
  editor.Close();
  const int n = editor.EditScreen();
  EXPECT_EQ(n, 2);
  const config::ScreenDef& made = store.Screens[n];
  EXPECT_EQ(made.ScreenId, 4711);
  EXPECT_EQ(made.CheckScreenIdUser, 1);
  EXPECT_EQ(made.ScreenIdUser, "BOB");
  EXPECT_EQ(made.Master, config::kScreenDefined) << "never left free for the allocator";
  EXPECT_EQ(store.Originals[n], store.Originals[kScr]);
  EXPECT_EQ(store.ScreensText[n][4], "Article");
  EXPECT_EQ(sessions[kSession].CurrentScreen, n);
  EXPECT_EQ(sessions[kSession].SessionUser, "BOB");
  EXPECT_EQ(store.Screens[kScr].CheckScreenIdUser, 0) << "the shared screen stays shared";
  EXPECT_EQ(Text(4), "");
}

TEST_F(ScreenEditorTest, NoFreeNumberCreatesNoScreenAndKeepsTheWindowOpen) {
  for (int s = 1; s <= config::kHighestAllocatedScreen; ++s) {
    store.NumeroMaximoDeEcrans = std::max(store.NumeroMaximoDeEcrans, s);
  }
  store.GrowScreenTables();
  for (int s = 1; s <= config::kHighestAllocatedScreen; ++s)
    store.Screens[s].Master = s % 2 ? config::kScreenMaster : config::kScreenDefined;
  OpenAt(4);
  editor.SetCheck(C::CheckTermId, true);
  const auto before = store.Screens;
  prompt.answer = config::Prompt::Answer::Yes;
  EXPECT_FALSE(editor.Ok());
  EXPECT_EQ(log.shown, std::vector<std::string>{"Maximum Screen number, very small !!!"});
  EXPECT_TRUE(editor.IsOpen());
  EXPECT_EQ(store.Screens, before) << "no defined screen was overwritten";
}

TEST_F(ScreenEditorTest, DividedPartsGoOnlyByOk) {
  std::string err;
  Def(4).Divided = true;
  ASSERT_TRUE(InsertNewDividedField(store, kScr, 4, 4 * 82 + 1, 2, -1, &err));
  OpenAt(4);
  editor.SetCheck(C::Divided, false);
  editor.Close();
  EXPECT_EQ(store.DivideFields[0].ScrNum, kScr) << "closing keeps the parts";
  EXPECT_FALSE(Def(4).Divided);

  OpenAt(4);
  EXPECT_TRUE(editor.Ok());
  EXPECT_EQ(store.DivideFields[0].ScrNum, -1) << "OK with the box cleared removes them";
}

TEST_F(ScreenEditorTest, ANewScreenLeavesTheSharedScreensPartsAlone) {
  std::string err;
  Def(4).Divided = true;
  ASSERT_TRUE(InsertNewDividedField(store, kScr, 4, 4 * 82 + 1, 2, -1, &err));
  OpenAt(4);
  editor.SetCheck(C::Divided, false);
  editor.SetCheck(C::CheckTermId, true);
  prompt.answer = config::Prompt::Answer::Yes;
  ASSERT_TRUE(editor.Ok());
  EXPECT_EQ(store.DivideFields[0].ScrNum, kScr);
  EXPECT_TRUE(Def(4).Divided);
}

}  // namespace
}  // namespace tervo::editors
