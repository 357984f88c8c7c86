// Reading request heads: what the listener accepts, what it refuses with
// which status, and where a head ends.
#include "platform/http/http_request.h"

#include <gtest/gtest.h>

namespace tervo::http {
namespace {

ParseOutcome Parse(const std::string& text, Request* r, std::size_t max = 8192) {
  return ParseRequestHead(text, max, r);
}

TEST(HttpRequest, AGetWithHeadersAndAQuery) {
  Request r;
  const std::string head =
      "GET /terminal?x=1 HTTP/1.1\r\nHost: gw:8080\r\nUpgrade: websocket\r\n"
      "Connection: keep-alive, Upgrade\r\nX-Empty:\r\n\r\n";
  const ParseOutcome o = Parse(head + "next request", &r);
  ASSERT_EQ(o.result, ParseResult::kDone) << o.error;
  EXPECT_EQ(o.headBytes, head.size());
  EXPECT_EQ(r.method, "GET");
  EXPECT_EQ(r.path, "/terminal");
  EXPECT_EQ(r.query, "x=1");
  EXPECT_EQ(r.Header("HOST"), "gw:8080");
  EXPECT_EQ(r.Header("x-empty"), "");
  EXPECT_TRUE(r.HeaderHas("connection", "upgrade"));
  EXPECT_TRUE(r.HeaderHas("Upgrade", "WebSocket"));
  EXPECT_FALSE(r.HeaderHas("connection", "close"));
  EXPECT_TRUE(r.KeepAlive());
}

TEST(HttpRequest, LineEndsAndVersionsDecideTheConnection) {
  Request r;
  // Bare LF line ends and empty lines before the request are read.
  ASSERT_EQ(Parse("\r\nGET / HTTP/1.0\n\n", &r).result, ParseResult::kDone);
  EXPECT_FALSE(r.KeepAlive());  // 1.0 closes unless told
  ASSERT_EQ(Parse("GET / HTTP/1.0\r\nConnection: Keep-Alive\r\n\r\n", &r).result,
            ParseResult::kDone);
  EXPECT_TRUE(r.KeepAlive());
  ASSERT_EQ(Parse("GET / HTTP/1.1\r\nHost: a\r\nConnection: close\r\n\r\n", &r).result,
            ParseResult::kDone);
  EXPECT_FALSE(r.KeepAlive());
}

TEST(HttpRequest, AnIncompleteHeadWaitsForMore) {
  Request r;
  EXPECT_EQ(Parse("", &r).result, ParseResult::kNeedMore);
  EXPECT_EQ(Parse("GET / HTTP/1.1\r\nHost: a\r\n", &r).result, ParseResult::kNeedMore);
  EXPECT_EQ(Parse("GET / HTTP/1.1\r\nHost: a\r\n\r", &r).result, ParseResult::kNeedMore);
}

TEST(HttpRequest, AHeadLongerThanTheLimitIsRefusedCompleteOrNot) {
  Request r;
  const std::string big = "GET / HTTP/1.1\r\nHost: a\r\nX: " + std::string(200, 'a');
  EXPECT_EQ(Parse(big, &r, 100).status, 431);               // still coming: no waiting for it
  EXPECT_EQ(Parse(big + "\r\n\r\n", &r, 100).status, 431);  // complete but too long
  EXPECT_EQ(Parse(big + "\r\n\r\n", &r, 1000).result, ParseResult::kDone);
}

TEST(HttpRequest, MalformedHeadsAreRefusedWithTheirStatus) {
  const struct {
    const char* head;
    int status;
  } cases[] = {
      {"GET /\r\n\r\n", 400},                              // no version
      {"GET  / HTTP/1.1\r\nHost: a\r\n\r\n", 400},         // two spaces
      {"GET http://x/ HTTP/1.1\r\nHost: a\r\n\r\n", 400},  // not a path
      {"GET /a\x01 HTTP/1.1\r\nHost: a\r\n\r\n", 400},     // control in the target
      {"G(T / HTTP/1.1\r\nHost: a\r\n\r\n", 400},          // not a token
      {"GET / HTTP/2.0\r\nHost: a\r\n\r\n", 505},
      {"GET / HTTQ/1.1\r\nHost: a\r\n\r\n", 400},
      {"GET / HTTP/1.1\r\n\r\n", 400},                        // no Host in 1.1
      {"GET / HTTP/1.1\r\nHost: a\r\nHost: b\r\n\r\n", 400},  // two
      {"GET / HTTP/1.1\r\nHost: a\r\n folded\r\n\r\n", 400},
      {"GET / HTTP/1.1\r\nHost : a\r\n\r\n", 400},  // blank before the colon
      {"GET / HTTP/1.1\r\nHost: a\r\nX: a\x7f\r\n\r\n", 400},
      {"GET / HTTP/1.1\r\nHost: a\r\nno colon\r\n\r\n", 400},
  };
  for (const auto& c : cases) {
    Request r;
    const ParseOutcome o = Parse(c.head, &r);
    EXPECT_EQ(o.result, ParseResult::kError) << c.head;
    EXPECT_EQ(o.status, c.status) << c.head << ": " << o.error;
    EXPECT_FALSE(o.error.empty());
  }
}

TEST(HttpRequest, ResponsesSayTheirLengthAndHeadSendsNoBody) {
  Response r = Response::Text(404, "no page at /x");
  r.headers.emplace_back("Allow", "GET");
  const std::string full = FormatResponse(r, false, true);
  EXPECT_EQ(full,
            "HTTP/1.1 404 Not Found\r\nContent-Type: text/plain; charset=utf-8\r\n"
            "Content-Length: 14\r\nAllow: GET\r\nConnection: close\r\n\r\nno page at /x\n");
  const std::string head = FormatResponse(r, true, false);
  EXPECT_NE(head.find("Content-Length: 14\r\n"), std::string::npos);
  EXPECT_EQ(head.substr(head.size() - 4), "\r\n\r\n");
}

}  // namespace
}  // namespace tervo::http
