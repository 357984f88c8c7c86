// The rules of the gateway that are plain arithmetic on their inputs: the
// key queue, repeat keys, screen numbers, counter days, caption and layout.
#include <gtest/gtest.h>

#include "core/caption.h"
#include "core/key_queue.h"
#include "core/layout.h"
#include "core/screen_numbers.h"

namespace tervo::core {
namespace {

TEST(KeyQueue, PiecesComeOffOneAtATime) {
  std::string q = ",,@E";
  EXPECT_EQ(TakePiece(q).piece, "");
  EXPECT_EQ(TakePiece(q).piece, "");
  QueuePiece last = TakePiece(q);
  EXPECT_EQ(last.piece, "@E");
  EXPECT_TRUE(last.last);
  EXPECT_TRUE(q.empty());

  q = "1@E,@3,@E";
  EXPECT_FALSE(TakePiece(q).last);
  EXPECT_EQ(q, "@3,@E");
}

TEST(KeyQueue, LogoffWordsInAnyCase) {
  for (const char* w : {"@LOGOFF", "@logoff", "@Logout", "@DISCONNECT", " @logoff "})
    EXPECT_TRUE(IsLogoffWord(w)) << w;
  for (const char* w : {"@E", "LOGOFF", "@LOGOFF1", ""}) EXPECT_FALSE(IsLogoffWord(w)) << w;
}

struct RepeatCase {
  int counter, counterVal, ifCounter, sub1, sub2;
  const char* user;
  const char* keys;
  bool endless;
};

TEST(RepeatKeys, Table) {
  const RepeatCase cases[] = {
      // The worked example: two big steps, three small ones, then Enter.
      {2, 23, 9, 10, 1, "", "@u,@u,@v,@v,@v,@E", false},
      // User id + fixed: 2 + "3" = 5 small steps... of which IfCounter 9 takes none.
      {1, 2, 9, 10, 1, "3", "@v,@v,@v,@v,@v,@E", false},
      {1, 2, 9, 10, 1, "  x", "@v,@v,@E", false},
      // Field-order counter (3) and others: only the terminate keys.
      {3, 23, 9, 10, 1, "", "@E", false},
      {0, 23, 9, 10, 1, "", "@E", false},
      // A big step that never brings the count down stops the rule.
      {2, 23, 9, 0, 1, "", "", true},
      // So does a small step of 0 or less while the count is positive.
      {2, 5, 9, 10, 0, "", "", true},
      {2, 5, 9, 10, -1, "", "", true},
      // A count at or below zero needs no small steps at all.
      {2, 0, 9, 10, 0, "", "@E", false},
  };
  for (const auto& c : cases) {
    config::RepeatRule r;
    r.Counter = c.counter;
    r.CounterVal = c.counterVal;
    r.IfCounter = c.ifCounter;
    r.Keys1 = " @u ";
    r.SubCounter1 = c.sub1;
    r.Keys2 = "@v";
    r.SubCounter2 = c.sub2;
    r.TKeys = "@E ";
    const RepeatKeys k = BuildRepeatKeys(r, c.user);
    EXPECT_EQ(k.keys, c.keys) << c.counter << "/" << c.counterVal << "/" << c.sub1 << "/" << c.sub2;
    EXPECT_EQ(k.endlessLoop, c.endless);
  }
}

TEST(RepeatKeys, FiveHundredStepsAreAllowed) {
  config::RepeatRule r;
  r.Counter = 2;
  r.CounterVal = 500;
  r.IfCounter = 1000;
  r.Keys2 = "@v";
  r.SubCounter2 = 1;
  RepeatKeys k = BuildRepeatKeys(r, "");
  EXPECT_FALSE(k.endlessLoop);
  EXPECT_EQ(k.keys.size(), 500u * 3 - 1);
  r.CounterVal = 501;
  EXPECT_TRUE(BuildRepeatKeys(r, "").endlessLoop);
}

class ScreenNumbers : public ::testing::Test {
 protected:
  void Status(int s, int status) {
    if (!store.ValidScreen(s)) {
      store.NumeroMaximoDeEcrans = s;
      store.GrowScreenTables();
    }
    store.Screens[static_cast<std::size_t>(s)].Master = status;
  }
  int Allocate() {
    bool out = false;
    const int m = AllocateScreenNumber(store, &out);
    exhausted += out ? 1 : 0;
    return m;
  }
  config::ScreenStore store;
  int exhausted = 0;
};

TEST_F(ScreenNumbers, NextFreeNumberAfterScreenCtGrowingTheTables) {
  store.ScreenCt = 3;
  Status(4, config::kScreenMaster);
  Status(5, config::kScreenDefined);
  EXPECT_EQ(Allocate(), 6);
  EXPECT_EQ(store.ScreenCt, 6);
  EXPECT_GE(store.NumeroMaximoDeEcrans, 6);
  EXPECT_TRUE(store.ValidScreen(6));
}

TEST_F(ScreenNumbers, WrapsFrom179ToOneAndNeverHandsOutZero) {
  store.ScreenCt = 179;
  EXPECT_EQ(Allocate(), 1);
  EXPECT_EQ(store.ScreenCt, 1);
  store.ScreenCt = 178;
  Status(179, config::kScreenMaster);
  EXPECT_EQ(Allocate(), 1);
}

TEST_F(ScreenNumbers, AllTakenReusesACopyOfAMaster) {
  for (int s = 1; s <= 179; ++s) Status(s, config::kScreenDefined);
  Status(40, config::kScreenCopy);
  store.ScreenCt = 100;
  EXPECT_EQ(Allocate(), 40);
  EXPECT_EQ(exhausted, 0);
}

TEST_F(ScreenNumbers, NothingReusableFallsBackToOne) {
  for (int s = 1; s <= 179; ++s) Status(s, config::kScreenMaster);
  store.ScreenCt = 100;
  EXPECT_EQ(Allocate(), 1);
  EXPECT_EQ(exhausted, 1);
  EXPECT_EQ(store.ScreenCt, 1);
}

TEST(Caption, StatusAndPathTail) {
  const std::string path35 = "/srv/tervo/configurations/plant1234";
  ASSERT_EQ(path35.size(), 35u);
  const std::string status = CaptionStatusText("Saved", path35, "");
  EXPECT_EQ(status, "Saved ...");
  EXPECT_EQ(CaptionText(status, path35),
            "Tervo Remote Terminal 4.05 - Saved ...igurations/plant1234");
  EXPECT_EQ(CaptionText(CaptionStatusText("Unsaved", "C:\\a.TVO", ""), "C:\\a.TVO"),
            "Tervo Remote Terminal 4.05 - Unsaved             C:\\a.TVO");
  EXPECT_EQ(CaptionStatusText("", path35, "Saved ..."), "Saved ...");
  EXPECT_EQ(CaptionText("", ""),
            std::string("Tervo Remote Terminal 4.05 - ") + std::string(20, ' '));
}

TEST(Layout, FourSessionsOnATwoByTwoGrid) {
  LayoutInput in;
  in.scaleWidth = 12000;
  in.scaleHeight = 9000;
  in.scrollHeight = 300;
  in.labelHeight = 300;
  in.sessionCount = 5;
  in.sessionsPerPage = 4;
  in.displayRow = 2;
  in.displayCol = 2;
  Layout l = ArrangeAs400Windows(in);
  EXPECT_EQ(l.scrollMax, 1);
  ASSERT_EQ(l.displays.size(), 4u);
  EXPECT_EQ(l.displays[0], (PlacedDisplay{0, {0, 0, 5985, 4335}}));
  EXPECT_EQ(l.displays[1], (PlacedDisplay{1, {6000, 0, 5985, 4335}}));
  EXPECT_EQ(l.displays[3], (PlacedDisplay{3, {6000, 4350, 5985, 4335}}));
  EXPECT_TRUE(l.visible);
  EXPECT_FALSE(l.selectSingle);
  EXPECT_EQ(l.label1, (Rect{0, 8700, 2000, 300}));
  EXPECT_EQ(l.label2, (Rect{2000, 8700, 2000, 300}));
  EXPECT_EQ(l.scroll, (Rect{4000, 8700, 8000, 300}));

  in.page = 1;  // the second page holds only session 4
  l = ArrangeAs400Windows(in);
  ASSERT_EQ(l.displays.size(), 1u);
  EXPECT_EQ(l.displays[0], (PlacedDisplay{4, {0, 0, 5985, 4335}}));
}

TEST(Layout, DegenerateGridsAndTheLogo) {
  LayoutInput in;
  in.scaleWidth = 1000;
  in.scaleHeight = 800;
  in.logoWidth = 200;
  in.logoHeight = 100;
  in.sessionCount = 3;
  in.sessionsPerPage = 0;
  Layout l = ArrangeAs400Windows(in);
  EXPECT_EQ(l.scrollMax, 0);
  EXPECT_TRUE(l.displays.empty());
  EXPECT_EQ(l.logo, (Rect{400, 350, 200, 100}));

  in.sessionsPerPage = 1;
  in.displayRow = 0;  // a fresh dialog's empty DisplayRow
  in.displayCol = 0;
  l = ArrangeAs400Windows(in);
  EXPECT_EQ(l.scrollMax, 2);
  ASSERT_EQ(l.displays.size(), 1u);
  EXPECT_EQ(l.displays[0].rect, (Rect{0, 0, 985, 785}));
  EXPECT_TRUE(l.selectSingle);

  in.showLogo = true;
  EXPECT_FALSE(ArrangeAs400Windows(in).visible);
  in.minimised = true;
  EXPECT_TRUE(ArrangeAs400Windows(in).displays.empty());
}

}  // namespace
}  // namespace tervo::core
