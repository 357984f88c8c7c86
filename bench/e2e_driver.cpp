#include "e2e_driver.h"

#include <unistd.h>

#include <QSettings>
#include <QTcpServer>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "config/config_reader.h"
#include "config/config_writer.h"
#include "platform/radio/terminal_keys.h"
#include "platform/radio/tls_setup.h"

namespace tervo::bench {

void Pump(int ms) {
  QTimer wake;
  wake.start(ms);
  QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

double CpuSeconds(qint64 pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string s((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const auto close = s.rfind(')');
  if (close == std::string::npos) return 0;
  std::istringstream rest(s.substr(close + 2));
  std::string field;
  long utime = 0, stime = 0;
  for (int i = 3; i <= 15 && rest >> field; ++i) {
    if (i == 14) utime = std::stol(field);
    if (i == 15) stime = std::stol(field);
  }
  return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

quint16 FreePort() {
  QTcpServer s;
  s.listen(QHostAddress::LocalHost, 0);
  return s.serverPort();
}

double Percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0.0;
  std::sort(v.begin(), v.end());
  const auto k = static_cast<std::size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
  return v[std::min(k, v.size() - 1)];
}

bool ReadyLine(QProcess& p, const QString& marker, QString* line, int ms) {
  QElapsedTimer t;
  t.start();
  QByteArray seen;
  while (t.elapsed() < ms) {
    p.waitForReadyRead(100);
    seen += p.readAllStandardOutput();
    for (const QByteArray& l : seen.split('\n'))
      if (l.contains(marker.toUtf8())) {
        *line = QString::fromUtf8(l).trimmed();
        return true;
      }
    if (p.state() == QProcess::NotRunning) return false;
  }
  return false;
}

// The source tree this program was built from: the demo configuration and
// the test certificate live there.
QString SourceDir() {
#ifdef TERVO_SOURCE_DIR
  return QStringLiteral(TERVO_SOURCE_DIR);
#else
  return QCoreApplication::applicationDirPath() + "/../..";
#endif
}

bool Binaries::Start() {
  // The demo configuration with one session per bench terminal.
  config::ScreenStore store;
  config::GeneralOptions options;
  config::NullLog nullLog;
  config::LogPrompt prompt(nullLog);
  if (!config::LoadData(demo.toStdString(), store, options, prompt)) {
    std::fprintf(stderr, "bench: cannot read %s.TVO\n", demo.toStdString().c_str());
    return false;
  }
  for (int i = 0; i < 32; ++i) {
    store.TerminalIDDef[static_cast<std::size_t>(i)] = "B" + std::to_string(i + 1);
    store.DeviceName[static_cast<std::size_t>(i)] = "BENCH" + std::to_string(i + 1);
  }
  options.SetText(config::Option::kDebugFile, "0");
  const std::string base = dir.path().toStdString() + "/bench";
  std::string err;
  if (!config::SaveDataToFile2(base, store, options, &err)) {
    std::fprintf(stderr, "bench: %s\n", err.c_str());
    return false;
  }

  // Secrets and certificates live in the settings and the key file, as on
  // a real installation.
  secrets.assign(32, std::string());
  if (keys) {
    for (int i = 0; i < 32; ++i) {
      secrets[static_cast<std::size_t>(i)] = radio::TerminalKeys::NewSecret();
      if (!radio::TerminalKeys::Store(dir.path().toStdString() + "/terminal-keys",
                                      "B" + std::to_string(i + 1),
                                      secrets[static_cast<std::size_t>(i)], &err)) {
        std::fprintf(stderr, "bench: %s\n", err.c_str());
        return false;
      }
    }
  }
  if (tls) {
    const QString certs = SourceDir() + "/tests/data/tls/";
    QSettings ini(dir.path() + "/settings.ini", QSettings::IniFormat);
    ini.setValue("QuilComm/Security/TlsCertificate", certs + "localhost.crt");
    ini.setValue("QuilComm/Security/TlsKey", certs + "localhost.key");
    ini.sync();
    QSslConfiguration conf;
    if (!radio::ClientTlsConfiguration((certs + "localhost.crt").toStdString(), {}, {}, &conf,
                                       &err)) {
      std::fprintf(stderr, "bench: %s\n", err.c_str());
      return false;
    }
    clientTls = conf;
  }

  host.start(bin + "/tervo-demohost/tervo-demohost", {"--listen", "127.0.0.1:0", "--quiet"});
  QString line;
  if (!ReadyLine(host, "listening on", &line, 10000)) {
    std::fprintf(stderr, "bench: tervo-demohost did not start\n");
    return false;
  }
  const QString hostAddress = line.section(' ', -1);

  radioPort = FreePort();
  httpPort = web ? FreePort() : 0;
  QStringList args = {"--headless",      "--quiet",
                      "--config",        QString::fromStdString(base),
                      "--settings",      dir.path() + "/settings.ini",
                      "--log-folder",    dir.path() + "/log",
                      "--sessions",      QString::number(terminals),
                      "--radio-address", "127.0.0.1:" + QString::number(radioPort),
                      "--demo-host",     hostAddress};
  if (web) args << "--http-port" << QString::number(httpPort);
  gateway.setProcessChannelMode(QProcess::SeparateChannels);
  gateway.setStandardErrorFile(dir.path() + "/gateway.err");
  gateway.start(bin + "/tervo/tervo", args);
  if (!ReadyLine(gateway, "tervo: ready", &line, 20000)) {
    std::fprintf(stderr, "bench: tervo did not start\n");
    host.terminate();
    return false;
  }
  return true;
}

void Binaries::Stop() {
  gateway.terminate();
  gateway.waitForFinished(10000);
  host.terminate();
  host.waitForFinished(5000);
}

}  // namespace tervo::bench
