// The debug window's lines as the gateway writes them: per session, the
// host screen it identified and what went to and came from the terminal.
#include <gtest/gtest.h>

#include "gateway_fixture.h"

namespace tervo::core::testing {
namespace {

class DebugLines : public Started {};

TEST_F(DebugLines, EachSessionsLinesFollowItsScreensAndAnswers) {
  Connect(kT1);
  ItemScreen(Display(0), "100234");
  Define(2);
  ShowItemInput(2);
  const std::string id = std::to_string(S()[0].ScreenIdValue);
  clock_->SetNow({2026, 3, 7, 9, 6, 30});
  gateway_->ReadyToSend(0, true);
  ASSERT_TRUE(S()[0].SendFlag);
  EXPECT_EQ(ui_.debug[0][0], "09:06:30 Scr=2 Id=" + id);
  EXPECT_EQ(ui_.debug[1][0], "09:06:30 Sent AS400" + id);
  EXPECT_EQ(ui_.debug[0].count(1), 0u) << "the other session wrote nothing";

  // The host is busy with the keys until it answers.
  Display(0).onSendKeys = [this](const std::string&) { Display(0).inhibited = true; };
  Answer("T1", {"100311"});
  EXPECT_EQ(ui_.debug[1][0], "09:06:30 ScrNum=2 Sending ...@E");
  EXPECT_EQ(ui_.debug[0][0], "09:06:30 Scr=2 Id=" + id) << "the host line stays";

  // Session 1's host shows a screen no definition matches yet.
  options_->SetText("NewScreenTimeout", "1.5");
  Connect(kT2);
  Display(1).AddField(3, 2, "Break message", 13, true);
  gateway_->ReadyToSend(1, true);
  EXPECT_EQ(ui_.debug[0][1].rfind("09:06:34 Screen Desconhecido Id=", 0), 0u) << ui_.debug[0][1];
  EXPECT_EQ(ui_.debug[1][0], "09:06:30 ScrNum=2 Sending ...@E") << "session 0's lines stay";
}

}  // namespace
}  // namespace tervo::core::testing
