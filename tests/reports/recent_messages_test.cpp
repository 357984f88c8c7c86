// The recent messages: what the caption showed, with its time, a bounded
// list, repeats counted instead of filling it.
#include "reports/recent_messages.h"

#include <gtest/gtest.h>

namespace tervo::reports {
namespace {

os::LocalTime At(int h, int m, int s) { return {2026, 3, 7, h, m, s}; }

TEST(RecentMessages, CaptionsBecomeErrorsAndStatusChanges) {
  RecentMessages r;
  r.AddCaption(At(9, 5, 0), "Tervo Remote Terminal 4.05 - Saved ...v/tervo/config/plant");
  r.AddCaption(At(9, 5, 2), "ERROR:Radio Base Not Found , <Enter> to go on");
  r.AddCaption(At(9, 5, 8), "ERROR:Radio Base Not Found , <Enter> to go on");
  r.AddCaption(At(9, 5, 14), "ERROR:Radio Base Not Found , <Enter> to go on");
  r.Add(At(9, 6, 0), RecentMessage::Kind::kResult, "Auto Fill: screen 12");
  ASSERT_EQ(r.Items().size(), 3u) << "a repeat counts on the entry before it";
  EXPECT_EQ(RecentMessages::Format(r.Items()[0]),
            "09:05:00  status  Saved ...v/tervo/config/plant");
  EXPECT_EQ(RecentMessages::Format(r.Items()[1]),
            "09:05:14  ERROR   Radio Base Not Found , <Enter> to go on (3 times)");
  EXPECT_EQ(RecentMessages::Format(r.Items()[2]), "09:06:00  result  Auto Fill: screen 12");
  EXPECT_EQ(r.UnreadErrors(), 3);
  r.MarkRead();
  EXPECT_EQ(r.UnreadErrors(), 0);
}

TEST(RecentMessages, KeepsTheLatestFewHundred) {
  RecentMessages r;
  for (int i = 0; i < 1000; ++i)
    r.Add(At(10, i / 60 % 60, i % 60), RecentMessage::Kind::kError, "error " + std::to_string(i));
  ASSERT_EQ(r.Items().size(), RecentMessages::kCapacity);
  EXPECT_EQ(r.Items().front().text, "error 700");
  EXPECT_EQ(r.Items().back().text, "error 999");
}

}  // namespace
}  // namespace tervo::reports
