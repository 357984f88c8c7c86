#include "platform/radio/wire_protocol.h"

#include <gtest/gtest.h>

namespace tervo::radio::wire {
namespace {

std::string Bytes(const Frame& f) {
  std::string out, err;
  EXPECT_TRUE(EncodeFrame(f, &out, &err)) << err;
  return out;
}

ScreenProgram EveryOp() {
  ScreenProgram p;
  p.sequence = 0x01020304;
  p.name = "AS40012345";
  p.format = 2081;
  p.answerCode = 2088;
  p.ops = {MakeOp(OpCode::kCls),
           MakeOp(OpCode::kSetLargeFunctionKeys, "ExitE Save5", {}, 5),
           MakeOp(OpCode::kPrintString, "Plain \xE9t\xE9"),
           MakeOp(OpCode::kPrintInverse, "ERRO"),
           MakeOp(OpCode::kPrintLarge, "BIG"),
           MakeOp(OpCode::kSay, "Qty"),
           MakeOp(OpCode::kGetText, std::string("12", 2), {}, 5, -82),
           MakeOp(OpCode::kChangeScreenAttributes, {}, {}, 2081, 1, 0),
           MakeOp(OpCode::kScroll, "Desc ", "a long description"),
           MakeOp(OpCode::kGetCheckEnter),
           MakeOp(OpCode::kNoSay, {}, {}, 7),
           MakeOp(OpCode::kNewLine),
           MakeOp(OpCode::kDelay, {}, {}, 1),
           MakeOp(OpCode::kBeep, {}, {}, 500, 500),
           MakeOp(OpCode::kCapsLock, {}, {}, 1),
           MakeOp(OpCode::kRead),
           MakeOp(OpCode::kWaitChar),
           MakeOp(OpCode::kHardReset)};
  return p;
}

TEST(WireProtocol, FrameCheckIsTheStandardCcittFalse) {
  const std::string check = "123456789";
  EXPECT_EQ(Crc16(reinterpret_cast<const std::uint8_t*>(check.data()), check.size()), 0x29B1);
  // The documented layout, byte for byte.
  EXPECT_EQ(Bytes({0x02, "T1", ""}).substr(0, 14), std::string("TV\x01\x02T1      \x00\x00", 14));
}

TEST(WireProtocol, MessagesRoundTrip) {
  std::string payload, err;
  const ScreenProgram p = EveryOp();
  ASSERT_TRUE(EncodeScreen(p, &payload, &err)) << err;
  ScreenProgram q;
  ASSERT_TRUE(DecodeScreen(payload, &q, &err)) << err;
  EXPECT_EQ(p, q);

  Answer a;
  a.sequence = 7;
  a.screenName = "AS400999";
  a.chosen = 131;
  a.sendKey = true;
  a.battery = 4420;
  a.values = {"ALICE", "", std::string(255, 'x')};
  Answer b;
  ASSERT_TRUE(DecodeAnswer(EncodeAnswer(a), &b, &err)) << err;
  EXPECT_EQ(a, b);

  Hello h{32, 5100, "handheld 2.1"}, h2;
  ASSERT_TRUE(DecodeHello(EncodeHello(h), &h2, &err)) << err;
  EXPECT_EQ(h2.displayWidth, 32);
  EXPECT_EQ(h2.battery, 5100);
  EXPECT_EQ(h2.client, "handheld 2.1");
}

TEST(WireProtocol, FramesSurviveAnySplitAndKeepTheirTerminal) {
  const std::string stream = Bytes({0x04, "T1", "abc"}) + Bytes({0x02, "T22", ""}) +
                             Bytes({0x83, "", std::string(3000, 'z')});
  FrameDecoder d;
  std::vector<Frame> got;
  for (char c : stream) {
    d.Feed(&c, 1);
    Frame f;
    std::string err;
    while (d.Next(&f, &err) == FrameDecoder::Result::kFrame) got.push_back(f);
  }
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[0].terminalId, "T1");
  EXPECT_EQ(got[0].payload, "abc");
  EXPECT_EQ(got[1].terminalId, "T22");
  EXPECT_EQ(got[1].type, 0x02);
  EXPECT_EQ(got[2].terminalId, "");
  EXPECT_EQ(got[2].payload.size(), 3000u);
  EXPECT_EQ(d.Buffered(), 0u);
}

TEST(WireProtocol, BadFramesAreRefused) {
  const std::string good = Bytes({0x02, "T1", ""});
  auto with = [&](std::size_t at, char c) {
    std::string s = good;
    s[at] = c;
    return s;
  };
  std::string oversize = good.substr(0, 12) + "\x40\x01";
  std::string badCrc = good;
  badCrc.back() ^= 1;
  const struct {
    std::string bytes;
    const char* error;
  } cases[] = {
      {with(0, 'X'), "bad frame start"},
      {with(1, 'X'), "bad frame start"},
      {with(2, 2), "unsupported protocol version 2"},
      {with(5, '\n'), "terminal id holds a control character"},
      {oversize, "payload of 16385 bytes exceeds 16384"},
      {badCrc, "frame check failed"},
  };
  for (const auto& c : cases) {
    FrameDecoder d;
    d.Feed(c.bytes.data(), c.bytes.size());
    Frame f;
    std::string err;
    EXPECT_EQ(d.Next(&f, &err), FrameDecoder::Result::kError) << c.error;
    EXPECT_EQ(err, c.error);
  }
}

TEST(WireProtocol, ResyncFindsTheNextFrameAfterNoise) {
  const std::string stream = "noise TT" + Bytes({0x02, "T1", ""});
  FrameDecoder d;
  d.Feed(stream.data(), stream.size());
  Frame f;
  std::string err;
  int errors = 0;
  for (;;) {
    const auto r = d.Next(&f, &err);
    if (r == FrameDecoder::Result::kFrame) break;
    ASSERT_EQ(r, FrameDecoder::Result::kError);
    ++errors;
    d.Resync();
  }
  EXPECT_GT(errors, 0);
  EXPECT_EQ(f.terminalId, "T1");
}

TEST(WireProtocol, MalformedPayloadsAreRefused) {
  std::string err;
  Answer a;
  a.screenName = "X";
  a.values = {"v"};
  const std::string answer = EncodeAnswer(a);
  const struct {
    std::string payload;
    const char* error;
  } cases[] = {
      {answer.substr(0, answer.size() - 1), "payload ends too early"},
      {answer + "x", "1 unexpected bytes at the end"},
      {[] {
         Answer b;
         b.screenName = std::string(50, 'n');
         return EncodeAnswer(b);
       }(),
       "screen name longer than 49 bytes"},
      {[] {
         Answer b;
         b.chosen = -9;
         return EncodeAnswer(b);
       }(),
       "chosen value -9 out of range"},
      {[] {
         Answer b;
         b.values.assign(501, "");
         return EncodeAnswer(b);
       }(),
       "more than 500 values"},
  };
  for (const auto& c : cases) {
    Answer out;
    EXPECT_FALSE(DecodeAnswer(c.payload, &out, &err)) << c.error;
    EXPECT_EQ(err, c.error);
  }
  ScreenProgram p;
  std::string payload = EncodeText("x");
  EXPECT_FALSE(DecodeScreen(std::string("\0\0\0\1\0\0\0\0\0\0\0\0\0\0\0\1\x63", 17), &p, &err));
  EXPECT_EQ(err, "unknown operation 99");
}

TEST(WireProtocol, LimitsAreKeptWhenSending) {
  std::string out, err;
  EXPECT_FALSE(EncodeFrame({0x02, "TOOLONGID", ""}, &out, &err));
  EXPECT_EQ(err, "terminal id longer than 8 characters");
  EXPECT_FALSE(EncodeFrame({0x02, "T1", std::string(kMaxPayload + 1, 'x')}, &out, &err));
  ScreenProgram p;
  p.ops.assign(900, MakeOp(OpCode::kPrintString, std::string(20, 'x')));
  EXPECT_FALSE(EncodeScreen(p, &out, &err));
  EXPECT_EQ(err, "screen of 20716 bytes exceeds 16384");
}

}  // namespace
}  // namespace tervo::radio::wire
