#include "platform/radio/sim_links.h"

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tervo::radio::sim {

namespace {

std::string Encoded(const wire::Frame& frame) {
  std::string bytes, err;
  if (!wire::EncodeFrame(frame, &bytes, &err)) return {};
  return bytes;
}

}  // namespace

// --- TCP/IP

SimTcpClient::SimTcpClient(SimTerminal& terminal, std::string host, quint16 port)
    : terminal_(terminal), host_(std::move(host)), port_(port) {
  terminal_.SetSender([this](const wire::Frame& f) { WriteRaw(Encoded(f)); });
  terminal_.SetOnHangUp([this] { socket_.abort(); });
  QObject::connect(&socket_, &QTcpSocket::connected, &socket_, [this] {
    if (!tls_) terminal_.SayHello();
  });
  QObject::connect(&socket_, &QSslSocket::encrypted, &socket_, [this] { terminal_.SayHello(); });
  QObject::connect(&socket_, &QSslSocket::sslErrors, &socket_,
                   [this](const QList<QSslError>& errors) {
                     error_.clear();
                     for (const QSslError& e : errors) {
                       error_ += (error_.empty() ? "" : "; ") + e.errorString().toStdString();
                     }
                   });
  QObject::connect(&socket_, &QAbstractSocket::errorOccurred, &socket_,
                   [this](QAbstractSocket::SocketError) {
                     if (error_.empty()) error_ = socket_.errorString().toStdString();
                   });
  QObject::connect(&socket_, &QTcpSocket::disconnected, &socket_,
                   [this] { terminal_.OnDisconnected(); });
  QObject::connect(&socket_, &QTcpSocket::readyRead, &socket_, [this] {
    const QByteArray bytes = socket_.readAll();
    decoder_.Feed(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    wire::Frame frame;
    std::string err;
    for (;;) {
      const auto r = decoder_.Next(&frame, &err);
      if (r == wire::FrameDecoder::Result::kNeedMore) break;
      if (r == wire::FrameDecoder::Result::kError) {
        socket_.abort();
        break;
      }
      terminal_.OnFrame(frame);
    }
  });
}

SimTcpClient::~SimTcpClient() {
  QObject::disconnect(&socket_, nullptr, nullptr, nullptr);
  terminal_.SetSender({});
  terminal_.SetOnHangUp({});
  socket_.abort();
}

void SimTcpClient::Connect() {
  decoder_ = wire::FrameDecoder{};
  error_.clear();
  if (tls_) {
    socket_.setSslConfiguration(*tls_);
    socket_.connectToHostEncrypted(QString::fromStdString(host_), port_);
  } else {
    socket_.connectToHost(QString::fromStdString(host_), port_);
  }
}

void SimTcpClient::Disconnect() { socket_.abort(); }

void SimTcpClient::WriteRaw(const std::string& bytes) {
  if (bytes.empty() || socket_.state() != QAbstractSocket::ConnectedState) return;
  if (tls_ && !socket_.isEncrypted()) return;
  socket_.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

// --- byte channels

std::unique_ptr<SerialChannel> SerialChannel::Open(const std::string& device, int baudRate,
                                                   std::string* err) {
  std::unique_ptr<SerialChannel> c(new SerialChannel);
  c->port_.setPortName(QString::fromStdString(device));
  if (!c->port_.open(QIODevice::ReadWrite)) {
    *err = "cannot open " + device + ": " + c->port_.errorString().toStdString();
    return nullptr;
  }
  if (baudRate > 0) c->port_.setBaudRate(baudRate);
  SerialChannel* self = c.get();
  QObject::connect(&c->port_, &QSerialPort::readyRead, &c->port_, [self] {
    const QByteArray bytes = self->port_.readAll();
    if (self->onData) self->onData(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  });
  return c;
}

void SerialChannel::Write(const std::string& bytes) {
  port_.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

FdChannel::FdChannel(int fd) : fd_(fd), notifier_(fd, QSocketNotifier::Read) {
  QObject::connect(&notifier_, &QSocketNotifier::activated, &notifier_, [this] { OnReadable(); });
}

FdChannel::~FdChannel() {
  notifier_.setEnabled(false);
  ::close(fd_);
  if (slaveFd_ >= 0) ::close(slaveFd_);
}

void FdChannel::OnReadable() {
  char buf[4096];
  const ssize_t n = ::read(fd_, buf, sizeof buf);
  if (n > 0) {
    if (onData) onData(buf, static_cast<std::size_t>(n));
  } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
    // The far side is gone; stop listening rather than spin on the error.
    notifier_.setEnabled(false);
  }
}

void FdChannel::Write(const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (errno == EAGAIN) {
        ::usleep(1000);
        continue;
      }
      return;
    }
    done += static_cast<std::size_t>(n);
  }
}

std::unique_ptr<FdChannel> FdChannel::OpenPty(std::string* slavePath, std::string* err) {
  int master = -1, slave = -1;
  char name[256] = {};
  termios raw{};
  cfmakeraw(&raw);
  // Raw from the start: bytes written before the gateway opens its side must
  // not be echoed back or cooked by the line discipline.
  if (::openpty(&master, &slave, name, &raw, nullptr) != 0) {
    *err = std::string("openpty: ") + std::strerror(errno);
    return nullptr;
  }
  ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
  auto c = std::make_unique<FdChannel>(master);
  c->slaveFd_ = slave;
  *slavePath = name;
  return c;
}

// --- radio base

SimRadioBase::SimRadioBase(std::unique_ptr<ByteChannel> channel) : channel_(std::move(channel)) {
  channel_->onData = [this](const char* d, std::size_t n) { OnData(d, n); };
}

SimRadioBase::~SimRadioBase() {
  channel_->onData = nullptr;
  for (SimTerminal* t : terminals_) t->SetSender({});
}

void SimRadioBase::Add(SimTerminal& terminal) {
  terminals_.push_back(&terminal);
  terminal.SetSender([this](const wire::Frame& f) { Write(f); });
  terminal.SayHello();
}

void SimRadioBase::Write(const wire::Frame& frame) {
  const std::string bytes = Encoded(frame);
  if (!bytes.empty()) channel_->Write(bytes);
}

void SimRadioBase::OnData(const char* data, std::size_t size) {
  decoder_.Feed(data, size);
  for (;;) {
    wire::Frame frame;
    std::string err;
    const auto r = decoder_.Next(&frame, &err);
    if (r == wire::FrameDecoder::Result::kNeedMore) return;
    if (r == wire::FrameDecoder::Result::kError) {
      decoder_.Resync();
      continue;
    }
    const auto type = static_cast<wire::Type>(frame.type);
    if (frame.terminalId.empty()) {
      if (type == wire::Type::kProbe) {
        ++probes_;
        Write({static_cast<std::uint8_t>(wire::Type::kBaseReady),
               {},
               wire::EncodeText("tervo-terminal radio base")});
        for (SimTerminal* t : terminals_) {
          if (!t->Welcomed()) t->SayHello();
        }
      } else if (type == wire::Type::kReset) {
        for (SimTerminal* t : terminals_) t->OnFrame({frame.type, t->Id(), {}});
      }
      continue;
    }
    for (SimTerminal* t : terminals_) {
      if (t->Id() == frame.terminalId) t->OnFrame(frame);
    }
  }
}

}  // namespace tervo::radio::sim
