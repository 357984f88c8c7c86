// The gateway's services on the real libraries: TN5250 displays through the
// router factory (starting the embedded demo host on a free loopback port
// when the router is "DemoHost"), the counter files and the configuration
// file of the config library, its debug log, and the platform's priority.
#pragma once

#include <memory>
#include <string>

#include "config/debug_log.h"
#include "config/general_options.h"
#include "config/screen_store.h"
#include "core/gateway_services.h"

namespace tervo::demohost {
class DemoHost;
}

namespace tervo::core {

struct ProgramServiceOptions {
  std::string logFolder;  // empty: the config library's default folder
  // Where a "DemoHost" router reaches its host; empty starts the embedded
  // demo host in this process on a free loopback port.
  std::string demoHostAddress;
  int ccsid = 37;
};

class ProgramServices : public GatewayServices {
 public:
  // store, options and clock must outlive the services (they are the
  // gateway's own).
  ProgramServices(ProgramServiceOptions options, const config::ScreenStore& store,
                  const config::GeneralOptions& generalOptions, const os::Clock& clock);
  ~ProgramServices() override;

  std::unique_ptr<host5250::HostDisplay> CreateDisplay(int session, const std::string& routerName,
                                                       std::string* err) override;
  void LoadCounters(const std::string& basePath, config::DailyCounters& counters) override;
  void SaveCounters(const std::string& basePath, const config::DailyCounters& counters) override;
  bool SaveConfiguration(const std::string& basePath, std::string* err) override;
  bool KeepUnsavedChanges(const std::string& basePath, std::string* path,
                          std::string* err) override;
  void RemoveUnsavedChanges(const std::string& basePath) override;
  bool UnsavedChangesExist(const std::string& basePath) override;
  void OpenDebugLog(const os::LocalTime& start) override;
  void WriteDebugLine(const std::string& message, const os::LocalTime& now) override;
  void CloseDebugLog() override;
  bool RaisePriority(std::string* err) override;

  // The embedded demo host's address once started ("127.0.0.1:port").
  const std::string& DemoHostAddress() const { return options_.demoHostAddress; }
  const std::string& DebugLogPath() const { return debugLog_.Path(); }
  // Errors of the services themselves (demo host start, log folder).
  std::string LastError() const { return lastError_; }

 private:
  bool EnsureDemoHost(std::string* err);

  ProgramServiceOptions options_;
  const config::ScreenStore& store_;
  const config::GeneralOptions& generalOptions_;
  config::DebugLog debugLog_;
  std::unique_ptr<demohost::DemoHost> demoHost_;
  std::string lastError_;
};

}  // namespace tervo::core
