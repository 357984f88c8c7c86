#include "ui/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <set>

#include "screens/capture.h"
#include "ui/general_config_dialog.h"
#include "ui/system_message_window.h"
#include "ui/ui_rig.h"

namespace tervo::ui {
namespace {

using testing::Rig;

std::string Title(Rig& r) { return r.windows->Main().windowTitle().toStdString(); }

TEST(MainWindowCaption, ShowsSavedUnsavedAndErrors) {
  Rig r(2, [](core::Gateway& g) { g.SetConfigPath("/srv/tervo/config/plant"); });
  EXPECT_EQ(Title(r), "Tervo Remote Terminal 4.05 - Saved ...v/tervo/config/plant")
      << "23 characters: the last 20";
  r.windows->RunCommand("GeneralConf");
  EXPECT_EQ(Title(r), "Tervo Remote Terminal 4.05 - Unsaved ...v/tervo/config/plant");
  EXPECT_TRUE(r.gateway->ConfigChanged);
  r.gateway->WriteLog("Radio Base Not Found , <Enter> to go on", true);
  EXPECT_EQ(Title(r), "ERROR:Radio Base Not Found , <Enter> to go on");
  EXPECT_TRUE(r.windows->Message().isVisible())
      << "a message that asks for Enter shows where to press it";
  r.gateway->WriteLog("Host closed", true);
  EXPECT_EQ(Title(r), "ERROR:Host closed");
  r.gateway->ShowCaption("Saved");
  EXPECT_EQ(Title(r), "Tervo Remote Terminal 4.05 - Saved ...v/tervo/config/plant");
}

// Visible session displays and the distinct columns and rows they occupy.
struct Grid {
  std::vector<int> sessions;
  std::set<int> lefts, tops;
};

Grid VisibleGrid(Rig& r) {
  Grid g;
  for (int s = 0; s < r.gateway->SessionCount(); ++s) {
    SessionDisplay* d = r.windows->Main().Display(s);
    if (!d->isVisibleTo(&r.windows->Main())) continue;
    g.sessions.push_back(s);
    g.lefts.insert(d->x());
    g.tops.insert(d->y());
  }
  return g;
}

void TypeSessionCount(Rig& r, const char* count) {
  auto* box = qobject_cast<QLineEdit*>(r.windows->General().Control("SessionCt"));
  box->selectAll();
  QTest::keyClicks(box, count);
  QTest::mouseClick(r.windows->General().findChild<QWidget*>("Command1"), Qt::LeftButton);
}

TEST(MainWindowGrid, LaysOutOneFourFiveAndTenSessionsAsTheDialogProposes) {
  struct Case {
    const char* count;
    int visible, columns, rows;
  } cases[] = {{"1", 1, 1, 1}, {"4", 4, 2, 2}, {"5", 5, 3, 2}, {"10", 10, 4, 3}};
  Rig r(10);
  r.windows->Main().resize(1200, 800);
  for (const auto& c : cases) {
    TypeSessionCount(r, c.count);
    const Grid g = VisibleGrid(r);
    EXPECT_EQ(static_cast<int>(g.sessions.size()), c.visible) << c.count;
    EXPECT_EQ(static_cast<int>(g.lefts.size()), c.columns) << c.count;
    EXPECT_EQ(static_cast<int>(g.tops.size()), c.rows) << c.count;
    EXPECT_EQ(g.sessions.front(), 0);
  }
}

TEST(MainWindowGrid, CellsFollowTheTwipArithmetic) {
  Rig r(4);
  MainWindow& w = r.windows->Main();
  w.resize(1000, 700);
  TypeSessionCount(r, "4");
  const int width = w.ClientArea()->width() * kTwipsPerPixel;
  const int cellWidth = static_cast<int>(std::lround(width / 2.0));
  EXPECT_EQ(w.Display(1)->x(), cellWidth / kTwipsPerPixel);
  EXPECT_EQ(w.Display(0)->width(), (cellWidth - 15) / kTwipsPerPixel) << "15 twips apart";
  EXPECT_EQ(w.Display(2)->x(), 0);
  EXPECT_GT(w.Display(2)->y(), 0);
  EXPECT_EQ(w.ScrollBar()->maximum(), 0);
  EXPECT_EQ(w.ScrollBar()->y() + w.ScrollBar()->height(), w.ClientArea()->height())
      << "the status line sits on the bottom edge";
  EXPECT_EQ(w.Label2()->x(), w.Label1()->width());
}

TEST(MainWindowGrid, TheScrollBarPagesThroughTheSessions) {
  Rig r(10);
  TypeSessionCount(r, "4");
  QScrollBar* bar = r.windows->Main().ScrollBar();
  EXPECT_EQ(bar->maximum(), 2);
  bar->setValue(2);
  EXPECT_EQ(VisibleGrid(r).sessions, (std::vector<int>{8, 9}));
  bar->setValue(1);
  EXPECT_EQ(VisibleGrid(r).sessions, (std::vector<int>{4, 5, 6, 7}));
}

TEST(MainWindowGrid, TheLogoHidesTheSessions) {
  Rig r(4, [](core::Gateway& g) { g.Options().SetChecked("ShowNorvikLogo", true); });
  EXPECT_TRUE(VisibleGrid(r).sessions.empty());
  EXPECT_TRUE(r.windows->Main().Logo()->isVisibleTo(&r.windows->Main()));
}

TEST(MainWindowSelection, ClickSelectsAndTheLabelsFollow) {
  Rig r(4);
  TypeSessionCount(r, "4");
  MainWindow& w = r.windows->Main();
  QTest::mouseClick(w.Display(1), Qt::LeftButton);
  EXPECT_EQ(w.Display(1)->BackColor(), 0x000000u);
  for (int s : {0, 2, 3}) EXPECT_EQ(w.Display(s)->BackColor(), 0x202020u) << s;
  EXPECT_EQ(w.Label1()->text(), "T1");
  EXPECT_EQ(w.Selected(), 1);

  QTest::mouseClick(w.Display(1), Qt::LeftButton);
  EXPECT_EQ(w.Selected(), -1) << "locked: a second click deselects";
  EXPECT_EQ(w.Label1()->text(), "");

  r.windows->RunCommand("FullAccess");
  QTest::mouseClick(w.Display(2), Qt::LeftButton);
  QTest::mouseClick(w.Display(2), Qt::LeftButton);
  EXPECT_EQ(w.Selected(), 2) << "unlocked: it stays selected";
  QTest::mouseClick(w.ClientArea(), Qt::LeftButton, {}, QPoint(2, 2));
  EXPECT_EQ(w.Selected(), -1) << "a click on the background deselects";
}

TEST(MainWindowSelection, OneSessionPerPageIsSelectedByItself) {
  Rig r(3);
  EXPECT_EQ(r.windows->Main().Selected(), 0);
}

TEST(MainWindowKeys, ReachTheHostOnlyWhileUnlockedAndSelected) {
  Rig r(2);
  TypeSessionCount(r, "2");
  MainWindow& w = r.windows->Main();
  QTest::mouseClick(w.Display(0), Qt::LeftButton);
  QTest::keyClick(w.Display(0), Qt::Key_Return);
  EXPECT_TRUE(r.Host(0).sentKeys.empty()) << "locked";
  r.windows->RunCommand("FullAccess");
  QTest::keyClick(w.Display(1), Qt::Key_Return);
  EXPECT_TRUE(r.Host(1).sentKeys.empty()) << "not selected";
  QTest::keyClicks(w.Display(0), "a@");
  QTest::keyClick(w.Display(0), Qt::Key_Return);
  EXPECT_EQ(r.Host(0).sentKeys, (std::vector<std::string>{"a", "@@", "@E"}));
}

TEST(MainWindowMenus, LockedAtStartAndTheToggleOpensThem) {
  Rig r(2);
  MainWindow& w = r.windows->Main();
  const char* fileItems[] = {"LoadFile", "SaveFile", "ClearData", "ClearScreen", "AutoFill"};
  EXPECT_FALSE(w.ConfigurationsMenu()->menuAction()->isVisible());
  for (const char* item : fileItems) EXPECT_FALSE(w.MenuAction(item)->isEnabled()) << item;
  EXPECT_TRUE(w.MenuAction("ExitProgram")->isEnabled());
  EXPECT_EQ(w.MenuAction("FullAccess")->text(), "UnLock");
  EXPECT_EQ(w.MenuAction("Router")->text(), "R&outer Configuration");
  EXPECT_EQ(w.MenuAction("Send_Global_Message")->text(), "Send Global Message");
  EXPECT_TRUE(w.MenuAction("Graph")->isEnabled());

  w.MenuAction("FullAccess")->trigger();
  EXPECT_TRUE(w.ConfigurationsMenu()->menuAction()->isVisible());
  for (const char* item : fileItems) EXPECT_TRUE(w.MenuAction(item)->isEnabled()) << item;
  EXPECT_EQ(w.MenuAction("FullAccess")->text(), "Lock");
  EXPECT_TRUE(r.windows->ConfigurationsVisible());

  w.MenuAction("FullAccess")->trigger();
  EXPECT_FALSE(w.ConfigurationsMenu()->menuAction()->isVisible());
  EXPECT_FALSE(w.MenuAction("LoadFile")->isEnabled());
}

TEST(MainWindowMenus, RelockAfter31TicksAndADisconnectRestartsTheCount) {
  Rig r(2);
  MainWindow& w = r.windows->Main();
  r.windows->RunCommand("FullAccess");
  for (int i = 0; i < 20; ++i) r.windows->Tick();
  r.gateway->AutoLockTicks = 0;  // what a Disconnected event does
  for (int i = 0; i < 31; ++i) r.windows->Tick();
  EXPECT_TRUE(w.ConfigurationsMenu()->menuAction()->isVisible());
  r.windows->Tick();
  EXPECT_FALSE(w.ConfigurationsMenu()->menuAction()->isVisible());
  EXPECT_FALSE(w.MenuAction("SaveFile")->isEnabled());
  EXPECT_EQ(w.MenuAction("FullAccess")->text(), "UnLock");
}

TEST(MainWindowMenus, EveryReportItemOpensItsWindow) {
  Rig r(1);
  const std::pair<const char*, const char*> items[] = {{"ScreenReport", "Screens Report"},
                                                       {"Report", "Report"},
                                                       {"Debug", "Debug Window"},
                                                       {"BatteryReport", "Battery Voltage report"},
                                                       {"Graph", "Utilization Screens / Today"}};
  for (const auto& [item, title] : items) {
    r.windows->Main().MenuAction(item)->trigger();
    ASSERT_NE(r.windows->LastOpened(), nullptr) << item;
    EXPECT_TRUE(r.windows->LastOpened()->isVisible()) << item;
    EXPECT_EQ(r.windows->LastOpened()->windowTitle().toStdString(), title);
    EXPECT_TRUE(r.windows->LastOpened()->findChildren<QLabel*>("Message").isEmpty()) << item;
    r.windows->LastOpened()->close();
  }
  EXPECT_TRUE(r.windows->Main().isEnabled()) << "the screens report gave the main window back";
}

TEST(MainWindowMenus, RouterCommandsAndTheGlobalMessage) {
  Rig r(3);
  r.prompt.input = "AS1";
  r.windows->RunCommand("SystemName");
  EXPECT_EQ(r.gateway->SystemName, "AS1");
  r.Host(0).Link().name = "WallData.RumbaRouter";
  r.prompt.choice = "TN5250";
  r.windows->RunCommand("RouterConfig");
  EXPECT_EQ(r.prompt.choices,
            (std::vector<std::string>{"TN5250", "DemoHost", "WallData.RumbaRouter"}));
  EXPECT_EQ(r.Host(2).Link().name, "TN5250");
  EXPECT_EQ(r.gateway->RouterName, "TN5250");
  EXPECT_EQ(r.settings->Get("TervoTerminal2", "Startup", "RouterName", ""), "TN5250");
  r.prompt.input = "Inventory at 3";
  r.windows->RunCommand("Send_Global_Message");
  EXPECT_EQ(r.gateway->GlobalMessage, "Inventory at 3");
}

TEST(MainWindowMenus, SaveAndLoadThroughTheFileDialogs) {
  QTemporaryDir dir;
  Rig r(2);
  r.windows->RunCommand("FullAccess");
  r.gateway->Options().SetText("ExitWord", "Quit");
  r.prompt.files = {dir.filePath("site.TVO").toStdString()};
  r.windows->RunCommand("SaveFile");
  EXPECT_TRUE(QFile::exists(dir.filePath("site.TVO")));
  EXPECT_EQ(r.settings->Get("TervoTerminal2", "Startup", "FileName", ""),
            dir.filePath("site").toStdString());
  EXPECT_TRUE(Title(r).find("Saved") != std::string::npos);

  r.gateway->Options().SetText("ExitWord", "Other");
  r.gateway->ConfigChanged = true;
  r.prompt.files = {dir.filePath("site.TVO").toStdString()};
  r.windows->RunCommand("LoadFile");
  EXPECT_EQ(r.gateway->Options().Text("ExitWord"), "Quit");
  EXPECT_FALSE(r.gateway->ConfigChanged);
  EXPECT_TRUE(r.prompt.asked.empty()) << "a good file loads without a message";

  r.prompt.files = {dir.filePath("missing.TVO").toStdString()};
  r.windows->RunCommand("LoadFile");
  EXPECT_EQ(r.prompt.asked, std::vector<std::string>{"Bad file..."});
}

TEST(MainWindowMenus, ExitAsksToSaveAndEndsTheProgram) {
  Rig r(1);
  r.windows->RunCommand("GeneralConf");
  r.prompt.answer = config::Prompt::Answer::No;
  r.windows->RunCommand("ExitProgram");
  EXPECT_EQ(r.prompt.asked, std::vector<std::string>{"Save Changes ?"})
      << "asked once, not again at shutdown";
  EXPECT_TRUE(r.gateway->ShutDown());
  EXPECT_TRUE(r.finished);
}

TEST(MainWindowMenus, ClearCommandsWorkOnTheSelectedSessionsScreen) {
  Rig r(2);
  TypeSessionCount(r, "2");
  r.windows->RunCommand("FullAccess");
  auto& store = r.gateway->Store();
  store.NumeroMaximoDeEcrans = 3;
  store.GrowScreenTables();
  store.Screens[1].ScreenId = 11;
  store.Screens[2].ScreenId = 22;
  r.gateway->Sessions()[1].CurrentScreen = 2;
  QTest::mouseClick(r.windows->Main().Display(1), Qt::LeftButton);
  r.prompt.answer = config::Prompt::Answer::Yes;
  r.windows->RunCommand("ClearScreen");
  EXPECT_EQ(store.Screens[2].ScreenId, 0);
  EXPECT_EQ(store.Screens[1].ScreenId, 11) << "only the selected session's screen";
  r.windows->RunCommand("ClearData");
  EXPECT_EQ(store.Screens[1].ScreenId, 0);
}

TEST(MainWindowMenus, ClosingWithChangesOffersTheSaveDialog) {
  QTemporaryDir dir;
  Rig r(1);
  r.windows->RunCommand("GeneralConf");
  r.prompt.answer = config::Prompt::Answer::Yes;
  r.prompt.files = {dir.filePath("closing.TVO").toStdString()};
  r.windows->Main().close();
  EXPECT_EQ(r.prompt.asked, std::vector<std::string>{"Save Changes ?"});
  EXPECT_TRUE(QFile::exists(dir.filePath("closing.TVO")));
  EXPECT_TRUE(r.finished);
}

TEST(MainWindowSelection, DoubleClickPicksThePositionAndOpensTheEditorWhileUnlocked) {
  Rig r(2);
  TypeSessionCount(r, "2");
  MainWindow& w = r.windows->Main();
  QTest::mouseDClick(w.Display(1), Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(r.gateway->CurrentSession, 1);
  EXPECT_EQ(w.Selected(), 1);
  EXPECT_EQ(r.windows->LastOpened(), nullptr) << "locked: no editor";
  r.windows->RunCommand("FullAccess");
  r.gateway->ConfigChanged = false;
  // The editor opens on the captured field under the host cursor.
  r.Host(0).AddField(1, 1, "Item", 5, false);
  r.gateway->Sessions()[0].CurrentScreen = 1;
  screens::ReadAs400Data(r.gateway->Context(), 0, 1);
  QTest::mouseDClick(w.Display(0), Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(r.gateway->CurrentSession, 0);
  ASSERT_NE(r.windows->LastOpened(), nullptr);
  EXPECT_EQ(r.windows->LastOpened()->windowTitle(), "Screen Configurations");
  EXPECT_TRUE(r.gateway->ConfigChanged) << "opening the editor marks the configuration unsaved";
}

}  // namespace
}  // namespace tervo::ui
