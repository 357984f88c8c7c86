// Which host lines reach the terminal as an error page: a message the host
// writes after the screen first appeared, never a constant line that was
// part of the screen (IBM i's copyright on row 24 of its sign-on).
#include <gtest/gtest.h>

#include <algorithm>

#include "gateway_fixture.h"

namespace tervo::core::testing {
namespace {

const char* kCopyright = "(C) COPYRIGHT IBM CORP. 1980, 2013.";
const char* kWrong = "Password not correct for user profile.";

class ErrorLines : public Started {
 protected:
  void SetUp() override {
    Started::SetUp();
    options_->SetText("SendErrorLine24", "1");
    options_->SetText("SendErrorLine25", "0");
    Connect(kT1);
    SignOn();
    Define(2);
    ShowItemInput(2);
  }
  // The sign-on as IBM i writes it: the user field and the copyright line.
  void SignOn(const std::string& row24 = kCopyright, int column = 40) {
    Display(0).ClearScreen();
    Display(0).AddField(6, 17, "User", 4, true);
    Display(0).AddField(6, 53, "", 10, false);
    Display(0).PutText(24, column, row24);
  }
  // Error pages in the screens sent to the terminal.
  int ErrorPages() const {
    return static_cast<int>(
        std::count(radio_->calls.begin(), radio_->calls.end(), "T_PrintInverse('ERRO')"));
  }
  void Answer() {
    Started::Answer("T1", {"QSECOFR"});
    Pass(kPollIntervalMs);
  }
};

TEST_F(ErrorLines, TheCopyrightIsNoErrorAndTheWrongPasswordMessageIs) {
  gateway_->ReadyToSend(0, true);
  ASSERT_EQ(Calls("T_SendScreen()"), 1);
  EXPECT_EQ(ErrorPages(), 0) << "the copyright line was there when the screen appeared";

  // A wrong password: the host writes the sign-on again, the message on row
  // 24 in the copyright's place.
  Display(0).onSendKeys = [this](const std::string& keys) {
    if (keys == "@E") SignOn(std::string(kWrong) + std::string(50, ' '), 1);
  };
  Answer();
  ASSERT_EQ(Calls("T_SendScreen()"), 2);
  EXPECT_EQ(ErrorPages(), 1);
  EXPECT_EQ(Calls(std::string("T_PrintString('") + std::string(kWrong).substr(0, 24)), 1);
  // Wrong again: the message again, though the screen before showed it too.
  Answer();
  EXPECT_EQ(ErrorPages(), 2);
  // Right at last: the copyright is back and is no error.
  Display(0).onSendKeys = [this](const std::string& keys) {
    if (keys == "@E") SignOn();
  };
  Answer();
  EXPECT_EQ(Calls("T_SendScreen()"), 4);
  EXPECT_EQ(ErrorPages(), 2);
}

// Another screen with a constant line of its own is no error either, also
// when it is defined on the spot.
TEST_F(ErrorLines, EachScreenHasItsOwnConstantLines) {
  gateway_->ReadyToSend(0, true);
  Display(0).onSendKeys = [this](const std::string& keys) {
    if (keys != "@E") return;
    ItemScreen(Display(0));  // "F3=Exit   F12=Cancel" on row 24
  };
  Answer();
  EXPECT_EQ(Calls("T_SendScreen()"), 1) << "not defined yet";
  Pass(3000);  // NewScreenTimeout: defined automatically
  EXPECT_EQ(Calls("T_SendScreen()"), 2);
  EXPECT_EQ(ErrorPages(), 0);
}

// The terminal's Enter locks the keyboard; "Send Error Line 25" then reads
// row 25, blank.  That blank must not stand for a message pending, or the
// host's message on row 24 in its answer is never read.
TEST_F(ErrorLines, ABlankRow25ReadAtTheAnswerDoesNotHideTheMessage) {
  options_->SetText("SendErrorLine25", "1");
  gateway_->ReadyToSend(0, true);
  Display(0).onSendKeys = [this](const std::string& keys) {
    if (keys != "@E") return;
    Display(0).Keyboard().Locked = true;  // the AID locks it
    Display(0).inhibited = true;
  };
  Started::Answer("T1", {"QSECOFR"});
  Pass(kPollIntervalMs);
  gateway_->KeyboardStatus(0);
  // The host answers with the sign-on and its message, and unlocks.
  Display(0).Keyboard().Locked = false;
  Display(0).inhibited = false;
  SignOn(std::string(kWrong) + std::string(50, ' '), 1);
  gateway_->ReadyToSend(0, true);
  EXPECT_EQ(ErrorPages(), 1);
  EXPECT_EQ(text::TrimBlanks(S()[0].ErrorLineText), kWrong);
}

// The terminal answers the screen that showed the message; its Enter locks
// the keyboard while the message is still on the host's row 24.  That is no
// new error for the screen that follows.
TEST_F(ErrorLines, AMessageTheTerminalWasShownIsNotSentAgain) {
  gateway_->ReadyToSend(0, true);
  Display(0).onSendKeys = [this](const std::string& keys) {
    if (keys == "@E") SignOn(std::string(kWrong) + std::string(50, ' '), 1);
  };
  Answer();
  ASSERT_EQ(ErrorPages(), 1);
  Display(0).onSendKeys = [this](const std::string& keys) {
    if (keys != "@E") return;
    Display(0).Keyboard().Locked = true;
    Display(0).inhibited = true;
  };
  Started::Answer("T1", {"QSECOFR"});
  Pass(kPollIntervalMs);
  gateway_->KeyboardStatus(0);
  EXPECT_TRUE(text::TrimBlanks(S()[0].ErrorLineText).empty());
  Display(0).Keyboard().Locked = false;
  Display(0).inhibited = false;
  ItemScreen(Display(0));
  gateway_->ReadyToSend(0, true);
  Pass(3000);  // defined after NewScreenTimeout
  EXPECT_EQ(Calls("T_SendScreen()"), 3);
  EXPECT_EQ(ErrorPages(), 1);
}

// An error the host puts on its error line with the keyboard locked is read
// before the Reset restores the line, when row 24 is the line asked for.
TEST_F(ErrorLines, AnErrorOnALockedKeyboardIsReadBeforeTheReset) {
  gateway_->ReadyToSend(0, true);
  Display(0).onSendKeys = [this](const std::string& keys) {
    if (keys == "@R") Display(0).PutText(24, 1, std::string(80, ' '));  // Reset restores
  };
  Display(0).Keyboard().Locked = true;
  gateway_->KeyboardStatus(0);  // the answer locked the keyboard: no error yet
  EXPECT_EQ(S()[0].ErrorLineText, "");
  Display(0).PutText(24, 1, kWrong);
  gateway_->KeyboardStatus(0);
  EXPECT_EQ(text::TrimBlanks(S()[0].ErrorLineText), kWrong);
  EXPECT_EQ(Display(0).sentKeys.back(), "@R");
}

// Line N follows the same rule; row 25, the host's error line itself, is
// taken as the host wrote it.
TEST_F(ErrorLines, LineNAndRow25) {
  options_->SetText("SendErrorLine24", "0");
  options_->SetText("SendErrorLineN", "1");
  options_->SetText("ErrorLineN", "23");
  options_->SetText("ErrorLineStart", "1");
  options_->SetText("ErrorLineLen", "40");
  Display(0).PutText(23, 2, "Enter your user and password");
  gateway_->ReadyToSend(0, true);
  EXPECT_EQ(ErrorPages(), 0);
  Display(0).onSendKeys = [this](const std::string& keys) {
    if (keys == "@E") Display(0).PutText(23, 2, "User profile cannot sign on.");
  };
  Answer();
  EXPECT_EQ(ErrorPages(), 1);

  S()[0].ErrorLineText.clear();  // the terminal has seen it
  options_->SetText("SendErrorLineN", "0");
  options_->SetText("SendErrorLine25", "1");
  Display(0).PutText(25, 1, "Function key not allowed.");
  Display(0).Keyboard().Locked = true;
  gateway_->KeyboardStatus(0);
  EXPECT_EQ(text::TrimBlanks(S()[0].ErrorLineText), "Function key not allowed.");
}

}  // namespace
}  // namespace tervo::core::testing
