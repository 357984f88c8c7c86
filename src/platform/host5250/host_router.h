// Which HostDisplay a router name selects.  "TN5250" is the TN5250 client;
// the legacy names "WallData.TN5250" and "WallData.RumbaRouter" stored by
// older installations select it too.  "DemoHost" (legacy "WallData.DemoHost")
// selects the embedded demo host, reached by the same client at an address
// the caller supplies.  Names compare without regard to case or surrounding
// blanks.
#pragma once

#include <memory>
#include <string>

#include "platform/host5250/host_display.h"

namespace tervo::host5250 {

enum class RouterKind { kTn5250, kDemoHost };

bool ResolveRouterName(const std::string& name, RouterKind* kind, std::string* err);

struct RouterOptions {
  int ccsid = 37;                 // host code page: 37, 500, 1140 or 1148
  std::string caFile;             // extra certificate authorities for TLS
  std::string demoHostAddress;    // host:port of the demo host, for DemoHost
};

// A new display for the router name with Link().name set to it, or nullptr
// with *err set (unknown name, bad code page, demo host without address).
std::unique_ptr<HostDisplay> CreateHostDisplay(const std::string& routerName,
                                               const RouterOptions& options, std::string* err);

}  // namespace tervo::host5250
