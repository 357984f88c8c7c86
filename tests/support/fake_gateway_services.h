// Gateway services on fakes: every display is a FakeHostDisplay the test can
// reach by session, counters and saves are kept in memory and counted, and
// debug-log lines are collected.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "config/screen_store.h"
#include "core/gateway_services.h"
#include "support/fake_host_display.h"

namespace tervo::testing {

class FakeGatewayServices : public core::GatewayServices {
 public:
  std::unique_ptr<host5250::HostDisplay> CreateDisplay(int session, const std::string&,
                                                       std::string*) override {
    auto d = std::make_unique<FakeHostDisplay>();
    displays.at(static_cast<std::size_t>(session)) = d.get();
    return d;
  }
  void LoadCounters(const std::string&, config::DailyCounters& c) override { c = stored; }
  void SaveCounters(const std::string&, const config::DailyCounters& c) override {
    stored = c;
    ++countersSaved;
  }
  bool SaveConfiguration(const std::string&, std::string*) override {
    ++configurationSaves;
    return saveResult;
  }
  bool KeepUnsavedChanges(const std::string& base, std::string* path, std::string*) override {
    *path = base + ".TVO.unsaved";
    ++unsavedKept;
    unsavedExists = true;
    return true;
  }
  void RemoveUnsavedChanges(const std::string&) override {
    ++unsavedRemoved;
    unsavedExists = false;
  }
  bool UnsavedChangesExist(const std::string&) override { return unsavedExists; }
  void OpenDebugLog(const os::LocalTime&) override {}
  void WriteDebugLine(const std::string& m, const os::LocalTime&) override { lines.push_back(m); }
  void CloseDebugLog() override { ++debugClosed; }
  bool RaisePriority(std::string*) override { return true; }

  std::vector<FakeHostDisplay*> displays =
      std::vector<FakeHostDisplay*>(config::kSessionSlots, nullptr);
  config::DailyCounters stored{};
  std::vector<std::string> lines;
  int countersSaved = 0;
  int configurationSaves = 0;
  bool saveResult = true;
  int unsavedKept = 0;
  int unsavedRemoved = 0;
  bool unsavedExists = false;  // the side file is there
  int debugClosed = 0;
};

}  // namespace tervo::testing
