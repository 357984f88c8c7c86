// A terminal that keeps asking for screens and never reads them, against
// the real gateway on the demo configuration: the gateway's memory must
// stay flat (its output to that terminal is capped; the oldest unsent
// screens are dropped).
//
//   tervo-bench radio-flood [--seconds 600] [--every-ms 20] [--bin DIR] [--demo FILE]
//
// The terminal says HELLO and START, waits for its host session, then sends
// a REQUEST every --every-ms without ever reading its socket.  The gateway's
// resident memory is read from /proc after a warm-up of 20 s and every 30 s
// after; rss_growth_kb is the last reading less the first.  Exit status 1
// when it grew by more than 2 MB.
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <fstream>
#include <string>

#include "bench_registry.h"
#include "platform/radio/terminal_auth.h"
#include "platform/radio/wire_protocol.h"

namespace tervo::bench {
namespace {

long RssKb(qint64 pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

std::string Frame(radio::wire::Type type, const std::string& payload) {
  std::string bytes, err;
  radio::wire::EncodeFrame({static_cast<std::uint8_t>(type), "T1", payload}, &bytes, &err);
  return bytes;
}

bool WriteAll(int fd, const std::string& bytes) {
  return ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
}

int RunFlood(const std::vector<std::string>& args) {
  int seconds = 600;
  int everyMs = 20;
  QString bin = QCoreApplication::applicationDirPath() + "/../apps";
  QString demo = QCoreApplication::applicationDirPath() + "/../../demo/warehouse";
  for (std::size_t i = 0; i + 1 < args.size(); i += 2) {
    if (args[i] == "--seconds") seconds = std::max(30, std::stoi(args[i + 1]));
    if (args[i] == "--every-ms") everyMs = std::max(1, std::stoi(args[i + 1]));
    if (args[i] == "--bin") bin = QString::fromStdString(args[i + 1]);
    if (args[i] == "--demo") demo = QString::fromStdString(args[i + 1]);
  }
  QTemporaryDir dir;
  QFile::copy(demo + ".TVO", dir.path() + "/warehouse.TVO");
  quint16 port = 0;
  {
    QTcpServer s;
    s.listen(QHostAddress::LocalHost, 0);
    port = s.serverPort();
  }
  QProcess gateway;
  gateway.setStandardErrorFile(dir.path() + "/gateway.err");
  gateway.start(bin + "/tervo/tervo",
                {"--headless", "--quiet", "--config", dir.path() + "/warehouse", "--settings",
                 dir.path() + "/settings.ini", "--log-folder", dir.path() + "/log", "--sessions",
                 "1", "--radio-address", "127.0.0.1:" + QString::number(port)});
  QByteArray out;
  QElapsedTimer t;
  t.start();
  while (!out.contains("tervo: ready") && t.elapsed() < 20000) {
    gateway.waitForReadyRead(100);
    out += gateway.readAllStandardOutput();
  }
  if (!out.contains("tervo: ready")) {
    std::fprintf(stderr, "radio-flood: tervo did not start\n");
    return 1;
  }

  // A socket that never reads, with a small receive window.
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  const int small = 4096;
  ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(port);
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    std::fprintf(stderr, "radio-flood: cannot connect\n");
    return 1;
  }
  radio::wire::Hello hello;
  hello.nonce = radio::auth::RandomBytes(radio::wire::kNonceBytes);
  WriteAll(fd, Frame(radio::wire::Type::kHello, radio::wire::EncodeHello(hello)));
  WriteAll(fd, Frame(radio::wire::Type::kStart, {}));
  QThread::msleep(6000);  // the host session connects

  const std::string request = Frame(radio::wire::Type::kRequest, radio::wire::EncodeText("FLOOD"));
  long first = -1, last = -1, most = 0;
  long requests = 0;
  bool connected = true;
  QElapsedTimer run;
  run.start();
  qint64 nextSample = 20000;
  while (run.elapsed() < static_cast<qint64>(seconds) * 1000) {
    // The gateway's PINGs go unanswered by reading, but every REQUEST is a
    // frame, which keeps the connection alive.
    if (connected && !WriteAll(fd, request)) connected = false;
    ++requests;
    QThread::msleep(static_cast<unsigned long>(everyMs));
    if (run.elapsed() >= nextSample) {
      const long rss = RssKb(gateway.processId());
      if (first < 0) first = rss;
      last = rss;
      most = std::max(most, rss);
      std::fprintf(stderr, "radio-flood: %llds rss %ld kB\n",
                   static_cast<long long>(run.elapsed() / 1000), rss);
      nextSample += 30000;
    }
  }
  ::close(fd);
  gateway.terminate();
  gateway.waitForFinished(10000);

  // What the gateway logged about it (the debug log of the demo
  // configuration).
  int dropLines = 0;
  for (const QFileInfo& f : QDir(dir.path() + "/log").entryInfoList(QDir::Files)) {
    QFile file(f.filePath());
    file.open(QIODevice::ReadOnly);
    for (const QByteArray& line : file.readAll().split('\n')) {
      dropLines += line.contains("does not take its screens") ? 1 : 0;
    }
  }
  Report("rss_first_kb", static_cast<double>(first), "kB");
  Report("rss_last_kb", static_cast<double>(last), "kB");
  Report("rss_max_kb", static_cast<double>(most), "kB");
  Report("rss_growth_kb", static_cast<double>(last - first), "kB");
  Report("requests_sent", static_cast<double>(requests), "count");
  Report("still_connected", connected ? 1 : 0, "bool");
  Report("drop_log_lines", dropLines, "count");
  return last - first <= 2048 ? 0 : 1;
}

const Register kRegister("radio-flood", RunFlood);

}  // namespace
}  // namespace tervo::bench
