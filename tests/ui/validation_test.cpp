// A value that would not work is named at its field and not taken; the
// option keeps its last good value, and the windows stay open until it is
// mended.  The dialog's own replacement rules still apply.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "ui/device_name_window.h"
#include "ui/general_config_dialog.h"
#include "ui/main_window.h"
#include "ui/startup_window.h"
#include "ui/ui_rig.h"

namespace tervo::ui {
namespace {

using testing::Rig;

QLineEdit* Edit(GeneralConfigDialog& d, const char* key) {
  return qobject_cast<QLineEdit*>(d.Control(key));
}

void Type(QLineEdit* box, const char* text) {
  box->setFocus();
  box->selectAll();
  if (*text)
    QTest::keyClicks(box, text);
  else
    QTest::keyClick(box, Qt::Key_Delete);
}

void ClickOk(GeneralConfigDialog& d) {
  QTest::mouseClick(d.findChild<QWidget*>("Command1"), Qt::LeftButton);
}

TEST(Validation, ABadDisplayLenIsNamedAndNotTaken) {
  Rig r(2);
  r.windows->RunCommand("GeneralConf");
  GeneralConfigDialog& d = r.windows->General();
  Type(Edit(d, "DisplayLen"), "abc");
  EXPECT_EQ(r.gateway->Options().Text("DisplayLen"), "24")
      << "the terminals keep their labels meanwhile";
  EXPECT_EQ(d.FieldMessage("DisplayLen"), "Enter a whole number from 1 to 80.");
  EXPECT_EQ(d.MessageLine()->text(), "Display LEN: Enter a whole number from 1 to 80.");
  ClickOk(d);
  EXPECT_TRUE(d.isVisible()) << "OK waits until the field is mended";
  QTest::keyClick(Edit(d, "DisplayLen"), Qt::Key_Return);
  EXPECT_TRUE(d.isVisible()) << "and so does Enter";
  Type(Edit(d, "DisplayLen"), "20");
  EXPECT_EQ(r.gateway->Options().Text("DisplayLen"), "20");
  EXPECT_EQ(d.MessageLine()->text(), "");
  ClickOk(d);
  EXPECT_FALSE(d.isVisible());
}

TEST(Validation, ANegativeSessionCountLeavesTheWindowAsItWas) {
  Rig r(4);
  r.windows->RunCommand("GeneralConf");
  GeneralConfigDialog& d = r.windows->General();
  Type(Edit(d, "SessionCt"), "4");
  ClickOk(d);
  r.windows->RunCommand("GeneralConf");
  Type(Edit(d, "SessionCt"), "-3");
  EXPECT_EQ(r.gateway->Options().Text("SessionCt"), "4");
  EXPECT_EQ(Edit(d, "DisplayCol")->text(), "2") << "no grid is proposed for -3";
  EXPECT_NE(d.MessageLine()->text().indexOf("Visible Sessions"), -1);
  ClickOk(d);
  d.hide();  // the close box: the option never took the bad text
  r.windows->Main().ArrangeAs400Windows();
  EXPECT_TRUE(r.windows->Main().Display(3)->isVisibleTo(&r.windows->Main()));

  r.windows->RunCommand("GeneralConf");
  EXPECT_EQ(Edit(d, "SessionCt")->text(), "4") << "opened again, it shows what is in force";
  Type(Edit(d, "SessionCt"), "40");
  EXPECT_EQ(Edit(d, "SessionCt")->text(), "4") << "more than the run serves becomes its count";
  EXPECT_EQ(d.MessageLine()->text(), "");
}

TEST(Validation, FieldsThatDependOnEachOther) {
  config::GeneralOptions options;
  GeneralConfigDialog d(options, 32);
  Type(Edit(d, "ScreenIdAreaLen"), "10");
  EXPECT_NE(d.FieldMessage("ScreenIdAreaLen"), "");
  EXPECT_EQ(options.Text("ScreenIdAreaLen"), "");
  Type(Edit(d, "ScreenIdAreaX"), "2");
  Type(Edit(d, "ScreenIdAreaY"), "1");
  EXPECT_EQ(d.FieldMessage("ScreenIdAreaLen"), "");
  EXPECT_EQ(options.Text("ScreenIdAreaLen"), "10") << "taken once its column and row are there";

  QTest::mouseClick(d.Control("SendErrorLineN"), Qt::LeftButton);
  EXPECT_EQ(d.FieldMessage("ErrorLineN"), "Enter the row of the error line, 1 to 25.");
  EXPECT_EQ(d.MessageLine()->text(), "Send Error Line: Enter the row of the error line, 1 to 25.");
  Type(Edit(d, "ErrorLineN"), "22");
  EXPECT_EQ(options.Text("ErrorLineN"), "22");
  EXPECT_EQ(d.MessageLine()->text(), "");
}

TEST(Validation, HiddenFieldsDoNotHoldTheDialog) {
  config::GeneralOptions options;
  options.SetText("ComPort", "COM3");  // from an old file; TCP/IP hides it
  options.SetChecked("TCPIP", true);
  GeneralConfigDialog d(options, 32);
  EXPECT_EQ(d.MessageLine()->text(), "");
  QTest::mouseClick(d.Control("TCPIP"), Qt::LeftButton);
  EXPECT_NE(d.MessageLine()->text().indexOf("Com Port"), -1) << "shown, it is named";
}

TEST(Validation, TimesThatCannotComeAreNotTaken) {
  config::GeneralOptions options;
  options.SetText("MaskEdBox1", "07:00");
  StartupWindow w(options);
  auto* on = w.findChild<QLineEdit*>("MaskEdBox1");
  on->setFocus();
  on->selectAll();
  QTest::keyClicks(on, "9999");
  EXPECT_EQ(options.Text("MaskEdBox1"), "07:00");
  EXPECT_EQ(w.MessageLine()->text(), "Timer ON: Enter a time from 00:00 to 23:59, or clear it.");
  on->selectAll();
  QTest::keyClicks(on, "0630");
  EXPECT_EQ(options.Text("MaskEdBox1"), "06:30");
  EXPECT_EQ(w.MessageLine()->text(), "");
}

TEST(Validation, TerminalIdsAndDeviceNames) {
  config::ScreenStore store;
  store.TerminalIDDef[0] = "T1";
  auto* w = new DeviceNameWindow(store, 3);
  w->show();
  QApplication::setActiveWindow(w);
  QTest::keyClicks(w->TerminalBox(1), " t4 ");
  QTest::keyClicks(w->DeviceBox(2), "1bad");
  QTest::keyClicks(w->TerminalBox(2), "T1");
  w->close();
  EXPECT_TRUE(w->isVisible()) << "stored, T4 would never find its session";
  EXPECT_EQ(store.TerminalIDDef[1], "");
  EXPECT_TRUE(w->MessageLine()->text().startsWith("Terminal ID of session 1:"))
      << w->MessageLine()->text().toStdString();
  w->TerminalBox(1)->clear();
  QTest::keyClicks(w->TerminalBox(1), "t4");
  w->TerminalBox(2)->setFocus();
  EXPECT_EQ(w->Validate(), w->DeviceBox(2));
  EXPECT_EQ(w->MessageLine()->text().toStdString(),
            "Terminal ID of session 2: Session 0 has this id already.")
      << "the field being typed in is named first";
  w->DeviceBox(2)->clear();
  QTest::keyClicks(w->DeviceBox(2), "dsp2");
  w->TerminalBox(2)->clear();
  w->close();
  EXPECT_FALSE(w->isVisible());
  EXPECT_EQ(store.TerminalIDDef[1], "t4");
  EXPECT_EQ(store.DeviceName[2], "DSP2");
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// --radio-address is for one run: the dialog shows and saves the
// configured address and says what this run uses.
TEST(Validation, TheRunOverrideIsShownButNotConfiguration) {
  Rig r(1, [](core::Gateway& g) {
    g.Options().SetText("TCPIPAddr", "10.0.0.5");
    g.Options().SetRunOverride("TCPIPAddr", "127.0.0.1:0");
    g.Options().SetChecked("TCPIP", true);
  });
  r.windows->RunCommand("GeneralConf");
  GeneralConfigDialog& d = r.windows->General();
  EXPECT_EQ(Edit(d, "TCPIPAddr")->text(), "10.0.0.5");
  auto* hint = d.findChild<QLabel*>("TCPIPAddrOverride");
  ASSERT_NE(hint, nullptr);
  EXPECT_TRUE(hint->text().startsWith("This run uses 127.0.0.1:0")) << hint->text().toStdString();
  Type(Edit(d, "TCPIPAddr"), "10.0.0.6");
  EXPECT_EQ(r.gateway->Options().Text("TCPIPAddr"), "127.0.0.1:0") << "the running link keeps it";
  EXPECT_EQ(r.gateway->Options().ConfiguredText("TCPIPAddr"), "10.0.0.6");
}

}  // namespace
}  // namespace tervo::ui
