#include "platform/os/timers.h"

#include <QTimer>
#include <algorithm>
#include <cmath>

namespace tervo::os {

QtTimers::QtTimers(double scale) : scale_(scale > 0 ? scale : 1.0) {}

QtTimers::~QtTimers() {
  // The QTimers are children of owner_; none fires once this is gone.
  for (auto& [id, timer] : timers_) timer->stop();
}

Timers::Id QtTimers::After(std::int64_t ms, std::function<void()> fn) {
  const Id id = next_++;
  auto* timer = new QTimer(&owner_);
  timer->setSingleShot(true);
  timer->setTimerType(Qt::PreciseTimer);
  const double real = std::ceil(static_cast<double>(std::max<std::int64_t>(ms, 0)) / scale_);
  timer->setInterval(static_cast<int>(std::min(real, 2.0e9)));
  QObject::connect(timer, &QTimer::timeout, &owner_, [this, id, fn = std::move(fn)] {
    auto it = timers_.find(id);
    if (it == timers_.end()) return;
    it->second->deleteLater();
    timers_.erase(it);
    fn();
  });
  timers_[id] = timer;
  timer->start();
  return id;
}

void QtTimers::Cancel(Id id) {
  auto it = timers_.find(id);
  if (it == timers_.end()) return;
  it->second->stop();
  it->second->deleteLater();
  timers_.erase(it);
}

Timers::Id VirtualTimers::After(std::int64_t ms, std::function<void()> fn) {
  const Id id = next_++;
  const std::int64_t at = clock_.MonotonicMs() + std::max<std::int64_t>(ms, 0);
  due_.emplace(Key{at, id}, std::move(fn));
  at_[id] = at;
  return id;
}

void VirtualTimers::Cancel(Id id) {
  auto it = at_.find(id);
  if (it == at_.end()) return;
  due_.erase(Key{it->second, id});
  at_.erase(it);
}

int VirtualTimers::RunDue() {
  int ran = 0;
  while (!due_.empty() && due_.begin()->first.at <= clock_.MonotonicMs()) {
    auto first = due_.begin();
    const Id id = first->first.id;
    std::function<void()> fn = std::move(first->second);
    due_.erase(first);
    at_.erase(id);
    fn();
    ++ran;
  }
  return ran;
}

void VirtualTimers::Advance(std::int64_t ms) {
  const std::int64_t end = clock_.MonotonicMs() + std::max<std::int64_t>(ms, 0);
  RunDue();
  while (!due_.empty() && due_.begin()->first.at <= end) {
    const std::int64_t at = due_.begin()->first.at;
    if (at > clock_.MonotonicMs()) clock_.Advance(at - clock_.MonotonicMs());
    RunDue();
  }
  if (end > clock_.MonotonicMs()) clock_.Advance(end - clock_.MonotonicMs());
  RunDue();
}

bool VirtualTimers::RunNext() {
  if (due_.empty()) return false;
  const std::int64_t at = due_.begin()->first.at;
  if (at > clock_.MonotonicMs()) clock_.Advance(at - clock_.MonotonicMs());
  RunDue();
  return true;
}

}  // namespace tervo::os
