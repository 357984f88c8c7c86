// The screens report, graph, battery, debug and report windows on the
// offscreen platform, opened from the main window's menus and used with
// the mouse and keys as the operator uses them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

#include "editors/auto_fill.h"
#include "screens/capture.h"
#include "screens/identification.h"
#include "ui/divide_field_window.h"
#include "ui/graph_window.h"
#include "ui/main_window.h"
#include "ui/monitor_windows.h"
#include "ui/screen_editor_window.h"
#include "ui/screens_report_window.h"
#include "ui/ui_rig.h"

namespace tervo::ui {
namespace {

using reports::ImageOffset;
using testing::Rig;

// Session 0's item screen, captured and built automatically as screen 2
// (copied from a master: the refill rebuilds it); screens 1 and 3 are
// numbers without a definition.
struct ReportRig : Rig {
  static constexpr int kScr = 2;
  ReportRig()
      : Rig(2, [](core::Gateway& g) {
          g.Store().NumeroMaximoDeEcrans = 4;
          g.Store().GrowScreenTables();
          g.Options().SetText("DontShowData", "0");  // "Clear Screen" would hide every field
          g.Options().SetText("SendMinimal", "0");
        }) {
    auto& host = Host(0);
    host.AddField(1, 30, "Item Inquiry", 12, true);
    host.AddField(5, 2, "Item number", 11, true);
    item = host.AddField(5, 20, "", 6, false);
    host.AddField(6, 2, "Article 12345  Qty 10  Loc A-01", 31, true);
    auto& ctx = gateway->Context();
    screens::CalculateChecksum(ctx, 0);
    Store().Screens[kScr].ScreenId = gateway->Sessions()[0].ScreenIdValue;
    gateway->Sessions()[0].CurrentScreen = kScr;
    screens::ReadAs400Data(ctx, 0, kScr);
    editors::AutoFillScreen(ctx, 0);
    Store().Screens[kScr].Master = config::kScreenCopy;
    windows->RunCommand("FullAccess");
    gateway->ConfigChanged = false;
  }
  config::ScreenStore& Store() { return gateway->Store(); }
  ScreensReportWindow& Report() { return windows->ScreensReportView(); }
  ReportImageView* Image() { return Report().Image(); }
  void OpenReport() { windows->Main().MenuAction("ScreenReport")->trigger(); }
  // The character format the image shows at row and column.
  QTextCharFormat FormatAt(int row, int col) {
    QTextBlock b = Image()->document()->findBlockByNumber(row - 1);
    for (QTextBlock::iterator it = b.begin(); !it.atEnd(); ++it) {
      const QTextFragment f = it.fragment();
      const int at = b.position() + col - 1;
      if (f.position() <= at && at < f.position() + f.length()) return f.charFormat();
    }
    return {};
  }
  QString RowText(int row) { return Image()->document()->findBlockByNumber(row - 1).text(); }
  void ClickAt(int row, int col, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(Image()->viewport(), button, {}, Image()->PointOf(ImageOffset(row, col)));
  }
  void Type(QLineEdit* box, const QString& text) {
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
  }
  int item = 0;
};

TEST(ScreensReportWindow, OpensOnTheFirstDefinedScreenAndDisablesTheMainWindow) {
  ReportRig r;
  r.OpenReport();
  ScreensReportWindow& w = r.Report();
  ASSERT_TRUE(w.isVisible());
  EXPECT_EQ(w.windowTitle(), "Screens Report");
  EXPECT_FALSE(r.windows->Main().isEnabled());
  EXPECT_EQ(w.Box("Text5")->text(), "2");
  EXPECT_EQ(w.Box("Text3")->text(), "COPY FROM MASTER  0");
  EXPECT_EQ(w.Box("Text7")->text().toInt(), r.Store().Screens[2].ScreenId);
  EXPECT_TRUE(w.Button("Command5")->isEnabled()) << "the screen has a capture";
  EXPECT_EQ(r.RowText(1).mid(29, 12), "Item Inquiry");
  EXPECT_EQ(r.RowText(5).mid(19, 6), "______") << "the empty input field";
  EXPECT_EQ(r.FormatAt(1, 30).foreground().color(), QColor(255, 255, 255));
  EXPECT_EQ(r.FormatAt(1, 30).fontWeight(), QFont::Bold);
  EXPECT_EQ(r.FormatAt(1, 29).foreground().color(), QColor(0, 255, 0));
  EXPECT_FALSE(r.Image()->textCursor().hasSelection());
  EXPECT_NE(w.Preview()->toPlainText().indexOf("______"), -1)
      << w.Preview()->toPlainText().toStdString();
  w.Button("Command4")->click();
  EXPECT_FALSE(w.isVisible());
  EXPECT_TRUE(r.windows->Main().isEnabled());
}

TEST(ScreensReportWindow, TypedNumbersAndPageKeysMoveAndBadNumbersAreRestored) {
  ReportRig r;
  r.OpenReport();
  ScreensReportWindow& w = r.Report();
  QLineEdit* number = w.Box("Text5");
  r.Type(number, "0");
  EXPECT_EQ(number->text(), "2");
  r.Type(number, "9");
  EXPECT_EQ(number->text(), "2");
  r.Type(number, "3");
  EXPECT_EQ(r.windows->ScreensReportModel().ShowScreen(), 3);
  EXPECT_EQ(w.Box("Text3")->text(), "UNDEFINED");
  EXPECT_FALSE(w.Button("Command5")->isEnabled()) << "nothing captured on 3";
  QTest::keyClick(number, Qt::Key_Delete);
  EXPECT_EQ(r.windows->ScreensReportModel().ShowScreen(), 3)
      << "Delete in the number box edits the number; clearing would have moved on";
  QTest::keyClick(r.Image(), Qt::Key_PageDown);
  EXPECT_EQ(w.Box("Text5")->text(), "2");
  QTest::keyClick(r.Image(), Qt::Key_PageUp);
  EXPECT_EQ(w.Box("Text5")->text(), "4") << "nothing defined after 2";
  QTest::keyClick(r.Image(), Qt::Key_Escape);
  EXPECT_FALSE(w.isVisible());
}

TEST(ScreensReportWindow, DeleteInTheImageClearsTheScreenAndMovesOn) {
  ReportRig r;
  r.Store().Screens[3].ScreenId = 77;
  r.Store().Screens[3].Master = config::kScreenDefined;
  r.OpenReport();
  r.Image()->setFocus();
  QTest::keyClicks(r.Image(), "x");
  QTest::keyClick(r.Image(), Qt::Key_Backspace);
  EXPECT_EQ(r.RowText(1).mid(27, 16), "  Item Inquiry  ") << "typing never edits the image";
  QTest::keyClick(r.Image(), Qt::Key_Delete);
  EXPECT_EQ(r.Store().Screens[2].Master, config::kScreenFree);
  EXPECT_EQ(r.Store().Screens[2].ScreenId, 0);
  EXPECT_EQ(r.Report().Box("Text5")->text(), "3");
  EXPECT_TRUE(r.gateway->ConfigChanged) << "a cleared definition is a change to save";
}

TEST(ScreensReportWindow, AClickPicksTheFieldAndADoubleClickOpensTheEditorOnIt) {
  ReportRig r;
  r.OpenReport();
  r.ClickAt(5, 23);
  EXPECT_EQ(r.windows->ScreensReportModel().Field(), r.item);
  EXPECT_EQ(r.Image()->Selection().offset, ImageOffset(5, 20));
  EXPECT_EQ(r.Image()->Selection().length, 6);
  QTest::mouseDClick(r.Image()->viewport(), Qt::LeftButton, {},
                     r.Image()->PointOf(ImageOffset(5, 23)));
  ScreenEditorWindow& editor = r.windows->EditorWindow();
  ASSERT_TRUE(editor.isVisible());
  EXPECT_EQ(editor.FieldBox()->text(), QString::number(r.item));
  EXPECT_EQ(r.windows->Editor().EditSession(), reports::kReportSession);
  EXPECT_TRUE(r.gateway->ConfigChanged);
  EXPECT_EQ(r.Store().Screens[2].Master, config::kScreenDefined) << "opened in the editor";
  editor.close();
  EXPECT_EQ(r.Report().Box("Text3")->text(), "DEFINED") << "the report shows it again";
}

TEST(ScreensReportWindow, ARightClickOverASelectionDividesTheField) {
  ReportRig r;
  r.OpenReport();
  // Drag over "12345" of the article line (row 6, columns 10..14).
  r.Image()->Select(ImageOffset(6, 10), 5);
  r.ClickAt(6, 11, Qt::RightButton);
  DivideFieldWindow& divide = r.windows->DivideWindow();
  ASSERT_TRUE(divide.isVisible());
  EXPECT_FALSE(r.Report().isEnabled());
  EXPECT_FALSE(r.windows->Main().isEnabled());
  divide.findChild<QPushButton*>("InsertField")->click();
  EXPECT_FALSE(divide.isVisible());
  ASSERT_EQ(r.Store().DivideFieldsCt, 1);
  EXPECT_EQ(r.Store().DivideFields[0].pos, ImageOffset(6, 10));
  EXPECT_EQ(r.Store().DivideFields[0].Size, 5);
  EXPECT_TRUE(r.Store().Screens[2].Screen[3].Divided);
  EXPECT_TRUE(r.Report().isEnabled());
  EXPECT_FALSE(r.windows->Main().isEnabled()) << "the report is still open";
  EXPECT_EQ(r.FormatAt(6, 10).foreground().color(), QColor(255, 255, 0));
  EXPECT_EQ(r.FormatAt(6, 15).foreground().color(), QColor(255, 255, 255));

  // Without a selection a right click opens nothing.
  r.Image()->Select(0, 0);
  r.ClickAt(6, 11, Qt::RightButton);
  EXPECT_FALSE(divide.isVisible());
}

TEST(ScreensReportWindow, ActivationShowsChangesMadeElsewhereAndKeepsTheSelection) {
  ReportRig r;
  r.OpenReport();
  r.ClickAt(5, 20);
  r.windows->Main().setEnabled(true);
  r.Store().Screens[2].Screen[0].Show = 0;  // the editor hid the title meanwhile
  QEvent activate(QEvent::WindowActivate);
  QApplication::sendEvent(&r.Report(), &activate);
  EXPECT_EQ(r.FormatAt(1, 30).foreground().color(), QColor(0, 255, 0));
  EXPECT_EQ(r.Image()->Selection().offset, ImageOffset(5, 20));
  EXPECT_EQ(r.Image()->Selection().length, 6);
  EXPECT_FALSE(r.windows->Main().isEnabled());
}

TEST(ScreensReportWindow, CheckBoxesAndAutoFill) {
  ReportRig r;
  r.OpenReport();
  ScreensReportWindow& w = r.Report();
  w.Check("Check1")->click();
  w.Check("Check2")->click();
  EXPECT_TRUE(r.Store().AdvScreens[2].Active);
  EXPECT_EQ(r.Store().Screens[2].DontSendToTerminal, 1);
  w.Check("Check3")->click();
  EXPECT_TRUE(r.gateway->Context().screensReport.Active);
  EXPECT_EQ(r.gateway->Context().screensReport.Screen, 2);

  r.Store().Screens[2].Screen[0].Show = 0;
  w.Button("Command5")->click();
  EXPECT_EQ(r.Store().Screens[2].Screen[0].Show, 1) << "built again";
  EXPECT_EQ(r.gateway->CurrentSession, reports::kReportSession);
  EXPECT_FALSE(r.Store().AdvScreens[2].Active) << "automatic configuration resets the rule";
  EXPECT_FALSE(w.Check("Check1")->isChecked());
  w.close();
  EXPECT_FALSE(r.gateway->Context().screensReport.Active);
}

TEST(ScreensReportWindow, RefillAllShowsProgressAndABusyPointerUntilDone) {
  ReportRig r;
  // Screen 3: a copy of screen 2's capture.
  screens::CopyAs400Data(r.Store(), 2, 3);
  r.Store().Screens[3].ScreenId = 99;
  r.Store().Screens[3].Master = config::kScreenCopy;
  r.Store().Screens[3].Screen[0].Show = 0;
  r.Store().Screens[2].Screen[0].Show = 0;
  r.OpenReport();
  ScreensReportWindow& w = r.Report();
  w.Button("Command6")->click();
  EXPECT_TRUE(w.Refilling());
  EXPECT_TRUE(w.Progress()->isVisible());
  EXPECT_EQ(w.Progress()->maximum(), 2);
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  EXPECT_FALSE(w.Button("Command3")->isEnabled()) << "no clearing while it runs";
  for (int i = 0; i < 20 && w.Refilling(); ++i) QCoreApplication::processEvents();
  EXPECT_FALSE(w.Refilling());
  EXPECT_FALSE(w.Progress()->isVisible());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_TRUE(w.Button("Command3")->isEnabled());
  EXPECT_EQ(r.Store().Screens[2].Screen[0].Show, 1);
  EXPECT_EQ(r.Store().Screens[3].Screen[0].Show, 1);
}

TEST(GraphWindow, ShowsTheCountsOfTodayAndFollowsTheWindowsWidth) {
  Rig r(3);
  auto& counters = r.gateway->Counters();
  counters.DailyScreens[7][0] = 10;  // the rig's day is the 7th
  counters.DailyScreens[7][1] = 40;
  counters.DailyScreens[6][1] = 60;
  counters.DailyErrors[7][2] = 3;
  r.windows->Main().MenuAction("Graph")->trigger();
  GraphWindow& g = r.windows->GraphView();
  ASSERT_TRUE(g.isVisible());
  EXPECT_EQ(g.windowTitle(), "Utilization Screens / Today");
  EXPECT_EQ(g.Values(), (std::vector<std::int64_t>{10, 40, 0}));
  EXPECT_EQ(g.Layout().bars[1].label, "T1");
  g.Button("Command2")->click();
  EXPECT_EQ(g.windowTitle(), "Utilization Screens / Last 7 Days");
  EXPECT_EQ(g.Values(), (std::vector<std::int64_t>{10, 100, 0}));
  g.Button("Command5")->click();
  EXPECT_EQ(g.Button("Command5")->text(), "Errors");
  EXPECT_EQ(g.windowTitle(), "Errors Screens / Today");
  EXPECT_EQ(g.Values(), (std::vector<std::int64_t>{0, 0, 3}));

  g.resize(600, 520);
  QCoreApplication::processEvents();
  const int narrow = g.Layout().barWidth;
  g.resize(1200, 520);
  QCoreApplication::processEvents();
  EXPECT_GT(g.Layout().barWidth, narrow) << "wider window, wider bars";
  QTest::keyClick(g.Button("Command1"), Qt::Key_Return);
  EXPECT_FALSE(g.isVisible());
}

TEST(BatteryWindow, RowsCloseUpAndALowReadingSitsAtTheLeftEnd) {
  Rig r(3);
  r.gateway->Store().TerminalIDDef[1] = "";
  r.gateway->Sessions()[0].TerminalScreen.BatteryLevel = 4100;
  r.gateway->Sessions()[2].TerminalScreen.BatteryLevel = 4900;
  r.windows->Main().MenuAction("BatteryReport")->trigger();
  BatteryWindow& b = r.windows->BatteryView();
  ASSERT_TRUE(b.isVisible());
  EXPECT_EQ(b.windowTitle(), "Battery Voltage report");
  ASSERT_EQ(b.Report().rows.size(), 2u);
  EXPECT_EQ(b.RowLabel(0)->text(), "T0");
  EXPECT_EQ(b.RowLabel(1)->text(), "T2") << "no gap for the slot without id";
  EXPECT_EQ(b.RowScale(0)->value(), b.RowScale(0)->minimum());
  EXPECT_EQ(b.RowScale(0)->minimum(), 4300);
  EXPECT_EQ(b.RowScale(0)->maximum(), 5200);
  EXPECT_EQ(r.gateway->Sessions()[0].TerminalScreen.BatteryLevel, 4300);
  EXPECT_EQ(b.RowScale(1)->value(), 4900);
  EXPECT_EQ(b.RowValue(0)->text(), "4300 mV");
  EXPECT_EQ(b.RowScale(1)->y(), b.RowScale(0)->y() + 30) << "450 twips a row";
  EXPECT_FALSE(b.RowLabel(2)->isVisible());
  r.gateway->Sessions()[2].TerminalScreen.BatteryLevel = 4500;
  b.Button("Update")->click();
  EXPECT_EQ(b.RowScale(1)->value(), 4500);
  QTest::keyClick(&b, Qt::Key_Return);
  EXPECT_FALSE(b.isVisible());
}

TEST(DebugWindow, OneLinePerSessionInEachListUpdatedAsTheGatewayWrites) {
  Rig r(3);
  r.windows->DebugLine(core::DebugList::kHost, 1, "12:00:00 Scr=2 Id=7");
  r.windows->RunCommand("FullAccess");
  r.windows->Main().MenuAction("Debug")->trigger();
  DebugWindow& d = r.windows->DebugView();
  ASSERT_TRUE(d.isVisible());
  EXPECT_EQ(d.windowTitle(), "Debug Window");
  QListWidget* host = d.List(core::DebugList::kHost);
  QListWidget* terminal = d.List(core::DebugList::kTerminal);
  ASSERT_EQ(host->count(), 3);
  ASSERT_EQ(terminal->count(), 3);
  EXPECT_EQ(host->item(0)->text(), "0: ");
  EXPECT_EQ(host->item(1)->text(), "1: 12:00:00 Scr=2 Id=7") << "written before it opened";
  r.windows->DebugLine(core::DebugList::kTerminal, 2, "12:00:01 Sent AS4007");
  EXPECT_EQ(terminal->item(2)->text(), "2: 12:00:01 Sent AS4007");
  r.windows->DebugLine(core::DebugList::kTerminal, 3, "a terminal no session serves");
  EXPECT_EQ(terminal->count(), 3);
  QTest::keyClick(host, Qt::Key_Return);
  EXPECT_FALSE(d.isVisible());
}

TEST(ReportWindow, SummarisesTheConfigurationAndEscCloses) {
  Rig r(1, [](core::Gateway& g) {
    g.Store().NumeroMaximoDeEcrans = 3;
    g.Store().GrowScreenTables();
    g.Store().Screens[1].ScreenId = 5;
    g.Store().Screens[1].Master = config::kScreenMaster;
  });
  r.windows->RunCommand("FullAccess");
  r.windows->Main().MenuAction("Report")->trigger();
  ReportWindow& w = r.windows->ReportView();
  ASSERT_TRUE(w.isVisible());
  EXPECT_EQ(w.Text().substr(0, 34), "Numero total de ecrans       :  3\n");
  EXPECT_NE(w.Text().find("master: 1\n"), std::string::npos) << w.Text();
  EXPECT_NE(w.Text().find("RADIO BASE NOT CONNECTED"), std::string::npos)
      << "the rig opens no radio link";
  QTest::keyClick(w.findChild<QPlainTextEdit*>("Text1"), Qt::Key_Escape);
  EXPECT_FALSE(w.isVisible());
}

}  // namespace
}  // namespace tervo::ui
