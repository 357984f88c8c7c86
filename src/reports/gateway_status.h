// How the gateway is doing, for the main window's status bar: the radio
// link, the terminals and host sessions connected, and whether the
// configuration has unsaved changes.
#pragma once

#include <functional>
#include <string>

namespace tervo::core {
class Gateway;
}

namespace tervo::reports {

struct GatewayStatus {
  enum class Radio {
    kNotUsed,   // "Com Port" is empty: no radio base is looked for
    kUp,        // listening (TCP/IP) or the base answered (serial)
    kRetrying,  // the start-up sequence is still looking for the base
    kDown,      // given up (Enter during the retry) or lost
  };
  Radio radio = Radio::kNotUsed;
  int sessions = 0;
  int terminals = 0;     // sessions whose terminal is connected to the link
  int hostSessions = 0;  // sessions whose 5250 host session is open
  bool unsaved = false;
};

// Reads the status of a gateway.  starting: its start-up sequence is still
// running (the radio retry).  terminalConnected tells whether the link
// holds a terminal with that id (nullptr: none counted).
GatewayStatus ReadGatewayStatus(
    core::Gateway& g, bool starting,
    const std::function<bool(const std::string& id)>& terminalConnected);

// The status bar's texts: "Radio link up", "Radio link down, retrying",
// "Radio link down", "No radio base"; "Terminals 2/4"; "Host sessions 1/4";
// "Saved" or "Unsaved".
std::string RadioText(GatewayStatus::Radio radio);
std::string TerminalsText(const GatewayStatus& s);
std::string HostSessionsText(const GatewayStatus& s);
std::string SavedText(const GatewayStatus& s);

}  // namespace tervo::reports
