#include "platform/os/priority.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/resource.h>

#include <cerrno>
#include <cstring>
#endif

namespace tervo::os {

bool RaiseProcessPriority(std::string* err) {
#ifdef _WIN32
  if (SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS)) return true;
  if (err) *err = "SetPriorityClass failed";
  return false;
#else
  if (::setpriority(PRIO_PROCESS, 0, -10) == 0) return true;
  if (err) *err = std::strerror(errno);
  return false;
#endif
}

}  // namespace tervo::os
