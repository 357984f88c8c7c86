// One TN5250 display session without its socket: telnet negotiation, the
// record parser, the screen and the operator's keys.  Bytes from the host go
// in through Receive; bytes for the host collect in an output buffer the
// transport drains.  What happened (new screen, keyboard change) is kept in
// flags the owner reads after each call, so no callback ever runs inside the
// parser.  Tests, the benchmark and the fuzz target drive it directly.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/host5250/datastream_parser.h"
#include "platform/host5250/ebcdic.h"
#include "platform/host5250/key_mnemonics.h"
#include "platform/host5250/screen.h"
#include "platform/host5250/telnet.h"

namespace tervo::host5250 {

class Tn5250Session : private telnet::Sink {
 public:
  // A 24x80 colour display.
  static constexpr const char* kDefaultTerminalType = "IBM-3179-2";
  // Records longer than a GDS length can say are dropped.
  static constexpr std::size_t kMaxRecord = 65535;

  Tn5250Session();

  void SetTerminalType(const std::string& type);
  const std::string& TerminalType() const { return terminal_type_; }
  void SetDeviceName(const std::string& name) { device_name_ = name; }
  bool SetCcsid(int ccsid, std::string* err);
  const EbcdicCodec& Codec() const { return codec_; }
  void SetLogger(std::function<void(const std::string&)> log) { log_ = std::move(log); }
  // Unlock automatically on the next key after an error.
  bool autoReset = false;

  // Back to the state of a new connection; options stay.
  void Restart();

  // Bytes from the host, any split.
  void Receive(const char* data, std::size_t size);
  // Bytes for the host since the last call.
  std::string TakeOutput();

  // Types keys (see key_mnemonics.h).  Returns false with *err when keys were
  // refused: input inhibited, or a field rule; keys before the refused one
  // have taken effect.
  bool SendKeys(const std::string& keys, std::string* err);

  const Screen& GetScreen() const { return screen_; }
  Screen& GetScreen() { return screen_; }
  bool InputInhibited() const { return screen_.Locked(); }

  // Event flags: set by Receive and SendKeys, cleared by the owner.
  bool newScreen = false;
  bool keyboardChanged = false;

  // Windows-1252 text helpers over the screen.
  std::string ReadText(int row, int column, int length) const {
    return screen_.ReadText(row, column, length, codec_);
  }

  // For tests: the read command pending and the AID waiting for one.
  std::uint8_t PendingRead() const { return parser_.PendingRead(); }
  std::uint8_t PendingAid() const { return pending_aid_; }

 private:
  void OnData(const std::uint8_t* data, std::size_t size) override;
  void OnCommand(std::uint8_t command) override;
  void OnNegotiation(std::uint8_t verb, std::uint8_t option) override;
  void OnSubnegotiation(std::uint8_t option, std::string_view payload) override;

  void SendRecord(const std::string& record);
  void PressAid(std::uint8_t aid);
  void SendPendingAid();
  void Reset();
  void UpdateEvents();
  void Log(const std::string& s) {
    if (log_) log_(s);
  }
  static bool Supported(std::uint8_t option);

  telnet::Parser telnet_;
  Screen screen_;
  EbcdicCodec codec_;
  DataStreamParser parser_{screen_};
  std::string terminal_type_ = kDefaultTerminalType;
  std::string device_name_;
  std::function<void(const std::string&)> log_;
  std::string record_;
  bool record_overflow_ = false;
  std::string output_;
  bool us_[256] = {};   // options we perform
  bool him_[256] = {};  // options the host performs
  std::uint8_t pending_aid_ = 0;
  bool last_locked_ = true;
};

}  // namespace tervo::host5250
