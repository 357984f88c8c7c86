#include "platform/os/restart.h"

#include <QProcess>
#include <QStringList>

namespace tervo::os {

SystemdRestart::SystemdRestart(std::string program, std::vector<std::string> arguments)
    : program_(std::move(program)), arguments_(std::move(arguments)) {}

bool SystemdRestart::RestartComputer(std::string* err) {
  QStringList args;
  for (const auto& a : arguments_) args << QString::fromStdString(a);
  // Detached: the reboot takes the gateway down with it, and waiting for the
  // child would only block the event loop meanwhile.
  if (QProcess::startDetached(QString::fromStdString(program_), args)) return true;
  if (err) *err = "cannot start " + program_;
  return false;
}

}  // namespace tervo::os
