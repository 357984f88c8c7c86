#include "platform/radio/output_queue.h"

#include <gtest/gtest.h>

namespace tervo::radio {
namespace {

// A terminal that falls behind is reported at both ends: its first lost
// screen, and when it has caught up, with every screen lost in between.
// Another terminal sharing the queue (one serial line) is counted apart.
TEST(OutputQueue, ReportsAFallingBehindTerminalOnceAtEachEnd) {
  OutputQueue q({/*sinkBytes=*/1 << 20, /*backlogBytes=*/100});
  const std::string screen(40, 's');
  auto behind = [&] {
    int firstDrops = 0, dropped = 0;
    for (int i = 0; i < 6; ++i) {
      const auto p = q.Push("T1", true, screen);
      firstDrops += p.firstDrop;
      dropped += p.droppedScreens;
      EXPECT_FALSE(p.overflow);
    }
    EXPECT_EQ(firstDrops, 1);
    EXPECT_EQ(dropped, 4);
  };
  behind();
  q.Push("T2", true, screen);
  EXPECT_TRUE(q.TakeCaughtUp().empty()) << "T1 still has screens waiting";

  q.Flush([] { return std::size_t{0}; }, [](const std::string&) { return true; });
  const auto caughtUp = q.TakeCaughtUp();
  ASSERT_EQ(caughtUp.size(), 1u);
  EXPECT_EQ(caughtUp[0].terminalId, "T1");
  EXPECT_EQ(caughtUp[0].droppedScreens, 4);
  EXPECT_TRUE(q.TakeCaughtUp().empty()) << "reported once";

  behind();  // falling behind again is a new first drop
}

}  // namespace
}  // namespace tervo::radio
