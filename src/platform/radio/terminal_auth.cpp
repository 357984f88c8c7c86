#include "platform/radio/terminal_auth.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>

namespace tervo::radio::auth {

namespace {

std::string Proof(const char* label, const std::string& secret, const std::string& terminalId,
                  const std::string& clientNonce, const std::string& gatewayNonce) {
  std::string id = terminalId.substr(0, 8);
  id.resize(8, ' ');
  QMessageAuthenticationCode mac(QCryptographicHash::Sha256,
                                 QByteArray(secret.data(), static_cast<qsizetype>(secret.size())));
  const std::string message = label + id + clientNonce + gatewayNonce;
  mac.addData(message.data(), static_cast<qsizetype>(message.size()));
  const QByteArray r = mac.result();
  return std::string(r.constData(), static_cast<std::size_t>(r.size()));
}

}  // namespace

std::string TerminalProof(const std::string& secret, const std::string& terminalId,
                          const std::string& clientNonce, const std::string& gatewayNonce) {
  return Proof("TVAUTH-T", secret, terminalId, clientNonce, gatewayNonce);
}

std::string GatewayProof(const std::string& secret, const std::string& terminalId,
                         const std::string& clientNonce, const std::string& gatewayNonce) {
  return Proof("TVAUTH-G", secret, terminalId, clientNonce, gatewayNonce);
}

std::string RandomBytes(std::size_t n) {
  std::string out(n, '\0');
  auto* g = QRandomGenerator::system();
  for (char& c : out) c = static_cast<char>(g->bounded(256));
  return out;
}

bool SameBytes(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  unsigned char diff = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    diff |= static_cast<unsigned char>(a[i] ^ b[i]);
  }
  return diff == 0;
}

}  // namespace tervo::radio::auth
