// The gateway's view: the HostDisplay the "DemoHost" router creates, driven
// through the interface the gateway uses (field Text writes, SendKeys,
// InputInhibited, ReadText, events).
#include <gtest/gtest.h>

#include "platform/demohost/demo_host.h"
#include "platform/host5250/field_list.h"
#include "platform/host5250/host_router.h"
#include "terminal.h"

namespace tervo::demohost {
namespace {

using host5250::HostDisplay;
using testing::Terminal;

int FieldAt(const HostDisplay& d, int row, int column) {
  for (int i = 0; i < d.Fields().Count(); ++i)
    if (d.Fields().Item(i).StartRow == row && d.Fields().Item(i).StartColumn == column) return i;
  return -1;
}

bool Inhibited(const HostDisplay& d) { return d.InputInhibited(); }

TEST(DemoHostDisplay, TheGatewaysDisplayWalksTheWarehouse) {
  DemoHost host;
  std::string err;
  ASSERT_TRUE(host.ListenOnFreeLoopbackPort(&err)) << err;
  host5250::RouterOptions options;
  options.demoHostAddress = host.Address();
  std::unique_ptr<HostDisplay> d = host5250::CreateHostDisplay("WallData.DemoHost", options, &err);
  ASSERT_TRUE(d) << err;
  d->Link().DeviceName = "GUN01";
  int screens = 0;
  std::string lost;
  bool disconnected = false;
  d->SetEvents({[&](bool) { ++screens; }, nullptr,
                [&](std::string& m) {
                  lost = m;
                  disconnected = true;
                },
                nullptr});
  ASSERT_TRUE(d->Connect(&err)) << err;
  auto ready = [&](const std::string& text) {
    return Terminal::WaitFor([&] {
      if (Inhibited(*d)) return false;
      for (int r = 1; r <= 24; ++r)
        if (d->ReadText(r, 1, 80).find(text) != std::string::npos) return true;
      return false;
    });
  };

  ASSERT_TRUE(ready("Sign On"));
  EXPECT_GE(screens, 1);
  EXPECT_EQ(d->ReadText(4, 70, 5), "GUN01");
  const int user = FieldAt(*d, 6, 53), password = FieldAt(*d, 7, 53);
  ASSERT_GE(user, 0);
  ASSERT_GE(password, 0);
  EXPECT_TRUE(d->Fields().Item(password).Hidden);
  ASSERT_TRUE(d->Fields().SetText(user, "gateway"));
  ASSERT_TRUE(d->Fields().SetText(password, "pw"));
  ASSERT_TRUE(d->SendKeys("@E", &err)) << err;
  ASSERT_TRUE(ready("Main Menu"));
  // Every constant is a protected field of its own, at the column it is
  // shown at, as an IBM i writes them: each menu entry, the header items and
  // the function-key line.
  struct Constant {
    int row, column;
    const char* text;
  };
  for (const Constant& c : {Constant{1, 2, "GATEWAY"}, Constant{1, 31, "Warehouse Management"},
                            Constant{1, 70, "GUN01"}, Constant{2, 36, "Main Menu"},
                            Constant{7, 7, "1. Receiving"}, Constant{9, 7, "3. Item inquiry"},
                            Constant{10, 7, "4. Stock transfer"}, Constant{12, 6, "90. Sign off"},
                            Constant{20, 2, "Selection . . ."},
                            Constant{23, 2, "F3=Exit   F12=Cancel"}}) {
    const int i = FieldAt(*d, c.row, c.column);
    ASSERT_GE(i, 0) << c.text;
    std::string text = d->Fields().Item(i).Text;
    while (!text.empty() && text.back() == ' ') text.pop_back();
    EXPECT_EQ(text, c.text);
    EXPECT_TRUE(d->Fields().Item(i).Protected) << c.text;
  }
  ASSERT_TRUE(d->SendKeys("3@E", &err)) << err;
  ASSERT_TRUE(ready("Type an item number"));

  const int item = FieldAt(*d, 7, 31);
  ASSERT_GE(item, 0);
  ASSERT_TRUE(d->Fields().SetText(item, "999999"));
  ASSERT_TRUE(d->SendKeys("@E", &err));
  ASSERT_TRUE(Terminal::WaitFor([&] { return d->ReadText(25, 1, 80).find("Item 999999 is not on file.") == 0; }))
      << d->ReadText(25, 1, 80);
  EXPECT_TRUE(Inhibited(*d));
  EXPECT_FALSE(d->SendKeys("1", &err));
  ASSERT_TRUE(d->SendKeys("@R", &err)) << err;
  EXPECT_FALSE(Inhibited(*d));
  EXPECT_EQ(d->CursorRow(), 7);
  EXPECT_EQ(d->CursorColumn(), 31);
  ASSERT_TRUE(d->Fields().SetText(item, "100418"));
  ASSERT_TRUE(d->SendKeys("@E", &err));
  ASSERT_TRUE(ready("Packing tape"));
  const int onHand = FieldAt(*d, 7, 31);
  ASSERT_GE(onHand, 0);
  EXPECT_EQ(d->Fields().Item(onHand).Type, host5250::kTypeSignedNumeric);
  EXPECT_TRUE(d->Fields().Item(onHand).Protected);
  EXPECT_EQ(d->Fields().Item(onHand).Text, "     12-");

  ASSERT_TRUE(d->SendKeys("@c", &err));  // F12
  ASSERT_TRUE(ready("Type an item number"));
  ASSERT_TRUE(d->SendKeys("@3", &err));  // F3
  ASSERT_TRUE(ready("Main Menu"));
  ASSERT_TRUE(d->SendKeys("90@E", &err));
  EXPECT_TRUE(Terminal::WaitFor([&] { return disconnected; }));
}

}  // namespace
}  // namespace tervo::demohost
