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
  EXPECT_EQ(Bytes({0x02, "T1", ""}).substr(0, 14), std::string("TV\x02\x02T1      \x00\x00", 14));
  EXPECT_EQ(Bytes({0x02, "T1", "", kVersion1}).substr(0, 4), std::string("TV\x01\x02", 4));
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
}

// HELLO's layout follows the frame's version: a version-1 device's HELLO
// must still read, and a version-2 one must carry its nonce.
TEST(WireProtocol, HelloDependsOnTheVersion) {
  std::string err;
  Hello h;
  h.displayWidth = 32;
  h.battery = 5100;
  h.client = "handheld 2.1";
  h.displayLines = 16;
  h.features = kFeatureScanner | kFeatureInverse;
  h.nonce = std::string(kNonceBytes, '\x5a');

  const std::string v1 = EncodeHello(h, kVersion1);
  EXPECT_EQ(v1, std::string("\0\x20\0\0\x13\xec\0\x0chandheld 2.1", 20));
  Hello back;
  ASSERT_TRUE(DecodeHello(v1, kVersion1, &back, &err)) << err;
  EXPECT_EQ(back.displayWidth, 32);
  EXPECT_EQ(back.battery, 5100);
  EXPECT_EQ(back.client, "handheld 2.1");
  EXPECT_TRUE(back.nonce.empty());
  EXPECT_FALSE(DecodeHello(v1, kVersion, &back, &err));
  EXPECT_EQ(err, "payload ends too early");

  const std::string v2 = EncodeHello(h, kVersion);
  EXPECT_EQ(v2.size(), v1.size() + 2 + 4 + kNonceBytes);
  ASSERT_TRUE(DecodeHello(v2, kVersion, &back, &err)) << err;
  EXPECT_EQ(back.displayLines, 16);
  EXPECT_EQ(back.features, kFeatureScanner | kFeatureInverse);
  EXPECT_EQ(back.nonce, h.nonce);
  EXPECT_FALSE(DecodeHello(v2, kVersion1, &back, &err)) << "version 1 has no room for more";

  h.nonce = "short";
  EXPECT_EQ(EncodeHello(h, kVersion), "") << "a version-2 HELLO needs its nonce";
}

TEST(WireProtocol, HandshakeAndRefusalPayloads) {
  std::string err;
  Challenge c{kAuthHmacSha256, std::string(kNonceBytes, '\x01')}, c2;
  const std::string challenge = EncodeChallenge(c);
  EXPECT_EQ(challenge.size(), 1 + kNonceBytes);
  ASSERT_TRUE(DecodeChallenge(challenge, &c2, &err)) << err;
  EXPECT_EQ(c2.nonce, c.nonce);
  EXPECT_FALSE(DecodeChallenge(challenge.substr(0, 10), &c2, &err));

  std::string proof;
  ASSERT_TRUE(DecodeAuth(EncodeAuth(std::string(kProofBytes, 'p')), &proof, &err)) << err;
  EXPECT_FALSE(DecodeAuth(std::string(kProofBytes + 1, 'p'), &proof, &err));
  EXPECT_EQ(err, "1 unexpected bytes at the end");

  Welcome w{kWelcomeAuthenticated | kWelcomeEncrypted, 30, 15, std::string(kProofBytes, 'g')};
  Welcome w2;
  ASSERT_TRUE(DecodeWelcome(EncodeWelcome(w), &w2, &err)) << err;
  EXPECT_EQ(w2.flags, w.flags);
  EXPECT_EQ(w2.keepAliveSeconds, 30);
  EXPECT_EQ(w2.answerSeconds, 15);
  EXPECT_EQ(w2.proof, w.proof);
  w.proof = "too short";
  EXPECT_FALSE(DecodeWelcome(EncodeWelcome(w), &w2, &err));
  EXPECT_EQ(err, "proof of 9 bytes");

  // Version 1 knows REFUSED as one text; version 2 puts the code first.
  const Refusal r{RefusedCode::kReplaced, "replaced"};
  EXPECT_EQ(EncodeRefused(r, kVersion1), EncodeText("replaced"));
  EXPECT_EQ(EncodeRefused(r, kVersion), "\x02" + EncodeText("replaced"));
  Refusal r2;
  ASSERT_TRUE(DecodeRefused(EncodeRefused(r, kVersion), kVersion, &r2, &err)) << err;
  EXPECT_EQ(r2.code, RefusedCode::kReplaced);
  EXPECT_EQ(r2.reason, "replaced");
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
      {with(2, 3), "unsupported protocol version 3"},
      {with(2, 0), "unsupported protocol version 0"},
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
