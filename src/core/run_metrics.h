// What the engine has done since the process started, for the metrics page
// (docs/monitoring.md): per-session counts, the host sessions that could
// not be reached, and how long terminals wait from an answer to their next
// screen.
//
// The counts only ever grow while the process runs, whatever happens to the
// daily counter tables (a day's entries cleared at midnight or at start):
// a scraper reads increases, and a restart (the counts back at 0) is what
// it expects of any counter.  The daily tables keep their own rules and are
// read from them.
//
// The engine calls the hooks below at the moments they name; nothing here
// reads the engine.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "screens/session_state.h"

namespace tervo::core {

// Upper bounds of the latency buckets, in seconds.  A screen that follows
// its answer within a tenth of a second is a host that answers at once; ten
// seconds and more is a worker standing with a gun in the hand.
inline constexpr std::array<double, 10> kLatencyBounds = {0.05, 0.1, 0.25, 0.5, 1,
                                                          2.5,  5,   10,   30,  60};

struct LatencyHistogram {
  // Observations at or below each bound (cumulative, as they are shown).
  std::array<std::uint64_t, kLatencyBounds.size()> atOrBelow{};
  std::uint64_t count = 0;
  double sumSeconds = 0;
  void Observe(double seconds);
};

struct SessionCounts {
  std::uint64_t screensSent = 0;       // screens sent to the terminal, asked again included
  std::uint64_t answersProcessed = 0;  // answers whose values and keys went to the host
  std::uint64_t answersDropped = 0;    // answers the engine did not take to the host
  std::uint64_t hostErrors = 0;        // host error messages shown, keys refused
  std::uint64_t hostUnreachable = 0;   // connections that never reached the host
  std::uint64_t screensDefined = 0;    // unknown screens given a definition
};

class RunMetrics {
 public:
  // --- hooks, s the session slot (others are ignored)
  // A screen went to the terminal.  next: the host's next screen (not one
  // the terminal asked for again); errorShown: it carries a host error
  // message.
  void ScreenSent(int s, std::int64_t nowMs, bool next, bool errorShown);
  // The terminal's answer is taken up: its wait for the next screen starts
  // (a second answer before that screen does not restart it).
  void AnswerTaken(int s, std::int64_t nowMs);
  void AnswerProcessed(int s);
  void AnswerDropped(int s);
  // The host refused keys.
  void HostError(int s);
  // A connection to the host is attempted / never reached the host.
  void HostConnecting(int s);
  void HostUnreachable(int s, const std::string& reason);
  void ScreenDefined(int s);
  // START: whatever the terminal was waiting for belongs to its previous
  // connection.
  void TerminalStarted(int s);

  // --- reading
  const SessionCounts& Counts(int s) const;
  const LatencyHistogram& Latency() const { return latency_; }
  // Whether the last connection of session s failed before reaching the
  // host, and why.
  bool Unreachable(int s) const;
  const std::string& UnreachableReason(int s) const;

 private:
  static bool Valid(int s) { return s >= 0 && s < screens::kSessionSlots; }
  struct Slot {
    SessionCounts counts;
    std::optional<std::int64_t> answeredAt;
    bool unreachable = false;
    std::string reason;
  };
  std::array<Slot, screens::kSessionSlots> slots_{};
  LatencyHistogram latency_;
};

}  // namespace tervo::core
