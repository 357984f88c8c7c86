// The System setting names the host and how to reach it:
//   host               plain telnet, port 23
//   host:port          plain telnet on that port
//   telnet://host[:port]  plain telnet, said explicitly
//   tls://host[:port]  TLS, port 992 unless given; the certificate is verified
//   [v6addr]:port      IPv6 addresses in brackets, as in URLs
// Blanks around the value are ignored.
#pragma once

#include <string>

namespace tervo::host5250 {

struct SystemAddress {
  std::string host;
  int port = 23;
  bool tls = false;
};

inline constexpr int kTelnetPort = 23;
inline constexpr int kTelnetTlsPort = 992;

bool ParseSystemAddress(const std::string& system, SystemAddress* out, std::string* err);

}  // namespace tervo::host5250
