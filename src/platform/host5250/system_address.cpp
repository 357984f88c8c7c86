#include "platform/host5250/system_address.h"

#include <cctype>

#include "platform/os/blank_text.h"

namespace tervo::host5250 {

namespace {

bool StartsWithNoCase(const std::string& s, const char* prefix) {
  std::size_t n = 0;
  for (; prefix[n]; ++n) {
    if (n >= s.size() || std::tolower(static_cast<unsigned char>(s[n])) != prefix[n]) return false;
  }
  return true;
}

}  // namespace

bool ParseSystemAddress(const std::string& system, SystemAddress* out, std::string* err) {
  std::string s = os::TrimBlanks(system);
  SystemAddress a;
  if (StartsWithNoCase(s, "tls://")) {
    a.tls = true;
    a.port = kTelnetTlsPort;
    s = s.substr(6);
  } else if (StartsWithNoCase(s, "telnet://")) {
    s = s.substr(9);
  } else if (s.find("://") != std::string::npos) {
    if (err) *err = "Unknown scheme in system name \"" + system + "\" (use tls:// or telnet://)";
    return false;
  }
  if (!s.empty() && s.back() == '/') s.pop_back();
  std::string portText;
  if (!s.empty() && s.front() == '[') {
    std::size_t close = s.find(']');
    if (close == std::string::npos) {
      if (err) *err = "Missing ] in system name \"" + system + "\"";
      return false;
    }
    a.host = s.substr(1, close - 1);
    std::string rest = s.substr(close + 1);
    if (!rest.empty()) {
      if (rest[0] != ':') {
        if (err) *err = "Bad system name \"" + system + "\"";
        return false;
      }
      portText = rest.substr(1);
      if (portText.empty()) portText = "x";
    }
  } else {
    std::size_t colon = s.find(':');
    if (colon != std::string::npos && s.find(':', colon + 1) != std::string::npos) {
      if (err) *err = "Put an IPv6 address in brackets: \"" + system + "\"";
      return false;
    }
    a.host = s.substr(0, colon);
    if (colon != std::string::npos) {
      portText = s.substr(colon + 1);
      if (portText.empty()) portText = "x";
    }
  }
  if (a.host.empty()) {
    if (err) *err = system.empty() ? "No host system name set" : "No host in system name \"" + system + "\"";
    return false;
  }
  if (!portText.empty()) {
    long port = 0;
    bool ok = portText.size() <= 5;
    for (char c : portText) ok = ok && std::isdigit(static_cast<unsigned char>(c));
    if (ok) port = std::stol(portText);
    if (!ok || port < 1 || port > 65535) {
      if (err) *err = "Bad port in system name \"" + system + "\"";
      return false;
    }
    a.port = static_cast<int>(port);
  }
  *out = a;
  return true;
}

}  // namespace tervo::host5250
