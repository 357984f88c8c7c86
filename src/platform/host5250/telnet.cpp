#include "platform/host5250/telnet.h"

namespace tervo::host5250::telnet {

void Parser::Reset() {
  state_ = State::kData;
  sb_.clear();
}

void Parser::Feed(const std::uint8_t* data, std::size_t size, Sink& sink) {
  std::size_t i = 0;
  while (i < size) {
    switch (state_) {
      case State::kData: {
        // Hand over the longest run of plain data at once.
        std::size_t start = i;
        while (i < size && data[i] != kIac) ++i;
        if (i > start) sink.OnData(data + start, i - start);
        if (i < size) {
          state_ = State::kAfterIac;
          ++i;
        }
        break;
      }
      case State::kAfterIac: {
        std::uint8_t c = data[i++];
        if (c == kIac) {
          sink.OnData(&c, 1);
          state_ = State::kData;
        } else if (c == kWill || c == kWont || c == kDo || c == kDont) {
          verb_ = c;
          state_ = State::kVerb;
        } else if (c == kSb) {
          state_ = State::kSbOption;
        } else {
          state_ = State::kData;
          sink.OnCommand(c);
        }
        break;
      }
      case State::kVerb:
        state_ = State::kData;
        sink.OnNegotiation(verb_, data[i++]);
        break;
      case State::kSbOption:
        sb_option_ = data[i++];
        sb_.clear();
        state_ = State::kSbData;
        break;
      case State::kSbData: {
        std::uint8_t c = data[i++];
        if (c == kIac) {
          state_ = State::kSbAfterIac;
        } else if (sb_.size() < kMaxSubnegotiation) {
          sb_.push_back(static_cast<char>(c));
        }
        break;
      }
      case State::kSbAfterIac: {
        std::uint8_t c = data[i++];
        if (c == kIac) {
          if (sb_.size() < kMaxSubnegotiation) sb_.push_back(static_cast<char>(c));
          state_ = State::kSbData;
        } else if (c == kSe) {
          state_ = State::kData;
          std::string payload;
          payload.swap(sb_);
          sink.OnSubnegotiation(sb_option_, payload);
        } else {
          // IAC followed by anything else ends the subnegotiation early
          // (RFC 855 leaves this to the receiver); treat the byte as a
          // command so the stream stays in step.
          state_ = State::kData;
          std::string payload;
          payload.swap(sb_);
          sink.OnSubnegotiation(sb_option_, payload);
          if (c == kWill || c == kWont || c == kDo || c == kDont) {
            verb_ = c;
            state_ = State::kVerb;
          } else if (c == kSb) {
            state_ = State::kSbOption;
          } else {
            sink.OnCommand(c);
          }
        }
        break;
      }
    }
  }
}

std::string EscapeIac(std::string_view data) {
  std::string out;
  out.reserve(data.size() + 8);
  for (char c : data) {
    out.push_back(c);
    if (static_cast<std::uint8_t>(c) == kIac) out.push_back(c);
  }
  return out;
}

std::string Negotiation(std::uint8_t verb, std::uint8_t option) {
  return std::string{static_cast<char>(kIac), static_cast<char>(verb), static_cast<char>(option)};
}

std::string Subnegotiation(std::uint8_t option, std::string_view payload) {
  std::string out{static_cast<char>(kIac), static_cast<char>(kSb), static_cast<char>(option)};
  if (option == kIac) out.push_back(static_cast<char>(kIac));
  out += EscapeIac(payload);
  out.push_back(static_cast<char>(kIac));
  out.push_back(static_cast<char>(kSe));
  return out;
}

std::string Record(std::string_view data) {
  std::string out = EscapeIac(data);
  out.push_back(static_cast<char>(kIac));
  out.push_back(static_cast<char>(kEor));
  return out;
}

namespace {

void AppendEscaped(std::string& out, std::string_view s) {
  for (char c : s) {
    auto u = static_cast<std::uint8_t>(c);
    if (u == kEnvVar || u == kEnvValue || u == kEnvEsc || u == kEnvUserVar) out.push_back(static_cast<char>(kEnvEsc));
    out.push_back(c);
  }
}

}  // namespace

std::string NewEnviron(std::uint8_t verb, const std::vector<EnvVariable>& vars) {
  std::string out(1, static_cast<char>(verb));
  for (const EnvVariable& v : vars) {
    out.push_back(static_cast<char>(v.user ? kEnvUserVar : kEnvVar));
    AppendEscaped(out, v.name);
    if (v.value) {
      out.push_back(static_cast<char>(kEnvValue));
      AppendEscaped(out, *v.value);
    }
  }
  return out;
}

bool ParseNewEnviron(std::string_view payload, std::uint8_t* verb, std::vector<EnvVariable>* vars) {
  vars->clear();
  if (payload.empty()) return false;
  *verb = static_cast<std::uint8_t>(payload[0]);
  if (*verb != kIs && *verb != kSend && *verb != kInfo) return false;
  EnvVariable* cur = nullptr;
  std::string* target = nullptr;
  for (std::size_t i = 1; i < payload.size(); ++i) {
    auto c = static_cast<std::uint8_t>(payload[i]);
    if (c == kEnvVar || c == kEnvUserVar) {
      vars->push_back(EnvVariable{c == kEnvUserVar, {}, std::nullopt});
      cur = &vars->back();
      target = &cur->name;
    } else if (c == kEnvValue) {
      if (!cur) continue;  // a value without a name: nothing to attach it to
      cur->value = std::string();
      target = &*cur->value;
    } else {
      if (c == kEnvEsc) {
        if (i + 1 >= payload.size()) break;
        c = static_cast<std::uint8_t>(payload[++i]);
      }
      if (target) target->push_back(static_cast<char>(c));
    }
  }
  return true;
}

}  // namespace tervo::host5250::telnet
