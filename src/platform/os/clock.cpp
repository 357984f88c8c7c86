#include "platform/os/clock.h"

#include <QDateTime>
#include <QElapsedTimer>

namespace tervo::os {

namespace {
LocalTime FromQt(const QDateTime& dt) {
  const QDate d = dt.date();
  const QTime t = dt.time();
  return {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()};
}
}  // namespace

std::int64_t SystemClock::MonotonicMs() const {
  static QElapsedTimer timer = [] {
    QElapsedTimer t;
    t.start();
    return t;
  }();
  return timer.elapsed();
}

LocalTime SystemClock::Now() const { return FromQt(QDateTime::currentDateTime()); }

LocalTime VirtualClock::Now() const {
  const QDateTime start(QDate(start_.year, start_.month, start_.day),
                        QTime(start_.hour, start_.minute, start_.second));
  return FromQt(start.addMSecs(ms_ - base_));
}

}  // namespace tervo::os
