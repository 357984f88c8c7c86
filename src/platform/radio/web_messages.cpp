#include "platform/radio/web_messages.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <limits>

#include "platform/os/windows1252.h"

namespace tervo::radio::web {

namespace {

struct OpName {
  OpCode code;
  const char* name;
};
const OpName kOps[] = {
    {OpCode::kCls, "cls"},
    {OpCode::kNewLine, "newLine"},
    {OpCode::kWaitChar, "waitChar"},
    {OpCode::kHardReset, "hardReset"},
    {OpCode::kGetCheckEnter, "getCheckEnter"},
    {OpCode::kPrintString, "printString"},
    {OpCode::kPrintInverse, "printInverse"},
    {OpCode::kPrintLarge, "printLarge"},
    {OpCode::kSay, "say"},
    {OpCode::kScroll, "scroll"},
    {OpCode::kNoSay, "noSay"},
    {OpCode::kGetText, "getText"},
    {OpCode::kRead, "read"},
    {OpCode::kDelay, "delay"},
    {OpCode::kBeep, "beep"},
    {OpCode::kCapsLock, "capsLock"},
    {OpCode::kSetLargeFunctionKeys, "setLargeFunctionKeys"},
    {OpCode::kChangeScreenAttributes, "changeScreenAttributes"},
};

// Which arguments each operation carries, by JSON name: text, text2 and
// the integers a, b, c of ScreenOp.
struct OpArgs {
  const char* text = nullptr;
  const char* text2 = nullptr;
  const char* a = nullptr;
  const char* b = nullptr;
  const char* c = nullptr;
};
OpArgs ArgsOf(OpCode code) {
  switch (code) {
    case OpCode::kPrintString:
    case OpCode::kPrintInverse:
    case OpCode::kPrintLarge:
    case OpCode::kSay:
      return {"text"};
    case OpCode::kScroll:
      return {"text", "text2"};
    case OpCode::kNoSay:
      return {nullptr, nullptr, "size"};
    case OpCode::kGetText:
      return {"text", nullptr, "size", "attributes"};
    case OpCode::kDelay:
      return {nullptr, nullptr, "units"};
    case OpCode::kBeep:
      return {nullptr, nullptr, "frequency", "duration"};
    case OpCode::kCapsLock:
      return {nullptr, nullptr, "on"};
    case OpCode::kSetLargeFunctionKeys:
      return {"legend", nullptr, "width"};
    case OpCode::kChangeScreenAttributes:
      return {nullptr, nullptr, "format", "item", "attributes"};
    default:
      return {};
  }
}

QString Text(const std::string& bytes) { return os::FromWindows1252(bytes); }

std::string Json(const QJsonObject& o) {
  return QJsonDocument(o).toJson(QJsonDocument::Compact).toStdString();
}

// Field readers; the first fault is kept in err_.
class Fields {
 public:
  explicit Fields(const QJsonObject& o) : o_(o) {}

  bool Int(const char* key, std::int64_t min, std::int64_t max, std::int64_t* out,
           bool required = true) {
    const QJsonValue v = o_.value(QLatin1String(key));
    if (v.isUndefined()) {
      if (required) return Fail(std::string("\"") + key + "\" missing");
      return true;
    }
    const double d = v.toDouble(std::numeric_limits<double>::quiet_NaN());
    if (!v.isDouble() || std::isnan(d) || d != std::floor(d) || d < static_cast<double>(min) ||
        d > static_cast<double>(max))
      return Fail(std::string("\"") + key + "\" is not a whole number from " + std::to_string(min) +
                  " to " + std::to_string(max));
    *out = static_cast<std::int64_t>(d);
    return true;
  }
  // Text in Windows-1252; lossy: characters it lacks become "?" (what an
  // operator typed), else such a character is a fault (names the gateway
  // gave).
  bool Str(const char* key, std::string* out, bool lossy, bool required = true) {
    const QJsonValue v = o_.value(QLatin1String(key));
    if (v.isUndefined()) {
      if (required) return Fail(std::string("\"") + key + "\" missing");
      return true;
    }
    if (!v.isString()) return Fail(std::string("\"") + key + "\" is not a string");
    if (lossy) {
      *out = os::ToWindows1252Lossy(v.toString());
      return true;
    }
    std::string e;
    if (!os::ToWindows1252(v.toString(), out, &e))
      return Fail(std::string("\"") + key + "\": " + e);
    return true;
  }
  bool Bytes(const char* key, std::size_t size, std::string* out, bool required = true) {
    const QJsonValue v = o_.value(QLatin1String(key));
    if (v.isUndefined() && !required) return true;
    if (!v.isString() || !FromHex(v.toString().toStdString(), out) ||
        (size > 0 && out->size() != size))
      return Fail(std::string("\"") + key + "\" is not " + std::to_string(size) + " bytes in hex");
    return true;
  }
  bool Bool(const char* key, bool* out) {
    const QJsonValue v = o_.value(QLatin1String(key));
    if (v.isUndefined()) return true;
    if (!v.isBool()) return Fail(std::string("\"") + key + "\" is not true or false");
    *out = v.toBool();
    return true;
  }
  bool Fail(std::string why) {
    if (err_.empty()) err_ = std::move(why);
    return false;
  }
  const std::string& Error() const { return err_; }

 private:
  const QJsonObject& o_;
  std::string err_;
};

QJsonObject OpToJson(const ScreenOp& op) {
  QJsonObject o;
  for (const auto& n : kOps)
    if (n.code == op.code) o.insert("op", n.name);
  const OpArgs args = ArgsOf(op.code);
  if (args.text) o.insert(args.text, Text(op.text));
  if (args.text2) o.insert(args.text2, Text(op.text2));
  if (args.a) o.insert(args.a, op.a);
  if (args.b) o.insert(args.b, op.b);
  if (args.c) o.insert(args.c, op.c);
  return o;
}

bool OpFromJson(const QJsonValue& v, ScreenOp* op, std::string* err) {
  if (!v.isObject()) {
    *err = "an operation is not an object";
    return false;
  }
  const QJsonObject o = v.toObject();
  const QString name = o.value("op").toString();
  bool known = false;
  for (const auto& n : kOps) {
    if (name == QLatin1String(n.name)) {
      op->code = n.code;
      known = true;
    }
  }
  if (!known) {
    *err = "unknown operation \"" + name.toStdString() + "\"";
    return false;
  }
  const OpArgs args = ArgsOf(op->code);
  Fields f(o);
  constexpr std::int64_t lo = std::numeric_limits<std::int32_t>::min();
  constexpr std::int64_t hi = std::numeric_limits<std::int32_t>::max();
  std::int64_t a = 0, b = 0, c = 0;
  const bool ok = (!args.text || f.Str(args.text, &op->text, false)) &&
                  (!args.text2 || f.Str(args.text2, &op->text2, false)) &&
                  (!args.a || f.Int(args.a, lo, hi, &a)) &&
                  (!args.b || f.Int(args.b, lo, hi, &b)) && (!args.c || f.Int(args.c, lo, hi, &c));
  if (!ok) {
    *err = name.toStdString() + ": " + f.Error();
    return false;
  }
  op->a = static_cast<std::int32_t>(a);
  op->b = static_cast<std::int32_t>(b);
  op->c = static_cast<std::int32_t>(c);
  return true;
}

bool ScreenToJson(const std::string& payload, QJsonObject* o, std::string* err) {
  ScreenProgram p;
  if (!wire::DecodeScreen(payload, &p, err)) return false;
  o->insert("sequence", static_cast<double>(p.sequence));
  o->insert("name", Text(p.name));
  o->insert("format", p.format);
  o->insert("answerCode", p.answerCode);
  QJsonArray ops;
  for (const ScreenOp& op : p.ops) ops.append(OpToJson(op));
  o->insert("ops", ops);
  return true;
}

}  // namespace

std::string Hex(const std::string& bytes) {
  static const char* const kDigits = "0123456789abcdef";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (unsigned char c : bytes) {
    out.push_back(kDigits[c >> 4]);
    out.push_back(kDigits[c & 15]);
  }
  return out;
}

bool FromHex(std::string_view hex, std::string* bytes) {
  auto digit = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  if (hex.size() % 2 != 0) return false;
  bytes->clear();
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    const int hi = digit(hex[i]), lo = digit(hex[i + 1]);
    if (hi < 0 || lo < 0) return false;
    bytes->push_back(static_cast<char>(hi * 16 + lo));
  }
  return true;
}

bool ToJson(const wire::Frame& frame, From from, std::string* json, std::string* err) {
  using wire::Type;
  const auto type = static_cast<Type>(frame.type);
  QJsonObject o;
  auto named = [&](const char* name) { o.insert("type", name); };
  if (from == From::kGateway) {
    switch (type) {
      case Type::kWelcome: {
        wire::Welcome w;
        if (!wire::DecodeWelcome(frame.payload, &w, err)) return false;
        named("welcome");
        o.insert("flags", static_cast<double>(w.flags));
        o.insert("keepAlive", w.keepAliveSeconds);
        o.insert("answerTime", w.answerSeconds);
        o.insert("proof", QString::fromStdString(Hex(w.proof)));
        break;
      }
      case Type::kRefused: {
        wire::Refusal r;
        if (!wire::DecodeRefused(frame.payload, frame.version, &r, err)) return false;
        named("refused");
        o.insert("code", static_cast<int>(r.code));
        o.insert("reason", Text(r.reason));
        break;
      }
      case Type::kChallenge: {
        wire::Challenge c;
        if (!wire::DecodeChallenge(frame.payload, &c, err)) return false;
        named("challenge");
        o.insert("method", c.method);
        o.insert("nonce", QString::fromStdString(Hex(c.nonce)));
        break;
      }
      case Type::kScreen:
        named("screen");
        if (!ScreenToJson(frame.payload, &o, err)) return false;
        break;
      case Type::kReset:
        named("reset");
        break;
      case Type::kGatewayPing:
        named("ping");
        break;
      case Type::kGatewayPong:
        named("pong");
        break;
      default:
        *err = std::string(wire::TypeName(frame.type)) + " has no JSON form";
        return false;
    }
    *json = Json(o);
    return true;
  }
  switch (type) {
    case Type::kHello: {
      wire::Hello h;
      if (!wire::DecodeHello(frame.payload, frame.version, &h, err)) return false;
      named("hello");
      o.insert("id", Text(frame.terminalId));
      o.insert("width", h.displayWidth);
      o.insert("lines", h.displayLines);
      o.insert("battery", h.battery);
      o.insert("client", Text(h.client));
      o.insert("features", static_cast<double>(h.features));
      o.insert("nonce", QString::fromStdString(Hex(h.nonce)));
      break;
    }
    case Type::kAuth:
      named("auth");
      o.insert("proof", QString::fromStdString(Hex(frame.payload)));
      break;
    case Type::kStart:
      named("start");
      break;
    case Type::kRequest:
    case Type::kMessage: {
      std::string text;
      if (!wire::DecodeText(frame.payload, 0xFFFF, &text, err)) return false;
      named(type == Type::kRequest ? "request" : "message");
      o.insert(type == Type::kRequest ? "name" : "text", Text(text));
      break;
    }
    case Type::kAnswer: {
      Answer a;
      if (!wire::DecodeAnswer(frame.payload, &a, err)) return false;
      named("answer");
      o.insert("sequence", static_cast<double>(a.sequence));
      o.insert("name", Text(a.screenName));
      o.insert("chosen", a.chosen);
      o.insert("sendKey", a.sendKey);
      o.insert("battery", a.battery);
      QJsonArray values;
      for (const auto& v : a.values) values.append(Text(v));
      o.insert("values", values);
      break;
    }
    case Type::kPing:
      named("ping");
      break;
    case Type::kPong:
      named("pong");
      break;
    default:
      *err = std::string(wire::TypeName(frame.type)) + " has no JSON form";
      return false;
  }
  *json = Json(o);
  return true;
}

ReadResult FromJson(std::string_view json, From from, wire::Frame* frame, std::string* err) {
  using wire::Type;
  QJsonParseError pe;
  const QJsonDocument doc =
      QJsonDocument::fromJson(QByteArray(json.data(), static_cast<qsizetype>(json.size())), &pe);
  if (pe.error != QJsonParseError::NoError) {
    *err =
        "not JSON: " + pe.errorString().toStdString() + " at offset " + std::to_string(pe.offset);
    return ReadResult::kBroken;
  }
  if (!doc.isObject()) {
    *err = "not a JSON object";
    return ReadResult::kBroken;
  }
  const QJsonObject o = doc.object();
  const QString type = o.value("type").toString();
  Fields f(o);
  wire::Frame out;
  out.version = wire::kVersion;
  auto done = [&](Type t, std::string payload) {
    out.type = static_cast<std::uint8_t>(t);
    out.payload = std::move(payload);
    if (out.payload.size() > wire::kMaxPayload) {
      *err = type.toStdString() + ": payload of " + std::to_string(out.payload.size()) +
             " bytes exceeds " + std::to_string(wire::kMaxPayload);
      return ReadResult::kMalformed;
    }
    *frame = std::move(out);
    return ReadResult::kOk;
  };
  auto malformed = [&](const std::string& why) {
    *err = type.toStdString() + ": " + why;
    return ReadResult::kMalformed;
  };
  // Everything is checked as the binary decoder would check it, so that a
  // message is refused here for the reason a frame would be.
  auto checked = [&](Type t, std::string payload) {
    std::string why;
    bool ok = true;
    switch (t) {
      case Type::kHello: {
        wire::Hello h;
        ok = wire::DecodeHello(payload, wire::kVersion, &h, &why);
        break;
      }
      case Type::kAnswer: {
        Answer a;
        ok = wire::DecodeAnswer(payload, &a, &why);
        break;
      }
      case Type::kRequest:
      case Type::kMessage: {
        std::string text;
        ok = wire::DecodeText(payload,
                              t == Type::kRequest ? wire::kMaxScreenName : wire::kMaxMessageText,
                              &text, &why);
        break;
      }
      case Type::kScreen: {
        ScreenProgram p;
        ok = wire::DecodeScreen(payload, &p, &why);
        break;
      }
      case Type::kRefused: {
        wire::Refusal r;
        ok = wire::DecodeRefused(payload, wire::kVersion, &r, &why);
        break;
      }
      case Type::kWelcome: {
        wire::Welcome w;
        ok = wire::DecodeWelcome(payload, &w, &why);
        break;
      }
      case Type::kChallenge: {
        wire::Challenge c;
        ok = wire::DecodeChallenge(payload, &c, &why);
        break;
      }
      default:
        break;
    }
    return ok ? done(t, std::move(payload)) : malformed(why);
  };

  if (from == From::kTerminal) {
    if (type == "hello") {
      wire::Hello h;
      std::int64_t width = 20, lines = 0, battery = -1, features = 0;
      std::string id;
      if (!f.Str("id", &id, false) || !f.Int("width", 1, 0xFFFF, &width, false) ||
          !f.Int("lines", 0, 0xFFFF, &lines, false) ||
          !f.Int("battery", -1, std::numeric_limits<std::int32_t>::max(), &battery, false) ||
          !f.Str("client", &h.client, true, false) ||
          !f.Int("features", 0, 0xFFFFFFFFLL, &features, false) ||
          !f.Bytes("nonce", wire::kNonceBytes, &h.nonce))
        return malformed(f.Error());
      // Trailing blanks are padding in the frame header; the id is what is left.
      while (!id.empty() && id.back() == ' ') id.pop_back();
      if (id.size() > wire::kIdBytes) return malformed("\"id\" longer than 8 characters");
      for (unsigned char c : id)
        if (c < 0x20 || c == 0x7F) return malformed("\"id\" holds a control character");
      h.displayWidth = static_cast<std::uint16_t>(width);
      h.displayLines = static_cast<std::uint16_t>(lines);
      h.battery = static_cast<std::int32_t>(battery);
      h.features = static_cast<std::uint32_t>(features);
      out.terminalId = id;
      return checked(Type::kHello, wire::EncodeHello(h, wire::kVersion));
    }
    if (type == "auth") {
      std::string proof;
      if (!f.Bytes("proof", wire::kProofBytes, &proof)) return malformed(f.Error());
      return done(Type::kAuth, wire::EncodeAuth(proof));
    }
    if (type == "start") return done(Type::kStart, {});
    if (type == "ping") return done(Type::kPing, {});
    if (type == "pong") return done(Type::kPong, {});
    if (type == "request" || type == "message") {
      std::string text;
      if (!f.Str(type == "request" ? "name" : "text", &text, type == "message"))
        return malformed(f.Error());
      return checked(type == "request" ? Type::kRequest : Type::kMessage, wire::EncodeText(text));
    }
    if (type == "answer") {
      Answer a;
      std::int64_t sequence = 0, chosen = 0, battery = -1;
      if (!f.Int("sequence", 0, 0xFFFFFFFFLL, &sequence) || !f.Str("name", &a.screenName, false) ||
          !f.Int("chosen", std::numeric_limits<std::int32_t>::min(),
                 std::numeric_limits<std::int32_t>::max(), &chosen) ||
          !f.Bool("sendKey", &a.sendKey) ||
          !f.Int("battery", -1, std::numeric_limits<std::int32_t>::max(), &battery, false))
        return malformed(f.Error());
      const QJsonValue values = o.value("values");
      if (!values.isArray()) return malformed("\"values\" is not an array");
      const QJsonArray array = values.toArray();
      if (static_cast<std::size_t>(array.size()) > wire::kMaxValues)
        return malformed("more than " + std::to_string(wire::kMaxValues) + " values");
      for (const QJsonValue& v : array) {
        if (!v.isString()) return malformed("a value is not a string");
        a.values.push_back(os::ToWindows1252Lossy(v.toString()));
      }
      a.sequence = static_cast<std::uint32_t>(sequence);
      a.chosen = static_cast<std::int32_t>(chosen);
      a.battery = static_cast<std::int32_t>(battery);
      return checked(Type::kAnswer, wire::EncodeAnswer(a));
    }
  } else {
    if (type == "welcome") {
      wire::Welcome w;
      std::int64_t flags = 0, keepAlive = 0, answer = 0;
      if (!f.Int("flags", 0, 0xFFFFFFFFLL, &flags) || !f.Int("keepAlive", 0, 0xFFFF, &keepAlive) ||
          !f.Int("answerTime", 0, 0xFFFF, &answer) || !f.Bytes("proof", 0, &w.proof, false))
        return malformed(f.Error());
      w.flags = static_cast<std::uint32_t>(flags);
      w.keepAliveSeconds = static_cast<std::uint16_t>(keepAlive);
      w.answerSeconds = static_cast<std::uint16_t>(answer);
      return checked(Type::kWelcome, wire::EncodeWelcome(w));
    }
    if (type == "refused") {
      std::int64_t code = 0;
      wire::Refusal r;
      if (!f.Int("code", 0, 255, &code) || !f.Str("reason", &r.reason, true))
        return malformed(f.Error());
      r.code = static_cast<wire::RefusedCode>(code);
      return checked(Type::kRefused, wire::EncodeRefused(r, wire::kVersion));
    }
    if (type == "challenge") {
      std::int64_t method = 0;
      wire::Challenge c;
      if (!f.Int("method", 0, 255, &method) || !f.Bytes("nonce", wire::kNonceBytes, &c.nonce))
        return malformed(f.Error());
      c.method = static_cast<std::uint8_t>(method);
      return checked(Type::kChallenge, wire::EncodeChallenge(c));
    }
    if (type == "screen") {
      ScreenProgram p;
      std::int64_t sequence = 0, format = 0, answerCode = 0;
      if (!f.Int("sequence", 0, 0xFFFFFFFFLL, &sequence) || !f.Str("name", &p.name, false) ||
          !f.Int("format", std::numeric_limits<std::int32_t>::min(),
                 std::numeric_limits<std::int32_t>::max(), &format) ||
          !f.Int("answerCode", std::numeric_limits<std::int32_t>::min(),
                 std::numeric_limits<std::int32_t>::max(), &answerCode))
        return malformed(f.Error());
      const QJsonValue ops = o.value("ops");
      if (!ops.isArray()) return malformed("\"ops\" is not an array");
      for (const QJsonValue& v : ops.toArray()) {
        ScreenOp op;
        std::string why;
        if (!OpFromJson(v, &op, &why)) return malformed(why);
        p.ops.push_back(std::move(op));
      }
      p.sequence = static_cast<std::uint32_t>(sequence);
      p.format = static_cast<std::int32_t>(format);
      p.answerCode = static_cast<std::int32_t>(answerCode);
      std::string payload, why;
      if (!wire::EncodeScreen(p, &payload, &why)) return malformed(why);
      return checked(Type::kScreen, std::move(payload));
    }
    if (type == "reset") return done(Type::kReset, {});
    if (type == "ping") return done(Type::kGatewayPing, {});
    if (type == "pong") return done(Type::kGatewayPong, {});
  }
  if (!o.value("type").isString()) {
    *err = "no \"type\"";
    return ReadResult::kBroken;
  }
  // A newer client's message: dropped, as the link drops an unknown frame.
  *err = "unknown message type \"" + type.toStdString() + "\"";
  return ReadResult::kMalformed;
}

}  // namespace tervo::radio::web
