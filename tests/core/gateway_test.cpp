// The gateway engine on fakes, in virtual time: start-up, START handling,
// the key queue, answers, new screens, error lines and shutdown.
#include <gtest/gtest.h>

#include "config/text.h"
#include "core/screen_numbers.h"
#include "gateway_fixture.h"
#include "screens/identification.h"

namespace tervo::core::testing {
namespace {

using tervo::testing::FakeHostDisplay;

TEST_F(GatewayTest, StartUpOpensTheLinkAcceptsIdsAndShowsSaved) {
  gateway_->Start();
  EXPECT_EQ(radio_->Find("TCPIP_Start('127.0.0.1')"), 0);
  EXPECT_EQ(radio_->calls[1], "InitializeComm(1,19200)");
  EXPECT_EQ(radio_->calls[2], "ForceResetOnAllTerminal()");
  EXPECT_EQ(radio_->calls[3], "TCPIP_AcceptTerminalId('T1')");
  EXPECT_EQ(radio_->calls[4], "TCPIP_AcceptTerminalId('T2')");
  EXPECT_TRUE(S()[0].SendFlag && S()[1].SendFlag);
  EXPECT_FALSE(S()[2].SendFlag);
  EXPECT_EQ(gateway_->Caption(),
            std::string("Tervo Remote Terminal 4.05 - Saved ") + std::string(20, ' '));
  EXPECT_EQ(settings_->Get("QuilComm", "Startup", "DEBUG", ""), "1");
  EXPECT_EQ(gateway_->RouterName, "DemoHost");
  EXPECT_EQ(Display(0).Link().name, "DemoHost");
  EXPECT_EQ(Display(0).connects, 0);  // hosts connect on START only
  gateway_->Shutdown();
}

TEST_F(GatewayTest, RefusedDeviceNameIsShownAndStartUpGoesOn) {
  store_->DeviceName[0] = "demo01";
  store_->DeviceName[1] = "1BAD";
  gateway_->Start();
  EXPECT_EQ(Display(0).Link().DeviceName, "DEMO01");
  EXPECT_EQ(Display(1).Link().DeviceName, "");
  EXPECT_TRUE(ui_.messages.empty()) << "not inside the start-up sequence";
  Settle();
  EXPECT_EQ(ui_.messages, std::vector<std::string>{"Invalid Device 1BAD"});
  EXPECT_TRUE(S()[1].SendFlag);
  gateway_->Shutdown();
}

TEST_F(GatewayTest, RadioRetryEverySixSecondsUntilEnter) {
  radio_->initializeResult = 0;
  bool finished = false;
  gateway_->SetStartupFinished([&] { finished = true; });
  gateway_->Start();
  Pass(13000);
  EXPECT_FALSE(finished) << "the sessions are set up once the link is settled";
  EXPECT_EQ(Calls("TCPIP_AcceptTerminalId"), 0);
  gateway_->SetMessageKey(kEnterKey);  // ends the retries at once
  EXPECT_TRUE(finished);
  Pass(20000);
  EXPECT_EQ(Calls("InitializeComm"), 3);  // at 0, 6 and 12 s
  EXPECT_EQ(Calls("ForceResetOnAllTerminal"), 0);
  EXPECT_EQ(CountLogged("Radio Base Not Found , <Enter> to go on"), 3);
  EXPECT_FALSE(gateway_->RadioUp());
  EXPECT_EQ(Calls("TCPIP_AcceptTerminalId"), 2);  // sessions are still set up
  gateway_->Shutdown();
}

TEST_F(GatewayTest, EmptyComPortOpensNoLinkButAcceptsIds) {
  options_->SetText("ComPort", " ");
  gateway_->Start();
  EXPECT_EQ(Calls("InitializeComm"), 0);
  EXPECT_EQ(Calls("TCPIP_AcceptTerminalId"), 2);
  gateway_->Shutdown();
  EXPECT_EQ(Calls("TerminateComm"), 0);
}

TEST_F(GatewayTest, ARadioBaseIsGivenTwoSecondsToAnswer) {
  options_->SetText("TCPIP", "0");
  radio_->initializeResult = 0;
  radio_->answerPending = true;  // a serial line: the base was asked
  gateway_->Start();
  Pass(1000);
  EXPECT_FALSE(Logged("Radio Base Not Found , <Enter> to go on"));
  radio_->initializeResult = 1;  // ... and answers
  radio_->answerPending = false;
  radio_->notify();
  EXPECT_TRUE(gateway_->RadioUp()) << "at once, not after the retry pause";
  EXPECT_EQ(Calls("InitializeComm"), 2);
  EXPECT_FALSE(Logged("Radio Base Not Found , <Enter> to go on"));
}

TEST_F(GatewayTest, ASilentRadioBaseIsReportedAfterTwoSeconds) {
  options_->SetText("TCPIP", "0");
  radio_->initializeResult = 0;
  radio_->answerPending = true;
  gateway_->Start();
  Pass(kBaseAnswerMs);
  EXPECT_EQ(CountLogged("Radio Base Not Found , <Enter> to go on"), 1);
  Pass(6000);
  EXPECT_EQ(Calls("InitializeComm"), 2) << "asked again after the pause";
  EXPECT_FALSE(gateway_->StartupFinished());
  gateway_->SetMessageKey(kEnterKey);
  EXPECT_TRUE(gateway_->StartupFinished());
}

TEST_F(GatewayTest, TheRadioBaseAnsweringLaterEndsTheRetries) {
  radio_->initializeResult = 0;
  gateway_->Start();
  Pass(6500);
  radio_->initializeResult = 1;
  Pass(6000);
  EXPECT_TRUE(gateway_->RadioUp());
  EXPECT_TRUE(gateway_->StartupFinished());
  EXPECT_EQ(Calls("InitializeComm"), 3);
  EXPECT_EQ(Calls("ForceResetOnAllTerminal"), 1);
  Pass(20000);
  EXPECT_EQ(Calls("InitializeComm"), 3);
}

TEST_F(GatewayTest, WaitsCountElapsedTimeAcrossMidnight) {
  clock_->SetNow({2026, 3, 7, 23, 59, 59});
  gateway_->Start();
  gateway_->HandleScreenRequest(kT1, "START");
  Pass(kConnectSettleMs - 1);
  EXPECT_EQ(Display(0).connects, 0);
  Pass(1);
  EXPECT_EQ(Display(0).connects, 1) << "four seconds, whatever the date says";
  EXPECT_EQ(clock_->Now().day, 8);
}

TEST_F(Started, StartConnectsTheSessionOfAPaddedId) {
  Connect();
  EXPECT_EQ(Display(0).disconnects, 1);
  EXPECT_EQ(Display(0).connects, 1);
  EXPECT_EQ(Display(1).connects, 0);
  EXPECT_TRUE(S()[0].Terminal_Connected);
  EXPECT_TRUE(S()[0].ReadyToSendFlag);
  EXPECT_FALSE(S()[0].SendFlag);
  EXPECT_GE(clock_->MonotonicMs(), 4000);
}

TEST_F(Started, QuickRestartThenFullConnectAndStartCount) {
  Connect();
  ItemScreen(Display(0));
  options_->SetText("NewScreenTimeout", "0");
  Connect();  // connected, StartCount 0: quick reconnect
  EXPECT_EQ(Display(0).disconnects, 1);
  EXPECT_EQ(Display(0).connects, 2);
  // The host's current screen went out as a screen request, which took one
  // off the 2 the quick restart added.
  EXPECT_EQ(Calls("T_InitScreen('T1','AS400"), 1);
  EXPECT_EQ(S()[0].StartCount, 1);
  Connect();  // right after: the full connection
  EXPECT_EQ(S()[0].StartCount, 0);
  EXPECT_EQ(Display(0).disconnects, 2);
  S()[0].StartCount = 2;
  gateway_->HandleScreenRequest(kT1, "AS400" + std::to_string(S()[0].ScreenIdValue));
  EXPECT_EQ(S()[0].StartCount, 1);
}

TEST_F(Started, UnknownAndBlankTerminalsAreNotConnected) {
  for (const std::string id : {"T9      ", "        "}) {
    radio_->calls.clear();
    gateway_->HandleScreenRequest(id, "START");
    EXPECT_EQ(Calls("T_PrintInverse('TERM ID NOT DEFINED')"), 1) << "[" << id << "]";
    EXPECT_EQ(gateway_->Caption(), "ERROR:Terminal ID not defined !!!");
  }
  EXPECT_EQ(Display(0).connects + Display(1).connects, 0);
}

// Ids come from the radio link padded with blanks; trailing blanks are
// padding, leading ones part of the id.  Every step of a START lands on the
// one session the id names, and that session is found once.
TEST_F(Started, APaddedIdConnectsTheSessionConfiguredForIt) {
  store_->TerminalIDDef[1] = "T2  ";  // as a hand-edited file may hold it
  radio_->Deliver({kT2, "START", radio::kScreenRequest, {}});
  Settle();
  Pass(kConnectSettleMs);
  EXPECT_EQ(Display(1).connects, 1);
  EXPECT_EQ(Display(0).connects, 0);
  EXPECT_TRUE(S()[1].Terminal_Connected);
  EXPECT_TRUE(S()[1].ReadyToSendFlag);
  EXPECT_TRUE(S()[1].AwaitingFirstScreen);
  EXPECT_FALSE(S()[2].ReadyToSendFlag);  // the slot of unknown terminals
  EXPECT_FALSE(S()[2].AwaitingFirstScreen);
}

TEST_F(Started, ALeadingBlankNamesAnotherTerminal) {
  // The radio link keeps " T1" and "T1" apart: connecting T1's session for
  // " T1" would send its screens to a terminal that never asked.
  radio_->Deliver({" T1", "START", radio::kScreenRequest, {}});
  Settle();
  Pass(kConnectSettleMs);
  EXPECT_EQ(Calls("T_PrintInverse('TERM ID NOT DEFINED')"), 1);
  EXPECT_EQ(Display(0).connects, 0);
  EXPECT_FALSE(S()[0].Terminal_Connected);
}

TEST_F(Started, ATerminalConfiguredTwiceIsServedByItsFirstSessionOnly) {
  store_->TerminalIDDef[1] = "T1  ";
  Connect();  // the full connection
  Connect();  // a START while connected: the quick reconnection
  EXPECT_EQ(Display(0).connects, 2);
  EXPECT_EQ(Display(1).connects, 0);  // another session's host is left alone
  EXPECT_FALSE(S()[1].Terminal_Connected);
}

TEST_F(Started, GlobalMessageInsteadOfConnecting) {
  gateway_->GlobalMessage = "Back at 14:00";
  Connect();
  EXPECT_EQ(Calls("T_PrintInverse('Back at 14:00')"), 1);
  EXPECT_EQ(Display(0).connects, 0);
  EXPECT_FALSE(S()[0].Terminal_Connected);
}

TEST_F(Started, QueueSendsOnePiecePerTickWhileTheHostAcceptsInput) {
  Connect();
  gateway_->RunPendingKeys(",1@E,,@E", 0);
  Display(0).inhibited = true;
  gateway_->PollTerminals();
  EXPECT_TRUE(Display(0).sentKeys.empty());
  EXPECT_EQ(S()[0].PendingKeys, ",1@E,,@E");
  Display(0).inhibited = false;
  gateway_->PollTerminals();  // "" sends nothing
  EXPECT_TRUE(Display(0).sentKeys.empty());
  EXPECT_FALSE(S()[0].Terminal_Connected);
  gateway_->PollTerminals();
  EXPECT_EQ(Display(0).sentKeys, std::vector<std::string>{"1@E"});
  gateway_->PollTerminals();
  gateway_->PollTerminals();  // the last piece: sent, and the screen handled
  EXPECT_EQ(Display(0).sentKeys, (std::vector<std::string>{"1@E", "@E"}));
  EXPECT_TRUE(S()[0].Terminal_Connected);
  EXPECT_TRUE(Logged("NewScreen =0"));
  EXPECT_TRUE(gateway_->RunPendingKeys("@3", 0));
  EXPECT_TRUE(gateway_->RunPendingKeys("END", 0));
  EXPECT_EQ(S()[0].PendingKeys, "");
}

TEST_F(Started, LogoffWordDisconnects) {
  Connect();
  gateway_->RunPendingKeys("@E,@logoff", 0);
  gateway_->PollTerminals();
  gateway_->PollTerminals();
  EXPECT_EQ(Display(0).sentKeys, std::vector<std::string>{"@E"});
  EXPECT_EQ(Display(0).disconnects, 2);
  EXPECT_FALSE(S()[0].Terminal_Connected);
  EXPECT_EQ(Calls("T_PrintInverse('Disconnect...')"), 1);
}

TEST_F(Started, HostEndingTheSessionTellsTheTerminal) {
  std::string message = "host closed";
  Display(1).Events().Disconnected(message);  // never started: nothing to tell
  EXPECT_EQ(Calls("T_PrintInverse('Disconnect...')"), 0);
  Connect();
  Display(0).Events().ReadyToSend(true);  // the host session is up
  Display(0).Events().Disconnected(message);
  EXPECT_FALSE(S()[0].Terminal_Connected);
  EXPECT_EQ(Calls("T_PrintInverse('Disconnect...')"), 1);
}

// A connection that fails before the host showed anything tells the
// terminal "Host not reachable" and the reason goes to the log and the
// caption; a session that was up ends with "Disconnect...".
TEST_F(Started, AHostThatCannotBeReachedIsNamedWithItsReason) {
  for (const char* reason : {"connection refused", "time-out: no answer from the host within 30 s",
                             "TLS certificate refused: The host name did not match"}) {
    SCOPED_TRACE(reason);
    const int before = Calls("T_PrintInverse('Host not reachable')");
    Connect();
    std::string message = reason;
    Display(0).Events().Disconnected(message);
    EXPECT_EQ(Calls("T_PrintInverse('Host not reachable')"), before + 1);
    EXPECT_EQ(Calls("T_PrintInverse('Disconnect...')"), 0);
    EXPECT_TRUE(Logged(text::Left("Host not reachable, session 0: " + std::string(reason), 80)));
    EXPECT_EQ(ui_.captions.back(),
              text::Left("ERROR:Host not reachable, session 0: " + std::string(reason), 86));
    EXPECT_FALSE(S()[0].Terminal_Connected);
  }
  // A system name that cannot even be tried fails at Connect.
  Display(0).connectResult = false;
  Connect();
  EXPECT_EQ(Calls("T_PrintInverse('Host not reachable')"), 4);
  EXPECT_TRUE(Logged("Host not reachable, session 0: connect refused"));
  // Up, then lost: the session ended.
  Display(0).connectResult = true;
  Connect();
  Display(0).Events().KeyboardStatus();
  std::string message = "Host closed the connection";
  Display(0).Events().Disconnected(message);
  EXPECT_EQ(Calls("T_PrintInverse('Disconnect...')"), 1);
  EXPECT_EQ(Calls("T_PrintInverse('Host not reachable')"), 4);
  EXPECT_TRUE(Logged("Host session 0 ended: Host closed the connection"));
}

TEST_F(Started, RepeatRuleThatNeverEndsQueuesNothing) {
  Define(3);
  auto& rule = store_->AdvScreens[3];
  rule.Counter = 2;
  rule.CounterVal = 5;
  rule.Keys1 = "@u";
  rule.SubCounter1 = 0;
  S()[0].PendingKeys = "kept";
  EXPECT_FALSE(gateway_->TestRepeatKeys(3, 0));
  EXPECT_EQ(gateway_->Caption(), "ERROR:Infinite loop in Terminal:0");
  EXPECT_EQ(S()[0].PendingKeys, "kept");
  rule.SubCounter1 = 10;
  rule.IfCounter = 9;
  rule.Keys2 = "@v";
  rule.SubCounter2 = 2;
  rule.TKeys = "@E";
  EXPECT_TRUE(gateway_->TestRepeatKeys(3, 0));
  EXPECT_EQ(S()[0].PendingKeys, "@v,@v,@v,@E");
}

TEST_F(Started, IdleConnectedTerminalGetsSystemDownOnce) {
  Connect();
  S()[0].SendFlag = false;
  S()[0].IdleTicks = 0;
  for (int i = 0; i < 1500; ++i) gateway_->PollTerminals();
  EXPECT_EQ(Calls("T_PrintInverse('System DOWN')"), 0);
  gateway_->PollTerminals();
  EXPECT_EQ(Calls("T_PrintInverse('System DOWN')"), 1);
  EXPECT_EQ(S()[0].IdleTicks, 0);
  S()[0].SendFlag = true;
  for (int i = 0; i < 1600; ++i) gateway_->PollTerminals();
  EXPECT_EQ(Calls("T_PrintInverse('System DOWN')"), 1);
}

TEST_F(Started, ReadyToSendGates) {
  gateway_->ReadyToSend(0, false);
  EXPECT_TRUE(Logged("AS4001_ReadyToSend->State=false"));
  gateway_->ReadyToSend(0, true);  // never connected
  EXPECT_TRUE(Logged("AS4001_ReadyToSend->ReadyToSendFlag(Index) = False"));
  Connect();
  ItemScreen(Display(0));
  Define(2);
  S()[0].SendFlag = true;  // the terminal holds a screen
  gateway_->ReadyToSend(0, true);
  EXPECT_TRUE(Logged("AS4001_ReadyToSend->Terminal_Connected(Index) And SendFlag(Index)"));
  EXPECT_EQ(Calls("T_InitScreen('T1','AS400"), 0);
  Display(0).inhibited = true;
  S()[0].SendFlag = false;
  gateway_->ReadyToSend(0, true);
  EXPECT_TRUE(Logged("AS4001_ReadyToSend->Reentra"));
  EXPECT_FALSE(gateway_->SessionWaiting(0));
}

TEST_F(Started, UnknownScreenIsRetriedThenDefinedAfterTheTimeout) {
  S()[0].ReadyToSendFlag = true;  // not connected: identified and captured only
  ItemScreen(Display(0));
  store_->ScreenCt = 4;
  store_->NumeroMaximoDeEcrans = 5;
  store_->GrowScreenTables();
  store_->Screens[5].Master = config::kScreenMaster;
  options_->SetText("NewScreenTimeout", "1.5");
  const auto t0 = clock_->MonotonicMs();
  gateway_->ReadyToSend(0, true);
  EXPECT_TRUE(S()[0].InNewScreen);
  Pass(1600);
  const int rounds = CountLogged("Screen Desconhecido");
  EXPECT_GE(rounds, 7);
  EXPECT_LE(rounds, 8);
  EXPECT_GE(clock_->MonotonicMs() - t0, 1500);
  EXPECT_EQ(S()[0].CurrentScreen, 6);
  EXPECT_EQ(store_->Screens[6].ScreenId, S()[0].ScreenIdValue);
  EXPECT_EQ(store_->Originals[6].Count, 2);
  EXPECT_EQ(store_->Screens[6].EscKey, "@3");  // from "F3=Exit" on row 24
  EXPECT_EQ(store_->Screens[6].Screen[1].InputField, 1);
  EXPECT_EQ(Calls("T_InitScreen"), 0);
  EXPECT_FALSE(S()[0].InNewScreen);
}

TEST_F(Started, ErrorLines) {
  Connect();
  ItemScreen(Display(0));
  Define(2);
  S()[0].ErrorLineText = "pending";
  S()[0].Terminal_Connected = false;
  gateway_->ReadyToSend(0, true);
  EXPECT_EQ(S()[0].ErrorLineText, "pending");  // not replaced
  S()[0].ErrorLineText.clear();
  Display(0).PutText(24, 1, "Item 999999 is not on file.");
  gateway_->ReadyToSend(0, true);
  EXPECT_EQ(tervo::text::TrimBlanks(S()[0].ErrorLineText), "Item 999999 is not on file.");

  S()[0].ErrorLineText = std::string("\0x", 2);
  options_->SetText("SendErrorLine25", "1");
  Display(0).Keyboard().Locked = true;
  Display(0).PutText(25, 1, "Keyboard locked");
  gateway_->KeyboardStatus(0);
  EXPECT_EQ(tervo::text::TrimBlanks(S()[0].ErrorLineText), "Keyboard locked");
  EXPECT_EQ(Display(0).sentKeys.back(), "@R");
  Display(0).Keyboard().Locked = false;
  const auto sent = Display(0).sentKeys.size();
  gateway_->KeyboardStatus(0);
  EXPECT_EQ(Display(0).sentKeys.size(), sent);
}

TEST_F(Started, ScreenNotToSendIsAnsweredByItsKeys) {
  Connect();
  ItemScreen(Display(0));
  Define(2);
  store_->Screens[2].DontSendToTerminal = 1;
  store_->Screens[2].EscKey = "@E";
  store_->Screens[2].Screen[1].Show = 1;
  store_->ScreensText[2][1] = "100234";
  gateway_->ReadyToSend(0, true);
  EXPECT_EQ(Calls("T_InitScreen('T1','AS400"), 0);
  EXPECT_EQ(Display(0).Field(1).Text.substr(0, 6), "100234");
  EXPECT_EQ(S()[0].PendingKeys, "@E");
}

TEST_F(Started, EnterInTheMessageWindowSendsAScreenThatWouldBeAnswered) {
  Connect();
  ItemScreen(Display(0));
  Define(2);
  store_->Screens[2].DontSendToTerminal = 1;
  store_->Screens[2].EscKey = "@E";
  // The host takes a key and goes busy with it, as a real one does.
  Display(0).onSendKeys = [this](const std::string&) { Display(0).inhibited = true; };
  ui_.configVisible = true;
  gateway_->ReadyToSend(0, true);  // two seconds for Enter, none pressed
  EXPECT_FALSE(S()[0].Terminal_Connected) << "its screens are not sent meanwhile";
  Pass(1900);
  EXPECT_TRUE(Display(0).sentKeys.empty());
  Pass(100);
  EXPECT_TRUE(Logged("<Enter> to send this screen."));
  EXPECT_EQ(Display(0).sentKeys, std::vector<std::string>{"@E"}) << "answered by its keys";
  EXPECT_TRUE(S()[0].Terminal_Connected);  // restored after the window
  EXPECT_EQ(gateway_->MessageSeconds, 5.0);

  Display(0).inhibited = false;
  gateway_->SetMessageKey(kEnterKey);  // an earlier Enter still counts
  gateway_->ReadyToSend(0, true);
  EXPECT_EQ(Calls("T_InitScreen('T1','AS400"), 1);
  EXPECT_EQ(S()[0].PendingKeys, "");

  // Enter pressed within the two seconds sends the screen at once.
  gateway_->SetMessageKey(0);
  S()[0].SendFlag = false;
  gateway_->ReadyToSend(0, true);
  Pass(500);
  gateway_->SetMessageKey(kEnterKey);
  EXPECT_EQ(Calls("T_InitScreen('T1','AS400"), 2);
  EXPECT_TRUE(S()[0].Terminal_Connected);
  EXPECT_EQ(Display(0).sentKeys.size(), 1u);
}

TEST_F(Started, AnUnassignedKeyGetsTheScreenBack) {
  Connect();
  ItemScreen(Display(0));
  Define(2);
  store_->Screens[2].TeclasFuncao[2] = "Exit";  // the screen maps F3 only
  store_->Screens[2].TeclasFuncaoVal[2] = "@3";
  gateway_->ReadyToSend(0, true);
  ASSERT_EQ(Calls("T_SendScreen()"), 1);
  // F5: no keys on this screen
  radio_->incoming.push_back(
      {"T1", "AS400", radio::kTerminalAnswer, RecordingRadioLink::Chose(-5)});
  gateway_->PollTerminals();
  EXPECT_TRUE(Display(0).sentKeys.empty());
  EXPECT_EQ(Calls("T_SendScreen()"), 2) << "the terminal is not left waiting";
  EXPECT_TRUE(S()[0].SendFlag);
}

TEST_F(Started, AnswerWritesTypedValuesAndWarnsOfLowBattery) {
  Connect();
  ItemScreen(Display(0));
  Define(2);
  store_->Screens[2].Screen[0] = {};
  store_->Screens[2].Screen[0].Show = 1;
  store_->Screens[2].Screen[0].Size = 20;
  store_->Screens[2].Screen[0].NewLine = 1;
  store_->Screens[2].Screen[1].Show = 1;
  store_->Screens[2].Screen[1].Order = 1;
  store_->Screens[2].Screen[1].InputField = 1;
  store_->Screens[2].Screen[1].Size = 6;
  gateway_->ReadyToSend(0, true);
  ASSERT_EQ(Calls("T_SendScreen()"), 1);
  EXPECT_TRUE(S()[0].SendFlag);

  radio_->battery["T1"] = 4200;  // reported with the answer
  radio_->incoming.push_back(
      {"T1", "AS400", radio::kTerminalAnswer,
       RecordingRadioLink::Chose(S()[0].TerminalScreen.Items.enterItem, {"100234"})});
  gateway_->PollTerminals();
  EXPECT_EQ(Display(0).Field(1).Text, "100234");
  EXPECT_TRUE(Logged("Battery Low T1"));  // the id without the radio's padding
  EXPECT_EQ(S()[0].TerminalScreen.BatteryLevel, 4200);
  EXPECT_EQ(S()[0].PendingKeys, "");  // the tick sent the one piece
  EXPECT_EQ(Display(0).sentKeys.back(), "@E");
}

TEST_F(Started, ShutdownAsksSavesCountersAndStoresTheDay) {
  gateway_->ConfigChanged = true;
  options_->SetText("AutoSave", "1");
  gateway_->Counters().DailyScreens[7][0] = 12;
  gateway_->Shutdown();
  EXPECT_EQ(ui_.questions, std::vector<std::string>{"Save Changes ?"});
  EXPECT_EQ(services_->configurationSaves, 2);  // the answer, then auto-save
  EXPECT_EQ(services_->countersSaved, 1);
  EXPECT_EQ(services_->stored.DailyScreens[7][0], 12);
  EXPECT_EQ(settings_->Get("TervoTerminal2", "Startup", "LastDay", ""), "7");
  EXPECT_EQ(radio_->calls.back(), "TerminateComm(1)");
  EXPECT_EQ(services_->debugClosed, 1);
  gateway_->Shutdown();  // a second call changes nothing
  EXPECT_EQ(services_->countersSaved, 1);
}

TEST_F(GatewayTest, StartClearsTheDaysSinceTheLastRun) {
  settings_->Set("TervoTerminal2", "Startup", "LastDay", "5");
  for (auto& day : services_->stored.DailyScreens) day.fill(3);
  gateway_->Start();
  EXPECT_EQ(gateway_->Counters().DailyScreens[5][0], 3);
  EXPECT_EQ(gateway_->Counters().DailyScreens[6][0], 0);
  EXPECT_EQ(gateway_->Counters().DailyScreens[7][32], 0);
  EXPECT_EQ(gateway_->Counters().DailyScreens[8][0], 3);
  gateway_->Shutdown();
}

}  // namespace
}  // namespace tervo::core::testing
