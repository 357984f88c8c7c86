#include "platform/host5250/tn5250_session.h"

#include <algorithm>
#include <iterator>

#include "platform/host5250/aid_response.h"
#include "platform/host5250/datastream.h"
#include "platform/host5250/keyboard_input.h"

namespace tervo::host5250 {

namespace {

// "IBM-3179-2" -> type "3179", model "2".
void SplitTerminalType(const std::string& t, std::string* type, std::string* model) {
  std::string rest = t.rfind("IBM-", 0) == 0 ? t.substr(4) : t;
  auto dash = rest.find('-');
  *type = rest.substr(0, dash);
  *model = dash == std::string::npos ? "1" : rest.substr(dash + 1);
}

}  // namespace

Tn5250Session::Tn5250Session() { SetTerminalType(kDefaultTerminalType); }

void Tn5250Session::SetTerminalType(const std::string& type) {
  terminal_type_ = type;
  std::string t, m;
  SplitTerminalType(type, &t, &m);
  parser_.SetDevice(t, m, codec_);
}

bool Tn5250Session::SetCcsid(int ccsid, std::string* err) {
  if (!codec_.SetCcsid(ccsid, err)) return false;
  SetTerminalType(terminal_type_);
  return true;
}

void Tn5250Session::Restart() {
  telnet_.Reset();
  screen_.ClearUnit();
  parser_.Restart();
  record_.clear();
  record_overflow_ = false;
  output_.clear();
  std::fill(std::begin(us_), std::end(us_), false);
  std::fill(std::begin(him_), std::end(him_), false);
  pending_aid_ = 0;
  last_locked_ = true;
  newScreen = false;
  keyboardChanged = false;
}

void Tn5250Session::Receive(const char* data, std::size_t size) {
  telnet_.Feed(reinterpret_cast<const std::uint8_t*>(data), size, *this);
  UpdateEvents();
}

std::string Tn5250Session::TakeOutput() {
  std::string out;
  out.swap(output_);
  return out;
}

void Tn5250Session::OnData(const std::uint8_t* data, std::size_t size) {
  if (record_overflow_) return;
  if (record_.size() + size > kMaxRecord) {
    record_overflow_ = true;
    record_.clear();
    return;
  }
  record_.append(reinterpret_cast<const char*>(data), size);
}

void Tn5250Session::OnCommand(std::uint8_t command) {
  if (command != telnet::kEor) return;
  if (record_overflow_) {
    Log("5250 record longer than 65535 bytes dropped");
    record_overflow_ = false;
    return;
  }
  std::vector<std::string> answers;
  parser_.lastError.clear();
  parser_.ProcessRecord(record_, &answers);
  record_.clear();
  if (!parser_.lastError.empty()) Log(parser_.lastError);
  for (const std::string& a : answers) SendRecord(a);
  if (pending_aid_ != 0 && parser_.PendingRead() != 0) SendPendingAid();
}

bool Tn5250Session::Supported(std::uint8_t option) {
  return option == telnet::kOptBinary || option == telnet::kOptEndOfRecord ||
         option == telnet::kOptTerminalType || option == telnet::kOptNewEnviron;
}

void Tn5250Session::OnNegotiation(std::uint8_t verb, std::uint8_t option) {
  // Answer only changes of state (RFC 1143 in its simple form), so two
  // agreeable peers cannot loop.
  switch (verb) {
    case telnet::kDo:
      if (Supported(option)) {
        if (!us_[option]) {
          us_[option] = true;
          output_ += telnet::Negotiation(telnet::kWill, option);
        }
      } else {
        output_ += telnet::Negotiation(telnet::kWont, option);
      }
      break;
    case telnet::kDont:
      if (us_[option]) {
        us_[option] = false;
        output_ += telnet::Negotiation(telnet::kWont, option);
      }
      break;
    case telnet::kWill:
      if (option == telnet::kOptBinary || option == telnet::kOptEndOfRecord) {
        if (!him_[option]) {
          him_[option] = true;
          output_ += telnet::Negotiation(telnet::kDo, option);
        }
      } else {
        output_ += telnet::Negotiation(telnet::kDont, option);
      }
      break;
    case telnet::kWont:
      if (him_[option]) {
        him_[option] = false;
        output_ += telnet::Negotiation(telnet::kDont, option);
      }
      break;
    default:
      break;
  }
}

void Tn5250Session::OnSubnegotiation(std::uint8_t option, std::string_view payload) {
  if (option == telnet::kOptTerminalType) {
    if (!payload.empty() && static_cast<std::uint8_t>(payload[0]) == telnet::kSend) {
      output_ += telnet::Subnegotiation(option, std::string(1, static_cast<char>(telnet::kIs)) + terminal_type_);
    }
    return;
  }
  if (option != telnet::kOptNewEnviron) return;
  std::uint8_t verb = 0;
  std::vector<telnet::EnvVariable> asked;
  if (!telnet::ParseNewEnviron(payload, &verb, &asked) || verb != telnet::kSend) return;
  // DEVNAME is a user variable (RFC 4777), but a host asking for it as a
  // VAR gets it too.  Anything else we do not have is named without value.
  auto isDevname = [](const telnet::EnvVariable& v) { return v.name == "DEVNAME"; };
  std::vector<telnet::EnvVariable> reply;
  bool sentDevname = false;
  auto addDevname = [&]() {
    if (sentDevname || device_name_.empty()) return;
    reply.push_back(telnet::EnvVariable{true, "DEVNAME", device_name_});
    sentDevname = true;
  };
  if (asked.empty()) addDevname();
  for (const telnet::EnvVariable& v : asked) {
    if (v.name.empty()) {
      if (v.user) addDevname();  // "all user variables"
    } else if (isDevname(v)) {
      addDevname();
    } else {
      reply.push_back(telnet::EnvVariable{v.user, v.name, std::nullopt});
    }
  }
  output_ += telnet::Subnegotiation(option, telnet::NewEnviron(telnet::kIs, reply));
}

void Tn5250Session::SendRecord(const std::string& record) { output_ += telnet::Record(record); }

void Tn5250Session::SendPendingAid() {
  const std::uint8_t aid = pending_aid_;
  pending_aid_ = 0;
  ds::RecordHeader h;
  h.opcode = ds::kOpPutGet;
  SendRecord(ds::BuildRecord(h, BuildAidPayload(screen_, parser_.PendingRead(), aid)));
  parser_.ClearPendingRead();
  screen_.SetKeyboard(KeyboardState::kSystem);
}

void Tn5250Session::PressAid(std::uint8_t aid) {
  if (aid == ds::kAidPrint) {
    ds::RecordHeader h;
    h.opcode = ds::kOpNoOperation;
    SendRecord(ds::BuildRecord(h, BuildAidPayload(screen_, 0, aid)));
    return;
  }
  // The AID waits for the host's read when none is pending yet; the
  // keyboard stays locked until the host answers either way.
  pending_aid_ = aid;
  screen_.SetKeyboard(KeyboardState::kSystem);
  if (parser_.PendingRead() != 0) SendPendingAid();
}

void Tn5250Session::Reset() {
  // Reset clears an operator error; a keyboard the system locked stays
  // locked until the host unlocks it.
  if (screen_.Keyboard() == KeyboardState::kError) {
    screen_.SetMessage({});
    screen_.SetKeyboard(KeyboardState::kUnlocked);
    screen_.Touch();
  }
}

bool Tn5250Session::SendKeys(const std::string& keys, std::string* err) {
  std::vector<std::string> unknown;
  const std::vector<Key> parsed = ParseKeys(keys, &unknown);
  for (const std::string& u : unknown) Log("Unknown key mnemonic " + u + " skipped");
  bool ok = true;
  for (std::size_t i = 0; i < parsed.size(); ++i) {
    const Key& k = parsed[i];
    if (k.kind == Key::kReset) {
      Reset();
      continue;
    }
    if (screen_.Keyboard() == KeyboardState::kError && autoReset) Reset();
    if (screen_.Locked()) {
      const std::string refused = KeysText(parsed, i);
      Log("Keys refused, input inhibited: " + refused);
      if (err) *err = "Input inhibited; keys not sent: " + refused;
      ok = false;
      break;
    }
    std::string why;
    switch (k.kind) {
      case Key::kCharacter: {
        TypeResult r = TypeCharacter(screen_, k.character, codec_, &why);
        if (r == TypeResult::kRefused) {
          Log(why);
          if (err) *err = why;
          ok = false;
        } else if (r == TypeResult::kTypedAutoEnter) {
          PressAid(ds::kAidEnter);
        }
        break;
      }
      case Key::kTab: TabForward(screen_); break;
      case Key::kBacktab: TabBackward(screen_); break;
      case Key::kEraseEof:
        if (!EraseToEndOfField(screen_, &why)) {
          Log(why);
          if (err) *err = why;
          ok = false;
        }
        break;
      case Key::kAid: PressAid(k.aid); break;
      default: break;
    }
    if (!ok) break;
  }
  UpdateEvents();
  return ok;
}

void Tn5250Session::UpdateEvents() {
  const bool locked = screen_.Locked();
  if (locked != last_locked_) {
    last_locked_ = locked;
    keyboardChanged = true;
  }
  if (parser_.screenWritten && !locked) {
    parser_.screenWritten = false;
    newScreen = true;
  }
}

}  // namespace tervo::host5250
