// Where the terminal page listens: the setting or --http-port, next to the
// terminals' radio address unless an address is given.
#include "core/http_endpoint.h"

#include <gtest/gtest.h>

namespace tervo::core {
namespace {

TEST(HttpEndpoint, ThePortTextAndTheRadioAddressGiveTheListener) {
  const struct {
    const char* text;
    const char* radio;
    bool enabled;
    const char* address;
    int port;
  } cases[] = {
      {"", "0.0.0.0:7250", false, "", 0},
      {"off", "0.0.0.0:7250", false, "", 0},
      {" 8080 ", "0.0.0.0:7251", true, "0.0.0.0", 8080},  // beside the guns' link
      {"8080", "127.0.0.1", true, "127.0.0.1", 8080},
      {"8080", "[::1]:7300", true, "::1", 8080},
      {"8080", "localhost:7300", true, "127.0.0.1", 8080},
      {"8080", "", true, "127.0.0.1", 8080},
      {"0", "127.0.0.1:0", true, "127.0.0.1", 0},
      {"192.168.5.9:80", "127.0.0.1", true, "192.168.5.9", 80},
      {"[::]:8443", "127.0.0.1", true, "::", 8443},
  };
  for (const auto& c : cases) {
    HttpListen l;
    std::string err;
    ASSERT_TRUE(ParseHttpListen(c.text, c.radio, &l, &err)) << c.text << ": " << err;
    EXPECT_EQ(l.enabled, c.enabled) << c.text;
    if (!c.enabled) continue;
    EXPECT_EQ(l.address.toString().toStdString(), c.address) << c.text << " / " << c.radio;
    EXPECT_EQ(l.port, c.port) << c.text;
  }
}

TEST(HttpEndpoint, AWrongPortTextSaysWhatItTakes) {
  const struct {
    const char* text;
    const char* says;
  } cases[] = {
      {"http", "is not a port number (0 to 65535), HOST:PORT or \"off\""},
      {"65536", "is not a port number"},
      {"-1", "is not a port number"},
      {"gateway.local:8080", "gateway.local is not an IP address"},
      {"::1:8080", "an IPv6 address goes in brackets"},
      {"[::1]8080", "write [address]:port"},
      {"1.2.3.4:", "is not a port number"},
  };
  for (const auto& c : cases) {
    HttpListen l;
    std::string err;
    EXPECT_FALSE(ParseHttpListen(c.text, "127.0.0.1", &l, &err)) << c.text;
    EXPECT_NE(err.find(c.says), std::string::npos) << c.text << ": " << err;
    EXPECT_FALSE(l.enabled);
  }
}

TEST(HttpEndpoint, ThePageAddressIsOneAPersonCanOpen) {
  http::Server s;
  std::string err;
  ASSERT_TRUE(s.Listen(QHostAddress::LocalHost, 0, std::nullopt, &err)) << err;
  EXPECT_EQ(PageAddress(s), "http://127.0.0.1:" + std::to_string(s.Port()) + "/");
  http::Server any;
  ASSERT_TRUE(any.Listen(QHostAddress::Any, 0, std::nullopt, &err)) << err;
  const std::string a = PageAddress(any);
  EXPECT_EQ(a.find("http://"), 0u);
  EXPECT_EQ(a.find("0.0.0.0"), std::string::npos) << a;  // the machine's name instead
}

}  // namespace
}  // namespace tervo::core
