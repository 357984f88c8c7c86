// Terminal transactions: START and screen requests, the terminal's answers
// written back into the host fields, and the key queue that goes to the
// host one piece at a time.
#include "config/text.h"
#include "core/gateway.h"
#include "core/key_queue.h"
#include "platform/host5250/key_mnemonics.h"
#include "screens/capture.h"
#include "screens/identification.h"
#include "screens/legend.h"
#include "screens/render.h"
#include "screens/write_back.h"

namespace tervo::core {

namespace {

std::size_t U(int s) { return static_cast<std::size_t>(s); }

}  // namespace

void Gateway::SendKeys(int s, const std::string& keys) {
  host5250::HostDisplay* d = Display(s);
  if (!d) return;
  std::string err;
  if (!d->SendKeys(keys, &err)) {
    metrics_.HostError(s);
    WriteLog("ScrNum=" + std::to_string(sessions_[s].CurrentScreen) + " keys refused: " + err,
             false);
  }
}

void Gateway::ShowTerminalMessage(const std::string& id, const std::string& message) {
  radio_->T_InitScreen(id, "ERROR", 1, 0, 0);
  radio_->T_Cls();
  radio_->T_PrintInverse(message);
  radio_->T_NewLine();
  radio_->T_WaitChar();
  radio_->T_HardReset();
  radio_->T_SendScreen();
}

void Gateway::HandleTerminalData(const std::string& id, const radio::Answer& answer) {
  const int s = ctx_.FindSession(id);
  if (sessions_[s].AwaitingFirstScreen) {
    // It answers a screen of the connection it restarted: the host session
    // it was about no longer exists.
    WriteLog("Answer of " + id + " before its first screen refused", false);
    metrics_.AnswerDropped(s);
    return;
  }
  metrics_.AnswerTaken(s, clock_->MonotonicMs());
  // The terminal is at work: its idle count starts again, whatever the host
  // then takes to answer.
  sessions_[s].IdleTicks = 0;
  if (EditorDirty) {
    metrics_.AnswerDropped(s);
    sessions_[s].SendFlag = false;
    SendKeys(s, host5250::kKeyEnter);
    return;
  }
  // The answer is read through the item map of the screen it answers, so
  // what the terminal was shown decides, not another session's later capture.
  auto& ts = sessions_[s].TerminalScreen;
  const screens::MappedAnswer mapped = screens::MapAnswer(ts.Items, answer);
  for (const auto& [field, value] : mapped.fieldValues) ts.ShownText[U(field)] = value;
  // The level the terminal reported with this answer; the record keeps the
  // last one for terminals that report none.
  const int reported = radio_->BatteryLevel(id);
  if (reported >= 0) ts.BatteryLevel = reported;
  ProcessReceivedData(id, mapped);
  sessions_[s].ErrorLineText.clear();
}

void Gateway::ServeScreen(int s, const std::string& id, const std::string& name, bool keep) {
  if (sessions_[s].StartCount > 0) sessions_[s].StartCount -= 1;
  const bool errorShown = !text::TrimBlanks(sessions_[s].ErrorLineText).empty();
  radio_->T_InitScreen(id, name, radio::kHostScreenFormat, 0, 0);
  sessions_[s].TerminalScreen.Items = screens::RenderTerminalScreen(ctx_, name, id);
  radio_->T_SendScreen();
  WriteDebugLine(DebugList::kTerminal, s, "Sent " + name);
  metrics_.ScreenSent(s, clock_->MonotonicMs(), keep, errorShown);
  EditorDirty = false;
  if (keep) sent_.Keep(s, *store_, sessions_[s].CurrentScreen);
  sessions_[s].AwaitingFirstScreen = false;
  sessions_[s].IdleTicks = 0;
}

void Gateway::SendScreenToTerminal(int s, int scr) {
  ServeScreen(s, screens::NormalTerminalId(store_->TerminalIDDef[U(s)]),
              "AS400" + std::to_string(store_->Screens[U(scr)].ScreenId), true);
}

void Gateway::HandleScreenRequest(const std::string& id, const std::string& data) {
  const int s = ctx_.FindSession(id);
  if (data != "START") {
    // The terminal wants its screen again: the one its own session last
    // sent, with that session's data.
    SentScreens::Overlay own(sent_, *store_, s, sessions_[s].CurrentScreen);
    ServeScreen(s, id, data, false);
    return;
  }
  sessions_[s].AwaitingFirstScreen = true;
  metrics_.TerminalStarted(s);
  if (sessions_[s].StartCount < 1 && sessions_[s].Terminal_Connected) {
    // A terminal that starts again while connected (it was switched off and
    // on, or lost the screen): reconnect its host session quickly and send
    // the host's current screen; a further START right after does the full
    // connection.
    sessions_[s].StartCount += 2;
    ReconnectSession(s);
    return;
  }
  sessions_[s].StartCount = 0;
  ConnectTerminal(id);
}

void Gateway::ReconnectSession(int s) {
  waits_.Cancel(s, Lane::kScreen);
  ConnectDisplay(s);
  // The host session is given the time to come up, then its current screen
  // goes to the terminal.
  waits_.Suspend(s, Lane::kConnect, kConnectSettleMs,
                 {nullptr,
                  [this, s] {
                    sessions_[s].SendFlag = false;
                    ReadyToSend(s, true);
                  },
                  nullptr});
}

void Gateway::ConnectTerminal(const std::string& id) {
  const int i = ctx_.FindSession(id);
  sessions_[i].ErrorLineText.clear();
  if (i >= sessions_.SessionCount) {
    WriteLog("Terminal ID not defined !!!", true);
    ShowTerminalMessage(id, "TERM ID NOT DEFINED");
    return;
  }
  if (!GlobalMessage.empty()) {
    ShowTerminalMessage(id, GlobalMessage);
    return;
  }
  // Whatever the session was still doing belongs to the connection that
  // ends here.
  waits_.CancelSession(i);
  host5250::HostDisplay* d = Display(i);
  if (d) d->Disconnect();
  sessions_[i].Terminal_Connected = false;
  // The host is given the time to let the old session go before the new one
  // is opened; every other terminal is served meanwhile.
  waits_.Suspend(i, Lane::kConnect, kConnectSettleMs,
                 {nullptr, [this, i] { FinishConnect(i); }, nullptr});
}

void Gateway::FinishConnect(int i) {
  RunPendingKeys("END", i);
  sessions_[i].ReadyToSendFlag = true;
  sessions_[i].Terminal_Connected = true;
  sessions_[i].SendFlag = false;
  ConnectDisplay(i);
}

bool Gateway::ConnectDisplay(int i) {
  host5250::HostDisplay* d = Display(i);
  if (!d) return false;
  sessions_[i].HostReached = false;
  metrics_.HostConnecting(i);
  std::string err;
  if (d->Connect(&err)) return true;
  WriteLog("Connect " + std::to_string(i) + ": " + err, true);
  HostNotReachable(i, err);
  return false;
}

void Gateway::HostNotReachable(int i, const std::string& reason) {
  // The reason goes to the log and the caption (standard error without
  // windows); the terminal learns that its host is not there, rather than
  // a bare "Disconnect..." that reads like a sign-off.
  WriteLog("Host not reachable, session " + std::to_string(i) + ": " + reason, true);
  metrics_.HostUnreachable(i, reason);
  const std::string& id = store_->TerminalIDDef[U(i)];
  if (i >= sessions_.SessionCount || screens::NormalTerminalId(id).empty()) return;
  sessions_[i].Terminal_Connected = false;
  sessions_[i].SendFlag = false;
  ShowTerminalMessage(id, "Host not reachable");
}

bool Gateway::HostStillOnAnsweredScreen(int s) {
  // The live screen, identified afresh: the host may have moved on (a
  // message, a time-out, another job's break message) since the terminal was
  // shown its screen, and its values must not land in another screen's
  // fields.
  screens::CalculateChecksum(ctx_, s);
  const std::int32_t sent = sessions_[s].TerminalScreen.SentScreenId;
  if (sessions_[s].ScreenIdValue != sent) return false;
  return screens::FindBestScreen(ctx_, s, sent, sessions_[s].CurrentScreen);
}

void Gateway::ProcessReceivedData(const std::string& id, const screens::MappedAnswer& answer) {
  const int s = ctx_.FindSession(id);
  const int scr = sessions_[s].CurrentScreen;
  auto& ts = sessions_[s].TerminalScreen;
  host5250::HostDisplay* d = Display(s);
  const bool validScreen = store_->ValidScreen(scr);
  const std::string scrText = std::to_string(scr);
  const int r = answer.chosen;

  ts.ReplyKeys.clear();
  auto info = [&] { WriteLog("Info ..." + ts.ReplyKeys, false); };
  WriteLog("Passo 1 " + id + " " + std::to_string(r), false);
  info();

  if (r > 0) {
    WriteLog("Passo 3 " + id, false);
    info();
    const int n = static_cast<int>(text::LeadingNumber(answer.functionNumber));
    if (n > 0) {
      ts.ReplyKeys = screens::LegendItemKeys("F" + std::to_string(n) + " =OK");
    } else if (r == ts.Items.pgDownItem) {
      ts.ReplyKeys = host5250::kKeyRollUp;
    } else if (r == ts.Items.pgUpItem) {
      ts.ReplyKeys = host5250::kKeyRollDown;
    } else if (r == ts.Items.enterItem) {
      ts.ReplyKeys = host5250::kKeyEnter;
    } else {
      const int f = ts.Items.FieldOfChosen(r);
      if (validScreen && config::ScreenStore::ValidField(f) &&
          store_->Screens[U(scr)].Screen[U(f)].SendWithEnter == 1 &&
          config::ScreenStore::ValidTextScreen(scr)) {
        ts.ReplyKeys = screens::LegendItemKeys(store_->ScreensText[U(scr)][U(f)]);
      }
      if (ts.ReplyKeys.empty()) ts.ReplyKeys = host5250::kKeyEnter;
    }
  } else if (r == radio::kChosenEscape) {
    if (validScreen) ts.ReplyKeys = store_->Screens[U(scr)].EscKey;
  } else if (r >= radio::kChosenF8 && r <= radio::kChosenF1) {
    if (validScreen) ts.ReplyKeys = screens::FunctionKeyAnswer(store_->Screens[U(scr)], -r);
  }

  if (!GlobalMessage.empty()) {
    WriteLog("Passo 4 " + id, false);
    info();
    ShowTerminalMessage(id, GlobalMessage);
    if (d) d->Disconnect();
    sessions_[s].Terminal_Connected = false;
    metrics_.AnswerDropped(s);
    return;
  }

  sessions_[s].SendFlag = false;
  if (d && d->Keyboard().Locked) {
    SendKeys(s, host5250::kKeyReset);
    WriteLog("ScrNum=" + scrText + "Sending @R", false);
  }
  WriteLog("Passo 5 " + id, false);
  info();

  if (d == nullptr || !HostStillOnAnsweredScreen(s)) {
    // The live fields cannot be read without a display; that is the one
    // error the reads can meet here.
    if (d == nullptr) WriteLog("Error 91,No host display ProcessReceivedData", true);
    SendKeys(s, host5250::kKeyEnter);
    WriteLog("ScrNum=" + scrText + "Sending @E", false);
    WriteDebugLine(DebugList::kTerminal, s, "ScrNum=" + scrText + " Sending @E");
    metrics_.AnswerDropped(s);
    return;
  }

  if (r >= 0 && validScreen && !WriteBackAnswer(s, scr, *d)) {
    metrics_.AnswerDropped(s);
    return;
  }
  metrics_.AnswerProcessed(s);

  if (ts.BatteryLevel < kBatteryLowMv) WriteLog("Battery Low " + id, true);
  WriteLog("Passo 6 " + id, false);
  info();
  const std::string after = validScreen ? store_->Screens[U(scr)].KeysAfterEnter : std::string();
  if (after.empty()) {
    const std::string keys = ts.ReplyKeys;
    RunPendingKeys(keys, s);
    WriteLog("ScrNum=" + scrText + "Sending ..." + keys, false);
    WriteDebugLine(DebugList::kTerminal, s, "ScrNum=" + scrText + " Sending ..." + keys);
    // A key the screen assigns nothing to (an unset function key, Escape on
    // a screen without an exit key) asks nothing of the host, so no new
    // screen would come and the terminal would wait until "System DOWN".
    // Give it its screen back instead.
    if (text::TrimBlanks(keys).empty()) ReadyToSend(s, true);
  } else {
    const std::string keys = ts.ReplyKeys + "," + after;
    RunPendingKeys(keys, s);
    WriteLog("ScrNum=" + scrText + "Sending ..." + keys, false);
    WriteDebugLine(DebugList::kTerminal, s, "ScrNum=" + scrText + " Sending ..." + keys);
  }
}

bool Gateway::WriteBackAnswer(int s, int scr, host5250::HostDisplay& d) {
  auto& ts = sessions_[s].TerminalScreen;
  const int last = screens::LastFieldIndex(ctx_, s);
  for (int i = 0; i <= last && config::ScreenStore::ValidField(i); ++i) {
    const config::FieldDef& def = store_->Screens[U(scr)].Screen[U(i)];
    // Only a field the terminal offered as input brings a value back.  The
    // others were shown as text or not at all, and writing their empty
    // "answer" would blank what the host had put there (a warehouse code,
    // a date); a field not shown still takes its value into an empty host
    // field.
    if (!ts.HadInputItem[U(i)] && def.Show != 0) continue;
    const host5250::DisplayField live = d.Fields().Item(i);
    const std::string shown = text::TrimBlanks(ts.ShownText[U(i)]);
    if (text::TrimBlanks(live.Text) == shown || live.Protected) continue;
    if (i >= d.Fields().Count()) {
      WriteLog("System error 1 " + ts.ShownText[U(i)], true);
      SendKeys(s, host5250::kKeyEnter);
      return false;
    }
    std::string v = screens::FormatHostFieldText(ctx_, shown, s, i);
    if (def.Show != 0) {
      if (def.UserId & config::kUserIdGetUser) {
        sessions_[s].SessionUser = v;
        ShowSessionLabels(s);
      }
      if (def.UserId & config::kUserIdGetVarAux) sessions_[s].SessionVarAux = v;
    }
    if (def.flag2 & config::kFlag2InvertInput) v += "-";
    if (def.Show != 0) {
      d.Fields().SetText(i, v);
    } else if (text::TrimBlanks(live.Text).empty()) {
      d.Fields().SetText(i, v);
    }
    // What was typed into a field the host does not display (a password)
    // has reached the host; it is not kept where a later log line shows it.
    if (live.Hidden) ts.ShownText[U(i)].assign(ts.ShownText[U(i)].size(), '*');
  }
  return true;
}

bool Gateway::RunPendingKeys(const std::string& command, int s) {
  if (s < 0 || s >= screens::kSessionSlots) return false;
  std::string& queue = sessions_[s].PendingKeys;
  if (!command.empty()) {
    if (command == "END") {
      queue.clear();
    } else {
      queue = command;
      ScheduleQueue(s);
    }
    return true;
  }
  if (queue.empty() || As400Busy(s)) return false;
  sessions_[s].HostMovedSincePiece = false;
  sessions_[s].Terminal_Connected = false;
  const QueuePiece p = TakePiece(queue);
  if (!p.last) {
    if (!text::TrimBlanks(p.piece).empty()) SendKeys(s, p.piece);
    return false;
  }
  if (IsLogoffWord(p.piece)) {
    if (host5250::HostDisplay* d = Display(s)) d->Disconnect();
    sessions_[s].Terminal_Connected = false;
    ShowTerminalMessage(store_->TerminalIDDef[U(s)], "Disconnect...");
    return false;
  }
  sessions_[s].Terminal_Connected = true;
  if (!text::TrimBlanks(p.piece).empty()) {
    SendKeys(s, p.piece);
    ReadyToSend(s, true);
  }
  return false;
}

bool Gateway::TestRepeatKeys(int screen, int s) {
  if (!store_->ValidScreen(screen)) return false;
  const RepeatKeys k = BuildRepeatKeys(store_->AdvScreens[U(screen)], sessions_[s].SessionUser);
  if (k.endlessLoop) {
    WriteLog("Infinite loop in Terminal:" + std::to_string(s), true);
    return false;
  }
  if (k.keys.empty()) return false;
  return RunPendingKeys(k.keys, s);
}

}  // namespace tervo::core
