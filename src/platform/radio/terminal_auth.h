// The proofs of the terminal handshake.  A terminal and the gateway share a
// secret; each side proves it knows the secret by a keyed hash over both
// sides' fresh nonces, so the secret itself never crosses the link and a
// recorded handshake is worth nothing on the next connection.  Both sides of
// the link (the gateway and the simulated terminals) use these.
#pragma once

#include <string>

namespace tervo::radio::auth {

// HMAC-SHA256(secret, "TVAUTH-T" + id padded to 8 + clientNonce + gatewayNonce).
std::string TerminalProof(const std::string& secret, const std::string& terminalId,
                          const std::string& clientNonce, const std::string& gatewayNonce);
// The same with "TVAUTH-G": the gateway's proof, returned in WELCOME.
std::string GatewayProof(const std::string& secret, const std::string& terminalId,
                         const std::string& clientNonce, const std::string& gatewayNonce);

// n bytes from the system's cryptographic random source.
std::string RandomBytes(std::size_t n);

// Compares in time that does not depend on where the texts differ.
bool SameBytes(const std::string& a, const std::string& b);

}  // namespace tervo::radio::auth
