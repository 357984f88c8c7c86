#include "core/http_endpoint.h"

#include <QHostInfo>
#include <algorithm>

#include "config/text.h"

namespace tervo::core {

namespace {

bool ParsePort(const std::string& text, quint16* port) {
  if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos)
    return false;
  const int p = std::stoi(text);
  if (p > 65535) return false;
  *port = static_cast<quint16>(p);
  return true;
}

// The host part of "host", "host:port" or "[v6]:port".
std::string HostOf(const std::string& address) {
  const std::string t = text::TrimBlanks(address);
  if (!t.empty() && t.front() == '[') {
    const auto close = t.find(']');
    return t.substr(1, close == std::string::npos ? std::string::npos : close - 1);
  }
  if (std::count(t.begin(), t.end(), ':') == 1) return t.substr(0, t.find(':'));
  return t;
}

bool SetHost(const std::string& host, QHostAddress* out) {
  if (host.empty()) {
    *out = QHostAddress(QHostAddress::LocalHost);
    return true;
  }
  if (host == "localhost") {
    *out = QHostAddress(QHostAddress::LocalHost);
    return true;
  }
  return out->setAddress(QString::fromStdString(host));
}

}  // namespace

bool ParseHttpListen(const std::string& text, const std::string& radioAddress, HttpListen* out,
                     std::string* err) {
  const std::string t = text::TrimBlanks(text);
  *out = HttpListen{};
  if (t.empty() || t == "off") return true;
  std::string host;
  std::string portText = t;
  if (t.front() == '[') {
    const auto close = t.find("]:");
    if (close == std::string::npos) {
      *err = "HTTP port \"" + t + "\": write [address]:port";
      return false;
    }
    host = t.substr(1, close - 1);
    portText = t.substr(close + 2);
  } else if (t.find(':') != std::string::npos) {
    if (std::count(t.begin(), t.end(), ':') != 1) {
      *err = "HTTP port \"" + t + "\": an IPv6 address goes in brackets, [::]:8080";
      return false;
    }
    host = t.substr(0, t.find(':'));
    portText = t.substr(t.find(':') + 1);
  } else {
    host = HostOf(radioAddress);
  }
  if (!ParsePort(portText, &out->port)) {
    *err = "HTTP port \"" + t + "\" is not a port number (0 to 65535), HOST:PORT or \"off\"";
    return false;
  }
  if (!SetHost(host, &out->address)) {
    *err = "HTTP port \"" + t + "\": " + host + " is not an IP address";
    return false;
  }
  out->enabled = true;
  return true;
}

std::string PageAddress(const http::Server& server) {
  const QHostAddress a = server.Address();
  std::string host;
  if (a == QHostAddress::Any || a == QHostAddress::AnyIPv4 || a == QHostAddress::AnyIPv6) {
    host = QHostInfo::localHostName().toStdString();
  } else if (a.protocol() == QAbstractSocket::IPv6Protocol) {
    host = "[" + a.toString().toStdString() + "]";
  } else {
    host = a.toString().toStdString();
  }
  return std::string(server.Secure() ? "https://" : "http://") + host + ":" +
         std::to_string(server.Port()) + "/";
}

}  // namespace tervo::core
