// Legible labels and selection, the page number on the scroll bar, and
// windows that fit a 1280x800 screen at a scale factor of 1.5 (853x533
// device-independent pixels) and keep their size when fields come and go.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

#include "ui/colors.h"
#include "ui/device_name_window.h"
#include "ui/field_marks.h"
#include "ui/general_config_dialog.h"
#include "ui/main_window.h"
#include "ui/page_scroll_bar.h"
#include "ui/recent_messages_window.h"
#include "ui/startup_window.h"
#include "ui/ui_rig.h"

namespace tervo::ui {
namespace {

using testing::Rig;

QColor FromBgr(unsigned c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

TEST(Legibility, LabelsAndTheSelectionStandOut) {
  EXPECT_NEAR(ContrastRatio(Qt::white, Qt::black), 21.0, 0.01);
  EXPECT_NEAR(ContrastRatio(QColor(0x40, 0x40, 0x40), QColor(0x20, 0x20, 0x20)), 1.6, 0.1)
      << "why black against #202020 alone was not enough";

  Rig r(4);
  MainWindow& w = r.windows->Main();
  for (QLabel* l : {w.Label1(), w.Label2()}) {
    const QPalette& p = l->palette();
    EXPECT_GE(ContrastRatio(p.color(QPalette::WindowText), p.color(QPalette::Window)), 4.5);
  }
  for (unsigned around : {kUnselectedBackColor, kSelectedBackColor})
    EXPECT_GE(ContrastRatio(kSelectionFrame, FromBgr(around)), 4.5);
  EXPECT_GE(ContrastRatio(kSelectionFrame, kWindowBackground), 4.5);
  EXPECT_GE(ContrastRatio(kStatusText, kStatusBackground), 4.5);
  const QColor window = QApplication::palette().color(QPalette::Window);
  EXPECT_GE(ContrastRatio(kMessageText, window), 4.5) << "the message line";
  EXPECT_GE(ContrastRatio(QApplication::palette().color(QPalette::Text), kMarkedBase), 4.5);

  // The frame is drawn on the selected display only.
  w.resize(1000, 700);
  auto* count = qobject_cast<QLineEdit*>(r.windows->General().Control("SessionCt"));
  count->setText("4");
  r.gateway->Options().SetText("SessionCt", "4");
  r.gateway->Options().SetText("DisplayCol", "2");
  r.gateway->Options().SetText("DisplayRow", "2");
  w.ArrangeAs400Windows();
  w.As4001Click(1);
  const QImage selected = w.Display(1)->grab().toImage();
  const QImage other = w.Display(2)->grab().toImage();
  EXPECT_EQ(selected.pixelColor(1, selected.height() / 2), kSelectionFrame);
  EXPECT_EQ(other.pixelColor(1, other.height() / 2), FromBgr(kUnselectedBackColor));
}

TEST(Legibility, TheScrollBarSaysWhichPageIsShown) {
  Rig r(10, [](core::Gateway& g) {
    g.Options().SetText("SessionCt", "4");
    g.Options().SetText("DisplayCol", "2");
    g.Options().SetText("DisplayRow", "2");
  });
  MainWindow& w = r.windows->Main();
  w.ArrangeAs400Windows();
  auto* bar = qobject_cast<PageScrollBar*>(w.ScrollBar());
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->PageText(), "Page 1 of 3");
  bar->setValue(1);
  EXPECT_EQ(bar->PageText(), "Page 2 of 3");
  EXPECT_EQ(bar->toolTip(), "Page 2 of 3");
  // And it is painted: light text on the dark box over the slider.
  bar->resize(400, 20);
  const QImage img = bar->grab().toImage();
  int light = 0;
  for (int x = 0; x < img.width(); ++x)
    for (int y = 0; y < img.height(); ++y) light += img.pixelColor(x, y) == kStatusText;
  EXPECT_GT(light, 10);
}

// 1280x800 at a scale factor of 1.5, less a title bar and a panel.
const QSize kRoom(1280 * 2 / 3, 800 * 2 / 3 - 70);

void ExpectFits(QWidget& w, const char* name) {
  const QSize need = w.minimumSizeHint().expandedTo(w.minimumSize());
  EXPECT_LE(need.width(), kRoom.width()) << name;
  EXPECT_LE(need.height(), kRoom.height()) << name;
  const QSize shown = w.sizeHint();
  EXPECT_LE(shown.width(), kRoom.width()) << name << " opens larger than the screen";
  EXPECT_LE(shown.height(), kRoom.height()) << name << " opens larger than the screen";
}

TEST(Layout, TheWindowsFitASmallScreen) {
  Rig r(4);
  r.windows->RunCommand("GeneralConf");
  ExpectFits(r.windows->General(), "General Configurations");
  ExpectFits(r.windows->Startup(), "Boot AS400");
  ExpectFits(r.windows->MessagesWindow(), "Recent messages");
  r.windows->RunCommand("FullAccess");
  r.windows->RunCommand("ConfDeviceName");
  ExpectFits(*r.windows->LastOpened(), "Device Name");
  ExpectFits(r.windows->Main(), "main window");
}

TEST(Layout, TheGeneralDialogKeepsItsSize) {
  config::GeneralOptions options;
  GeneralConfigDialog d(options, 32);
  d.show();
  const QSize hint = d.sizeHint();
  d.resize(hint);
  for (int i = 0; i < 4; ++i) {
    QTest::mouseClick(d.Control("TCPIP"), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(d.sizeHint(), hint) << "ticking TCP/IP must not grow the dialog";
    EXPECT_EQ(d.size(), hint);
  }
  // A message does not grow it either.
  auto* len = qobject_cast<QLineEdit*>(d.Control("DisplayLen"));
  len->setFocus();
  len->selectAll();
  QTest::keyClicks(len, "abc");
  QCoreApplication::processEvents();
  ASSERT_NE(d.MessageLine()->text(), "");
  EXPECT_EQ(d.sizeHint(), hint);
  EXPECT_EQ(d.size(), hint);
  // Made larger, the word lists take the room; it can be made small again.
  const int wordsWidth = d.Control("ExitWord")->width();
  d.resize(hint + QSize(200, 100));
  QCoreApplication::processEvents();
  EXPECT_GT(d.Control("ExitWord")->width(), wordsWidth);
  d.resize(hint);
  QCoreApplication::processEvents();
  EXPECT_EQ(d.size(), hint);
}

}  // namespace
}  // namespace tervo::ui
