// TLS for the terminals' link: the certificate files the gateway serves
// with, and the client side the simulator uses.  Kept apart from any one
// transport: a socket server, a WebSocket server in secure mode, or a
// client all take the QSslConfiguration built here.
#pragma once

#include <QSslConfiguration>
#include <string>

namespace tervo::radio {

struct TlsFiles {
  std::string certificate;  // PEM: the gateway's certificate (chain); empty: no TLS
  std::string key;          // PEM: its private key, not encrypted
  // PEM: certificate authorities of the terminals' own certificates.  When
  // set, a terminal must present a certificate one of them signed.
  std::string clientCa;
  bool Enabled() const { return !certificate.empty(); }
};

// The server side.  False with *err when a file cannot be read or holds no
// certificate or key.  (A key that does not belong to the certificate shows
// as failed handshakes in the log.)
bool ServerTlsConfiguration(const TlsFiles& files, QSslConfiguration* out, std::string* err);

// The terminal side: the gateway is verified against the authorities in
// caFile (empty: the system's); certFile and keyFile, when given, are the
// terminal's own certificate.
bool ClientTlsConfiguration(const std::string& caFile, const std::string& certFile,
                            const std::string& keyFile, QSslConfiguration* out, std::string* err);

}  // namespace tervo::radio
