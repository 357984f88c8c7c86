// Restarting the computer at the daily stop time.  The gateway asks for an
// orderly reboot and never forces one: the request may be refused (no
// permission, no init system), and the caller ignores refusals by design,
// because the stop-time branch carries on either way.
#pragma once

#include <string>
#include <vector>

namespace tervo::os {

class Restart {
 public:
  virtual ~Restart() = default;
  // Requests a reboot.  Returns false with *err set when the request could
  // not even be handed to the system.
  virtual bool RestartComputer(std::string* err) = 0;
};

// Linux: `systemctl reboot`, which asks systemd-logind for the reboot.  logind
// applies the polkit rule org.freedesktop.login1.reboot, so an unprivileged
// gateway user needs that action granted (docs/operator-windows.md).  Like the
// "no force" flag of an interactive restart, logind lets inhibitors and
// running shutdown jobs have their say.
class SystemdRestart : public Restart {
 public:
  // program and arguments default to "systemctl" "reboot"; installations that
  // use another path (e.g. "/sbin/reboot") can pass it here.
  explicit SystemdRestart(std::string program = "systemctl",
                          std::vector<std::string> arguments = {"reboot"});
  bool RestartComputer(std::string* err) override;

 private:
  std::string program_;
  std::vector<std::string> arguments_;
};

// Records the requests instead of restarting; for tests and dry runs.
class RecordingRestart : public Restart {
 public:
  bool RestartComputer(std::string* err) override {
    ++requests;
    if (!fail) return true;
    if (err) *err = "restart refused";
    return false;
  }
  int requests = 0;
  bool fail = false;
};

}  // namespace tervo::os
