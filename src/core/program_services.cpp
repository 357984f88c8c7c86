#include "core/program_services.h"

#include "config/config_writer.h"
#include "config/daily_counters.h"
#include "config/unsaved_file.h"
#include "platform/demohost/demo_host.h"
#include "platform/host5250/host_router.h"
#include "platform/os/priority.h"

namespace tervo::core {

ProgramServices::ProgramServices(ProgramServiceOptions options, const config::ScreenStore& store,
                                 const config::GeneralOptions& generalOptions,
                                 const os::Clock& clock)
    : options_(std::move(options)),
      store_(store),
      generalOptions_(generalOptions),
      debugLog_(clock) {}

ProgramServices::~ProgramServices() = default;

bool ProgramServices::EnsureDemoHost(std::string* err) {
  if (!options_.demoHostAddress.empty()) return true;
  demoHost_ = std::make_unique<demohost::DemoHost>();
  if (!demoHost_->ListenOnFreeLoopbackPort(err)) {
    demoHost_.reset();
    return false;
  }
  options_.demoHostAddress = "127.0.0.1:" + std::to_string(demoHost_->Port());
  return true;
}

std::unique_ptr<host5250::HostDisplay> ProgramServices::CreateDisplay(int /*session*/,
                                                                      const std::string& routerName,
                                                                      std::string* err) {
  host5250::RouterKind kind;
  if (!host5250::ResolveRouterName(routerName, &kind, err)) return nullptr;
  if (kind == host5250::RouterKind::kDemoHost && !EnsureDemoHost(err)) {
    lastError_ = *err;
    return nullptr;
  }
  host5250::RouterOptions ro;
  ro.ccsid = options_.ccsid;
  ro.demoHostAddress = options_.demoHostAddress;
  return host5250::CreateHostDisplay(routerName, ro, err);
}

void ProgramServices::LoadCounters(const std::string& basePath, config::DailyCounters& counters) {
  config::LoadDailyCounters(basePath, &counters);
}

void ProgramServices::SaveCounters(const std::string& basePath,
                                   const config::DailyCounters& counters) {
  std::string err;
  if (!config::SaveDailyCounters(basePath, counters, &err)) lastError_ = err;
}

bool ProgramServices::SaveConfiguration(const std::string& basePath, std::string* err) {
  return config::SaveDataToFile2(basePath, store_, generalOptions_, err);
}

bool ProgramServices::KeepUnsavedChanges(const std::string& basePath, std::string* path,
                                         std::string* err) {
  *path = config::UnsavedFilePath(basePath);
  return config::WriteUnsavedFile(basePath, store_, generalOptions_, err);
}

void ProgramServices::RemoveUnsavedChanges(const std::string& basePath) {
  std::string err;
  if (!config::RemoveUnsavedFile(basePath, &err)) lastError_ = err;
}

bool ProgramServices::UnsavedChangesExist(const std::string& basePath) {
  return config::UnsavedFileExists(basePath);
}

void ProgramServices::OpenDebugLog(const os::LocalTime&) {
  std::string err;
  if (!debugLog_.Open(options_.logFolder, &err)) lastError_ = err;
}

void ProgramServices::WriteDebugLine(const std::string& message, const os::LocalTime&) {
  debugLog_.WriteLog(message, false);
}

void ProgramServices::CloseDebugLog() { debugLog_.Close(); }

bool ProgramServices::RaisePriority(std::string* err) { return os::RaiseProcessPriority(err); }

}  // namespace tervo::core
