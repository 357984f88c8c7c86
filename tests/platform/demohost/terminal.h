// A TN5250 terminal for end-to-end tests: the project's client session over
// a real loopback socket, with helpers that run the event loop until the
// screen shows what a test waits for (tiny real timeouts, never seconds of
// sleep).
#pragma once

#include <QElapsedTimer>
#include <QEventLoop>
#include <QHostAddress>
#include <QTcpSocket>
#include <QTimer>

#include <functional>
#include <string>

#include "platform/host5250/tn5250_session.h"

namespace tervo::demohost::testing {

class Terminal {
 public:
  Terminal(quint16 port, const std::string& device) {
    if (!device.empty()) session.SetDeviceName(device);
    QObject::connect(&socket, &QTcpSocket::readyRead, [this] {
      const QByteArray b = socket.readAll();
      session.Receive(b.constData(), static_cast<std::size_t>(b.size()));
      Flush();
    });
    socket.connectToHost(QHostAddress::LocalHost, port);
  }

  static bool WaitFor(const std::function<bool()>& done, int ms = 5000) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
      if (t.elapsed() > ms) return false;
      QEventLoop loop;
      QTimer::singleShot(2, &loop, &QEventLoop::quit);
      loop.exec();
    }
    return true;
  }

  // Waits until the keyboard is unlocked and the screen shows text.
  bool WaitReady(const std::string& text) {
    return WaitFor([&] { return !session.InputInhibited() && Shows(text); });
  }

  bool Keys(const std::string& keys, std::string* err = nullptr) {
    std::string e;
    const bool ok = session.SendKeys(keys, &e);
    if (err) *err = e;
    Flush();
    return ok;
  }

  std::string Row(int r) const { return session.ReadText(r, 1, 80); }
  std::string Message() const { return Row(25); }
  bool Shows(const std::string& text) const {
    for (int r = 1; r <= 25; ++r)
      if (Row(r).find(text) != std::string::npos) return true;
    return false;
  }
  std::string Dump() const {
    std::string s;
    for (int r = 1; r <= 25; ++r) s += Row(r) + "\n";
    return s;
  }
  bool Closed() const { return socket.state() == QAbstractSocket::UnconnectedState; }

  host5250::Tn5250Session session;
  QTcpSocket socket;
  // Plays a terminal that never answers Save Screen.
  bool dropSavedScreens = false;

 private:
  void Flush() {
    const std::string out = session.TakeOutput();
    // A record's opcode is byte 9 of its header.
    if (dropSavedScreens && out.size() > 9 && static_cast<std::uint8_t>(out[9]) == 0x04) return;
    if (!out.empty()) socket.write(out.data(), static_cast<qint64>(out.size()));
  }
};

}  // namespace tervo::demohost::testing
