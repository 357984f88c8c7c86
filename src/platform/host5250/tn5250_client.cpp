#include "platform/host5250/tn5250_client.h"

#include <QFile>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTcpSocket>

#include "platform/host5250/device_name.h"
#include "platform/host5250/system_address.h"

#include <QTimer>

namespace tervo::host5250 {

Tn5250Client::Tn5250Client(QObject* parent) : QObject(parent) {
  link_.name = "TN5250";
  keyboard_.Locked = true;
}

Tn5250Client::~Tn5250Client() {
  ++generation_;
  if (socket_) {
    socket_->disconnect(this);
    socket_->abort();
    delete socket_.data();
  }
}

void Tn5250Client::SetLogger(std::function<void(const std::string&)> log) {
  log_ = log;
  session_.SetLogger(std::move(log));
}

bool Tn5250Client::IsConnected() const {
  return socket_ && socket_->state() == QAbstractSocket::ConnectedState;
}

bool Tn5250Client::Connect(std::string* err) {
  SystemAddress address;
  const std::string& system = fixed_system_.empty() ? link_.SelectedSystemName : fixed_system_;
  if (!ParseSystemAddress(system, &address, err)) return false;
  QList<QSslCertificate> extraCas;
  if (address.tls) {
    if (!QSslSocket::supportsSsl()) {
      if (err) *err = "TLS is not available on this computer";
      return false;
    }
    if (!ca_file_.empty()) {
      QFile f(QString::fromStdString(ca_file_));
      if (!f.open(QIODevice::ReadOnly)) {
        if (err) *err = "Cannot read CA file " + ca_file_;
        return false;
      }
      extraCas = QSslCertificate::fromData(f.readAll(), QSsl::Pem);
      if (extraCas.isEmpty()) {
        if (err) *err = "No certificate in CA file " + ca_file_;
        return false;
      }
    }
  }
  Disconnect();
  session_.Restart();
  // A name the host would refuse is not offered; the host then picks one.
  std::string device, why;
  if (!link_.DeviceName.empty() && !ValidDeviceName(link_.DeviceName, &device, &why)) Log(why);
  session_.SetDeviceName(device);
  lost_reported_ = false;
  tls_errors_.clear();
  keyboard_.Locked = true;
  const unsigned gen = ++generation_;
  QTcpSocket* socket = nullptr;
  if (address.tls) {
    auto* ssl = new QSslSocket(this);
    QSslConfiguration conf = QSslConfiguration::defaultConfiguration();
    conf.setPeerVerifyMode(QSslSocket::VerifyPeer);
    if (!extraCas.isEmpty()) conf.addCaCertificates(extraCas);
    ssl->setSslConfiguration(conf);
    connect(ssl, &QSslSocket::sslErrors, this, [this](const QList<QSslError>& errors) {
      for (const QSslError& e : errors) {
        if (!tls_errors_.empty()) tls_errors_ += "; ";
        tls_errors_ += e.errorString().toStdString();
      }
    });
    socket = ssl;
  } else {
    socket = new QTcpSocket(this);
  }
  socket_ = socket;
  connect(socket, &QTcpSocket::readyRead, this, [this, gen] {
    if (gen == generation_) OnReadyRead();
  });
  connect(socket, &QTcpSocket::disconnected, this, [this, gen] {
    if (gen == generation_) OnLost("Host closed the connection");
  });
  connect(socket, &QAbstractSocket::errorOccurred, this, [this, gen, socket](QAbstractSocket::SocketError e) {
    if (gen != generation_) return;
    if (e == QAbstractSocket::RemoteHostClosedError) {
      OnLost("Host closed the connection");
    } else if (!tls_errors_.empty()) {
      OnLost("TLS certificate refused: " + tls_errors_);
    } else if (e == QAbstractSocket::ConnectionRefusedError) {
      OnLost("connection refused");
    } else if (e == QAbstractSocket::HostNotFoundError) {
      OnLost("host not found");
    } else if (e == QAbstractSocket::SocketTimeoutError) {
      OnLost("time-out");
    } else {
      OnLost(socket->errorString().toStdString());
    }
  });
  QTimer::singleShot(kConnectTimeoutMs, this, [this, gen] {
    if (gen == generation_ && socket_ && socket_->state() != QAbstractSocket::ConnectedState) {
      OnLost("time-out: no answer from the host within " +
             std::to_string(kConnectTimeoutMs / 1000) + " s");
      socket_->abort();
    }
  });
  Log("Connecting to " + address.host + ":" + std::to_string(address.port) + (address.tls ? " (TLS)" : ""));
  if (address.tls) {
    static_cast<QSslSocket*>(socket)->connectToHostEncrypted(QString::fromStdString(address.host),
                                                             static_cast<quint16>(address.port));
  } else {
    socket->connectToHost(QString::fromStdString(address.host), static_cast<quint16>(address.port));
  }
  return true;
}

void Tn5250Client::Disconnect() {
  ++generation_;
  if (socket_) {
    QTcpSocket* s = socket_.data();
    s->disconnect(this);
    s->abort();
    s->deleteLater();
    socket_ = nullptr;
  }
  keyboard_.Locked = true;
}

void Tn5250Client::OnReadyRead() {
  if (!socket_) return;
  const QByteArray data = socket_->readAll();
  session_.Receive(data.constData(), static_cast<std::size_t>(data.size()));
  Flush();
  PostEvents();
}

void Tn5250Client::Flush() {
  const std::string out = session_.TakeOutput();
  if (!out.empty() && socket_) socket_->write(out.data(), static_cast<qint64>(out.size()));
}

void Tn5250Client::OnLost(const std::string& message) {
  if (lost_reported_) return;
  lost_reported_ = true;
  Log("Host session lost: " + message);
  keyboard_.Locked = true;
  const unsigned gen = generation_;
  QMetaObject::invokeMethod(
      this,
      [this, gen, message] {
        if (gen != generation_) return;
        std::string m = message;
        if (events_.Disconnected) events_.Disconnected(m);
      },
      Qt::QueuedConnection);
}

void Tn5250Client::PostEvents() {
  keyboard_.Locked = session_.InputInhibited();
  const bool screen = session_.newScreen;
  const bool keyboard = session_.keyboardChanged;
  session_.newScreen = false;
  session_.keyboardChanged = false;
  if (!screen && !keyboard) return;
  const unsigned gen = generation_;
  QMetaObject::invokeMethod(
      this,
      [this, gen, screen, keyboard] {
        if (gen != generation_) return;
        if (keyboard && events_.KeyboardStatus) events_.KeyboardStatus();
        if (gen != generation_) return;  // a handler may have disconnected
        if (screen && events_.ReadyToSend) events_.ReadyToSend(true);
      },
      Qt::QueuedConnection);
}

bool Tn5250Client::SendKeys(const std::string& keys, std::string* err) {
  session_.autoReset = keyboard_.AutoReset;
  if (!IsConnected()) {
    if (err) *err = "Host session not connected";
    return false;
  }
  const bool ok = session_.SendKeys(keys, err);
  Flush();
  PostEvents();
  return ok;
}

bool Tn5250Client::InputInhibited() const { return !IsConnected() || session_.InputInhibited(); }

std::string Tn5250Client::ReadText(int row, int column, int length) const {
  return session_.ReadText(row, column, length);
}

int Tn5250Client::CursorRow() const { return session_.GetScreen().Cursor() / Screen::kColumns + 1; }
int Tn5250Client::CursorColumn() const { return session_.GetScreen().Cursor() % Screen::kColumns + 1; }

}  // namespace tervo::host5250
