// The JSON form of the wire messages: every message a browser and the
// gateway exchange survives the round trip, and what a page may get wrong
// is refused the way the binary decoder refuses it.
#include "platform/radio/web_messages.h"

#include <gtest/gtest.h>

#include "platform/radio/terminal_auth.h"

namespace tervo::radio::web {
namespace {

wire::Frame RoundTrip(const wire::Frame& in, From from) {
  std::string json, err;
  EXPECT_TRUE(ToJson(in, from, &json, &err)) << err;
  wire::Frame out;
  EXPECT_EQ(FromJson(json, from, &out, &err), ReadResult::kOk) << json << ": " << err;
  return out;
}

TEST(WebMessages, EveryMessageSurvivesTheRoundTrip) {
  using wire::Type;
  wire::Hello h;
  h.displayWidth = 20;
  h.displayLines = 8;
  h.battery = 3900;
  h.client = "browser caf\xE9";  // Windows-1252 é
  h.features = 15;
  h.nonce = auth::RandomBytes(16);
  Answer a;
  a.sequence = 7;
  a.screenName = "AS40043124436";
  a.chosen = -27;
  a.sendKey = true;
  a.battery = -1;
  a.values = {"alice", "", "\x80uro"};  // € in Windows-1252
  ScreenProgram p;
  p.sequence = 3;
  p.name = "AS400123";
  p.format = 2081;
  p.answerCode = 2088;
  p.ops = {MakeOp(OpCode::kCls),
           MakeOp(OpCode::kSetLargeFunctionKeys, "  Exit\x1b", {}, 7),
           MakeOp(OpCode::kPrintInverse, "Sign On"),
           MakeOp(OpCode::kSay, "User "),
           MakeOp(OpCode::kGetText, "init", {}, 10, -18),
           MakeOp(OpCode::kScroll, "Desc ", "a long text"),
           MakeOp(OpCode::kNoSay, {}, {}, 4),
           MakeOp(OpCode::kBeep, {}, {}, 100, 500),
           MakeOp(OpCode::kChangeScreenAttributes, {}, {}, 2081, 1, 0),
           MakeOp(OpCode::kCapsLock, {}, {}, 1),
           MakeOp(OpCode::kDelay, {}, {}, 1),
           MakeOp(OpCode::kPrintLarge, "BIG"),
           MakeOp(OpCode::kWaitChar),
           MakeOp(OpCode::kHardReset),
           MakeOp(OpCode::kRead)};
  std::string screen, err;
  ASSERT_TRUE(wire::EncodeScreen(p, &screen, &err));
  wire::Welcome w{3, 30, 15, std::string(32, '\x42')};

  const std::vector<std::pair<wire::Frame, From>> frames = {
      {{static_cast<std::uint8_t>(Type::kHello), "T1", wire::EncodeHello(h)}, From::kTerminal},
      {{static_cast<std::uint8_t>(Type::kAuth), {}, std::string(32, '\x07')}, From::kTerminal},
      {{static_cast<std::uint8_t>(Type::kStart), {}, {}}, From::kTerminal},
      {{static_cast<std::uint8_t>(Type::kRequest), {}, wire::EncodeText("AS400")}, From::kTerminal},
      {{static_cast<std::uint8_t>(Type::kAnswer), {}, wire::EncodeAnswer(a)}, From::kTerminal},
      {{static_cast<std::uint8_t>(Type::kMessage), {}, wire::EncodeText("hi")}, From::kTerminal},
      {{static_cast<std::uint8_t>(Type::kPing), {}, {}}, From::kTerminal},
      {{static_cast<std::uint8_t>(Type::kPong), {}, {}}, From::kTerminal},
      {{static_cast<std::uint8_t>(Type::kWelcome), {}, wire::EncodeWelcome(w)}, From::kGateway},
      {{static_cast<std::uint8_t>(Type::kRefused),
        {},
        wire::EncodeRefused({wire::RefusedCode::kReplaced, "replaced"}, 2)},
       From::kGateway},
      {{static_cast<std::uint8_t>(Type::kChallenge),
        {},
        wire::EncodeChallenge({1, std::string(16, '\xF0')})},
       From::kGateway},
      {{static_cast<std::uint8_t>(Type::kScreen), {}, screen}, From::kGateway},
      {{static_cast<std::uint8_t>(Type::kReset), {}, {}}, From::kGateway},
      {{static_cast<std::uint8_t>(Type::kGatewayPing), {}, {}}, From::kGateway},
      {{static_cast<std::uint8_t>(Type::kGatewayPong), {}, {}}, From::kGateway},
  };
  for (const auto& [frame, from] : frames) {
    const wire::Frame back = RoundTrip(frame, from);
    EXPECT_EQ(back.type, frame.type) << wire::TypeName(frame.type);
    EXPECT_EQ(back.payload, frame.payload) << wire::TypeName(frame.type);
    EXPECT_EQ(back.terminalId, frame.terminalId) << wire::TypeName(frame.type);
  }
}

TEST(WebMessages, TextsAreUnicodeOnTheWebSide) {
  Answer a;
  a.screenName = "S";
  a.values = {"\x80", "\xE9"};
  std::string json, err;
  ASSERT_TRUE(ToJson({static_cast<std::uint8_t>(wire::Type::kAnswer), {}, wire::EncodeAnswer(a)},
                     From::kTerminal, &json, &err));
  EXPECT_NE(json.find("\"values\":[\"\xE2\x82\xAC\",\"\xC3\xA9\"]"), std::string::npos) << json;
  // Typed characters Windows-1252 lacks arrive as "?" rather than losing
  // the whole answer; one for a character outside 16 bits, too.
  wire::Frame f;
  ASSERT_EQ(FromJson(R"({"type":"answer","sequence":1,"name":"S","chosen":1,)"
                     R"("values":["a\u4e2db","\ud83d\ude00"]})",
                     From::kTerminal, &f, &err),
            ReadResult::kOk)
      << err;
  Answer back;
  ASSERT_TRUE(wire::DecodeAnswer(f.payload, &back, &err));
  EXPECT_EQ(back.values, (std::vector<std::string>{"a?b", "?"}));
  EXPECT_EQ(back.battery, -1);  // left out: unknown
  EXPECT_FALSE(back.sendKey);
}

TEST(WebMessages, WhatAPageGetsWrongIsRefusedWithItsReason) {
  const struct {
    const char* json;
    ReadResult result;
    const char* reason;
  } cases[] = {
      {"{\"type\":", ReadResult::kBroken, "not JSON"},
      {"[1,2]", ReadResult::kBroken, "not a JSON object"},
      {"{\"id\":\"T1\"}", ReadResult::kBroken, "no \"type\""},
      {"{\"type\":\"teleport\"}", ReadResult::kMalformed, "unknown message type \"teleport\""},
      {"{\"type\":\"hello\",\"id\":\"T1\"}", ReadResult::kMalformed, "\"nonce\" is not 16 bytes"},
      {"{\"type\":\"hello\",\"id\":\"T123456789\",\"nonce\":\"000102030405060708090a0b0c0d0e0f\"}",
       ReadResult::kMalformed, "\"id\" longer than 8"},
      {"{\"type\":\"hello\",\"id\":\"T\\u0001\",\"nonce\":\"000102030405060708090a0b0c0d0e0f\"}",
       ReadResult::kMalformed, "control character"},
      {"{\"type\":\"hello\",\"id\":\"T1\",\"width\":0,\"nonce\":"
       "\"000102030405060708090a0b0c0d0e0f\"}",
       ReadResult::kMalformed, "\"width\" is not a whole number from 1 to 65535"},
      {"{\"type\":\"auth\",\"proof\":\"zz\"}", ReadResult::kMalformed, "\"proof\" is not 32 bytes"},
      {"{\"type\":\"answer\",\"sequence\":1.5,\"name\":\"S\",\"chosen\":1,\"values\":[]}",
       ReadResult::kMalformed, "\"sequence\" is not a whole number"},
      {"{\"type\":\"answer\",\"sequence\":1,\"name\":\"S\",\"chosen\":1,\"values\":[1]}",
       ReadResult::kMalformed, "a value is not a string"},
      {"{\"type\":\"answer\",\"sequence\":1,\"name\":\"S\",\"chosen\":1,\"sendKey\":1,\"values\":[]"
       "}",
       ReadResult::kMalformed, "\"sendKey\" is not true or false"},
      {"{\"type\":\"request\",\"name\":\"AS400AS400AS400AS400AS400AS400AS400AS400AS400AS400\"}",
       ReadResult::kMalformed, "longer than 49 bytes"},
      {"{\"type\":\"request\",\"name\":\"\\u4e2d\"}", ReadResult::kMalformed,
       "not in Windows-1252"},
  };
  for (const auto& c : cases) {
    wire::Frame f;
    std::string err;
    EXPECT_EQ(FromJson(c.json, From::kTerminal, &f, &err), c.result) << c.json << ": " << err;
    EXPECT_NE(err.find(c.reason), std::string::npos) << c.json << ": " << err;
  }
}

TEST(WebMessages, AnAnswerIsHeldToTheWireLimits) {
  std::string values;
  for (int i = 0; i < 501; ++i) values += std::string(i ? "," : "") + "\"x\"";
  wire::Frame f;
  std::string err;
  EXPECT_EQ(
      FromJson("{\"type\":\"answer\",\"sequence\":1,\"name\":\"S\",\"chosen\":1,\"values\":[" +
                   values + "]}",
               From::kTerminal, &f, &err),
      ReadResult::kMalformed);
  EXPECT_NE(err.find("more than 500 values"), std::string::npos) << err;
  // Within the count, but more bytes than a frame may carry.
  values.clear();
  for (int i = 0; i < 100; ++i)
    values += std::string(i ? "," : "") + "\"" + std::string(200, 'v') + "\"";
  EXPECT_EQ(
      FromJson("{\"type\":\"answer\",\"sequence\":1,\"name\":\"S\",\"chosen\":1,\"values\":[" +
                   values + "]}",
               From::kTerminal, &f, &err),
      ReadResult::kMalformed);
  EXPECT_NE(err.find("exceeds 16384"), std::string::npos) << err;
}

TEST(WebMessages, HexRoundTripsAndRefusesNonHex) {
  std::string bytes;
  EXPECT_TRUE(FromHex(Hex(std::string("\x00\xff\x10", 3)), &bytes));
  EXPECT_EQ(bytes, std::string("\x00\xff\x10", 3));
  EXPECT_TRUE(FromHex("ABcd", &bytes));
  EXPECT_EQ(bytes, "\xab\xcd");
  EXPECT_FALSE(FromHex("abc", &bytes));
  EXPECT_FALSE(FromHex("zz", &bytes));
}

}  // namespace
}  // namespace tervo::radio::web
