// Turns SIGINT and SIGTERM into a call on the event loop, so a program can
// run its orderly shutdown instead of dying in the middle of a write.  The
// handler only writes a byte to a pipe; the loop reads it (self-pipe).
#pragma once

#include <functional>
#include <memory>

class QSocketNotifier;

namespace tervo::os {

class SignalWatcher {
 public:
  // Installs the handlers; onSignal(signal number) runs on the event loop.
  // Only one watcher may exist at a time.
  explicit SignalWatcher(std::function<void(int)> onSignal);
  ~SignalWatcher();
  SignalWatcher(const SignalWatcher&) = delete;
  SignalWatcher& operator=(const SignalWatcher&) = delete;

  bool Installed() const { return installed_; }

 private:
  void OnReadable();

  std::function<void(int)> onSignal_;
  std::unique_ptr<QSocketNotifier> notifier_;
  bool installed_ = false;
};

}  // namespace tervo::os
