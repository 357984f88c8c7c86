// Telnet (RFC 854/855) byte layer shared by the TN5250 client and the demo
// host: a resumable parser that splits a byte stream into data, commands,
// option negotiations and subnegotiations (any of them may be split across
// reads), plus builders for what each side sends.  Option policy (which
// options to accept) belongs to the caller.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tervo::host5250::telnet {

inline constexpr std::uint8_t kSe = 240;
inline constexpr std::uint8_t kNop = 241;
inline constexpr std::uint8_t kSb = 250;
inline constexpr std::uint8_t kWill = 251;
inline constexpr std::uint8_t kWont = 252;
inline constexpr std::uint8_t kDo = 253;
inline constexpr std::uint8_t kDont = 254;
inline constexpr std::uint8_t kIac = 255;
inline constexpr std::uint8_t kEor = 239;  // end of record (RFC 885)

inline constexpr std::uint8_t kOptBinary = 0;
inline constexpr std::uint8_t kOptTerminalType = 24;
inline constexpr std::uint8_t kOptEndOfRecord = 25;
inline constexpr std::uint8_t kOptNewEnviron = 39;

// TERMINAL-TYPE and NEW-ENVIRON subnegotiation verbs.
inline constexpr std::uint8_t kIs = 0;
inline constexpr std::uint8_t kSend = 1;
inline constexpr std::uint8_t kInfo = 2;

// Receives what the parser finds, in stream order.
class Sink {
 public:
  virtual ~Sink() = default;
  virtual void OnData(const std::uint8_t* data, std::size_t size) = 0;
  // A two-byte command other than negotiation or subnegotiation (EOR, NOP...).
  virtual void OnCommand(std::uint8_t command) = 0;
  virtual void OnNegotiation(std::uint8_t verb, std::uint8_t option) = 0;
  // payload has IAC IAC already undoubled; it excludes the option byte.
  virtual void OnSubnegotiation(std::uint8_t option, std::string_view payload) = 0;
};

class Parser {
 public:
  // Subnegotiations longer than this are cut (the rest is dropped) so a
  // hostile peer cannot grow memory without bound.
  static constexpr std::size_t kMaxSubnegotiation = 4096;

  void Feed(const std::uint8_t* data, std::size_t size, Sink& sink);
  void Reset();

 private:
  enum class State { kData, kAfterIac, kVerb, kSbOption, kSbData, kSbAfterIac };
  State state_ = State::kData;
  std::uint8_t verb_ = 0;
  std::uint8_t sb_option_ = 0;
  std::string sb_;
};

// Builders.  Every builder doubles IAC bytes in the payload it is given.
std::string EscapeIac(std::string_view data);
std::string Negotiation(std::uint8_t verb, std::uint8_t option);
std::string Subnegotiation(std::uint8_t option, std::string_view payload);
// One data record: data with IAC doubled, followed by IAC EOR.
std::string Record(std::string_view data);

// RFC 1572 NEW-ENVIRON variables.  user: USERVAR (3) rather than VAR (0).
// value empty (nullopt) means the variable is named without a VALUE part,
// which is how a peer says "I have no such variable".
inline constexpr std::uint8_t kEnvVar = 0;
inline constexpr std::uint8_t kEnvValue = 1;
inline constexpr std::uint8_t kEnvEsc = 2;
inline constexpr std::uint8_t kEnvUserVar = 3;

struct EnvVariable {
  bool user = false;
  std::string name;
  std::optional<std::string> value;
};

// verb is kIs, kSend or kInfo.  Names and values are ESC-escaped.
std::string NewEnviron(std::uint8_t verb, const std::vector<EnvVariable>& vars);
// Reads a NEW-ENVIRON subnegotiation payload (without the option byte).
// Returns false for an empty payload or an unknown verb.  A bare VAR or
// USERVAR with an empty name stands for "all variables of that kind".
bool ParseNewEnviron(std::string_view payload, std::uint8_t* verb,
                     std::vector<EnvVariable>* vars);

}  // namespace tervo::host5250::telnet
