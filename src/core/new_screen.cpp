// New-screen handling: a host screen is gated, identified (or defined after
// the time-out), captured and then sent to its terminal or answered by keys.
#include "config/text.h"
#include "core/gateway.h"
#include "core/screen_numbers.h"
#include "editors/auto_fill.h"
#include "editors/terminal_preview.h"
#include "screens/capture.h"
#include "screens/field_texts.h"
#include "screens/identification.h"
#include "screens/write_back.h"

namespace tervo::core {

namespace {
std::size_t U(int s) { return static_cast<std::size_t>(s); }
}  // namespace

bool Gateway::As400Busy(int s) const {
  host5250::HostDisplay* d = Display(s);
  if (!d) return false;
  std::string status1, status2;
  d->QueryStatus(status1, status2);
  return host5250::InputInhibited(status2);
}

bool Gateway::IdentifyAndFind(int s) {
  screens::CalculateChecksum(ctx_, s);
  return screens::FindBestScreen(ctx_, s, sessions_.ScreenIdValue[U(s)],
                                 sessions_.CurrentScreen[U(s)]);
}

void Gateway::ClearCodeZeroErrorLine(int s) {
  std::string& e = sessions_.ErrorLineText[U(s)];
  if (e.size() > 1 && e[0] == '\0') e.clear();
}

void Gateway::ReadErrorLineN(int s) {
  host5250::HostDisplay* d = Display(s);
  if (!d) return;
  sessions_.ErrorLineText[U(s)] = d->ReadText(
      OptionNumber("ErrorLineN"), OptionNumber("ErrorLineStart"), OptionNumber("ErrorLineLen"));
}

void Gateway::SendScreenToTerminal(int s, int scr) {
  HandleScreenRequest(store_->TerminalIDDef[U(s)],
                      "AS400" + std::to_string(store_->Screens[U(scr)].ScreenId));
}

void Gateway::ReadyToSend(int s, bool state) {
  if (!state) {
    WriteLog("AS4001_ReadyToSend->State=false", false);
    return;
  }
  if (s < 0 || s >= sessions_.SessionCount) return;
  CurrentSession = s;
  const auto u = U(s);
  if (!sessions_.ReadyToSendFlag[u]) {
    WriteLog("AS4001_ReadyToSend->ReadyToSendFlag(Index) = False", false);
    return;
  }
  sessions_.ReentryCount[u] += 1;
  struct CountOut {
    std::int32_t& n;
    ~CountOut() { --n; }
  } countOut{sessions_.ReentryCount[u]};

  if (As400Busy(s)) {
    WriteLog("AS4001_ReadyToSend->Reentra", false);
    return;
  }
  if (sessions_.Terminal_Connected[u] && sessions_.SendFlag[u]) {
    WriteLog("AS4001_ReadyToSend->Terminal_Connected(Index) And SendFlag(Index)", false);
    return;
  }
  sessions_.InNewScreen[u] = true;
  if (ui_) ui_->BusyChanged(true);
  struct NotBusy {
    Gateway& g;
    int s;
    ~NotBusy() {
      g.sessions_.InNewScreen[static_cast<std::size_t>(s)] = false;
      if (g.ui_) g.ui_->BusyChanged(false);
    }
  } notBusy{*this, s};
  WriteLog("NewScreen =" + std::to_string(sessions_.CurrentScreen[u]), false);

  const std::int64_t start = clock_->MonotonicMs();
  for (;;) {
    const double timeout = options_->Real("NewScreenTimeout");
    if (static_cast<double>(clock_->MonotonicMs() - start) >= timeout * 1000.0) {
      const int m = AllocateScreenNumber(*store_, [this] {
        WriteLog("Maximum Screen number, very small !!!", true);
        Wait(5.0);
      });
      sessions_.CurrentScreen[u] = m;
      // Identified again: with a time-out of 0 no round has identified the
      // screen yet, and it may have changed since the last round.
      screens::CalculateChecksum(ctx_, s);
      store_->Screens[U(m)].ScreenId = sessions_.ScreenIdValue[u];
      screens::ReadAs400Data(ctx_, s, m);
      editors::AutoFillScreen(ctx_, s);
      break;
    }
    if (IdentifyAndFind(s)) {
      screens::ReadAs400Data(ctx_, s, sessions_.CurrentScreen[u]);
      break;
    }
    WriteLog("Screen Desconhecido", false);
    Wait(0.2);
    if (sessions_.ReentryCount[u] > 1 || (sessions_.SendFlag[u] && sessions_.Terminal_Connected[u]))
      return;
    if (shutDown_) return;
    if (IdentifyAndFind(s)) {
      screens::ReadAs400Data(ctx_, s, sessions_.CurrentScreen[u]);
      break;
    }
  }

  const int scr = sessions_.CurrentScreen[u];
  if (!store_->ValidScreen(scr)) return;
  config::ScreenDef& def = store_->Screens[U(scr)];
  host5250::HostDisplay* d = Display(s);
  if (def.DontSendToTerminal == 0 && d) {
    if (Checked("SendErrorLine24") && sessions_.ErrorLineText[u].empty())
      sessions_.ErrorLineText[u] = d->ReadText(24, 1, 80);
    if (Checked("SendErrorLineN") && sessions_.ErrorLineText[u].empty()) ReadErrorLineN(s);
    ClearCodeZeroErrorLine(s);
  }

  auto& ts = sessions_.TerminalScreen[u];
  ts.SentScreenId = sessions_.ScreenIdValue[u];
  ts.SessionUser = sessions_.SessionUser[u];
  ts.TerminalID = store_->TerminalIDDef[u];
  screens::PrepareFieldTexts(ctx_, s);

  if (!firstScreenHandled_) {
    firstScreenHandled_ = true;
    if (text::TrimBlanks(def.EscKey).empty()) def.EscKey = "@LOGOFF";
  }
  const bool configVisible = ui_ && ui_->ConfigurationsVisible();
  if (configVisible)
    ui_->PreviewChanged(
        editors::CreateTerminalSt(*store_, sessions_.CurrentScreen[U(CurrentSession)]));
  sessions_.InNewScreen[u] = false;
  if (ui_) ui_->BusyChanged(false);

  if (!sessions_.Terminal_Connected[u]) return;
  const bool repeatActive = store_->AdvScreens[U(scr)].Active;
  if (!repeatActive && def.DontSendToTerminal <= 0) {
    SendScreenToTerminal(s, scr);
    return;
  }
  if (configVisible) {
    const double savedSeconds = MessageSeconds;
    const bool savedConnected = sessions_.Terminal_Connected[u];
    MessageSeconds = 2.0;
    WriteLog("<Enter> to send this screen.", true);
    sessions_.Terminal_Connected[u] = false;
    const std::int64_t t0 = clock_->MonotonicMs();
    while (clock_->MonotonicMs() - t0 < 2000 && MessageKey != kEnterKey && !shutDown_)
      pump_->ProcessEvents(50);
    MessageSeconds = savedSeconds;
    sessions_.Terminal_Connected[u] = savedConnected;
  }
  if (MessageKey == kEnterKey) {
    SendScreenToTerminal(s, scr);
    return;
  }
  AnswerNotSentScreen(s, scr);
  if (def.DontSendToTerminal > 0) RunPendingKeys(def.EscKey, s);
  if (repeatActive) TestRepeatKeys(scr, s);
}

void Gateway::AnswerNotSentScreen(int s, int scr) {
  host5250::HostDisplay* d = Display(s);
  if (!d) return;
  const auto& original = store_->Originals[U(scr)];
  const auto& ts = sessions_.TerminalScreen[U(s)];
  const std::string n = std::to_string(scr);
  const int last = screens::LastFieldIndex(ctx_, s);
  for (int i = 0; i <= last && config::ScreenStore::ValidField(i); ++i) {
    if (original.Protected[U(i)]) continue;
    const std::string f = std::to_string(i);
    WriteLog("Before ReadyToSend ScrNum=" + n + " Field=" + f + " [" + ts.ShownText[U(i)] + "]",
             false);
    const std::string configured = config::ScreenStore::ValidTextScreen(scr)
                                       ? store_->ScreensText[U(scr)][U(i)]
                                       : std::string();
    const std::string v = screens::FormatHostFieldText(ctx_, configured, s, i);
    d->Fields().SetText(i, v);
    WriteLog("Type=" + std::to_string(original.AType[U(i)]) +
                 " Justify=" + std::to_string(original.Justify[U(i)]),
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
  const auto u = U(s);
  if (Checked("SendErrorLineN") && sessions_.ErrorLineText[u].empty()) ReadErrorLineN(s);
  ClearCodeZeroErrorLine(s);
  if (Checked("SendErrorLine25") && text::TrimBlanks(sessions_.ErrorLineText[u]).empty()) {
    sessions_.ErrorLineText[u] = d->ReadText(25, 1, 80);
    ClearCodeZeroErrorLine(s);
  }
  SendKeys(s, "@R");
  // The host locked the keyboard on the screen it shows (an error line);
  // the reset unlocks it without a new screen, so no display event would
  // bring that screen and its error to the terminal, which would wait for
  // it until "System DOWN".  Handle it now.
  if (!As400Busy(s) && !sessions_.InNewScreen[u] && sessions_.Terminal_Connected[u])
    ReadyToSend(s, true);
}

void Gateway::OnDisconnected(int s, std::string& message) {
  if (s < 0 || s >= screens::kSessionSlots) return;
  if (sessions_.InNewScreen[U(s)]) message.clear();
  sessions_.Terminal_Connected[U(s)] = false;
  AutoLockTicks = 0;
}

void Gateway::OnPositionPicked(int s) {
  if (s < 0 || s >= sessions_.SessionCount) return;
  CurrentSession = s;
  IdentifyAndFind(s);
  ShowSessionLabels(s);
}

}  // namespace tervo::core
