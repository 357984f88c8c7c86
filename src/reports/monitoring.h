// The gateway's monitoring endpoints on its HTTP listener
// (docs/monitoring.md): /metrics in the Prometheus text format (0.0.4) and
// /healthz for load balancers and service checks.  Both read the gateway
// as the status bar does (gateway_status.h) and the counts of this run
// (core/run_metrics.h); neither changes anything.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/http/http_request.h"

namespace tervo::core {
class Gateway;
struct BuiltGateway;
}  // namespace tervo::core

namespace tervo::reports {

// What only the radio link knows of a terminal (the engine holds the
// RadioLink interface).  Unset members count as "no" and 0.
struct LinkFacts {
  std::function<bool(const std::string& id)> terminalConnected;
  std::function<std::uint64_t(const std::string& id)> answersRefused;
};

// Whether the gateway serves terminals: its start-up sequence is through,
// it is not stopping, and its radio link is up.  Otherwise why not:
// "starting", "radio link down", "no radio base", "stopping".
struct Serving {
  bool serving = false;
  std::string reason;
};
Serving ReadServing(core::Gateway& g);

// The /metrics page, UTF-8.
constexpr const char* kMetricsContentType = "text/plain; version=0.0.4; charset=utf-8";
std::string MetricsText(core::Gateway& g, const LinkFacts& link);

// The /healthz answer: 200 while the gateway serves, 503 when it does not;
// a JSON body with the radio link and every session's terminal and host.
http::Response HealthResponse(core::Gateway& g, const LinkFacts& link);

// Registers /metrics and /healthz on the built gateway's listener, when it
// has one.  The routes read built.gateway at every request: once it is
// gone they answer as a gateway that is stopping.
void ServeMonitoring(core::BuiltGateway& built);

}  // namespace tervo::reports
