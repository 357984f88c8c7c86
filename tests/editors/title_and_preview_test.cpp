#include <gtest/gtest.h>

#include "config/screen_store.h"
#include "editors/terminal_preview.h"
#include "editors/title.h"
#include "support/field_def.h"

namespace tervo::editors {
namespace {

using testing_support::Def;

TEST(CenterTitle, CentresBetweenMarkersAtDisplayWidth) {
  const std::string s(1, kTitleStart), e(1, kTitleEnd);
  EXPECT_EQ(CenterTitle("MENU", 10), s + "   MENU   " + e);
  EXPECT_EQ(CenterTitle("ABC", 10), s + "    ABC   " + e) << "3.5 blanks round to even: 4";
  EXPECT_EQ(CenterTitle("ABCDE", 10), s + "  ABCDE   " + e) << "2.5 blanks round to even: 2";
  EXPECT_EQ(CenterTitle("A VERY LONG TITLE TEXT", 10), s + "A VERY LON" + e)
      << "cut to the width first";
  EXPECT_EQ(CenterTitle(s + "MENU" + e, 10), s + "   MENU   " + e) << "old markers do not pile up";
}

TEST(StripTitleMarkers, RemovesMarkersAndBlanks) {
  EXPECT_EQ(StripTitleMarkers(std::string(1, kTitleStart) + "  Main  " + kTitleEnd), "Main");
}

TEST(CreateTerminalSt, FollowsOrderUntilAGap) {
  config::ScreenStore store;
  store.Originals[1].Count = 4;
  auto& f = store.Screens[1].Screen;
  f[0] = Def([](config::FieldDef& d) {
    d.Size = 6;
    d.NewLine = 1;
    d.Show = 1;
    d.Order = 1;
  });
  f[1] = Def([](config::FieldDef& d) {
    d.Size = 3;
    d.NewLine = 1;
    d.Show = 1;
    d.Order = 0;
    d.InputField = 1;
  });
  f[2] = Def([](config::FieldDef& d) {
    d.Size = 4;
    d.NewLine = 1;
    d.Show = 1;
    d.Order = 3;
  });
  f[3] = Def([](config::FieldDef& d) {
    d.Size = 4;
    d.NewLine = 1;
    d.Show = 1;
    d.AuxText = "Qty:";
    d.SizeTextAux = 4;
    d.Order = 1;
  });
  store.ScreensText[1][0] = "Item";
  store.ScreensText[1][2] = "Gone";
  // Order 1 is looked for from the field after the one with order 0, so
  // field 3 takes it and field 0 is never shown; order 3 follows a gap.
  EXPECT_EQ(CreateTerminalSt(store, 1), "___\r\nQty:    \r\n");
  f[3].Show = 0;
  EXPECT_EQ(CreateTerminalSt(store, 1), "___\r\n") << "a hidden field uses up its order";
  EXPECT_EQ(CreateTerminalSt(store, 99), "");
}

}  // namespace
}  // namespace tervo::editors
