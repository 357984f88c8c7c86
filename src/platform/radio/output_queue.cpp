#include "platform/radio/output_queue.h"

namespace tervo::radio {

OutputQueue::Pushed OutputQueue::Push(const std::string& terminalId, bool isScreen,
                                      std::string bytes) {
  Pushed r;
  const std::size_t size = bytes.size();
  entries_.push_back({terminalId, isScreen, std::move(bytes)});
  bytes_ += size;
  std::size_t& mine = byId_[terminalId];
  mine += size;
  // Oldest screens of this terminal first; the frame just queued stays.
  for (auto it = entries_.begin(); mine > limits_.backlogBytes && it + 1 != entries_.end();) {
    if (it->id == terminalId && it->screen) {
      mine -= it->bytes.size();
      bytes_ -= it->bytes.size();
      it = entries_.erase(it);
      ++r.droppedScreens;
    } else {
      ++it;
    }
  }
  r.overflow = mine > limits_.backlogBytes;
  if (r.droppedScreens > 0) {
    int& dropped = droppedSinceCaughtUp_[terminalId];
    r.firstDrop = dropped == 0;
    dropped += r.droppedScreens;
  }
  return r;
}

void OutputQueue::Flush(const std::function<std::size_t()>& pending,
                        const std::function<bool(const std::string&)>& write) {
  while (!entries_.empty() && pending() < limits_.sinkBytes) {
    Entry e = std::move(entries_.front());
    entries_.pop_front();
    bytes_ -= e.bytes.size();
    auto it = byId_.find(e.id);
    if (it != byId_.end()) {
      it->second -= e.bytes.size();
      if (it->second == 0) byId_.erase(it);
    }
    if (!write(e.bytes)) break;
  }
}

std::vector<OutputQueue::CaughtUp> OutputQueue::TakeCaughtUp() {
  std::vector<CaughtUp> out;
  for (auto it = droppedSinceCaughtUp_.begin(); it != droppedSinceCaughtUp_.end();) {
    if (BacklogOf(it->first) == 0) {
      out.push_back({it->first, it->second});
      it = droppedSinceCaughtUp_.erase(it);
    } else {
      ++it;
    }
  }
  return out;
}

std::size_t OutputQueue::BacklogOf(const std::string& terminalId) const {
  const auto it = byId_.find(terminalId);
  return it == byId_.end() ? 0 : it->second;
}

void OutputQueue::Clear() {
  entries_.clear();
  byId_.clear();
  bytes_ = 0;
}

void OutputQueue::ClearTerminal(const std::string& terminalId) {
  for (auto it = entries_.begin(); it != entries_.end();) {
    if (it->id == terminalId) {
      bytes_ -= it->bytes.size();
      it = entries_.erase(it);
    } else {
      ++it;
    }
  }
  byId_.erase(terminalId);
}

}  // namespace tervo::radio
