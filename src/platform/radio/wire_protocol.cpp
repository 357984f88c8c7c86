#include "platform/radio/wire_protocol.h"

#include <cstring>

namespace tervo::radio::wire {

namespace {

void PutU8(std::string* out, std::uint8_t v) { out->push_back(static_cast<char>(v)); }
void PutU16(std::string* out, std::uint16_t v) {
  PutU8(out, static_cast<std::uint8_t>(v >> 8));
  PutU8(out, static_cast<std::uint8_t>(v));
}
void PutU32(std::string* out, std::uint32_t v) {
  PutU16(out, static_cast<std::uint16_t>(v >> 16));
  PutU16(out, static_cast<std::uint16_t>(v));
}
void PutI32(std::string* out, std::int32_t v) { PutU32(out, static_cast<std::uint32_t>(v)); }
// Texts longer than the 16-bit length field can say are cut; the payload
// limit refuses such frames anyway.
void PutStr(std::string* out, const std::string& s) {
  const std::size_t n = s.size() > 0xFFFF ? 0xFFFF : s.size();
  PutU16(out, static_cast<std::uint16_t>(n));
  out->append(s, 0, n);
}

// Bounds-checked reading of a payload; the first failure sticks.
class Reader {
 public:
  explicit Reader(const std::string& s) : s_(s) {}
  bool U8(std::uint8_t* v) {
    if (!Need(1)) return false;
    *v = static_cast<std::uint8_t>(s_[pos_++]);
    return true;
  }
  bool U16(std::uint16_t* v) {
    std::uint8_t hi = 0, lo = 0;
    if (!U8(&hi) || !U8(&lo)) return false;
    *v = static_cast<std::uint16_t>((hi << 8) | lo);
    return true;
  }
  bool U32(std::uint32_t* v) {
    std::uint16_t hi = 0, lo = 0;
    if (!U16(&hi) || !U16(&lo)) return false;
    *v = (static_cast<std::uint32_t>(hi) << 16) | lo;
    return true;
  }
  bool I32(std::int32_t* v) {
    std::uint32_t u = 0;
    if (!U32(&u)) return false;
    *v = static_cast<std::int32_t>(u);
    return true;
  }
  bool Str(std::string* v, std::size_t maxSize, const char* what) {
    std::uint16_t n = 0;
    if (!U16(&n)) return false;
    if (n > maxSize) {
      error_ = std::string(what) + " longer than " + std::to_string(maxSize) + " bytes";
      return false;
    }
    if (!Need(n)) return false;
    v->assign(s_, pos_, n);
    pos_ += n;
    return true;
  }
  bool Done(std::string* err) {
    if (error_.empty() && pos_ != s_.size()) {
      error_ = std::to_string(s_.size() - pos_) + " unexpected bytes at the end";
    }
    if (!error_.empty()) {
      if (err) *err = error_;
      return false;
    }
    return true;
  }
  // n bytes exactly, as fixed-size fields (nonces, proofs) are.
  bool Bytes(std::string* v, std::size_t n) {
    if (!Need(n)) return false;
    v->assign(s_, pos_, n);
    pos_ += n;
    return true;
  }
  void Fail(const std::string& e) {
    if (error_.empty()) error_ = e;
  }
  bool Failed() const { return !error_.empty(); }

 private:
  bool Need(std::size_t n) {
    if (!error_.empty()) return false;
    if (s_.size() - pos_ < n) {
      error_ = "payload ends too early";
      return false;
    }
    return true;
  }
  const std::string& s_;
  std::size_t pos_ = 0;
  std::string error_;
};

bool ValidIdByte(unsigned char c) { return c >= 0x20 && c != 0x7F; }

}  // namespace

const char* TypeName(std::uint8_t type) {
  switch (static_cast<Type>(type)) {
    case Type::kHello:
      return "HELLO";
    case Type::kStart:
      return "START";
    case Type::kRequest:
      return "REQUEST";
    case Type::kAnswer:
      return "ANSWER";
    case Type::kMessage:
      return "MESSAGE";
    case Type::kBaseReady:
      return "BASE-READY";
    case Type::kWelcome:
      return "WELCOME";
    case Type::kRefused:
      return "REFUSED";
    case Type::kScreen:
      return "SCREEN";
    case Type::kReset:
      return "RESET";
    case Type::kProbe:
      return "PROBE";
    case Type::kAuth:
      return "AUTH";
    case Type::kPing:
    case Type::kGatewayPing:
      return "PING";
    case Type::kPong:
    case Type::kGatewayPong:
      return "PONG";
    case Type::kChallenge:
      return "CHALLENGE";
  }
  return "unknown";
}

std::uint16_t Crc16(const std::uint8_t* data, std::size_t size) {
  std::uint16_t crc = 0xFFFF;
  for (std::size_t i = 0; i < size; ++i) {
    crc ^= static_cast<std::uint16_t>(data[i] << 8);
    for (int b = 0; b < 8; ++b) {
      crc = (crc & 0x8000) ? static_cast<std::uint16_t>((crc << 1) ^ 0x1021)
                           : static_cast<std::uint16_t>(crc << 1);
    }
  }
  return crc;
}

bool EncodeFrame(const Frame& frame, std::string* out, std::string* err) {
  if (frame.terminalId.size() > kIdBytes) {
    *err = "terminal id longer than 8 characters";
    return false;
  }
  for (unsigned char c : frame.terminalId) {
    if (!ValidIdByte(c)) {
      *err = "terminal id holds a control character";
      return false;
    }
  }
  if (frame.payload.size() > kMaxPayload) {
    *err = "payload of " + std::to_string(frame.payload.size()) + " bytes exceeds " +
           std::to_string(kMaxPayload);
    return false;
  }
  if (frame.version < kVersion1 || frame.version > kVersion) {
    *err = "unsupported protocol version " + std::to_string(frame.version);
    return false;
  }
  out->clear();
  out->reserve(kHeaderBytes + frame.payload.size() + kCrcBytes);
  PutU8(out, kMagic0);
  PutU8(out, kMagic1);
  PutU8(out, frame.version);
  PutU8(out, frame.type);
  out->append(frame.terminalId);
  out->append(kIdBytes - frame.terminalId.size(), ' ');
  PutU16(out, static_cast<std::uint16_t>(frame.payload.size()));
  out->append(frame.payload);
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(out->data());
  PutU16(out, Crc16(bytes + 2, out->size() - 2));
  return true;
}

void FrameDecoder::Feed(const char* data, std::size_t size) {
  // Compact before growing so a long-lived connection does not keep every
  // byte it ever received.
  if (start_ > 0 && start_ >= buffer_.size() / 2) {
    buffer_.erase(0, start_);
    start_ = 0;
  }
  buffer_.append(data, size);
}

FrameDecoder::Result FrameDecoder::Next(Frame* frame, std::string* err) {
  const std::size_t avail = buffer_.size() - start_;
  const auto* p = reinterpret_cast<const std::uint8_t*>(buffer_.data()) + start_;
  if (avail >= 1 && p[0] != kMagic0) {
    *err = "bad frame start";
    return Result::kError;
  }
  if (avail >= 2 && p[1] != kMagic1) {
    *err = "bad frame start";
    return Result::kError;
  }
  if (avail >= 3 && (p[2] < kVersion1 || p[2] > kVersion)) {
    *err = "unsupported protocol version " + std::to_string(p[2]);
    return Result::kError;
  }
  if (avail < kHeaderBytes) return Result::kNeedMore;
  for (std::size_t i = 0; i < kIdBytes; ++i) {
    if (!ValidIdByte(p[4 + i])) {
      *err = "terminal id holds a control character";
      return Result::kError;
    }
  }
  const std::size_t length = (static_cast<std::size_t>(p[12]) << 8) | p[13];
  if (length > kMaxPayload) {
    *err = "payload of " + std::to_string(length) + " bytes exceeds " + std::to_string(kMaxPayload);
    return Result::kError;
  }
  const std::size_t total = kHeaderBytes + length + kCrcBytes;
  if (avail < total) return Result::kNeedMore;
  const std::uint16_t want = static_cast<std::uint16_t>((p[total - 2] << 8) | p[total - 1]);
  if (Crc16(p + 2, total - 4) != want) {
    *err = "frame check failed";
    return Result::kError;
  }
  frame->version = p[2];
  frame->type = p[3];
  std::string id(reinterpret_cast<const char*>(p + 4), kIdBytes);
  while (!id.empty() && id.back() == ' ') id.pop_back();
  frame->terminalId = std::move(id);
  frame->payload.assign(reinterpret_cast<const char*>(p + kHeaderBytes), length);
  start_ += total;
  if (start_ == buffer_.size()) {
    buffer_.clear();
    start_ = 0;
  }
  return Result::kFrame;
}

void FrameDecoder::Resync() {
  if (start_ >= buffer_.size()) return;
  const std::size_t next = buffer_.find(static_cast<char>(kMagic0), start_ + 1);
  start_ = next == std::string::npos ? buffer_.size() : next;
  if (start_ == buffer_.size()) {
    buffer_.clear();
    start_ = 0;
  }
}

// --- messages

std::string EncodeHello(const Hello& hello, std::uint8_t version) {
  std::string out;
  if (version >= 2 && hello.nonce.size() != kNonceBytes) return out;
  PutU16(&out, hello.displayWidth);
  PutI32(&out, hello.battery);
  PutStr(&out, hello.client.substr(0, kMaxClientText));
  if (version >= 2) {
    PutU16(&out, hello.displayLines);
    PutU32(&out, hello.features);
    out += hello.nonce;
  }
  return out;
}

bool DecodeHello(const std::string& payload, std::uint8_t version, Hello* out, std::string* err) {
  Reader r(payload);
  *out = Hello{};
  r.U16(&out->displayWidth);
  r.I32(&out->battery);
  r.Str(&out->client, kMaxClientText, "client text");
  if (version >= 2) {
    r.U16(&out->displayLines);
    r.U32(&out->features);
    r.Bytes(&out->nonce, kNonceBytes);
  }
  return r.Done(err);
}

std::string EncodeChallenge(const Challenge& c) {
  std::string out;
  PutU8(&out, c.method);
  out += c.nonce;
  return out;
}

bool DecodeChallenge(const std::string& payload, Challenge* out, std::string* err) {
  Reader r(payload);
  r.U8(&out->method);
  r.Bytes(&out->nonce, kNonceBytes);
  return r.Done(err);
}

std::string EncodeAuth(const std::string& proof) { return proof; }

bool DecodeAuth(const std::string& payload, std::string* proof, std::string* err) {
  Reader r(payload);
  r.Bytes(proof, kProofBytes);
  return r.Done(err);
}

std::string EncodeWelcome(const Welcome& w) {
  std::string out;
  PutU32(&out, w.flags);
  PutU16(&out, w.keepAliveSeconds);
  PutU16(&out, w.answerSeconds);
  PutStr(&out, w.proof);
  return out;
}

bool DecodeWelcome(const std::string& payload, Welcome* out, std::string* err) {
  Reader r(payload);
  r.U32(&out->flags);
  r.U16(&out->keepAliveSeconds);
  r.U16(&out->answerSeconds);
  r.Str(&out->proof, kProofBytes, "proof");
  if (!r.Failed() && !out->proof.empty() && out->proof.size() != kProofBytes) {
    r.Fail("proof of " + std::to_string(out->proof.size()) + " bytes");
  }
  return r.Done(err);
}

std::string EncodeRefused(const Refusal& refusal, std::uint8_t version) {
  std::string out;
  if (version >= 2) PutU8(&out, static_cast<std::uint8_t>(refusal.code));
  PutStr(&out, refusal.reason.substr(0, kMaxReason));
  return out;
}

bool DecodeRefused(const std::string& payload, std::uint8_t version, Refusal* out,
                   std::string* err) {
  Reader r(payload);
  std::uint8_t code = static_cast<std::uint8_t>(RefusedCode::kProtocol);
  if (version >= 2) r.U8(&code);
  out->code = static_cast<RefusedCode>(code);
  r.Str(&out->reason, kMaxReason, "reason");
  return r.Done(err);
}

std::string EncodeText(const std::string& text) {
  std::string out;
  PutStr(&out, text);
  return out;
}

bool DecodeText(const std::string& payload, std::size_t maxSize, std::string* out,
                std::string* err) {
  Reader r(payload);
  r.Str(out, maxSize, "text");
  return r.Done(err);
}

std::string EncodeAnswer(const Answer& a) {
  std::string out;
  PutU32(&out, a.sequence);
  PutStr(&out, a.screenName);
  PutI32(&out, a.chosen);
  PutU8(&out, a.sendKey ? 1 : 0);
  PutI32(&out, a.battery);
  const std::size_t n = a.values.size() > 0xFFFF ? 0xFFFF : a.values.size();
  PutU16(&out, static_cast<std::uint16_t>(n));
  for (std::size_t i = 0; i < n; ++i) PutStr(&out, a.values[i]);
  return out;
}

bool DecodeAnswer(const std::string& payload, Answer* out, std::string* err) {
  Reader r(payload);
  *out = Answer{};
  std::uint8_t flags = 0;
  std::uint16_t count = 0;
  r.U32(&out->sequence);
  r.Str(&out->screenName, kMaxScreenName, "screen name");
  r.I32(&out->chosen);
  r.U8(&flags);
  r.I32(&out->battery);
  r.U16(&count);
  if (!r.Failed()) {
    if (flags > 1) r.Fail("unknown answer flags " + std::to_string(flags));
    if (out->chosen < -27 || (out->chosen < -8 && out->chosen != -27) || out->chosen > 0xFFFF) {
      r.Fail("chosen value " + std::to_string(out->chosen) + " out of range");
    }
    if (count > kMaxValues) r.Fail("more than " + std::to_string(kMaxValues) + " values");
  }
  out->sendKey = flags == 1;
  for (std::uint16_t i = 0; i < count && !r.Failed(); ++i) {
    std::string v;
    if (r.Str(&v, 255, "value")) out->values.push_back(std::move(v));
  }
  return r.Done(err);
}

bool EncodeScreen(const ScreenProgram& p, std::string* out, std::string* err) {
  if (p.name.size() > kMaxScreenName) {
    *err = "screen name longer than " + std::to_string(kMaxScreenName) + " bytes";
    return false;
  }
  if (p.ops.size() > kMaxOps) {
    *err = "screen of " + std::to_string(p.ops.size()) + " operations exceeds " +
           std::to_string(kMaxOps);
    return false;
  }
  out->clear();
  PutU32(out, p.sequence);
  PutStr(out, p.name);
  PutI32(out, p.format);
  PutI32(out, p.answerCode);
  PutU16(out, static_cast<std::uint16_t>(p.ops.size()));
  for (const ScreenOp& op : p.ops) {
    PutU8(out, static_cast<std::uint8_t>(op.code));
    switch (op.code) {
      case OpCode::kCls:
      case OpCode::kNewLine:
      case OpCode::kWaitChar:
      case OpCode::kHardReset:
      case OpCode::kGetCheckEnter:
      case OpCode::kRead:
        break;
      case OpCode::kPrintString:
      case OpCode::kPrintInverse:
      case OpCode::kPrintLarge:
      case OpCode::kSay:
        PutStr(out, op.text);
        break;
      case OpCode::kScroll:
        PutStr(out, op.text);
        PutStr(out, op.text2);
        break;
      case OpCode::kNoSay:
        PutU8(out, static_cast<std::uint8_t>(op.a));
        break;
      case OpCode::kGetText:
        PutStr(out, op.text);
        PutU16(out, static_cast<std::uint16_t>(op.a < 0 ? 0 : op.a > 0xFFFF ? 0xFFFF : op.a));
        PutI32(out, op.b);
        break;
      case OpCode::kDelay:
        PutI32(out, op.a);
        break;
      case OpCode::kBeep:
        PutI32(out, op.a);
        PutI32(out, op.b);
        break;
      case OpCode::kCapsLock:
        PutU8(out, op.a ? 1 : 0);
        break;
      case OpCode::kSetLargeFunctionKeys:
        PutStr(out, op.text);
        PutU8(out, static_cast<std::uint8_t>(op.a));
        break;
      case OpCode::kChangeScreenAttributes:
        PutI32(out, op.a);
        PutI32(out, op.b);
        PutI32(out, op.c);
        break;
    }
  }
  if (out->size() > kMaxPayload) {
    *err = "screen of " + std::to_string(out->size()) + " bytes exceeds " +
           std::to_string(kMaxPayload);
    return false;
  }
  return true;
}

bool DecodeScreen(const std::string& payload, ScreenProgram* out, std::string* err) {
  Reader r(payload);
  *out = ScreenProgram{};
  std::uint16_t count = 0;
  r.U32(&out->sequence);
  r.Str(&out->name, kMaxScreenName, "screen name");
  r.I32(&out->format);
  r.I32(&out->answerCode);
  r.U16(&count);
  if (!r.Failed() && count > kMaxOps) r.Fail("too many operations");
  for (std::uint16_t i = 0; i < count && !r.Failed(); ++i) {
    ScreenOp op;
    std::uint8_t code = 0;
    if (!r.U8(&code)) break;
    op.code = static_cast<OpCode>(code);
    std::uint8_t u8 = 0;
    std::uint16_t u16 = 0;
    switch (op.code) {
      case OpCode::kCls:
      case OpCode::kNewLine:
      case OpCode::kWaitChar:
      case OpCode::kHardReset:
      case OpCode::kGetCheckEnter:
      case OpCode::kRead:
        break;
      case OpCode::kPrintString:
      case OpCode::kPrintInverse:
      case OpCode::kPrintLarge:
      case OpCode::kSay:
        r.Str(&op.text, kMaxPayload, "text");
        break;
      case OpCode::kScroll:
        r.Str(&op.text, kMaxPayload, "text");
        r.Str(&op.text2, kMaxPayload, "text");
        break;
      case OpCode::kNoSay:
        r.U8(&u8);
        op.a = u8;
        break;
      case OpCode::kGetText:
        r.Str(&op.text, kMaxPayload, "text");
        r.U16(&u16);
        op.a = u16;
        r.I32(&op.b);
        break;
      case OpCode::kDelay:
        r.I32(&op.a);
        break;
      case OpCode::kBeep:
        r.I32(&op.a);
        r.I32(&op.b);
        break;
      case OpCode::kCapsLock:
        r.U8(&u8);
        if (u8 > 1) r.Fail("caps lock value " + std::to_string(u8));
        op.a = u8;
        break;
      case OpCode::kSetLargeFunctionKeys:
        r.Str(&op.text, kMaxPayload, "legend");
        r.U8(&u8);
        op.a = u8;
        break;
      case OpCode::kChangeScreenAttributes:
        r.I32(&op.a);
        r.I32(&op.b);
        r.I32(&op.c);
        break;
      default:
        r.Fail("unknown operation " + std::to_string(code));
        break;
    }
    if (!r.Failed()) out->ops.push_back(std::move(op));
  }
  return r.Done(err);
}

bool DecodeEmpty(const std::string& payload, std::string* err) {
  if (payload.empty()) return true;
  *err = std::to_string(payload.size()) + " unexpected bytes";
  return false;
}

}  // namespace tervo::radio::wire
