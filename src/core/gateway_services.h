// What the gateway needs from the rest of the installation at start and
// stop: its 5250 displays, the counter files, the configuration file, the
// debug log and the process priority.  The program binds these to the real
// libraries (config_services.h); tests bind them to memory.
#pragma once

#include <memory>
#include <string>

#include "config/daily_counters.h"
#include "platform/host5250/host_display.h"
#include "platform/os/clock.h"

namespace tervo::core {

class GatewayServices {
 public:
  virtual ~GatewayServices() = default;

  // A display for session i that reaches its host through routerName;
  // nullptr with *err set when the router is unknown.
  virtual std::unique_ptr<host5250::HostDisplay> CreateDisplay(int session,
                                                               const std::string& routerName,
                                                               std::string* err) = 0;

  // Counter tables beside the configuration base path (".TVH", ".TVI").  A
  // file that cannot be read leaves its table as it is.
  virtual void LoadCounters(const std::string& basePath, config::DailyCounters& counters) = 0;
  virtual void SaveCounters(const std::string& basePath, const config::DailyCounters& counters) = 0;
  // Writes the configuration to its current file without asking for a name.
  virtual bool SaveConfiguration(const std::string& basePath, std::string* err) = 0;
  // Writes the configuration beside its file instead of over it
  // (config/unsaved_file.h): changes nobody could be asked to save.  *path
  // receives the name of the file written.
  virtual bool KeepUnsavedChanges(const std::string& basePath, std::string* path,
                                  std::string* err) = 0;
  // Removes that file: its changes reached the configuration file.
  virtual void RemoveUnsavedChanges(const std::string& basePath) = 0;
  // Whether that file is there (kept by an earlier run, or by this one).
  virtual bool UnsavedChangesExist(const std::string& basePath) = 0;

  // The debug log: one file per start, a line per message.
  virtual void OpenDebugLog(const os::LocalTime& start) = 0;
  virtual void WriteDebugLine(const std::string& message, const os::LocalTime& now) = 0;
  virtual void CloseDebugLog() = 0;

  // Runs the gateway process at high priority; false with *err when the
  // system refuses (the gateway runs on at normal priority).
  virtual bool RaisePriority(std::string* err) = 0;
};

// Services that do nothing: no displays, no files.
class NullServices : public GatewayServices {
 public:
  std::unique_ptr<host5250::HostDisplay> CreateDisplay(int, const std::string&,
                                                       std::string*) override {
    return nullptr;
  }
  void LoadCounters(const std::string&, config::DailyCounters&) override {}
  void SaveCounters(const std::string&, const config::DailyCounters&) override {}
  bool SaveConfiguration(const std::string&, std::string*) override { return true; }
  bool KeepUnsavedChanges(const std::string&, std::string*, std::string*) override { return true; }
  void RemoveUnsavedChanges(const std::string&) override {}
  bool UnsavedChangesExist(const std::string&) override { return false; }
  void OpenDebugLog(const os::LocalTime&) override {}
  void WriteDebugLine(const std::string&, const os::LocalTime&) override {}
  void CloseDebugLog() override {}
  bool RaisePriority(std::string*) override { return true; }
};

}  // namespace tervo::core
