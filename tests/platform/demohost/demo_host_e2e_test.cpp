// The project's TN5250 client against the demo host over loopback.
#include <gtest/gtest.h>

#include <memory>

#include "platform/demohost/demo_host.h"
#include "platform/host5250/field_list.h"
#include "terminal.h"

namespace tervo::demohost {
namespace {

using testing::Terminal;

class DemoHostE2e : public ::testing::Test {
 protected:
  void SetUp() override {
    DemoHostOptions o;
    o.log = [this](const std::string& l) { log += l + "\n"; };
    host = std::make_unique<DemoHost>(o);
    std::string err;
    ASSERT_TRUE(host->ListenOnFreeLoopbackPort(&err)) << err;
    ASSERT_NE(host->Port(), 0);
  }

  // Signs on and waits for the main menu.
  void SignOn(Terminal& t, const std::string& user) {
    ASSERT_TRUE(t.WaitReady("Sign On")) << t.Dump() << log;
    ASSERT_TRUE(t.Keys(user + "@Tsecret@E"));
    ASSERT_TRUE(t.WaitReady("Main Menu")) << t.Dump() << log;
  }

  std::unique_ptr<DemoHost> host;
  std::string log;
};

TEST_F(DemoHostE2e, SignOnInquiryErrorResetAndSignOff) {
  Terminal t(host->Port(), "WHSE01");
  ASSERT_TRUE(t.WaitReady("Sign On")) << t.Dump() << log;
  EXPECT_NE(t.Row(4).find("Display . . . . . :   WHSE01"), std::string::npos) << t.Row(4);
  // The password is never shown.
  ASSERT_TRUE(t.Keys("jsmith@Tsecret"));
  EXPECT_EQ(t.Row(7).find("secret"), std::string::npos);
  ASSERT_TRUE(t.Keys("@E"));
  ASSERT_TRUE(t.WaitReady("Main Menu")) << t.Dump() << log;
  EXPECT_EQ(t.Row(1).substr(1, 6), "JSMITH");  // monocase field
  EXPECT_NE(t.Row(1).find("WHSE01"), std::string::npos);
  EXPECT_NE(t.Row(23).find("F3=Exit   F12=Cancel"), std::string::npos);
  ASSERT_EQ(host->Connections().size(), 1u);
  EXPECT_EQ(host->Connections()[0]->DeviceName(), "WHSE01");
  EXPECT_FALSE(host->Connections()[0]->QueryDevice().empty());

  ASSERT_TRUE(t.Keys("3@E"));
  ASSERT_TRUE(t.WaitReady("Type an item number")) << t.Dump();

  // An unknown item: message on the error line, keyboard locked until Reset.
  ASSERT_TRUE(t.Keys("999999@E"));
  ASSERT_TRUE(Terminal::WaitFor([&] { return t.Message().find("Item 999999 is not on file.") != std::string::npos; }))
      << t.Dump();
  EXPECT_TRUE(t.session.InputInhibited());
  std::string err;
  EXPECT_FALSE(t.Keys("1", &err));
  ASSERT_TRUE(t.Keys("@R"));
  EXPECT_FALSE(t.session.InputInhibited());
  EXPECT_EQ(t.Message(), std::string(80, ' '));

  // The cursor is back in the item field: erase it and type a good one.
  ASSERT_TRUE(t.Keys("@F100418@E"));
  ASSERT_TRUE(t.WaitReady("Packing tape, brown 48 mm")) << t.Dump();
  EXPECT_NE(t.Row(7).find("      12-"), std::string::npos) << t.Row(7);
  EXPECT_EQ(host->Connections()[0]->Session()->ScreenName(), "ITEM");

  // F12 back to the inquiry, F3 to the menu, 90 signs off.
  ASSERT_TRUE(t.Keys("@c"));
  ASSERT_TRUE(t.WaitReady("Type an item number")) << t.Dump();
  ASSERT_TRUE(t.Keys("@3"));
  ASSERT_TRUE(t.WaitReady("Main Menu")) << t.Dump();
  ASSERT_TRUE(t.Keys("90@E"));
  EXPECT_TRUE(Terminal::WaitFor([&] { return t.Closed(); })) << t.Dump();
  EXPECT_TRUE(Terminal::WaitFor([&] { return host->Connections().empty(); }));
}

TEST_F(DemoHostE2e, PickingListPagesAndHelpRestoresTheScreen) {
  Terminal t(host->Port(), "");
  SignOn(t, "picker");
  ASSERT_TRUE(t.Keys("2@E"));
  ASSERT_TRUE(t.WaitReady("Picking List")) << t.Dump();
  EXPECT_EQ(t.Row(7).substr(1, 4), "   1");
  EXPECT_NE(t.Row(17).find("More..."), std::string::npos);

  const char* firsts[] = {"  11", "  21", "  31"};
  for (const char* first : firsts) {
    ASSERT_TRUE(t.Keys("@u"));
    ASSERT_TRUE(Terminal::WaitFor([&] { return !t.session.InputInhibited() && t.Row(7).substr(1, 4) == first; }))
        << first << "\n" << t.Dump();
  }
  EXPECT_EQ(t.Row(16).substr(1, 4), "  40");
  EXPECT_NE(t.Row(17).find("Bottom"), std::string::npos);
  EXPECT_EQ(t.Row(17).find("More"), std::string::npos);

  // Past the bottom: an error, then Reset and page back.
  ASSERT_TRUE(t.Keys("@u"));
  ASSERT_TRUE(Terminal::WaitFor([&] { return t.Message().find("bottom of the list") != std::string::npos; }));
  ASSERT_TRUE(t.Keys("@R@v"));
  ASSERT_TRUE(Terminal::WaitFor([&] { return !t.session.InputInhibited() && t.Row(7).substr(1, 4) == "  21"; }))
      << t.Dump();

  // Help: the window covers the list; Enter puts the screen back as it was.
  const std::string before = t.Row(7);
  ASSERT_TRUE(t.Keys("@1"));
  ASSERT_TRUE(t.WaitReady("Roll Up shows the next ten lines")) << t.Dump() << log;
  EXPECT_NE(t.Row(7), before);
  ASSERT_TRUE(t.Keys("@E"));
  ASSERT_TRUE(Terminal::WaitFor([&] { return !t.session.InputInhibited() && !t.Shows("Roll Up shows"); }))
      << t.Dump();
  EXPECT_EQ(t.Row(7), before);

  // The input field still works after the restore.
  ASSERT_TRUE(t.Keys("25@E"));
  ASSERT_TRUE(t.WaitReady("Confirm Pick")) << t.Dump() << log;
  EXPECT_NE(t.Row(5).find("SO-50220"), std::string::npos) << t.Row(5);
}

TEST_F(DemoHostE2e, StockTransferReadsAllFieldsAndASignedQuantity) {
  Terminal t(host->Port(), "");
  SignOn(t, "mover");
  ASSERT_TRUE(t.Keys("4@E"));
  ASSERT_TRUE(t.WaitReady("Stock Transfer")) << t.Dump();
  // The negative quantity is written into the field as the gateway writes
  // it (sign in the last position); keys fill the rest.  A full field moves
  // the cursor on by itself; the last field is auto-enter, so filling it
  // sends the screen.
  host5250::ScreenFields fields(t.session.GetScreen(), t.session.Codec());
  int qty = -1;
  for (int i = 0; i < fields.Count(); ++i)
    if (fields.Item(i).StartRow == 8 && fields.Item(i).StartColumn == 31) qty = i;
  ASSERT_GE(qty, 0);
  EXPECT_EQ(fields.Item(qty).Type, host5250::kTypeSignedNumeric);
  ASSERT_TRUE(fields.SetText(qty, "      5-"));
  std::string err;
  ASSERT_TRUE(t.Keys("300042@TD-01-03D-01-06", &err)) << err << "\n" << t.Dump();
  ASSERT_TRUE(t.WaitReady("Transfer recorded")) << t.Dump() << log;
  EXPECT_NE(t.Row(8).find("Transfer recorded: -5 of item 300042 from D-01-03 to D-01-06."),
            std::string::npos)
      << t.Row(8);
}

TEST(DemoHostE2eOptions, ATerminalThatCannotSaveGetsAnErrorInsteadOfHelp) {
  DemoHostOptions o;
  o.saveTimeoutMs = 20;
  DemoHost host(o);
  std::string err;
  ASSERT_TRUE(host.ListenOnFreeLoopbackPort(&err)) << err;
  Terminal t(host.Port(), "");
  ASSERT_TRUE(t.WaitReady("Sign On"));
  t.Keys("u@Tp@E");
  ASSERT_TRUE(t.WaitReady("Main Menu"));
  t.Keys("2@E");
  ASSERT_TRUE(t.WaitReady("Picking List"));
  t.dropSavedScreens = true;
  t.Keys("@1");
  ASSERT_TRUE(Terminal::WaitFor([&] { return t.Message().find("Help is not available now.") != std::string::npos; }))
      << t.Dump();
  t.dropSavedScreens = false;
  // The next key is an ordinary one again.
  t.Keys("@R@u");
  EXPECT_TRUE(Terminal::WaitFor([&] { return t.Row(7).substr(1, 4) == "  11"; })) << t.Dump();
}

TEST_F(DemoHostE2e, SeveralTerminalsKeepTheirOwnState) {
  Terminal a(host->Port(), "DSP01"), b(host->Port(), "DSP02"), c(host->Port(), "DSP01");
  SignOn(a, "ALICE");
  SignOn(b, "BOB");
  SignOn(c, "CAROL");
  // The third offered a name in use: it got a generated one.
  EXPECT_NE(c.Row(1).find("QPADEV0001"), std::string::npos) << c.Row(1);
  ASSERT_TRUE(a.Keys("3@E"));
  ASSERT_TRUE(b.Keys("2@E"));
  ASSERT_TRUE(c.Keys("1@E"));
  ASSERT_TRUE(a.WaitReady("Item Inquiry"));
  ASSERT_TRUE(b.WaitReady("Picking List"));
  ASSERT_TRUE(c.WaitReady("Receiving"));
  EXPECT_EQ(a.Row(1).substr(1, 5), "ALICE");
  EXPECT_EQ(b.Row(1).substr(1, 3), "BOB");
  ASSERT_TRUE(a.Keys("100234@E"));
  ASSERT_TRUE(b.Keys("@u"));
  ASSERT_TRUE(a.WaitReady("Pallet wrap"));
  ASSERT_TRUE(Terminal::WaitFor([&] { return b.Row(7).substr(1, 4) == "  11"; }));
  EXPECT_TRUE(c.Shows("Receiving"));
  EXPECT_EQ(host->Connections().size(), 3u);
}

TEST_F(DemoHostE2e, ANon5250TerminalIsTurnedAway) {
  QTcpSocket s;
  s.connectToHost(QHostAddress::LocalHost, host->Port());
  std::string got;
  QObject::connect(&s, &QTcpSocket::readyRead, [&] {
    const QByteArray b = s.readAll();
    got.append(b.constData(), static_cast<std::size_t>(b.size()));
    if (got.find("\xFF\xFD\x18") != std::string::npos && got.find("\xFF\xFA\x18\x01") == std::string::npos) {
      s.write("\xFF\xFB\x18", 3);
    }
    if (got.find("\xFF\xFA\x18\x01\xFF\xF0") != std::string::npos && !s.property("sent").toBool()) {
      s.setProperty("sent", true);
      s.write("\xFF\xFA\x18\x00VT100\xFF\xF0", 11);
    }
  });
  EXPECT_TRUE(Terminal::WaitFor([&] { return s.state() == QAbstractSocket::UnconnectedState; }));
  const QByteArray rest = s.readAll();
  got.append(rest.constData(), static_cast<std::size_t>(rest.size()));
  EXPECT_NE(got.find("5250 display stations only"), std::string::npos);
  EXPECT_NE(log.find("VT100 is not a 5250 display"), std::string::npos) << log;
}

}  // namespace
}  // namespace tervo::demohost
