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
constexpr std::uint8_t kVersion = 1;
constexpr std::size_t kIdBytes = 8;
constexpr std::size_t kHeaderBytes = 14;  // magic, version, type, id, length
constexpr std::size_t kCrcBytes = 2;
constexpr std::size_t kMaxPayload = 16384;
constexpr std::size_t kMaxScreenName = 49;  // fits the 50-byte data buffer with its terminator
constexpr std::size_t kMaxMessageText = 49;
constexpr std::size_t kMaxValues = 500;
constexpr std::size_t kMaxOps = 4000;

enum class Type : std::uint8_t {
  // terminal (or radio base) to gateway
  kHello = 0x01,
  kStart = 0x02,
  kRequest = 0x03,
  kAnswer = 0x04,
  kMessage = 0x05,
  kBaseReady = 0x06,
  // gateway to terminal (or radio base)
  kWelcome = 0x81,
  kRefused = 0x82,
  kScreen = 0x83,
  kReset = 0x84,
  kProbe = 0x85,
};

const char* TypeName(std::uint8_t type);

struct Frame {
  std::uint8_t type = 0;
  std::string terminalId;  // without its blank padding; empty for link frames
  std::string payload;
};

// Whole frame bytes.  Fails (false, *err) for an id longer than 8 bytes or
// holding control characters, or a payload above kMaxPayload.
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

struct Hello {
  std::uint16_t displayWidth = 20;
  std::int32_t battery = -1;  // millivolts, -1 unknown
  std::string client;         // free text for the log, at most 64 bytes
};

std::string EncodeHello(const Hello& hello);
bool DecodeHello(const std::string& payload, Hello* out, std::string* err);

// Request, message, refused and base-ready payloads are one text.
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
