// Putting a gateway together from the real libraries, as `tervo` and the
// end-to-end tests do: load the configuration, open the settings, create
// the radio link over the wire protocol and the 5250 displays through the
// router factory.
#pragma once

#include <memory>
#include <string>

#include "core/gateway.h"
#include "core/gateway_ui.h"
#include "core/kept_changes.h"
#include "core/program_services.h"
#include "platform/radio/wire_radio_link.h"

namespace tervo::core {

struct GatewayConfig {
  // Configuration base path (base + ".TVO"); empty: the FileName setting.
  std::string configBase;
  // Settings file instead of the user's settings store; empty: the store
  // (or TERVO_SETTINGS).
  std::string settingsFile;
  std::string logFolder;
  // Sessions to serve; 0 derives it from the configuration
  // (DefaultSessionCount).  Out of 1..32 is an error.
  int sessionCount = 0;
  // Overrides the TCPIPAddr option for this run only ("127.0.0.1:7300").
  std::string radioAddress;
  // Where a "DemoHost" router connects; empty starts the embedded one.
  std::string demoHostAddress;
  // The gateway's clock runs this many times faster than real time, its
  // timers with it (tests and demonstrations only).
  double timeScale = 1.0;
  // What happens at start to changes an earlier stop kept beside the
  // configuration: the windows ask, a headless gateway keeps them waiting.
  KeptChoice keptChoice = KeptChoice::kAsk;
};

struct BuiltGateway {
  std::unique_ptr<Gateway> gateway;
  ProgramServices* services = nullptr;    // owned by the gateway
  radio::WireRadioLink* radio = nullptr;  // owned by the gateway
  int badLines = 0;
  bool configLoaded = false;
};

// Builds (does not start) a gateway.  False with *err when the session
// count is out of range; a configuration that cannot be read is no error
// (the options fall back, as at any start without a file).
bool BuildGateway(const GatewayConfig& config, GatewayUi& ui, BuiltGateway* out, std::string* err);

}  // namespace tervo::core
