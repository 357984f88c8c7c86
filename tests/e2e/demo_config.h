// The demo configuration: hand-checked screen definitions for the built-in
// warehouse application, built from captures of the demo host's screens.
// demo/warehouse.TVO is this configuration as written by the config
// library; the tests rebuild it and compare, so the file and the rules that
// made it cannot drift apart.  TERVO_WRITE_DEMO_CONFIG=1 rewrites the file.
#pragma once

#include <string>

#include "config/general_options.h"
#include "config/screen_store.h"

namespace tervo::e2e {

// Screen numbers of the demo definitions.
enum DemoScreen {
  kSignOn = 1,
  kMenu = 2,
  kInquiry = 3,
  kItem = 4,
  kPicking = 5,
  kPick = 6,
  kReceiving = 7,
  kReceipt = 8,
  kReceived = 9,  // not sent to the terminal: answered by Enter
  kMaster = 10,   // the master the header-sharing screens copy from
};

// Terminal ids of the four demo sessions.
inline const char* const kDemoTerminals[4] = {"T1", "T2", "T3", "T4"};

std::string DemoConfigBase();  // demo/warehouse (without ".TVO")

// Builds the demo configuration against a demo host reached at address
// (host:port).  False with *err when a screen could not be reached.
bool BuildDemoConfiguration(const std::string& address, config::ScreenStore& store,
                            config::GeneralOptions& options, std::string* err);

}  // namespace tervo::e2e
