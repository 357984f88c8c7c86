#include "platform/radio/tls_setup.h"

#include <QFile>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslSocket>

namespace tervo::radio {

namespace {

bool ReadFile(const std::string& path, QByteArray* out, std::string* err) {
  QFile f(QString::fromStdString(path));
  if (!f.open(QIODevice::ReadOnly)) {
    *err = "cannot read " + path + ": " + f.errorString().toStdString();
    return false;
  }
  *out = f.readAll();
  return true;
}

bool Certificates(const std::string& path, QList<QSslCertificate>* out, std::string* err) {
  QByteArray pem;
  if (!ReadFile(path, &pem, err)) return false;
  *out = QSslCertificate::fromData(pem, QSsl::Pem);
  if (out->isEmpty()) {
    *err = path + " holds no PEM certificate";
    return false;
  }
  return true;
}

bool PrivateKey(const std::string& path, QSslKey* out, std::string* err) {
  QByteArray pem;
  if (!ReadFile(path, &pem, err)) return false;
  for (QSsl::KeyAlgorithm a : {QSsl::Rsa, QSsl::Ec, QSsl::Dsa}) {
    QSslKey key(pem, a, QSsl::Pem, QSsl::PrivateKey);
    if (!key.isNull()) {
      *out = key;
      return true;
    }
  }
  *err = path + " holds no PEM private key (encrypted keys are not read)";
  return false;
}

bool Supported(std::string* err) {
  if (QSslSocket::supportsSsl()) return true;
  *err = "TLS is not available (no OpenSSL library for Qt)";
  return false;
}

}  // namespace

bool ServerTlsConfiguration(const TlsFiles& files, QSslConfiguration* out, std::string* err) {
  if (!Supported(err)) return false;
  QList<QSslCertificate> chain;
  QSslKey key;
  if (!Certificates(files.certificate, &chain, err)) return false;
  if (files.key.empty()) {
    *err = "a TLS certificate needs its key file";
    return false;
  }
  if (!PrivateKey(files.key, &key, err)) return false;
  QSslConfiguration conf = QSslConfiguration::defaultConfiguration();
  conf.setLocalCertificateChain(chain);
  conf.setPrivateKey(key);
  conf.setProtocol(QSsl::TlsV1_2OrLater);
  if (!files.clientCa.empty()) {
    QList<QSslCertificate> cas;
    if (!Certificates(files.clientCa, &cas, err)) return false;
    conf.setCaCertificates(cas);
    conf.setPeerVerifyMode(QSslSocket::VerifyPeer);
  } else {
    conf.setPeerVerifyMode(QSslSocket::VerifyNone);
  }
  *out = conf;
  return true;
}

bool ClientTlsConfiguration(const std::string& caFile, const std::string& certFile,
                            const std::string& keyFile, QSslConfiguration* out, std::string* err) {
  if (!Supported(err)) return false;
  QSslConfiguration conf = QSslConfiguration::defaultConfiguration();
  conf.setProtocol(QSsl::TlsV1_2OrLater);
  conf.setPeerVerifyMode(QSslSocket::VerifyPeer);
  if (!caFile.empty()) {
    QList<QSslCertificate> cas;
    if (!Certificates(caFile, &cas, err)) return false;
    conf.setCaCertificates(cas);
  }
  if (!certFile.empty()) {
    QList<QSslCertificate> chain;
    QSslKey key;
    if (!Certificates(certFile, &chain, err)) return false;
    if (!PrivateKey(keyFile.empty() ? certFile : keyFile, &key, err)) return false;
    conf.setLocalCertificateChain(chain);
    conf.setPrivateKey(key);
  }
  *out = conf;
  return true;
}

}  // namespace tervo::radio
