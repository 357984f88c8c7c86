// The terminal page: one HTML page with its style sheet and script, built
// into the program (src/platform/radio/web/), served by the gateway's HTTP
// listener.  The page speaks to the WebSocket transport (web_transport.h)
// on kTerminalSocketPath of the same listener.
#pragma once

#include "platform/http/http_server.h"

namespace tervo::radio {

constexpr const char* kTerminalSocketPath = "/terminal";

// Registers "/" (the page), "/terminal.css", "/terminal.js" and
// "/terminal.svg" (its icon) on server.
void ServeTerminalPage(http::Server& server);

}  // namespace tervo::radio
