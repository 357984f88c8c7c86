#include "reports/recent_messages.h"

#include <cstdio>

namespace tervo::reports {

namespace {
constexpr const char* kCaptionPrefix = "Tervo Remote Terminal 4.05 - ";
constexpr const char* kErrorPrefix = "ERROR:";
}  // namespace

void RecentMessages::Add(const os::LocalTime& time, RecentMessage::Kind kind,
                         const std::string& text) {
  if (kind == RecentMessage::Kind::kError) ++unreadErrors_;
  if (!items_.empty() && items_.back().kind == kind && items_.back().text == text) {
    items_.back().time = time;
    ++items_.back().repeats;
    return;
  }
  items_.push_back({time, kind, text, 1});
  while (items_.size() > kCapacity) items_.pop_front();
}

void RecentMessages::AddCaption(const os::LocalTime& time, const std::string& caption) {
  const std::string error = kErrorPrefix;
  const std::string prefix = kCaptionPrefix;
  if (caption.rfind(error, 0) == 0) {
    Add(time, RecentMessage::Kind::kError, caption.substr(error.size()));
  } else if (caption.rfind(prefix, 0) == 0) {
    Add(time, RecentMessage::Kind::kStatus, caption.substr(prefix.size()));
  } else {
    Add(time, RecentMessage::Kind::kStatus, caption);
  }
}

std::string RecentMessages::Format(const RecentMessage& m) {
  char clock[16];
  std::snprintf(clock, sizeof clock, "%02d:%02d:%02d", m.time.hour % 100, m.time.minute % 100,
                m.time.second % 100);
  const char* kind = m.kind == RecentMessage::Kind::kError    ? "ERROR "
                     : m.kind == RecentMessage::Kind::kStatus ? "status"
                                                              : "result";
  std::string line = std::string(clock) + "  " + kind + "  " + m.text;
  if (m.repeats > 1) line += " (" + std::to_string(m.repeats) + " times)";
  return line;
}

}  // namespace tervo::reports
