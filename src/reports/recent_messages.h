// The messages the operator was shown, kept with their time: the caption's
// errors and status changes, and the one-line results of commands.  The
// caption shows only the latest; the "Recent messages" window lists these.
// A message that repeats the one before it (the radio base retry every six
// seconds) is counted on that entry instead of filling the list.
#pragma once

#include <cstddef>
#include <deque>
#include <string>

#include "platform/os/clock.h"

namespace tervo::reports {

struct RecentMessage {
  enum class Kind { kError, kStatus, kResult };
  os::LocalTime time;  // of the latest repeat
  Kind kind = Kind::kResult;
  std::string text;
  int repeats = 1;
};

class RecentMessages {
 public:
  static constexpr std::size_t kCapacity = 300;

  void Add(const os::LocalTime& time, RecentMessage::Kind kind, const std::string& text);
  // A main-window caption: "ERROR:" + message is an error; otherwise the
  // status part after "Tervo Remote Terminal 4.05 - " is a status change.
  void AddCaption(const os::LocalTime& time, const std::string& caption);

  // Oldest first.
  const std::deque<RecentMessage>& Items() const { return items_; }
  // Errors added since MarkRead.
  int UnreadErrors() const { return unreadErrors_; }
  void MarkRead() { unreadErrors_ = 0; }

  // One line of the list: "12:03:07  ERROR  Radio Base Not Found (3 times)".
  static std::string Format(const RecentMessage& m);

 private:
  std::deque<RecentMessage> items_;
  int unreadErrors_ = 0;
};

}  // namespace tervo::reports
