// New-screen handling: a host screen is gated, identified (or defined after
// the time-out), captured and then sent to its terminal or answered by keys.
//
// The handling of one screen is a chain of steps.  Where it waits (an
// identification retry, the pause after the screen numbers ran out, a join
// formula's keys, the operator's Enter) the step leaves its continuation in
// the session's screen lane and returns; a newer screen of the same session
// replaces it.  Each step looks the definition up again by number.
#include <memory>

#include "config/text.h"
#include "core/gateway.h"
#include "core/screen_numbers.h"
#include "editors/auto_fill.h"
#include "editors/terminal_preview.h"
#include "platform/host5250/key_mnemonics.h"
#include "screens/capture.h"
#include "screens/field_texts.h"
#include "screens/identification.h"
#include "screens/join_field.h"
#include "screens/write_back.h"

namespace tervo::core {

namespace {
std::size_t U(int s) { return static_cast<std::size_t>(s); }
}  // namespace

bool Gateway::As400Busy(int s) const {
  const host5250::HostDisplay* d = Display(s);
  return d != nullptr && d->InputInhibited();
}

bool Gateway::IdentifyAndFind(int s) {
  screens::CalculateChecksum(ctx_, s);
  return screens::FindBestScreen(ctx_, s, sessions_[s].ScreenIdValue, sessions_[s].CurrentScreen);
}

void Gateway::ClearCodeZeroErrorLine(int s) {
  std::string& e = sessions_[s].ErrorLineText;
  if (e.size() > 1 && e[0] == '\0') e.clear();
}

std::string Gateway::ReadMessageLine(int s, MessageLine line) const {
  host5250::HostDisplay* d = Display(s);
  if (!d) return "";
  if (line == MessageLine::kRow24) return d->ReadText(24, 1, 80);
  return d->ReadText(OptionNumber(Option::kErrorLineN), OptionNumber(Option::kErrorLineStart),
                     OptionNumber(Option::kErrorLineLen));
}

std::string Gateway::LineMessage(int scr, MessageLine line, const std::string& text) {
  const auto key = std::make_pair(scr, line);
  const std::string t = text::TrimBlanks(text);
  const auto it = firstLines_.find(key);
  if (it == firstLines_.end()) {
    firstLines_[key] = t;
    return "";
  }
  return t.empty() || t == it->second ? "" : text;
}

// Row 24 and line N carry a message only where the host wrote one: the
// sign-on's copyright on row 24 is not an error, its "Password not correct
// for user profile." is.  Row 25 is the host's error line itself (Write
// Error Code) and is taken as it is, by KeyboardStatus.
void Gateway::TakeMessageLines(int s, bool handling) {
  const int scr = sessions_[s].CurrentScreen;
  for (const auto& [option, line] : {std::pair{Option::kSendErrorLine24, MessageLine::kRow24},
                                     std::pair{Option::kSendErrorLineN, MessageLine::kLineN}}) {
    if (!Checked(option)) continue;
    const std::string text = ReadMessageLine(s, line);
    std::string& handled = handledLines_[std::make_pair(s, line)];
    std::string message;
    if (handling) {
      // Read also when a message is pending, so that a screen's first lines
      // are noted the first time it is handled.
      message = LineMessage(scr, line, text);
      handled = text::TrimBlanks(text);
    } else if (text::TrimBlanks(text) != handled && firstLines_.count(std::make_pair(scr, line))) {
      // The terminal's own Enter locks the keyboard too: a message the
      // terminal was shown with the screen is not new then.
      message = LineMessage(scr, line, text);
    }
    // A blank text is no message pending: row 25 read blank when the
    // terminal's own Enter locked the keyboard must not hide the host's
    // answer to it.
    if (text::TrimBlanks(sessions_[s].ErrorLineText).empty()) sessions_[s].ErrorLineText = message;
  }
  ClearCodeZeroErrorLine(s);
}

void Gateway::SetInNewScreen(int s, bool on) {
  sessions_[s].InNewScreen = on;
  // The hourglass shows while any session handles a screen.
  bool any = false;
  for (int i = 0; i < screens::kSessionSlots && !any; ++i) any = sessions_[i].InNewScreen;
  if (any != busyShown_) {
    busyShown_ = any;
    if (ui_) ui_->BusyChanged(any);
  }
}

void Gateway::ReadyToSend(int s, bool state) {
  if (!state) {
    WriteLog("AS4001_ReadyToSend->State=false", false);
    return;
  }
  if (s < 0 || s >= sessions_.SessionCount) return;
  CurrentSession = s;
  if (!sessions_[s].ReadyToSendFlag) {
    WriteLog("AS4001_ReadyToSend->ReadyToSendFlag(Index) = False", false);
    return;
  }
  if (As400Busy(s)) {
    WriteLog("AS4001_ReadyToSend->Reentra", false);
    return;
  }
  if (sessions_[s].Terminal_Connected && sessions_[s].SendFlag) {
    WriteLog("AS4001_ReadyToSend->Terminal_Connected(Index) And SendFlag(Index)", false);
    return;
  }
  // A newer screen: an earlier handling of this session that still waits
  // gives way to it.
  waits_.Cancel(s, Lane::kScreen);
  SetInNewScreen(s, true);
  WriteLog("NewScreen =" + std::to_string(sessions_[s].CurrentScreen), false);
  IdentifyRound(s, clock_->MonotonicMs());
}

void Gateway::IdentifyRound(int s, std::int64_t start) {
  const double timeout = options_->Real(Option::kNewScreenTimeout);
  if (static_cast<double>(clock_->MonotonicMs() - start) >= timeout * 1000.0) {
    DefineNewScreen(s);
    return;
  }
  if (IdentifyAndFind(s)) {
    screens::ReadAs400Data(ctx_, s, sessions_[s].CurrentScreen);
    HandleCapturedScreen(s);
    return;
  }
  WriteLog("Screen Desconhecido", false);
  WriteDebugLine(DebugList::kHost, s,
                 "Screen Desconhecido Id=" + std::to_string(sessions_[s].ScreenIdValue));
  waits_.Suspend(s, Lane::kScreen, kIdentifyRetryMs,
                 {nullptr,
                  [this, s, start] {
                    if (sessions_[s].SendFlag && sessions_[s].Terminal_Connected) {
                      // The terminal holds a screen again: this one is not for it.
                      SetInNewScreen(s, false);
                      return;
                    }
                    if (IdentifyAndFind(s)) {
                      screens::ReadAs400Data(ctx_, s, sessions_[s].CurrentScreen);
                      HandleCapturedScreen(s);
                      return;
                    }
                    IdentifyRound(s, start);
                  },
                  [this, s] { SetInNewScreen(s, false); }});
}

void Gateway::DefineNewScreen(int s) {
  bool exhausted = false;
  const int m = AllocateScreenNumber(*store_, &exhausted);
  if (!exhausted) {
    DefineScreenAs(s, m);
    return;
  }
  WriteLog("Maximum Screen number, very small !!!", true);
  waits_.Suspend(
      s, Lane::kScreen, kNumbersExhaustedPauseMs,
      {nullptr, [this, s, m] { DefineScreenAs(s, m); }, [this, s] { SetInNewScreen(s, false); }});
}

void Gateway::DefineScreenAs(int s, int screen) {
  sessions_[s].CurrentScreen = screen;
  // The number may have served another screen before: its lines are new.
  firstLines_.erase(std::make_pair(screen, MessageLine::kRow24));
  firstLines_.erase(std::make_pair(screen, MessageLine::kLineN));
  // Identified again: with a time-out of 0 no round has identified the
  // screen yet, and it may have changed since the last round.
  screens::CalculateChecksum(ctx_, s);
  store_->Screens[U(screen)].ScreenId = sessions_[s].ScreenIdValue;
  screens::ReadAs400Data(ctx_, s, screen);
  editors::AutoFillScreen(ctx_, s);
  metrics_.ScreenDefined(s);
  ScreenLearned();
  HandleCapturedScreen(s);
}

void Gateway::HandleCapturedScreen(int s) {
  const int scr = sessions_[s].CurrentScreen;
  if (!store_->ValidScreen(scr)) {
    SetInNewScreen(s, false);
    return;
  }
  WriteDebugLine(
      DebugList::kHost, s,
      "Scr=" + std::to_string(scr) + " Id=" + std::to_string(sessions_[s].ScreenIdValue));
  if (store_->Screens[U(scr)].DontSendToTerminal == 0 && Display(s)) TakeMessageLines(s, true);

  auto& ts = sessions_[s].TerminalScreen;
  ts.SentScreenId = sessions_[s].ScreenIdValue;
  ts.SessionUser = sessions_[s].SessionUser;
  ts.TerminalID = store_->TerminalIDDef[U(s)];
  PrepareTextsFrom(s, 0);
}

void Gateway::PrepareTextsFrom(int s, int from) {
  const int field = screens::PrepareFieldTextsFrom(ctx_, s, from);
  if (field < 0) {
    ScreenPrepared(s);
    return;
  }
  const int scr = sessions_[s].CurrentScreen;
  const std::string formula = store_->Screens[U(scr)].Screen[U(field)].JoinField;
  RunJoin(s, field, std::make_shared<screens::JoinEvaluation>(ctx_, formula, s, field));
}

void Gateway::RunJoin(int s, int field, std::shared_ptr<screens::JoinEvaluation> join) {
  while (join->SendNext()) {
    if (As400Busy(s)) {
      // The host is busy with the keys: the formula reads on when it takes
      // input again, while every other session goes on.
      waits_.Suspend(s, Lane::kScreen, -1,
                     {[this, s] { return !As400Busy(s); },
                      [this, s, field, join] {
                        join->Read();
                        RunJoin(s, field, join);
                      },
                      [this, s, join] {
                        join->Abandon();
                        SetInNewScreen(s, false);
                      }});
      return;
    }
    join->Read();
  }
  screens::SetJoinedFieldText(ctx_, s, field, join->Result());
  PrepareTextsFrom(s, field + 1);
}

void Gateway::ScreenPrepared(int s) {
  const int scr = sessions_[s].CurrentScreen;
  if (!firstScreenHandled_) {
    firstScreenHandled_ = true;
    std::string& esc = store_->Screens[U(scr)].EscKey;
    if (text::TrimBlanks(esc).empty()) esc = "@LOGOFF";
  }
  const bool configVisible = ui_ && ui_->ConfigurationsVisible();
  if (configVisible)
    ui_->PreviewChanged(
        editors::CreateTerminalSt(*store_, sessions_[CurrentSession].CurrentScreen));
  SetInNewScreen(s, false);

  if (!sessions_[s].Terminal_Connected) return;
  const bool repeatActive = store_->AdvScreens[U(scr)].Active;
  if (!repeatActive && store_->Screens[U(scr)].DontSendToTerminal <= 0) {
    SendScreenToTerminal(s, scr);
    return;
  }
  if (!configVisible) {
    SendOrAnswer(s, scr);
    return;
  }
  // With the configuration unlocked the operator may want to see a screen
  // the terminal would not get: Enter within two seconds sends it.  The
  // session counts as not connected meanwhile, so its other screens are
  // captured but not sent.
  const double savedSeconds = MessageSeconds;
  const bool savedConnected = sessions_[s].Terminal_Connected;
  MessageSeconds = 2.0;
  WriteLog("<Enter> to send this screen.", true);
  sessions_[s].Terminal_Connected = false;
  auto restore = [this, s, savedSeconds, savedConnected] {
    MessageSeconds = savedSeconds;
    sessions_[s].Terminal_Connected = savedConnected;
  };
  waits_.Suspend(s, Lane::kScreen, kSendThisScreenMs,
                 {[this] { return MessageKey == kEnterKey; },
                  [this, s, scr, restore] {
                    restore();
                    SendOrAnswer(s, scr);
                  },
                  restore});
}

void Gateway::SendOrAnswer(int s, int scr) {
  if (!store_->ValidScreen(scr)) return;
  if (MessageKey == kEnterKey) {
    SendScreenToTerminal(s, scr);
    return;
  }
  AnswerNotSentScreen(s, scr);
  if (store_->Screens[U(scr)].DontSendToTerminal > 0)
    RunPendingKeys(store_->Screens[U(scr)].EscKey, s);
  if (store_->AdvScreens[U(scr)].Active) TestRepeatKeys(scr, s);
}

void Gateway::AnswerNotSentScreen(int s, int scr) {
  host5250::HostDisplay* d = Display(s);
  if (!d) return;
  const std::string n = std::to_string(scr);
  const int last = screens::LastFieldIndex(ctx_, s);
  for (int i = 0; i <= last && config::ScreenStore::ValidField(i); ++i) {
    if (store_->Originals[U(scr)][i].Protected) continue;
    const std::string f = std::to_string(i);
    WriteLog("Before ReadyToSend ScrNum=" + n + " Field=" + f + " [" +
                 sessions_[s].TerminalScreen.ShownText[U(i)] + "]",
             false);
    const std::string configured = config::ScreenStore::ValidTextScreen(scr)
                                       ? store_->ScreensText[U(scr)][U(i)]
                                       : std::string();
    const std::string v = screens::FormatHostFieldText(ctx_, configured, s, i);
    d->Fields().SetText(i, v);
    WriteLog("Type=" + std::to_string(store_->Originals[U(scr)][i].AType) +
                 " Justify=" + std::to_string(store_->Originals[U(scr)][i].Justify),
             false);
    // What the host field holds now, as the host will receive it.
    WriteLog(
        "After ReadyToSend ScrNum=" + n + " Field=" + f + " [" + d->Fields().Item(i).Text + "]",
        false);
  }
}

void Gateway::KeyboardStatus(int s) {
  host5250::HostDisplay* d = Display(s);
  if (!d || !d->Keyboard().Locked) return;
  // The host locked the keyboard on the screen the session handled last: an
  // error it wrote on its error line is read before the Reset restores the
  // line.
  TakeMessageLines(s, false);
  if (Checked(Option::kSendErrorLine25) && text::TrimBlanks(sessions_[s].ErrorLineText).empty()) {
    sessions_[s].ErrorLineText = d->ReadText(25, 1, 80);
    ClearCodeZeroErrorLine(s);
  }
  SendKeys(s, host5250::kKeyReset);
  // The host locked the keyboard on the screen it shows (an error line);
  // the reset unlocks it without a new screen, so no display event would
  // bring that screen and its error to the terminal, which would wait for
  // it until "System DOWN".  Handle it now.
  if (!As400Busy(s) && !sessions_[s].InNewScreen && sessions_[s].Terminal_Connected)
    ReadyToSend(s, true);
}

void Gateway::OnDisconnected(int s, std::string& message) {
  if (s < 0 || s >= screens::kSessionSlots) return;
  const std::string reason = message;
  if (sessions_[s].InNewScreen) message.clear();
  sessions_[s].Terminal_Connected = false;
  AutoLockTicks = 0;
  // The screen the session was handling is gone with its host.
  waits_.Cancel(s, Lane::kScreen);
  // The host ended the session (a sign-off, the host going down, a refused
  // connection).  Our own Disconnect raises no event, so this is always the
  // host's doing.  Without a word the terminal would keep showing its last
  // screen and its answers would go nowhere until the operator restarts it;
  // tell it, as a logoff does, so the operator knows to press START.
  const std::string& id = store_->TerminalIDDef[U(s)];
  if (s < sessions_.SessionCount && sessions_[s].ReadyToSendFlag &&
      !screens::NormalTerminalId(id).empty()) {
    if (!sessions_[s].HostReached) {
      // Refused, timed out, TLS refused, or closed before the host showed
      // anything: the connection never reached it.
      HostNotReachable(s, reason);
      return;
    }
    WriteLog("Host session " + std::to_string(s) + " ended: " + reason, false);
    sessions_[s].SendFlag = false;
    ShowTerminalMessage(id, "Disconnect...");
  }
}

void Gateway::OnPositionPicked(int s) {
  if (s < 0 || s >= sessions_.SessionCount) return;
  CurrentSession = s;
  IdentifyAndFind(s);
  ShowSessionLabels(s);
}

}  // namespace tervo::core
