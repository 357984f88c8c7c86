// Admitting terminals: the key file, and the HELLO / CHALLENGE / AUTH
// exchange as a terminal (or someone pretending to be one) sees it.
#include "platform/radio/handshake.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QTemporaryDir>
#include <fstream>

#include "platform/radio/terminal_auth.h"

namespace tervo::radio {
namespace {

std::string WriteFile(const QTemporaryDir& dir, const std::string& name, const std::string& text,
                      mode_t mode) {
  const std::string path = dir.filePath(QString::fromStdString(name)).toStdString();
  std::ofstream(path) << text;
  ::chmod(path.c_str(), mode);
  return path;
}

// A terminal's side of the exchange, by hand.
struct Device {
  std::string id;
  std::uint8_t version = wire::kVersion;
  std::string nonce = auth::RandomBytes(wire::kNonceBytes);

  wire::Frame Hello() const {
    wire::Hello h;
    h.nonce = nonce;
    return {static_cast<std::uint8_t>(wire::Type::kHello), id, wire::EncodeHello(h, version),
            version};
  }
  wire::Frame Auth(const std::string& secret, const wire::Frame& challenge) const {
    wire::Challenge c;
    std::string err;
    EXPECT_TRUE(wire::DecodeChallenge(challenge.payload, &c, &err)) << err;
    return {static_cast<std::uint8_t>(wire::Type::kAuth), id,
            wire::EncodeAuth(auth::TerminalProof(secret, id, nonce, c.nonce)), version};
  }
};

using Kind = Handshake::Step::Kind;

class Gate : public ::testing::Test {
 protected:
  void SetUp() override {
    gate.accept = [](const std::string& id) { return id == "T1" || id == "T2"; };
  }
  // T1 has its own key; T2 is served but has none; T9 is not served.
  void WithKeys(const std::string& text = "T1 = t1-secret-0123456789\n") {
    gate.keys.Load(WriteFile(dir, "keys", text, 0600));
    ASSERT_EQ(gate.keys.GetState(), TerminalKeys::State::kLoaded);
  }
  QTemporaryDir dir;
  Gatekeeper gate;
};

TEST_F(Gate, WithoutKeysServedIdsAreWelcomedAndOthersLearnNothing) {
  for (std::uint8_t version : {wire::kVersion1, wire::kVersion}) {
    Handshake h(gate, false);
    const auto s = h.OnFrame(Device{"T1", version}.Hello());
    ASSERT_EQ(s.kind, Kind::kWelcome) << int(version);
    EXPECT_EQ(s.reply.version, version);
    EXPECT_EQ(s.reply.payload.empty(), version == 1) << "version 1 WELCOME stays empty";
  }
  Handshake h(gate, false);
  const auto s = h.OnFrame(Device{"T9"}.Hello());
  ASSERT_EQ(s.kind, Kind::kRefuse);
  EXPECT_EQ(s.refusal.reason, kRefusedNotAccepted);
  EXPECT_EQ(s.why, "terminal id T9 not accepted");
}

TEST_F(Gate, ATerminalProvesItsSecretAndTheGatewayProvesItBack) {
  WithKeys();
  Device d{"T1"};
  Handshake h(gate, true);
  const auto challenge = h.OnFrame(d.Hello());
  ASSERT_EQ(challenge.kind, Kind::kChallenge);
  EXPECT_FALSE(h.Welcomed());
  const auto welcome = h.OnFrame(d.Auth("t1-secret-0123456789", challenge.reply));
  ASSERT_EQ(welcome.kind, Kind::kWelcome);
  EXPECT_TRUE(h.Authenticated());
  wire::Welcome w;
  std::string err;
  ASSERT_TRUE(wire::DecodeWelcome(welcome.reply.payload, &w, &err)) << err;
  EXPECT_EQ(w.flags, wire::kWelcomeAuthenticated | wire::kWelcomeEncrypted);
  EXPECT_EQ(w.keepAliveSeconds, 30);
  wire::Challenge c;
  ASSERT_TRUE(wire::DecodeChallenge(challenge.reply.payload, &c, &err));
  EXPECT_EQ(w.proof, auth::GatewayProof("t1-secret-0123456789", "T1", d.nonce, c.nonce));
  EXPECT_NE(w.proof, auth::TerminalProof("t1-secret-0123456789", "T1", d.nonce, c.nonce));
}

// Whatever the reason, an unauthenticated client gets the same CHALLENGE
// and the same REFUSED: wrong secret, an id without a key, an id that is
// not served.  Only the gateway's log tells them apart.
TEST_F(Gate, IdProbingLearnsNothing) {
  WithKeys();
  const struct {
    const char* id;
    const char* why;
  } probes[] = {{"T1", "authentication failed: wrong terminal secret"},
                {"T2", "authentication failed: no key for this terminal"},
                {"T9", "authentication failed: no key for this terminal"}};
  std::string firstRefusal;
  for (const auto& p : probes) {
    Device d{p.id};
    Handshake h(gate, false);
    const auto challenge = h.OnFrame(d.Hello());
    ASSERT_EQ(challenge.kind, Kind::kChallenge) << p.id;
    EXPECT_EQ(challenge.reply.payload.size(), 1 + wire::kNonceBytes);
    const auto refused = h.OnFrame(d.Auth("guessed", challenge.reply));
    ASSERT_EQ(refused.kind, Kind::kRefuse) << p.id;
    EXPECT_EQ(refused.why, p.why);
    if (firstRefusal.empty()) firstRefusal = refused.reply.payload;
    EXPECT_EQ(refused.reply.payload, firstRefusal) << p.id;
  }
}

TEST_F(Gate, ARecordedHandshakeIsWorthNothingLater) {
  WithKeys();
  Device d{"T1"};
  Handshake first(gate, false);
  const wire::Frame hello = d.Hello();
  const auto challenge = first.OnFrame(hello);
  const wire::Frame auth = d.Auth("t1-secret-0123456789", challenge.reply);
  ASSERT_EQ(first.OnFrame(auth).kind, Kind::kWelcome);

  Handshake replayed(gate, false);
  const auto again = replayed.OnFrame(hello);
  ASSERT_EQ(again.kind, Kind::kChallenge);
  EXPECT_NE(again.reply.payload, challenge.reply.payload) << "every challenge is fresh";
  const auto refused = replayed.OnFrame(auth);
  EXPECT_EQ(refused.kind, Kind::kRefuse);
  EXPECT_FALSE(replayed.Welcomed());
}

// A radio base may pass one HELLO on twice: the copy gets the same
// CHALLENGE, so the terminal's one AUTH counts.  A HELLO with a new nonce
// starts over, and an AUTH for the old challenge no longer does.
TEST_F(Gate, ARepeatedHelloGetsTheSameChallengeANewOneStartsOver) {
  WithKeys();
  Device d{"T1"};
  Handshake h(gate, false);
  const auto first = h.OnFrame(d.Hello());
  const auto again = h.OnFrame(d.Hello());
  ASSERT_EQ(again.kind, Kind::kChallenge);
  EXPECT_EQ(again.reply.payload, first.reply.payload);
  const wire::Frame auth = d.Auth("t1-secret-0123456789", first.reply);
  EXPECT_EQ(h.OnFrame(auth).kind, Kind::kWelcome);

  Handshake h2(gate, false);
  const auto c1 = h2.OnFrame(d.Hello());
  Device renewed{"T1"};
  const auto c2 = h2.OnFrame(renewed.Hello());
  EXPECT_NE(c2.reply.payload, c1.reply.payload);
  EXPECT_EQ(h2.OnFrame(d.Auth("t1-secret-0123456789", c1.reply)).kind, Kind::kRefuse);
}

TEST_F(Gate, ASiteKeyAdmitsEveryTerminalButOnlyServedIdsGetIn) {
  WithKeys("* = the-site-wide-secret-456\n");
  for (const char* id : {"T1", "T9"}) {
    Device d{id};
    Handshake h(gate, false);
    const auto challenge = h.OnFrame(d.Hello());
    const auto s = h.OnFrame(d.Auth("the-site-wide-secret-456", challenge.reply));
    if (std::string(id) == "T1") {
      EXPECT_EQ(s.kind, Kind::kWelcome);
    } else {
      // Authenticated, so it may be told plainly.
      ASSERT_EQ(s.kind, Kind::kRefuse);
      EXPECT_EQ(s.refusal.reason, "terminal T9 is not served by this gateway");
    }
  }
}

TEST_F(Gate, OutOfOrderFramesAndOldDevicesAreRefused) {
  WithKeys();
  const struct {
    wire::Frame frame;
    const char* reason;
  } cases[] = {
      {{static_cast<std::uint8_t>(wire::Type::kStart), "T1", {}}, "START before HELLO"},
      {{static_cast<std::uint8_t>(wire::Type::kAuth), "T1", std::string(32, 'x')},
       "AUTH before HELLO"},
      {Device{"T1", wire::kVersion1}.Hello(), kRefusedNeedsVersion2},
      {{static_cast<std::uint8_t>(wire::Type::kHello), "T1", "\x01"},
       "malformed HELLO: payload ends too early"},
  };
  for (const auto& c : cases) {
    Handshake h(gate, false);
    const auto s = h.OnFrame(c.frame);
    ASSERT_EQ(s.kind, Kind::kRefuse) << c.reason;
    EXPECT_EQ(s.refusal.reason, c.reason);
  }
  Handshake h(gate, false);
  Device d{"T1"};
  ASSERT_EQ(h.OnFrame(d.Hello()).kind, Kind::kChallenge);
  const auto s = h.OnFrame({static_cast<std::uint8_t>(wire::Type::kStart), "T1", {}});
  EXPECT_EQ(s.refusal.reason, "START instead of AUTH");
}

TEST(TerminalKeys, TheFileIsUsedOnlyWhenOthersCannotReadIt) {
  QTemporaryDir dir;
  std::vector<std::string> log;
  auto fn = [&](const std::string& s) { log.push_back(s); };
  TerminalKeys keys;
  keys.Load(dir.filePath("missing").toStdString(), fn);
  EXPECT_EQ(keys.GetState(), TerminalKeys::State::kNoFile);
  EXPECT_FALSE(keys.Required());

  const std::string text =
      "# lab terminals\nT1 = secret-of-terminal-one\n* = site-secret-abcdefgh\n";
  const std::string path = WriteFile(dir, "keys", text, 0640);
  keys.Load(path, fn);
  EXPECT_EQ(keys.GetState(), TerminalKeys::State::kUnsafe);
  EXPECT_TRUE(keys.Required()) << "a key file that cannot be trusted must not open the link";
  EXPECT_FALSE(keys.SecretFor("T1"));
  ASSERT_FALSE(log.empty());
  EXPECT_NE(log.back().find("chmod 600"), std::string::npos);

  ::chmod(path.c_str(), 0600);
  EXPECT_TRUE(keys.Refresh(fn)) << "mending the mode counts as a change";
  EXPECT_EQ(keys.GetState(), TerminalKeys::State::kLoaded);
  EXPECT_EQ(keys.SecretFor("T1"), "secret-of-terminal-one");
  EXPECT_EQ(keys.SecretFor("T7"), "site-secret-abcdefgh");
  EXPECT_FALSE(keys.Refresh(fn)) << "unchanged";
  for (const auto& line : log) {
    EXPECT_EQ(line.find("secret-of"), std::string::npos) << "secrets never reach the log";
  }
}

TEST(TerminalKeys, BadLinesAreNamedByNumberOnly) {
  std::vector<std::string> bad;
  const auto keys = TerminalKeys::Parse(
      "T1 = good-one\nno equals sign here\nTOOLONGID9 = x\nT2 =\nT1 = again\n  # note\n", &bad);
  EXPECT_EQ(keys.size(), 1u);
  EXPECT_EQ(keys.at("T1"), "good-one");
  EXPECT_EQ(bad, (std::vector<std::string>{
                     "line 2: no \"=\"", "line 3: the terminal id must have 1 to 8 characters",
                     "line 4: no secret", "line 5: terminal T1 has a key already"}));
}

TEST(TerminalKeys, EnrolmentWritesAnOwnerOnlyFileAndKeepsComments) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("keys").toStdString();
  std::string err;
  const std::string s1 = TerminalKeys::NewSecret();
  EXPECT_EQ(s1.size(), 32u);
  EXPECT_NE(s1, TerminalKeys::NewSecret());
  ASSERT_TRUE(TerminalKeys::Store(path, "T1", s1, &err)) << err;
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);

  std::ofstream(path, std::ios::app) << "# the forklift\nT2 = second-terminal-secret\n";
  ASSERT_TRUE(TerminalKeys::Store(path, "T1", "replaced-secret-0000", &err)) << err;
  ASSERT_TRUE(TerminalKeys::Store(path, "T3", "third-terminal-secret", &err)) << err;
  ASSERT_TRUE(TerminalKeys::Store(path, "T2", "", &err)) << err;  // removed
  TerminalKeys keys;
  keys.Load(path);
  EXPECT_EQ(keys.SecretFor("T1"), "replaced-secret-0000");
  EXPECT_FALSE(keys.SecretFor("T2"));
  EXPECT_EQ(keys.SecretFor("T3"), "third-terminal-secret");
  std::ifstream in(path);
  std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(all.find("# the forklift"), std::string::npos);
  EXPECT_FALSE(TerminalKeys::Store(path, "T=1", "x", &err));
  EXPECT_FALSE(TerminalKeys::Store(path, "T1", "two\nlines", &err));
}

}  // namespace
}  // namespace tervo::radio
