// docs/radio-protocol.md is what device makers build from: its worked
// example must be what the code sends and reads, byte for byte, and what
// the document says about items, layout and the answer must hold for it.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "platform/radio/handshake.h"
#include "platform/radio/sim_display.h"
#include "platform/radio/terminal_auth.h"
#include "platform/radio/wire_protocol.h"

namespace tervo::radio {
namespace {

// The frames of the document, by the name in their "<!-- frame: NAME -->".
std::map<std::string, std::string> DocumentFrames() {
  std::ifstream in(std::string(TERVO_TEST_DATA) + "/../../docs/radio-protocol.md");
  std::stringstream ss;
  ss << in.rdbuf();
  const std::string doc = ss.str();
  std::map<std::string, std::string> frames;
  const std::regex block("<!-- frame: (\\w+) -->\\n```hex\\n([0-9a-f \\n]*)```");
  for (std::sregex_iterator it(doc.begin(), doc.end(), block), end; it != end; ++it) {
    std::string bytes;
    std::istringstream hex((*it)[2].str());
    for (std::string b; hex >> b;) bytes.push_back(static_cast<char>(std::stoi(b, nullptr, 16)));
    frames[(*it)[1].str()] = bytes;
  }
  return frames;
}

wire::Frame Decode(const std::string& bytes) {
  wire::FrameDecoder d;
  d.Feed(bytes.data(), bytes.size());
  wire::Frame f;
  std::string err;
  EXPECT_EQ(d.Next(&f, &err), wire::FrameDecoder::Result::kFrame) << err;
  EXPECT_EQ(d.Buffered(), 0u);
  std::string again;
  EXPECT_TRUE(wire::EncodeFrame(f, &again, &err));
  EXPECT_EQ(again, bytes) << "the document's bytes are what the code would send";
  return f;
}

std::string Range(int from, int to) {
  std::string s;
  for (int b = from; b <= to; ++b) s.push_back(static_cast<char>(b));
  return s;
}

TEST(ProtocolDocument, TheWorkedExampleIsWhatTheCodeSendsAndReads) {
  const auto frames = DocumentFrames();
  ASSERT_EQ(frames.size(), 7u);
  const std::string secret = "4f1d0c9b8a7e6d5c4b3a29180f1e2d3c";
  const std::string clientNonce = Range(0x00, 0x0f), gatewayNonce = Range(0xf0, 0xff);
  std::string err;

  const wire::Frame hello = Decode(frames.at("hello"));
  wire::Hello h;
  ASSERT_TRUE(wire::DecodeHello(hello.payload, hello.version, &h, &err)) << err;
  EXPECT_EQ(hello.version, 2);
  EXPECT_EQ(h.displayWidth, 20);
  EXPECT_EQ(h.battery, 5000);
  EXPECT_EQ(h.client, "handheld 1.0");
  EXPECT_EQ(h.displayLines, 8);
  EXPECT_EQ(h.features, 15u);
  EXPECT_EQ(h.nonce, clientNonce);

  wire::Challenge c;
  ASSERT_TRUE(wire::DecodeChallenge(Decode(frames.at("challenge")).payload, &c, &err));
  EXPECT_EQ(c.method, wire::kAuthHmacSha256);
  EXPECT_EQ(c.nonce, gatewayNonce);

  std::string proof;
  ASSERT_TRUE(wire::DecodeAuth(Decode(frames.at("auth")).payload, &proof, &err));
  EXPECT_EQ(proof, auth::TerminalProof(secret, "T1", clientNonce, gatewayNonce));

  wire::Welcome w;
  ASSERT_TRUE(wire::DecodeWelcome(Decode(frames.at("welcome")).payload, &w, &err));
  EXPECT_EQ(w.flags, wire::kWelcomeAuthenticated | wire::kWelcomeEncrypted);
  EXPECT_EQ(w.keepAliveSeconds, 30);
  EXPECT_EQ(w.answerSeconds, 15);
  EXPECT_EQ(w.proof, auth::GatewayProof(secret, "T1", clientNonce, gatewayNonce));
  // And what the gateway's defaults put there.
  EXPECT_EQ(LinkTimeouts{}.keepAliveMs, 30000);
  EXPECT_EQ(LinkTimeouts{}.answerMs, 15000);

  wire::Refusal r;
  const wire::Frame refused = Decode(frames.at("refused"));
  ASSERT_TRUE(wire::DecodeRefused(refused.payload, refused.version, &r, &err));
  EXPECT_EQ(r.code, wire::RefusedCode::kNotAccepted);
  EXPECT_EQ(r.reason, kRefusedNotAccepted);
}

TEST(ProtocolDocument, TheExampleScreenLaysOutAndIsAnsweredAsDescribed) {
  const auto frames = DocumentFrames();
  ScreenProgram p;
  std::string err;
  ASSERT_TRUE(wire::DecodeScreen(Decode(frames.at("screen")).payload, &p, &err)) << err;
  EXPECT_EQ(p.sequence, 1u);
  EXPECT_EQ(p.name, "AS40043124436");
  EXPECT_EQ(p.ops.size(), 25u);

  sim::TerminalDisplay display(20);
  display.Load(p);
  EXPECT_EQ(display.PlainLines(),
            (std::vector<std::string>{"Sign On", "User     __________", "Password __________", "",
                                      "Enter", "PgDown", "PgUp", "F __"}));
  std::map<std::string, int> numbers;
  for (const auto& item : display.Items()) {
    if (item.kind != sim::Item::Kind::kLabel) numbers[item.text + item.label] = item.number;
  }
  EXPECT_EQ(numbers["User     "], 2);
  EXPECT_EQ(numbers["Password "], 4);
  EXPECT_EQ(numbers["Enter"], 6);
  EXPECT_EQ(numbers["F "], 12);

  // What the operator does in the document, and the answer it gives.
  display.Type("alice");
  display.Press(sim::Key::kDown);
  display.Type("secret");
  ASSERT_EQ(display.Press(sim::Key::kEnter), sim::TerminalDisplay::Outcome::kAnswer);
  Answer a = display.TakeAnswer();
  a.battery = 4980;
  std::string bytes;
  ASSERT_TRUE(wire::EncodeFrame({0x04, "T1", wire::EncodeAnswer(a)}, &bytes, &err));
  EXPECT_EQ(bytes, frames.at("answer"));
}

}  // namespace
}  // namespace tervo::radio
