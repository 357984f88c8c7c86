#include "reports/gateway_status.h"

#include "config/text.h"
#include "core/gateway.h"

namespace tervo::reports {

GatewayStatus ReadGatewayStatus(
    core::Gateway& g, bool starting,
    const std::function<bool(const std::string& id)>& terminalConnected) {
  GatewayStatus s;
  if (g.RadioUp())
    s.radio = GatewayStatus::Radio::kUp;
  else if (text::TrimBlanks(g.Options().Text(config::Option::kComPort)).empty())
    s.radio = GatewayStatus::Radio::kNotUsed;
  else
    s.radio = starting ? GatewayStatus::Radio::kRetrying : GatewayStatus::Radio::kDown;
  s.sessions = g.SessionCount();
  for (int i = 0; i < s.sessions; ++i) {
    const std::string id = text::TrimBlanks(g.Store().TerminalIDDef[static_cast<std::size_t>(i)]);
    if (!id.empty() && terminalConnected && terminalConnected(id)) ++s.terminals;
    if (const host5250::HostDisplay* d = g.Display(i); d && d->IsConnected()) ++s.hostSessions;
  }
  s.unsaved = g.ConfigChanged;
  return s;
}

std::string RadioText(GatewayStatus::Radio radio) {
  switch (radio) {
    case GatewayStatus::Radio::kUp:
      return "Radio link up";
    case GatewayStatus::Radio::kRetrying:
      return "Radio link down, retrying";
    case GatewayStatus::Radio::kDown:
      return "Radio link down";
    case GatewayStatus::Radio::kNotUsed:
      break;
  }
  return "No radio base";
}

std::string TerminalsText(const GatewayStatus& s) {
  return "Terminals " + std::to_string(s.terminals) + "/" + std::to_string(s.sessions);
}

std::string HostSessionsText(const GatewayStatus& s) {
  return "Host sessions " + std::to_string(s.hostSessions) + "/" + std::to_string(s.sessions);
}

std::string SavedText(const GatewayStatus& s) { return s.unsaved ? "Unsaved" : "Saved"; }

}  // namespace tervo::reports
