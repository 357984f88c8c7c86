// The gateway's sessions: one record per session index 0..32.  Slot
// SessionCount (at most 32) is where a terminal id that belongs to no
// session lands, so writes for unknown terminals stay inside the table.
//
// The gateway core owns one SessionState for the process; identification,
// capture and rendering read and write it through a ScreenContext.
#pragma once

#include <array>
#include <cassert>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "config/screen_store.h"
#include "screens/item_map.h"

namespace tervo::screens {

constexpr int kSessionSlots = config::kSessionSlots;  // 0..32
constexpr int kMaxPrintedLine = 1000;                 // PrintedTexts lines 1..1000
// What a terminal is taken to hold until it first reports its battery: a
// full battery, so the low-battery warning never fires on a missing reading.
constexpr std::int32_t kBatteryLevelAssumed = 5000;

// What was last sent to one terminal, and what it answered.
struct TerminalScreenRecord {
  ItemMap Items;  // of the screen last built
  // Per host field: the text given to the field's input item, exactly Size
  // characters; once the answer is read, the text the terminal returned.
  std::vector<std::string> ShownText = std::vector<std::string>(config::kFieldSlots);
  // Per host field: whether the last fresh build gave it an input item.  Only
  // those fields take a value back from the terminal's answer.
  std::array<bool, config::kFieldSlots> HadInputItem{};
  std::int32_t SentScreenId = 0;                     // identification value of the screen sent
  std::int32_t BatteryLevel = kBatteryLevelAssumed;  // millivolts
  // Copies taken when the screen is handed to the terminal.
  std::string SessionUser;
  std::string TerminalID;
  std::string ReplyKeys;  // host keys chosen for the current answer
};

// Everything the gateway keeps about one session.  The terminal id of a
// session (TerminalIDDef) and its device name live in the configuration
// store, because the configuration file holds them.
struct Session {
  bool Terminal_Connected = false;
  bool SendFlag = false;
  bool ReadyToSendFlag = false;
  bool InNewScreen = false;
  std::int32_t CurrentScreen = 0;
  std::int32_t ScreenIdValue = 0;
  std::string SessionUser;
  std::string SessionVarAux;
  std::string ErrorLineText;
  std::int32_t IdleTicks = 0;
  std::int32_t StartCount = 0;
  std::string PendingKeys;
  TerminalScreenRecord TerminalScreen;
  // Display texts of the last fresh build, lines 1..1000 (entry 0 unused).
  std::vector<std::string> PrintedTexts = std::vector<std::string>(kMaxPrintedLine + 1);

  // Kept by the gateway core.
  // Answers are refused from START until the terminal has been sent a
  // screen: they answer a screen of the session's previous connection.
  bool AwaitingFirstScreen = false;
  // Whether the host has shown anything (a screen, a keyboard state) since
  // the session's display was last connected: a connection that ends
  // before that never reached the host.
  bool HostReached = false;
  // The deadline (an os::Timers::Id) that sends the key queue's next piece;
  // 0 when none is set.
  std::uint64_t QueueTimer = 0;
  // Whether the host has reported anything since the key queue last sent a
  // piece.  Only then does the next piece go at once; a queue whose pieces
  // bring no host event (plain text, a host that stays on the same screen)
  // goes at the pace of the poll tick.
  bool HostMovedSincePiece = true;
};

struct SessionState {
  // Sessions 0..SessionCount-1 exist (1..32); fixed for the run.
  std::int32_t SessionCount = 1;
  std::array<Session, kSessionSlots> records;

  Session& operator[](int s) {
    assert(ValidSession(s));
    return records[static_cast<std::size_t>(s)];
  }
  const Session& operator[](int s) const {
    assert(ValidSession(s));
    return records[static_cast<std::size_t>(s)];
  }
  static bool ValidSession(int s) { return s >= 0 && s < kSessionSlots; }
};

// A terminal id as the gateway keeps and compares it: without trailing
// blanks.  The radio link hands ids over padded with blanks to 8 characters
// and the configuration holds them as typed; trailing blanks are padding,
// while leading blanks and case are part of the id, as on the wire and in
// the radio link's own table of terminals (docs/radio-protocol.md).  An id
// is normalised once, where it comes from the radio link; a configured id
// goes through the same function whenever it is compared, so two ids are
// the same terminal exactly when their NormalTerminalId is equal.
std::string NormalTerminalId(std::string_view id);

// The session serving terminal id, or SessionCount when none does: the
// first session whose configured id is the same terminal, so a terminal
// always finds the one session every other step finds.  An id that is
// empty once normalised names no terminal and matches no session, so a
// blank buffer never lands on a slot without a terminal.
int FindSession(const config::ScreenStore& store, const SessionState& sessions,
                const std::string& terminalId);

}  // namespace tervo::screens
