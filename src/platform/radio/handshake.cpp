#include "platform/radio/handshake.h"

#include "platform/radio/terminal_auth.h"

namespace tervo::radio {

namespace {

std::uint16_t Seconds(int ms) {
  if (ms <= 0) return 0;
  const int s = (ms + 999) / 1000;
  return static_cast<std::uint16_t>(s > 0xFFFF ? 0xFFFF : s);
}

}  // namespace

Handshake::Step Handshake::Refuse(wire::RefusedCode code, const std::string& reason,
                                  const std::string& why, std::uint8_t version) {
  Step s;
  s.kind = Step::Kind::kRefuse;
  s.refusal = {code, reason};
  s.why = why.empty() ? reason : why;
  s.reply = {static_cast<std::uint8_t>(wire::Type::kRefused), id_,
             wire::EncodeRefused(s.refusal, version), version};
  return s;
}

Handshake::Step Handshake::Welcome(const std::string& proof) {
  welcomed_ = true;
  Step s;
  s.kind = Step::Kind::kWelcome;
  s.hello = hello_;
  std::string payload;
  if (version_ >= 2) {
    wire::Welcome w;
    w.flags = 0;
    if (authenticated_) w.flags |= wire::kWelcomeAuthenticated;
    if (encrypted_) w.flags |= wire::kWelcomeEncrypted;
    if (pinged_) {
      w.keepAliveSeconds = Seconds(gate_.timeouts.keepAliveMs);
      w.answerSeconds = Seconds(gate_.timeouts.answerMs);
    }
    w.proof = proof;
    payload = wire::EncodeWelcome(w);
  }
  s.reply = {static_cast<std::uint8_t>(wire::Type::kWelcome), id_, payload, version_};
  return s;
}

Handshake::Step Handshake::OnFrame(const wire::Frame& frame) {
  const auto type = static_cast<wire::Type>(frame.type);
  if (welcomed_) {
    return Refuse(wire::RefusedCode::kProtocol, "already welcomed", {}, version_);
  }
  if (type == wire::Type::kHello) return OnHello(frame);
  if (type == wire::Type::kAuth && challenged_) return OnAuth(frame);
  return Refuse(wire::RefusedCode::kProtocol,
                std::string(wire::TypeName(frame.type)) +
                    (challenged_ ? " instead of AUTH" : " before HELLO"),
                {}, frame.version);
}

Handshake::Step Handshake::OnHello(const wire::Frame& frame) {
  // The same HELLO again before the AUTH (a radio base that sent it twice):
  // the same CHALLENGE, so that whichever copy the terminal answers counts.
  if (challenged_ && frame.terminalId == id_ && frame.version == version_) {
    wire::Hello again;
    std::string ignored;
    if (wire::DecodeHello(frame.payload, frame.version, &again, &ignored) &&
        again.nonce == hello_.nonce) {
      Step s;
      s.kind = Step::Kind::kChallenge;
      s.reply = {static_cast<std::uint8_t>(wire::Type::kChallenge), id_,
                 wire::EncodeChallenge({wire::kAuthHmacSha256, gatewayNonce_}), version_};
      return s;
    }
  }
  // Any other HELLO starts over: a terminal that lost its place says HELLO
  // again.
  challenged_ = false;
  authenticated_ = false;
  id_ = frame.terminalId;
  version_ = frame.version;
  std::string err;
  if (!wire::DecodeHello(frame.payload, frame.version, &hello_, &err)) {
    return Refuse(wire::RefusedCode::kProtocol, "malformed HELLO: " + err, {}, version_);
  }
  if (id_.empty()) {
    return Refuse(wire::RefusedCode::kProtocol, "HELLO without a terminal id", {}, version_);
  }
  if (gate_.keys.Refresh(gate_.log) && gate_.log) {
    gate_.log("radio: key file " + gate_.keys.Path() + " read again (" +
              std::to_string(gate_.keys.TerminalCount()) + " terminal keys" +
              (gate_.keys.HasSiteKey() ? ", a site key)" : ")"));
  }
  if (gate_.keys.Required()) {
    if (version_ < 2) {
      return Refuse(wire::RefusedCode::kNotAccepted, kRefusedNeedsVersion2,
                    "protocol version 1 cannot prove a terminal secret", version_);
    }
    // Every id is challenged alike, served or not, so that the answer
    // tells a prober nothing.
    challenged_ = true;
    gatewayNonce_ = auth::RandomBytes(wire::kNonceBytes);
    Step s;
    s.kind = Step::Kind::kChallenge;
    s.reply = {static_cast<std::uint8_t>(wire::Type::kChallenge), id_,
               wire::EncodeChallenge({wire::kAuthHmacSha256, gatewayNonce_}), version_};
    return s;
  }
  if (!gate_.Serves(id_)) {
    return Refuse(wire::RefusedCode::kNotAccepted, kRefusedNotAccepted,
                  "terminal id " + id_ + " not accepted", version_);
  }
  return Welcome({});
}

Handshake::Step Handshake::OnAuth(const wire::Frame& frame) {
  challenged_ = false;
  std::string proof, err;
  if (!wire::DecodeAuth(frame.payload, &proof, &err)) {
    return Refuse(wire::RefusedCode::kProtocol, "malformed AUTH: " + err, {}, version_);
  }
  const auto secret = gate_.keys.SecretFor(id_);
  // The same work whether or not the id has a key: the time taken must not
  // tell either.
  const std::string want = auth::TerminalProof(secret ? *secret : std::string(32, '\0'), id_,
                                               hello_.nonce, gatewayNonce_);
  const bool proven = auth::SameBytes(proof, want) && secret.has_value();
  if (!proven) {
    const char* why = secret ? "wrong terminal secret"
                      : gate_.keys.GetState() == TerminalKeys::State::kLoaded
                          ? "no key for this terminal"
                          : "the key file is not usable";
    return Refuse(wire::RefusedCode::kNotAccepted, kRefusedNotAccepted,
                  std::string("authentication failed: ") + why, version_);
  }
  authenticated_ = true;
  // Proven: the terminal may now learn what it is not allowed.
  if (!gate_.Serves(id_)) {
    authenticated_ = false;
    return Refuse(wire::RefusedCode::kNotAccepted,
                  "terminal " + id_ + " is not served by this gateway",
                  "terminal id " + id_ + " not accepted", version_);
  }
  return Welcome(auth::GatewayProof(*secret, id_, hello_.nonce, gatewayNonce_));
}

}  // namespace tervo::radio
