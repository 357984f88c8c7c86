// The screen editor, master screen, repeat and divide-field windows on the
// offscreen platform, opened the way the operator opens them.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "editors/auto_fill.h"
#include "screens/capture.h"
#include "screens/identification.h"
#include "ui/divide_field_window.h"
#include "ui/main_window.h"
#include "ui/master_screen_window.h"
#include "ui/repeat_window.h"
#include "ui/screen_editor_window.h"
#include "ui/small_windows.h"
#include "ui/ui_rig.h"

namespace tervo::ui {
namespace {

using editors::EditorCheck;
using editors::EditorText;
using testing::Rig;

constexpr int kScr = 2;

// Session 0 shows an item screen; it is captured and defined as screen 2.
void PrepareItemScreen(core::Gateway& g) {
  g.Store().NumeroMaximoDeEcrans = 4;
  g.Store().GrowScreenTables();
}

struct EditorRig : Rig {
  EditorRig() : Rig(1, PrepareItemScreen) {
    auto& host = Host(0);
    host.AddField(1, 30, "Item Inquiry", 12, true);
    host.AddField(5, 2, "Item number", 11, true);
    item = host.AddField(5, 20, "", 6, false);
    host.AddField(6, 2, "Quantity", 8, true);
    qty = host.AddField(6, 20, "", 4, false);
    host.cursorRow = 5;
    host.cursorColumn = 22;
    auto& ctx = gateway->Context();
    screens::CalculateChecksum(ctx, 0);
    gateway->Store().Screens[kScr].ScreenId = gateway->Sessions()[0].ScreenIdValue;
    gateway->Sessions()[0].CurrentScreen = kScr;
    screens::ReadAs400Data(ctx, 0, kScr);
    editors::AutoFillScreen(ctx, 0);
    gateway->Store().Screens[kScr].Master = config::kScreenCopy;
  }
  ScreenEditorWindow& Editor() { return windows->EditorWindow(); }
  void DoubleClick() {
    QTest::mouseDClick(windows->Main().Display(0), Qt::LeftButton, {}, QPoint(10, 10));
  }
  void Type(QLineEdit* box, const QString& text) {
    box->selectAll();
    QTest::keyClicks(box, text);
  }
  // Near the left edge: check boxes and options take clicks on their
  // indicator and caption only, not on the rest of a stretched row.
  void Click(QAbstractButton* b) {
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
  }
  void Click(const char* button) { Click(Editor().findChild<QPushButton*>(button)); }
  config::FieldDef& Def(int f) { return gateway->Store().Screens[kScr].Screen[f]; }
  std::string& Text(int f) { return gateway->Store().ScreensText[kScr][f]; }

  int item = 0, qty = 0;
};

TEST(EditorWindow, DoubleClickWhileUnlockedOpensItOnTheFieldAtTheCursor) {
  EditorRig r;
  r.DoubleClick();
  EXPECT_FALSE(r.Editor().isVisible()) << "locked";
  r.windows->RunCommand("FullAccess");
  r.gateway->ConfigChanged = false;
  r.Host(0).cursorColumn = 70;  // no field there
  r.DoubleClick();
  EXPECT_FALSE(r.Editor().isVisible());
  EXPECT_FALSE(r.gateway->ConfigChanged);

  r.Host(0).cursorColumn = 22;
  r.DoubleClick();
  ASSERT_TRUE(r.Editor().isVisible());
  EXPECT_EQ(r.Editor().windowTitle(), "Screen Configurations");
  EXPECT_EQ(r.Editor().FieldBox()->text(), QString::number(r.item));
  EXPECT_EQ(r.Editor().HostBox("Col")->text(), "20");
  EXPECT_TRUE(r.gateway->ConfigChanged);
  EXPECT_TRUE(r.gateway->EditorDirty);
  EXPECT_EQ(r.gateway->Store().Screens[kScr].Master, config::kScreenDefined)
      << "a copied screen opened in the editor counts as defined";
  EXPECT_EQ(r.Editor().findChild<QPushButton*>("Repeat")->text(), "Repeat not used");
}

TEST(EditorWindow, ControlsEditTheFieldAndOkStoresIt) {
  EditorRig r;
  r.windows->RunCommand("FullAccess");
  r.DoubleClick();
  ASSERT_TRUE(r.Editor().isVisible());
  ScreenEditorWindow& w = r.Editor();
  r.Click(w.findChild<QPushButton*>("FieldMenos"));
  EXPECT_EQ(w.HostBox("Text")->text(), "Item number");
  QLineEdit* text = w.Box(EditorText::FieldText);
  EXPECT_TRUE(text->isReadOnly()) << "a summarized label is not typed";
  QTest::mouseClick(text, Qt::LeftButton);
  EXPECT_FALSE(text->isReadOnly()) << "a click selects Fixed";
  EXPECT_TRUE(w.TextMode(0)->isChecked());
  r.Type(text, "Scan item");
  r.Type(w.Box(EditorText::Maxsize), "9");
  if (!w.Check(EditorCheck::ShowField2)->isChecked()) r.Click(w.Check(EditorCheck::ShowField2));
  r.Click(w.Check(EditorCheck::InputField));
  EXPECT_TRUE(w.Check(EditorCheck::CursorInText)->isChecked()) << "interlock shown";
  r.Click(w.Check(EditorCheck::InputField));
  r.Click(w.Check(EditorCheck::NormalFont));
  EXPECT_FALSE(w.Check(EditorCheck::InputField)->isEnabled());
  r.Click(w.Check(EditorCheck::NormalFont));
  EXPECT_TRUE(w.Check(EditorCheck::InputField)->isEnabled());

  r.Click("Command1");
  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(r.Text(1), "Scan item");
  EXPECT_EQ(r.Def(1).Size, 9);
  EXPECT_EQ(r.Def(1).flag2, 0);
  EXPECT_EQ(r.Def(1).InputField, 0);
  EXPECT_EQ(r.Def(1).Show, 1);
  EXPECT_EQ(r.windows->Terminal().Text().substr(0, 9), "Scan item")
      << r.windows->Terminal().Text() << "the terminal preview follows";
  EXPECT_TRUE(r.prompt.asked.empty());
}

TEST(EditorWindow, KeysStepThroughFieldsAndEnterClosesStoring) {
  EditorRig r;
  ASSERT_TRUE(r.windows->EditScreen(kScr, 0, 0));
  ScreenEditorWindow& w = r.Editor();
  r.Click(w.Check(EditorCheck::NewLineBefore));
  QTest::keyClick(w.Box(EditorText::Order), Qt::Key_Up);
  EXPECT_EQ(w.FieldBox()->text(), "1") << "Up is the next field";
  EXPECT_EQ(r.Def(0).Flag, config::kFlagNewLineBefore);
  QTest::keyClick(w.Box(EditorText::Order), Qt::Key_Down);
  EXPECT_EQ(w.FieldBox()->text(), "0");
  r.Type(w.FieldBox(), "4");
  EXPECT_EQ(w.HostBox("Row")->text(), "6");
  r.Type(w.Box(EditorText::Maxsize), "3");
  QTest::keyClick(w.Box(EditorText::Maxsize), Qt::Key_Return);
  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(r.Def(4).Size, 3);
}

TEST(EditorWindow, ABadSizeShowsTheErrorAndKeepsTheSize) {
  EditorRig r;
  ASSERT_TRUE(r.windows->EditScreen(kScr, 0, r.qty));
  const int before = r.Def(r.qty).Size;
  r.Type(r.Editor().Box(EditorText::Maxsize), "x4");
  r.Click("Command1");
  EXPECT_EQ(r.prompt.asked, std::vector<std::string>{"Error not a number: \"x4\""});
  EXPECT_EQ(r.Def(r.qty).Size, before);
}

TEST(EditorWindow, UserSpecificCopyAfterCreateNewScreen) {
  EditorRig r;
  r.gateway->Sessions()[0].SessionUser = "ALICE";
  ASSERT_TRUE(r.windows->EditScreen(kScr, 0, r.item));
  ScreenEditorWindow& w = r.Editor();
  EXPECT_EQ(w.Box(EditorText::TextUserId)->text(), "ALICE");
  r.Click(w.Check(EditorCheck::CheckUserId));
  r.prompt.answer = config::Prompt::Answer::Yes;
  r.Click("Command1");
  EXPECT_EQ(r.prompt.asked, std::vector<std::string>{"Create New Screen ?"});
  const int n = r.gateway->Sessions()[0].CurrentScreen;
  EXPECT_NE(n, kScr);
  const auto& made = r.gateway->Store().Screens[n];
  EXPECT_EQ(made.ScreenId, r.gateway->Store().Screens[kScr].ScreenId);
  EXPECT_EQ(made.CheckScreenIdUser, 1);
  EXPECT_EQ(made.ScreenIdUser, "ALICE");
}

TEST(MasterWindow, SetAsMasterOpensTheDialogAndItsOkMakesAMaster) {
  EditorRig r;
  ASSERT_TRUE(r.windows->EditScreen(kScr, 0, 0));
  ScreenEditorWindow& w = r.Editor();
  EXPECT_FALSE(w.Check(EditorCheck::MasterKey)->isEnabled());
  r.Click("MasterScreen");
  MasterScreenWindow& m = r.windows->MasterWindow();
  ASSERT_TRUE(m.isVisible());
  EXPECT_EQ(m.windowTitle(), "Master Screen Setup");
  EXPECT_FALSE(m.Control<QPushButton>("UpdateOldScreens")->isEnabled());
  r.Click(m.Control<QCheckBox>("MasterScreenCheck"));
  EXPECT_TRUE(m.Control<QPushButton>("UpdateOldScreens")->isEnabled());
  r.Click(m.Control<QRadioButton>("DOWN"));
  EXPECT_EQ(m.Control<QLineEdit>("MoveV")->text(), "80");
  r.Click(m.Control<QRadioButton>("ShowMasterFields"));
  r.Click(m.Control<QPushButton>("OK"));
  EXPECT_FALSE(m.isVisible());
  const auto& d = r.gateway->Store().Screens[kScr];
  EXPECT_EQ(d.Master, config::kScreenMaster);
  EXPECT_EQ(d.MasterAux, 1);
  EXPECT_EQ(r.gateway->Store().MasterScreens[kScr].MoveV, 80);
  EXPECT_TRUE(w.Check(EditorCheck::MasterKey)->isEnabled()) << "the editor follows";
  r.Click(w.Check(EditorCheck::MasterKey));
  r.Click("Command1");
  EXPECT_EQ(r.Def(0).Flag, config::kFlagMasterKey);
}

TEST(MasterWindow, ClosingTheEditorClosesAndStoresTheDialog) {
  EditorRig r;
  ASSERT_TRUE(r.windows->EditScreen(kScr, 0, 0));
  r.Click("MasterScreen");
  MasterScreenWindow& m = r.windows->MasterWindow();
  r.Click(m.Control<QCheckBox>("MasterScreenCheck"));
  r.Type(m.Control<QLineEdit>("MoveV"), "-1");
  r.Editor().close();
  EXPECT_FALSE(m.isVisible());
  EXPECT_EQ(r.gateway->Store().MasterScreens[kScr].MoveV, -1);
}

TEST(RepeatWindow, OkActivatesTheRuleAndTheEditorSaysSo) {
  EditorRig r;
  ASSERT_TRUE(r.windows->EditScreen(kScr, 0, 0));
  r.Click("Repeat");
  RepeatWindow& rw = r.windows->RepeatRuleWindow();
  ASSERT_TRUE(rw.isVisible());
  EXPECT_EQ(rw.windowTitle(), "Repeat");
  r.Click(rw.CounterOption(editors::kCounterFixed));
  r.Type(rw.Box(editors::RepeatBox::CounterVal), "3");
  r.Type(rw.Box(editors::RepeatBox::Keys1), "@u");
  r.Type(rw.Box(editors::RepeatBox::SubCounter1), "1");
  r.Click(rw.findChild<QPushButton*>("Command1"));
  EXPECT_FALSE(rw.isVisible());
  const auto& rule = r.gateway->Store().AdvScreens[kScr];
  EXPECT_TRUE(rule.Active);
  EXPECT_EQ(rule.Counter, 2);
  EXPECT_EQ(rule.CounterVal, 3);
  EXPECT_EQ(rule.Keys1, "@u");
  EXPECT_EQ(r.Editor().findChild<QPushButton*>("Repeat")->text(), "Repeat Used");

  r.Click("Repeat");
  EXPECT_TRUE(rw.CounterOption(editors::kCounterFixed)->isChecked());
  r.Click(rw.findChild<QPushButton*>("Command2"));
  EXPECT_FALSE(rule.Active);
  EXPECT_EQ(r.Editor().findChild<QPushButton*>("Repeat")->text(), "Repeat not used");
}

TEST(DivideWindow, DisablesTheWindowsBehindAndAddsAPart) {
  EditorRig r;
  QWidget report;
  // "Item Inquiry" starts at row 1, column 30: image offset 29.
  r.windows->OpenDivideField(kScr, -1, 29, 4, &report);
  DivideFieldWindow& dw = r.windows->DivideWindow();
  ASSERT_TRUE(dw.isVisible());
  EXPECT_FALSE(r.windows->Main().isEnabled());
  EXPECT_FALSE(report.isEnabled());
  QTest::mouseClick(dw.findChild<QPushButton*>("InsertField"), Qt::LeftButton);
  EXPECT_FALSE(dw.isVisible());
  EXPECT_TRUE(r.windows->Main().isEnabled());
  EXPECT_TRUE(report.isEnabled());
  auto& store = r.gateway->Store();
  ASSERT_EQ(store.DivideFieldsCt, 1);
  EXPECT_EQ(store.DivideFields[0].FieldNum, 0);
  EXPECT_TRUE(store.Screens[kScr].Screen[0].Divided);
}

TEST(EditorWindow, ClosingTheMainWindowStoresTheOpenFieldBeforeSaving) {
  EditorRig r;
  ASSERT_TRUE(r.windows->EditScreen(kScr, 0, r.qty));
  r.Type(r.Editor().Box(EditorText::Maxsize), "2");
  r.prompt.answer = config::Prompt::Answer::No;
  r.windows->Main().close();
  EXPECT_EQ(r.Def(r.qty).Size, 2);
  EXPECT_EQ(r.prompt.asked, std::vector<std::string>{"Save Changes ?"});
}

}  // namespace
}  // namespace tervo::ui
