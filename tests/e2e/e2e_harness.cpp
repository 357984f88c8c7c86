#include "e2e_harness.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <fstream>
#include <sstream>

#include "config/config_writer.h"
#include "demo_config.h"

namespace tervo::e2e {

bool WaitUntil(const std::function<bool()>& pred, int realMs) {
  QElapsedTimer t;
  t.start();
  while (!pred()) {
    if (t.elapsed() > realMs) return pred();
    QTimer wake;
    wake.start(5);
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  }
  return true;
}

bool DemoHostProcess::Start() {
  std::string err;
  return host_.ListenOnFreeLoopbackPort(&err);
}

std::string DemoHostProcess::Address() const { return "127.0.0.1:" + std::to_string(host_.Port()); }

Terminal::Terminal(const std::string& id, quint16 port, int battery)
    : sim(id, 20, battery), client(sim, "127.0.0.1", port) {
  sim.SetOnChange([this](const std::string&) { ++changes; });
  client.Connect();
}

bool Terminal::WaitFor(const std::string& text, int realMs) {
  return WaitUntil([&] { return Shows(text); }, realMs);
}

bool Terminal::Enter(const std::string& label, const std::string& value) {
  if (!sim.Display().MoveTo(label)) return false;
  sim.Display().SetValue(value);
  sim.Press(radio::sim::Key::kEnter);
  return true;
}

void E2eTest::StartAll(int sessions) {
  ASSERT_TRUE(dir_.isValid());
  ASSERT_TRUE(host_.Start());
  const std::string base = dir_.path().toStdString() + "/warehouse";
  ASSERT_TRUE(QFile::copy(QString::fromStdString(config::ConfigFilePath(DemoConfigBase())),
                          QString::fromStdString(config::ConfigFilePath(base))));
  StartGateway(base, host_.Address(), sessions);
}

void E2eTest::StartGateway(const std::string& base, const std::string& hostAddress, int sessions) {
  ASSERT_TRUE(dir_.isValid());
  ui_ = std::make_unique<core::HeadlessUi>([this](const std::string& l) { uiLines_.push_back(l); });
  core::GatewayConfig c;
  c.configBase = base;
  c.settingsFile = dir_.path().toStdString() + "/settings.ini";
  c.logFolder = dir_.path().toStdString() + "/log";
  c.radioAddress = "127.0.0.1:0";
  c.demoHostAddress = hostAddress;
  c.timeScale = kTimeScale;
  c.sessionCount = sessions;
  std::string err;
  ASSERT_TRUE(core::BuildGateway(c, *ui_, &built_, &err)) << err;
  ASSERT_TRUE(built_.configLoaded);
  ASSERT_EQ(built_.badLines, 0);
  G().Start();
  ASSERT_TRUE(G().RadioUp());
  ASSERT_NE(RadioPort(), 0);
}

void E2eTest::TearDown() {
  if (built_.gateway) {
    built_.gateway->Shutdown();
    built_.gateway.reset();
  }
}

std::string E2eTest::HostRow(int s, int r) const {
  host5250::HostDisplay* d = built_.gateway->Display(s);
  return d ? d->ReadText(r, 1, 80) : std::string();
}

bool E2eTest::Logged(const std::string& line) const {
  std::ifstream in(built_.services->DebugLogPath());
  std::string l;
  while (std::getline(in, l))
    if (l.rfind(line, 0) == 0) return true;
  return false;
}

}  // namespace tervo::e2e

namespace tervo::e2e {

std::string E2eTest::DebugLogTail(int lines) const {
  std::ifstream in(built_.services->DebugLogPath());
  std::vector<std::string> all;
  std::string l;
  while (std::getline(in, l)) all.push_back(l);
  std::string out = "\n--- debug log\n";
  for (std::size_t i = all.size() > static_cast<std::size_t>(lines) ? all.size() - lines : 0;
       i < all.size(); ++i)
    out += all[i] + "\n";
  return out;
}

}  // namespace tervo::e2e
