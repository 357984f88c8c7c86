// The gateway's HTTP endpoint: where its listener listens and what it
// serves.  The port is a setting of the machine (QuilComm/Web/HttpPort,
// docs/settings.md), which `tervo --http-port` overrides for one run; it
// is off unless one of them is set.  The listener serves the terminal page
// and its WebSocket (docs/web-terminal.md); further routes (status pages)
// are registered on the same listener.
#pragma once

#include <QHostAddress>
#include <string>

#include "platform/http/http_server.h"

namespace tervo::core {

struct HttpListen {
  bool enabled = false;
  QHostAddress address;
  quint16 port = 0;
};

// Reads the HTTP port text: "" or "off": off; "8080": port 8080 on the
// host of the radio address (radioAddress: the TCPIPAddr option, "0.0.0.0:7250"),
// so that phones reach the page where guns reach the link; "HOST:8080" or
// "[v6]:8080": that address.  Port 0 picks a free port.  False with *err
// for anything else.
bool ParseHttpListen(const std::string& text, const std::string& radioAddress, HttpListen* out,
                     std::string* err);

// The address a person opens: "http://127.0.0.1:8080/"; a listener on every
// interface is named by this machine's host name.
std::string PageAddress(const http::Server& server);

}  // namespace tervo::core
