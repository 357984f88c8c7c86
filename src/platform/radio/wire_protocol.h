// The radio wire protocol: frames and the messages they carry.  The layout
// is described byte by byte in docs/radio-protocol.md; a handheld client is
// written from that document, so any change here is a protocol change and
// needs a new version number.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/radio/screen_program.h"

namespace tervo::radio::wire {

constexpr std::uint8_t kMagic0 = 'T';
constexpr std::uint8_t kMagic1 = 'V';
// Frames carry the version their sender speaks.  The gateway reads both and
// answers each terminal in the version of its HELLO.
constexpr std::uint8_t kVersion1 = 1;
constexpr std::uint8_t kVersion = 2;
constexpr std::size_t kIdBytes = 8;
constexpr std::size_t kHeaderBytes = 14;  // magic, version, type, id, length
constexpr std::size_t kCrcBytes = 2;
constexpr std::size_t kMaxPayload = 16384;
constexpr std::size_t kMaxScreenName = 49;  // fits the 50-byte data buffer with its terminator
constexpr std::size_t kMaxMessageText = 49;
constexpr std::size_t kMaxValues = 500;
constexpr std::size_t kMaxOps = 4000;
constexpr std::size_t kMaxClientText = 64;
constexpr std::size_t kMaxReason = 200;
constexpr std::size_t kNonceBytes = 16;
constexpr std::size_t kProofBytes = 32;

enum class Type : std::uint8_t {
  // terminal (or radio base) to gateway
  kHello = 0x01,
  kStart = 0x02,
  kRequest = 0x03,
  kAnswer = 0x04,
  kMessage = 0x05,
  kBaseReady = 0x06,
  kAuth = 0x07,  // version 2
  kPing = 0x08,  // version 2: the terminal asks whether the gateway is there
  kPong = 0x09,  // version 2: the terminal's answer to the gateway's PING
  // gateway to terminal (or radio base)
  kWelcome = 0x81,
  kRefused = 0x82,
  kScreen = 0x83,
  kReset = 0x84,
  kProbe = 0x85,
  kChallenge = 0x86,    // version 2
  kGatewayPing = 0x87,  // version 2
  kGatewayPong = 0x88,  // version 2
};

const char* TypeName(std::uint8_t type);

struct Frame {
  std::uint8_t type = 0;
  std::string terminalId;  // without its blank padding; empty for link frames
  std::string payload;
  std::uint8_t version = kVersion;
};

// Whole frame bytes.  Fails (false, *err) for an id longer than 8 bytes or
// holding control characters, a payload above kMaxPayload, or a version
// this side does not speak.
bool EncodeFrame(const Frame& frame, std::string* out, std::string* err);

// CRC-16/CCITT-FALSE (polynomial 0x1021, initial 0xFFFF, no reflection).
std::uint16_t Crc16(const std::uint8_t* data, std::size_t size);

// Cuts a byte stream into frames.  Bytes are fed as they arrive; Next()
// yields complete frames.  A fault is reported once with the stream left
// positioned for the caller's choice: a stream transport drops the
// connection, a serial line calls Resync() to hunt for the next frame.
class FrameDecoder {
 public:
  enum class Result { kFrame, kNeedMore, kError };

  void Feed(const char* data, std::size_t size);
  Result Next(Frame* frame, std::string* err);
  // Skips the first byte of the buffer and everything up to the next magic.
  void Resync();
  std::size_t Buffered() const { return buffer_.size() - start_; }

 private:
  std::string buffer_;
  std::size_t start_ = 0;
};

// --- message payloads

// Features a version-2 terminal reports in HELLO (bits of `features`).
enum TerminalFeature : std::uint32_t {
  kFeatureInverse = 1,  // shows inverse video
  kFeatureLarge = 2,    // has a large font
  kFeatureBeeper = 4,   // can beep
  kFeatureScanner = 8,  // has a bar-code reader
};

struct Hello {
  std::uint16_t displayWidth = 20;
  std::int32_t battery = -1;  // millivolts, -1 unknown
  std::string client;         // free text for the log, at most 64 bytes
  // Version 2 only.
  std::uint16_t displayLines = 0;  // 0: not said
  std::uint32_t features = 0;      // TerminalFeature bits
  std::string nonce;               // kNonceBytes chosen by the terminal
};

// The layout depends on the frame's version; a version-2 HELLO without a
// nonce of kNonceBytes is not encodable (the result is empty).
std::string EncodeHello(const Hello& hello, std::uint8_t version = kVersion);
bool DecodeHello(const std::string& payload, std::uint8_t version, Hello* out, std::string* err);

// CHALLENGE: how the terminal must prove its secret, and the gateway's nonce.
constexpr std::uint8_t kAuthHmacSha256 = 1;
struct Challenge {
  std::uint8_t method = kAuthHmacSha256;
  std::string nonce;  // kNonceBytes
};
std::string EncodeChallenge(const Challenge& challenge);
bool DecodeChallenge(const std::string& payload, Challenge* out, std::string* err);

// AUTH: the terminal's proof, kProofBytes.
std::string EncodeAuth(const std::string& proof);
bool DecodeAuth(const std::string& payload, std::string* proof, std::string* err);

// WELCOME (version 2; version 1 has an empty payload).
enum WelcomeFlag : std::uint32_t {
  kWelcomeAuthenticated = 1,  // the terminal proved its secret; proof follows
  kWelcomeEncrypted = 2,      // the connection is TLS
};
struct Welcome {
  std::uint32_t flags = 0;
  std::uint16_t keepAliveSeconds = 0;  // silence before the gateway pings; 0 never
  std::uint16_t answerSeconds = 0;     // how long a PING waits for its PONG
  std::string proof;                   // empty, or kProofBytes of the gateway's proof
};
std::string EncodeWelcome(const Welcome& welcome);
bool DecodeWelcome(const std::string& payload, Welcome* out, std::string* err);

// Why the gateway refuses (version 2 REFUSED carries the code; version 1
// only the text).
enum class RefusedCode : std::uint8_t {
  kNotAccepted = 1,  // not authenticated, or the id is not served
  kReplaced = 2,     // a newer connection took this terminal over
  kProtocol = 3,     // a frame broke the protocol
  kTimedOut = 4,     // a frame or the handshake took too long
};
struct Refusal {
  RefusedCode code = RefusedCode::kProtocol;
  std::string reason;  // at most kMaxReason bytes
};
std::string EncodeRefused(const Refusal& refusal, std::uint8_t version);
bool DecodeRefused(const std::string& payload, std::uint8_t version, Refusal* out,
                   std::string* err);

// Request, message and base-ready payloads are one text.
std::string EncodeText(const std::string& text);
bool DecodeText(const std::string& payload, std::size_t maxSize, std::string* out,
                std::string* err);

std::string EncodeAnswer(const Answer& answer);
bool DecodeAnswer(const std::string& payload, Answer* out, std::string* err);

// Fails only when the program exceeds the protocol's limits.
bool EncodeScreen(const ScreenProgram& program, std::string* out, std::string* err);
bool DecodeScreen(const std::string& payload, ScreenProgram* out, std::string* err);

// An empty payload, as START, WELCOME, RESET and PROBE carry.
bool DecodeEmpty(const std::string& payload, std::string* err);

}  // namespace tervo::radio::wire
