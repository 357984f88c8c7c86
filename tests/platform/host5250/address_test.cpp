// System setting forms, router names and code pages.
#include <gtest/gtest.h>

#include "platform/host5250/device_name.h"
#include "platform/host5250/ebcdic.h"
#include "platform/host5250/host_router.h"
#include "platform/host5250/system_address.h"

namespace tervo::host5250 {
namespace {

TEST(SystemAddress, Forms) {
  struct Case {
    const char* system;
    const char* host;
    int port;
    bool tls;
  } ok[] = {
      {"as400", "as400", 23, false},
      {" as400.example.com:2323 ", "as400.example.com", 2323, false},
      {"tls://as400", "as400", 992, true},
      {"TLS://as400:9920", "as400", 9920, true},
      {"telnet://10.0.0.5", "10.0.0.5", 23, false},
      {"[::1]:2300", "::1", 2300, false},
      {"tls://[fe80::1]", "fe80::1", 992, true},
  };
  for (const Case& c : ok) {
    SystemAddress a;
    std::string err;
    ASSERT_TRUE(ParseSystemAddress(c.system, &a, &err)) << c.system << ": " << err;
    EXPECT_EQ(a.host, c.host);
    EXPECT_EQ(a.port, c.port);
    EXPECT_EQ(a.tls, c.tls);
  }
  struct Bad {
    const char* system;
    const char* err;
  } bad[] = {
      {"", "No host system name set"},
      {"host:", "Bad port in system name \"host:\""},
      {"host:70000", "Bad port in system name \"host:70000\""},
      {"host:x1", "Bad port in system name \"host:x1\""},
      {"ssh://host", "Unknown scheme in system name \"ssh://host\" (use tls:// or telnet://)"},
      {"::1", "Put an IPv6 address in brackets: \"::1\""},
      {"tls://", "No host in system name \"tls://\""},
  };
  for (const Bad& b : bad) {
    SystemAddress a;
    std::string err;
    EXPECT_FALSE(ParseSystemAddress(b.system, &a, &err)) << b.system;
    EXPECT_EQ(err, b.err);
  }
}

TEST(HostRouter, NamesOldAndNew) {
  struct Case {
    const char* name;
    bool ok;
    RouterKind kind;
  } cases[] = {
      {"TN5250", true, RouterKind::kTn5250},
      {"WallData.TN5250", true, RouterKind::kTn5250},
      {"WallData.RumbaRouter", true, RouterKind::kTn5250},
      {" walldata.rumbarouter ", true, RouterKind::kTn5250},
      {"DemoHost", true, RouterKind::kDemoHost},
      {"WallData.DemoHost", true, RouterKind::kDemoHost},
      {"WallData.Other", false, RouterKind::kTn5250},
      {"", false, RouterKind::kTn5250},
  };
  for (const Case& c : cases) {
    RouterKind k = RouterKind::kTn5250;
    std::string err;
    EXPECT_EQ(ResolveRouterName(c.name, &k, &err), c.ok) << c.name;
    if (c.ok) EXPECT_EQ(k, c.kind) << c.name;
    else EXPECT_EQ(err, std::string("Unknown host router \"") + c.name + "\" (use TN5250 or DemoHost)");
  }
  std::string err;
  auto d = CreateHostDisplay("WallData.RumbaRouter", {}, &err);
  ASSERT_TRUE(d);
  EXPECT_EQ(d->Link().name, "WallData.RumbaRouter");
  EXPECT_FALSE(CreateHostDisplay("DemoHost", {}, &err));
  EXPECT_EQ(err, "The demo host is not running");
  RouterOptions demo;
  demo.demoHostAddress = "127.0.0.1:1";
  EXPECT_TRUE(CreateHostDisplay("DemoHost", demo, &err));
  RouterOptions bad;
  bad.ccsid = 273;
  EXPECT_FALSE(CreateHostDisplay("TN5250", bad, &err));
  EXPECT_EQ(err, "Unsupported host code page 273 (use 37, 500, 1140 or 1148)");
  auto unknown = CreateHostDisplay("Nope", {}, &err);
  EXPECT_FALSE(unknown);
}

TEST(Ebcdic, CodePagesDifferWhereTheyShouldAndSubstitute) {
  struct Case {
    int ccsid;
    std::uint8_t ebcdic;
    char local;
  } cases[] = {
      {37, 0xC1, 'A'},    {37, 0x4A, '\xA2'}, {500, 0x4A, '['},   {37, 0xBA, '['},
      {37, 0x5A, '!'},    {500, 0x4F, '!'},   {37, 0x9F, '\xA4'}, {1140, 0x9F, '\x80'},
      {1148, 0x9F, '\x80'}, {1148, 0x4A, '['}, {37, 0x40, ' '},
  };
  for (const Case& c : cases) {
    EbcdicCodec codec;
    std::string err;
    ASSERT_TRUE(codec.SetCcsid(c.ccsid, &err));
    EXPECT_EQ(codec.ToLocal(c.ebcdic), c.local) << c.ccsid << " " << int(c.ebcdic);
    EXPECT_EQ(codec.ToHost(c.local), c.ebcdic) << c.ccsid << " " << int(c.ebcdic);
  }
  EbcdicCodec c37;
  // Controls, nulls, attribute bytes and X'FF' read as blanks.
  for (int e : {0x00, 0x20, 0x3F, 0xFF}) EXPECT_EQ(c37.ToLocal(static_cast<std::uint8_t>(e)), ' ');
  // Local codes with no EBCDIC graphic become '?', never a control byte.
  for (int l : {0x00, 0x09, 0x1F, 0x7F, 0x80, 0x93, 0x9F}) EXPECT_EQ(c37.ToHost(static_cast<char>(l)), 0x6F) << l;
  EbcdicCodec c1140;
  std::string err;
  c1140.SetCcsid(1140, &err);
  EXPECT_EQ(c1140.ToHost('\xA4'), 0x6F);
  // Every graphic survives the round trip in every code page.
  for (int cp : {37, 500, 1140, 1148}) {
    EbcdicCodec c;
    c.SetCcsid(cp, &err);
    for (int l = 0x20; l < 0x100; ++l) {
      const std::uint8_t e = c.ToHost(static_cast<char>(l));
      if (e != 0x6F || l == '?') {
        EXPECT_EQ(static_cast<std::uint8_t>(c.ToLocal(e)), l) << cp << " " << l;
      }
    }
  }
}

TEST(DeviceName, IbmIRules) {
  struct Case {
    const char* name;
    const char* normalized;  // nullptr: invalid
  } cases[] = {
      {"TERM01", "TERM01"}, {"term01", "TERM01"}, {"$A_1.B", "$A_1.B"}, {"ABCDEFGHIJ", "ABCDEFGHIJ"},
      {"ABCDEFGHIJK", nullptr}, {"1TERM", nullptr}, {"", nullptr}, {"TE RM", nullptr}, {"TERM\xC9", nullptr},
  };
  for (const Case& c : cases) {
    std::string out, err;
    EXPECT_EQ(ValidDeviceName(c.name, &out, &err), c.normalized != nullptr) << c.name;
    if (c.normalized) EXPECT_EQ(out, c.normalized);
    else EXPECT_EQ(err, std::string("Invalid Device ") + c.name);
  }
}

}  // namespace
}  // namespace tervo::host5250
