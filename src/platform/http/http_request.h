// The little of HTTP/1.1 the gateway's own listener needs: the request line
// and headers of a request (RFC 9112), read from a byte buffer, and a
// response written back.  Requests carry no body: the listener serves pages,
// their files and WebSocket upgrades, all of them GET.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tervo::http {

struct Request {
  std::string method;    // "GET"
  std::string target;    // as sent: "/terminal?x=1"
  std::string path;      // the target up to "?": "/terminal"
  std::string query;     // after "?", without it
  int minorVersion = 1;  // HTTP/1.<minor>
  // Header names in lower case, values without surrounding blanks, in
  // the order sent.
  std::vector<std::pair<std::string, std::string>> headers;

  // The first header of that name (any case), or "".
  std::string Header(std::string_view name) const;
  // Whether a comma-separated header holds token (any case), e.g.
  // Connection: keep-alive, Upgrade.
  bool HeaderHas(std::string_view name, std::string_view token) const;
  // HTTP/1.1 keeps the connection unless told to close; 1.0 closes it
  // unless told to keep it.
  bool KeepAlive() const;
};

struct Response {
  int status = 200;
  std::string contentType;
  std::string body;
  // Further headers; Content-Length, Content-Type, Date-free.
  std::vector<std::pair<std::string, std::string>> headers;

  static Response Text(int status, std::string text);
};

// The standard reason phrase of a status code ("Not Found").
const char* ReasonPhrase(int status);

enum class ParseResult { kNeedMore, kDone, kError };

struct ParseOutcome {
  ParseResult result = ParseResult::kNeedMore;
  std::size_t headBytes = 0;  // kDone: bytes of the request line and headers
  int status = 0;             // kError: the status to answer with (400, 431, 501, 505)
  std::string error;          // kError: why, for the log
};

// Reads the request head at the start of bytes.  A head longer than
// maxHeadBytes is an error (431) whether or not it is complete, so a
// client cannot make the listener hold more.
ParseOutcome ParseRequestHead(std::string_view bytes, std::size_t maxHeadBytes, Request* out);

// The bytes of a response.  head: no body is sent (a HEAD request), the
// length still says what GET would send.  close adds "Connection: close".
std::string FormatResponse(const Response& response, bool head, bool close);

}  // namespace tervo::http
