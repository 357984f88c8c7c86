#include "platform/http/http_request.h"

#include <algorithm>
#include <cctype>

namespace tervo::http {

namespace {

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return Lower(x) == Lower(y); });
}

// RFC 9110 token characters.
bool IsTokenChar(char c) {
  const auto u = static_cast<unsigned char>(c);
  if (std::isalnum(u)) return true;
  return std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

std::string_view TrimOws(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

ParseOutcome Fail(int status, std::string why) {
  ParseOutcome o;
  o.result = ParseResult::kError;
  o.status = status;
  o.error = std::move(why);
  return o;
}

}  // namespace

std::string Request::Header(std::string_view name) const {
  for (const auto& [n, v] : headers)
    if (SameText(n, name)) return v;
  return {};
}

bool Request::HeaderHas(std::string_view name, std::string_view token) const {
  for (const auto& [n, v] : headers) {
    if (!SameText(n, name)) continue;
    std::string_view rest = v;
    while (!rest.empty()) {
      const auto comma = rest.find(',');
      if (SameText(TrimOws(rest.substr(0, comma)), token)) return true;
      if (comma == std::string_view::npos) break;
      rest.remove_prefix(comma + 1);
    }
  }
  return false;
}

bool Request::KeepAlive() const {
  if (HeaderHas("connection", "close")) return false;
  return minorVersion >= 1 || HeaderHas("connection", "keep-alive");
}

Response Response::Text(int status, std::string text) {
  Response r;
  r.status = status;
  r.contentType = "text/plain; charset=utf-8";
  r.body = std::move(text);
  if (r.body.empty() || r.body.back() != '\n') r.body += '\n';
  return r;
}

const char* ReasonPhrase(int status) {
  switch (status) {
    case 101:
      return "Switching Protocols";
    case 200:
      return "OK";
    case 204:
      return "No Content";
    case 304:
      return "Not Modified";
    case 400:
      return "Bad Request";
    case 403:
      return "Forbidden";
    case 404:
      return "Not Found";
    case 405:
      return "Method Not Allowed";
    case 408:
      return "Request Timeout";
    case 413:
      return "Content Too Large";
    case 426:
      return "Upgrade Required";
    case 431:
      return "Request Header Fields Too Large";
    case 500:
      return "Internal Server Error";
    case 501:
      return "Not Implemented";
    case 503:
      return "Service Unavailable";
    case 505:
      return "HTTP Version Not Supported";
    default:
      return "Unknown";
  }
}

ParseOutcome ParseRequestHead(std::string_view bytes, std::size_t maxHeadBytes, Request* out) {
  // Empty lines before the request line are skipped (RFC 9112, 2.2).
  std::size_t start = 0;
  while (start < bytes.size() && (bytes[start] == '\r' || bytes[start] == '\n')) ++start;
  // The head ends at the first empty line; a bare LF ends a line as well.
  std::size_t end = std::string_view::npos;
  std::size_t headEnd = 0;
  for (std::size_t i = start; i < bytes.size(); ++i) {
    if (bytes[i] != '\n') continue;
    const std::size_t next = i + 1;
    if (next < bytes.size() && bytes[next] == '\n') {
      end = i;
      headEnd = next + 1;
      break;
    }
    if (next + 1 < bytes.size() && bytes[next] == '\r' && bytes[next + 1] == '\n') {
      end = i;
      headEnd = next + 2;
      break;
    }
  }
  if (end == std::string_view::npos) {
    if (bytes.size() > maxHeadBytes)
      return Fail(431, "request head over " + std::to_string(maxHeadBytes) + " bytes");
    return {};
  }
  if (headEnd > maxHeadBytes)
    return Fail(431, "request head over " + std::to_string(maxHeadBytes) + " bytes");

  std::vector<std::string_view> lines;
  std::string_view head = bytes.substr(start, end - start);
  while (!head.empty()) {
    const auto nl = head.find('\n');
    std::string_view line = head.substr(0, nl);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (nl == std::string_view::npos) break;
    head.remove_prefix(nl + 1);
  }
  if (lines.empty()) return Fail(400, "empty request");

  Request r;
  // Request line: method SP target SP version, single spaces.
  const std::string_view line = lines[0];
  const auto sp1 = line.find(' ');
  const auto sp2 = sp1 == std::string_view::npos ? sp1 : line.find(' ', sp1 + 1);
  if (sp1 == std::string_view::npos || sp2 == std::string_view::npos ||
      line.find(' ', sp2 + 1) != std::string_view::npos)
    return Fail(400, "malformed request line");
  const std::string_view method = line.substr(0, sp1);
  const std::string_view target = line.substr(sp1 + 1, sp2 - sp1 - 1);
  const std::string_view version = line.substr(sp2 + 1);
  if (method.empty() || !std::all_of(method.begin(), method.end(), IsTokenChar))
    return Fail(400, "malformed method");
  if (target.empty() || target.front() != '/') return Fail(400, "request target is not a path");
  for (char c : target) {
    const auto u = static_cast<unsigned char>(c);
    if (u <= 0x20 || u >= 0x7F) return Fail(400, "request target holds a character not allowed");
  }
  if (version.size() != 8 || version.substr(0, 5) != "HTTP/" || version[6] != '.' ||
      !std::isdigit(static_cast<unsigned char>(version[5])) ||
      !std::isdigit(static_cast<unsigned char>(version[7])))
    return Fail(400, "malformed HTTP version");
  if (version[5] != '1') return Fail(505, "HTTP version " + std::string(version.substr(5)));
  r.method = method;
  r.target = target;
  const auto q = target.find('?');
  r.path = target.substr(0, q);
  if (q != std::string_view::npos) r.query = target.substr(q + 1);
  r.minorVersion = version[7] - '0';

  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::string_view h = lines[i];
    if (h.front() == ' ' || h.front() == '\t') return Fail(400, "folded header line");
    const auto colon = h.find(':');
    if (colon == std::string_view::npos || colon == 0) return Fail(400, "malformed header line");
    const std::string_view name = h.substr(0, colon);
    if (!std::all_of(name.begin(), name.end(), IsTokenChar))
      return Fail(400, "malformed header name");
    const std::string_view value = TrimOws(h.substr(colon + 1));
    for (char c : value) {
      const auto u = static_cast<unsigned char>(c);
      if ((u < 0x20 && u != '\t') || u == 0x7F)
        return Fail(400, "header value holds a control character");
    }
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(), Lower);
    r.headers.emplace_back(std::move(lower), std::string(value));
  }
  const auto hosts = std::count_if(r.headers.begin(), r.headers.end(),
                                   [](const auto& h) { return h.first == "host"; });
  if (hosts > 1) return Fail(400, "more than one Host header");
  if (hosts == 0 && r.minorVersion >= 1) return Fail(400, "no Host header");

  *out = std::move(r);
  ParseOutcome o;
  o.result = ParseResult::kDone;
  o.headBytes = headEnd;
  return o;
}

std::string FormatResponse(const Response& response, bool head, bool close) {
  std::string s =
      "HTTP/1.1 " + std::to_string(response.status) + " " + ReasonPhrase(response.status) + "\r\n";
  if (!response.contentType.empty()) s += "Content-Type: " + response.contentType + "\r\n";
  s += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
  for (const auto& [n, v] : response.headers) s += n + ": " + v + "\r\n";
  if (close) s += "Connection: close\r\n";
  s += "\r\n";
  if (!head) s += response.body;
  return s;
}

}  // namespace tervo::http
