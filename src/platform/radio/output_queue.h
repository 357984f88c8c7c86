// Frames waiting to leave for terminals that do not take them as fast as
// the gateway sends.  The sink (a socket, a serial port) is given only a
// little at a time; the rest waits here, capped per terminal.  A terminal
// over its cap loses its oldest unsent screens first: a newer screen
// replaces what an older one showed, so the terminal still ends up on the
// current screen while the gateway's memory stays flat.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tervo::radio {

struct OutputLimits {
  // Bytes the sink may hold before the queue stops handing it more.
  std::size_t sinkBytes = 32 * 1024;
  // Bytes waiting here per terminal; above it older screens are dropped.
  // At least one screen of the largest size must fit.
  std::size_t backlogBytes = 64 * 1024;
};

class OutputQueue {
 public:
  explicit OutputQueue(OutputLimits limits = {}) : limits_(limits) {}

  struct Pushed {
    int droppedScreens = 0;  // older unsent screens of this terminal dropped
    bool firstDrop = false;  // the first screens dropped since it caught up
    bool overflow = false;   // still over the cap with no screen left to drop
  };
  // Queues one encoded frame.  isScreen marks frames that a later one may
  // replace.
  Pushed Push(const std::string& terminalId, bool isScreen, std::string bytes);

  // Hands waiting frames to the sink, oldest first, while pending() (what
  // the sink holds) is below the sink limit.  write returns false when the
  // sink refused the bytes; the queue then stops.
  void Flush(const std::function<std::size_t()>& pending,
             const std::function<bool(const std::string&)>& write);

  // Terminals that lost screens and have nothing waiting any more, with how
  // many they lost since they last caught up; each is reported once.  A
  // transport logs both ends of a terminal falling behind, not every drop.
  struct CaughtUp {
    std::string terminalId;
    int droppedScreens = 0;
  };
  std::vector<CaughtUp> TakeCaughtUp();

  std::size_t Backlog() const { return bytes_; }
  std::size_t BacklogOf(const std::string& terminalId) const;
  bool Empty() const { return entries_.empty(); }
  void Clear();
  void ClearTerminal(const std::string& terminalId);

 private:
  struct Entry {
    std::string id;
    bool screen = false;
    std::string bytes;
  };
  OutputLimits limits_;
  std::deque<Entry> entries_;
  std::map<std::string, std::size_t> byId_;
  std::map<std::string, int> droppedSinceCaughtUp_;
  std::size_t bytes_ = 0;
};

}  // namespace tervo::radio
