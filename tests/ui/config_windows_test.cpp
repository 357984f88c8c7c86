#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "ui/device_name_window.h"
#include "ui/general_config_dialog.h"
#include "ui/main_window.h"
#include "ui/ui_rig.h"

namespace tervo::ui {
namespace {

QString ControlText(GeneralConfigDialog& d, const std::string& key) {
  QWidget* w = d.Control(key);
  if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
  if (auto* c = qobject_cast<QComboBox*>(w)) return c->currentText();
  if (auto* b = qobject_cast<QCheckBox*>(w)) return b->isChecked() ? "1" : "0";
  return "?";
}

TEST(GeneralConfigDialog, ShowsEveryControlWithItsCaptionAndInitialContents) {
  config::GeneralOptions options;
  GeneralConfigDialog d(options, 32);
  EXPECT_EQ(d.windowTitle(), "General Configurations");
  const std::tuple<const char*, const char*, const char*> texts[] = {
      {"SessionCt", "Visible Sessions", "1"},
      {"DisplayCol", "Display Columns", "1"},
      {"DisplayRow", "Display Rows", ""},
      {"AutoRemove", "Auto Remove", ".,;"},
      {"ExitWord", "Exit Word", "Exit,Sair"},
      {"DisplayLen", "Display LEN", "24"},
      {"BaudRate", "Baud Rate", "19200"},
      {"Handshaking", "Handshaking", "None"},
      {"NewScreenTimeout", "New Screen Timeout", "1.5"},
      {"ErrorLineStart", "Start", "1"},
      {"ErrorLineLen", "Len", "80"},
      {"TCPIPAddr", "TCP/IP Address", "127.0.0.1"},
      {"ComPort", "Com Port", "1"},
  };
  for (const auto& [key, label, initial] : texts) {
    ASSERT_NE(d.Label(key), nullptr) << key;
    EXPECT_EQ(d.Label(key)->text(), label) << key;
    EXPECT_EQ(ControlText(d, key), initial) << key;
  }
  const std::tuple<const char*, const char*, bool> checks[] = {
      {"Cut", "Cut Fields", false},
      {"SendTerminal", "Send Terminal", true},
      {"ShowNorvikLogo", "Show Norvik LOGO", false},
      {"SendMinimal", "Send Minimal Data", true},
      {"SendUnderline", "Use 'undurlined fields' as INPUT", true},
      {"DebugFile", "Create Debug File", false},
      {"TestMode", "Test Mode", false},
      {"Line24", "Include line 24 in ScreenID", false},
      {"DontShowData", "Clear Screen", true},
      {"SendErrorLine24", "Send Error Line 24", true},
      {"SendErrorLine25", "Send Error Line 25", true},
      {"SendErrorLineN", "Send Error Line", false},
      {"TCPIP", "Use TCP/IP to make the connection", false},
      {"CapsLock", "CapsLock", false},
  };
  for (const auto& [key, caption, on] : checks) {
    auto* box = qobject_cast<QCheckBox*>(d.Control(key));
    ASSERT_NE(box, nullptr) << key;
    EXPECT_EQ(box->text(), caption);
    EXPECT_EQ(box->isChecked(), on) << key;
  }
  for (const char* key : {"ScreenIdAreaX", "ScreenIdAreaY", "ScreenIdAreaLen", "SubScreenIdAreaX",
                          "SubScreenIdAreaY", "SubScreenIdAreaLen", "ErrorLineN"})
    EXPECT_EQ(ControlText(d, key), "") << key;
  EXPECT_EQ(d.Control("ErrorLineStart")->objectName(), "ErrLineStart");
  EXPECT_EQ(d.Control("ErrorLineLen")->objectName(), "ErrLineLengh");
  EXPECT_EQ(d.findChild<QWidget*>("Command1")->property("text").toString(), "OK");
  EXPECT_EQ(d.findChild<QWidget*>("Command2")->property("text").toString(), "Auto Fill");
  auto* baud = qobject_cast<QComboBox*>(d.Control("BaudRate"));
  EXPECT_EQ(baud->count(), 8);
  EXPECT_TRUE(baud->isEditable());
}

TEST(GeneralConfigDialog, TypingTheSessionCountSetsTheGridAndClampsIt) {
  config::GeneralOptions options;
  GeneralConfigDialog d(options, 32);
  auto* count = qobject_cast<QLineEdit*>(d.Control("SessionCt"));
  count->selectAll();
  QTest::keyClicks(count, "40");
  EXPECT_EQ(count->text(), "32");
  EXPECT_EQ(ControlText(d, "DisplayCol"), "6");
  EXPECT_EQ(ControlText(d, "DisplayRow"), "6");
  EXPECT_EQ(options.Text("SessionCt"), "32");

  count->selectAll();
  QTest::keyClick(count, Qt::Key_Delete);
  EXPECT_EQ(ControlText(d, "DisplayCol"), "6") << "an empty count changes nothing";

  QTest::keyClicks(count, "10");
  EXPECT_EQ(ControlText(d, "DisplayCol"), "4");
  EXPECT_EQ(ControlText(d, "DisplayRow"), "3");
  auto* cols = qobject_cast<QLineEdit*>(d.Control("DisplayCol"));
  cols->selectAll();
  QTest::keyClicks(cols, "5");
  EXPECT_EQ(ControlText(d, "DisplayRow"), "2");
  EXPECT_EQ(options.Text("DisplayRow"), "2");
}

TEST(GeneralConfigDialog, TcpIpHidesTheSerialFieldsAndKeepsTheirValues) {
  config::GeneralOptions options;
  GeneralConfigDialog d(options, 32);
  auto visible = [&](const char* key) {
    return d.Control(key)->isVisibleTo(&d) && d.Label(key)->isVisibleTo(&d);
  };
  EXPECT_TRUE(visible("ComPort"));
  EXPECT_TRUE(visible("BaudRate"));
  EXPECT_TRUE(visible("Handshaking"));
  EXPECT_FALSE(visible("TCPIPAddr"));
  QTest::mouseClick(d.Control("TCPIP"), Qt::LeftButton);
  EXPECT_EQ(options.Text("TCPIP"), "1");
  EXPECT_FALSE(visible("ComPort"));
  EXPECT_FALSE(visible("BaudRate"));
  EXPECT_FALSE(visible("Handshaking"));
  EXPECT_TRUE(visible("TCPIPAddr"));
  EXPECT_EQ(options.Text("ComPort"), "1") << "hidden fields keep their values";

  config::GeneralOptions loaded;
  loaded.SetChecked("TCPIP", true);
  GeneralConfigDialog fromFile(loaded, 32);
  EXPECT_FALSE(fromFile.Control("ComPort")->isVisibleTo(&fromFile))
      << "the rule applies when the dialog loads";
}

TEST(GeneralConfigDialog, EnterHidesWithoutArrangingAndOkArranges) {
  testing::Rig r(4);
  r.windows->RunCommand("GeneralConf");
  GeneralConfigDialog& d = r.windows->General();
  EXPECT_TRUE(d.isVisible());
  auto* count = qobject_cast<QLineEdit*>(d.Control("SessionCt"));
  count->selectAll();
  QTest::keyClicks(count, "4");
  QTest::keyClick(count, Qt::Key_Return);
  EXPECT_FALSE(d.isVisible());
  EXPECT_FALSE(r.windows->Main().Display(1)->isVisibleTo(&r.windows->Main()))
      << "Enter does not arrange";
  r.windows->RunCommand("GeneralConf");
  QTest::mouseClick(d.findChild<QWidget*>("Command1"), Qt::LeftButton);
  EXPECT_FALSE(d.isVisible());
  EXPECT_TRUE(r.windows->Main().Display(3)->isVisibleTo(&r.windows->Main()));
}

TEST(DeviceNameWindow, EnablesTheSessionRowsAndStoresUpperCaseNames) {
  config::ScreenStore store;
  store.DeviceName[5] = "KEEP";
  store.TerminalIDDef[1] = "T1";
  DeviceNameWindow* w = new DeviceNameWindow(store, 3);
  EXPECT_EQ(w->windowTitle(), "Device Name");
  for (int i = 0; i < config::kSessionSlots; ++i) {
    EXPECT_EQ(w->DeviceBox(i)->isEnabled(), i < 3) << i;
    EXPECT_EQ(w->TerminalBox(i)->isEnabled(), i < 3) << i;
  }
  EXPECT_EQ(w->TerminalBox(1)->text(), "T1");
  std::vector<int> live;
  w->routerName = [] { return std::string("TN5250"); };
  w->setLiveDeviceName = [&](int s, const std::string&) {
    live.push_back(s);
    return true;
  };
  QTest::keyClicks(w->DeviceBox(0), "dsp01x");
  QTest::keyClicks(w->TerminalBox(0), "gun a");
  QTest::keyClick(w->DeviceBox(0), Qt::Key_Return);  // Enter closes and stores
  EXPECT_EQ(store.DeviceName[0], "DSP01X");
  EXPECT_EQ(store.TerminalIDDef[0], "gun a") << "terminal ids as typed";
  EXPECT_EQ(store.DeviceName[5], "KEEP") << "rows beyond the sessions keep their values";
  EXPECT_TRUE(live.empty()) << "only the RumbaRouter interface takes live device names";
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(DeviceNameWindow, TheRouterRuleSetsLiveNamesAndStopsAtARefusal) {
  testing::Rig r(3);
  r.gateway->RouterName = "WallData.RumbaRouter";
  r.windows->RunCommand("ConfDeviceName");
  EXPECT_TRUE(r.gateway->ConfigChanged);
  auto* w = qobject_cast<DeviceNameWindow*>(r.windows->LastOpened());
  ASSERT_NE(w, nullptr);
  QTest::keyClicks(w->DeviceBox(0), "dsp0");
  QTest::keyClicks(w->DeviceBox(2), "dsp2");
  w->close();
  EXPECT_EQ(r.Host(0).Link().DeviceName, "DSP0");
  EXPECT_EQ(r.Host(1).Link().DeviceName, "") << "an empty name is not set";
  EXPECT_EQ(r.Host(2).Link().DeviceName, "DSP2");

  config::ScreenStore store;
  DeviceNameWindow* refusing = new DeviceNameWindow(store, 3);
  refusing->routerName = [] { return std::string("WallData.RumbaRouter"); };
  refusing->setLiveDeviceName = [](int s, const std::string&) { return s != 1; };
  for (int i = 0; i < 3; ++i)
    QTest::keyClicks(refusing->DeviceBox(i), QStringLiteral("d%1").arg(i));
  refusing->close();
  EXPECT_EQ(store.DeviceName[1], "D1");
  EXPECT_EQ(store.DeviceName[2], "") << "the loop ends at the refused row";
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace
}  // namespace tervo::ui
