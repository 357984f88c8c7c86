#include "core/event_pump.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace tervo::core {

void QtEventPump::ProcessEvents(int maxWaitMs) {
  // The timer bounds the wait: without it a wait inside a poll tick (when
  // the poll timer is stopped) could sleep until some unrelated event.
  QTimer wake;
  wake.setSingleShot(true);
  wake.start(maxWaitMs < 1 ? 1 : maxWaitMs);
  QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

}  // namespace tervo::core
