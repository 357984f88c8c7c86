#include "platform/os/signal_watcher.h"

#include <QSocketNotifier>

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace tervo::os {

#ifndef _WIN32
namespace {

int g_pipe[2] = {-1, -1};

void Handler(int sig) {
  const int saved = errno;
  const unsigned char b = static_cast<unsigned char>(sig);
  [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &b, 1);
  errno = saved;
}

}  // namespace

SignalWatcher::SignalWatcher(std::function<void(int)> onSignal) : onSignal_(std::move(onSignal)) {
  if (g_pipe[0] >= 0 || ::pipe(g_pipe) != 0) return;
  for (int fd : g_pipe) {
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
  }
  notifier_ = std::make_unique<QSocketNotifier>(g_pipe[0], QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { OnReadable(); });
  struct sigaction sa {};
  sa.sa_handler = Handler;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  ::sigaction(SIGINT, &sa, nullptr);
  ::sigaction(SIGTERM, &sa, nullptr);
  installed_ = true;
}

SignalWatcher::~SignalWatcher() {
  if (!installed_) return;
  ::signal(SIGINT, SIG_DFL);
  ::signal(SIGTERM, SIG_DFL);
  notifier_.reset();
  ::close(g_pipe[0]);
  ::close(g_pipe[1]);
  g_pipe[0] = g_pipe[1] = -1;
}

void SignalWatcher::OnReadable() {
  unsigned char b = 0;
  while (::read(g_pipe[0], &b, 1) == 1) {
    if (onSignal_) onSignal_(b);
  }
}

#else
SignalWatcher::SignalWatcher(std::function<void(int)> onSignal) : onSignal_(std::move(onSignal)) {}
SignalWatcher::~SignalWatcher() = default;
void SignalWatcher::OnReadable() {}
#endif

}  // namespace tervo::os
