// Helpers shared by the radio tests: event-loop pumping with a deadline, a
// log recorder and a link listening on a free loopback port.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/radio/wire_radio_link.h"

namespace tervo::radio::test {

// Runs the event loop until done() holds or ms pass; returns done().
inline bool PumpUntil(const std::function<bool()>& done, int ms = 3000) {
  QElapsedTimer t;
  t.start();
  for (;;) {
    if (done()) return true;  // once: done() may consume what it waits for
    if (t.elapsed() >= ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
}

// Runs the event loop for a short while (for "nothing happens" checks).
inline void Pump(int ms) {
  PumpUntil([] { return false; }, ms);
}

struct LogRecorder {
  std::vector<std::string> lines;
  LogFn Fn() {
    return [this](const std::string& s) { lines.push_back(s); };
  }
  bool Has(const std::string& part) const {
    for (const auto& l : lines) {
      if (l.find(part) != std::string::npos) return true;
    }
    return false;
  }
};

inline std::unique_ptr<WireRadioLink> TcpLink(LogRecorder& log, std::vector<std::string> accepted,
                                              RadioLinkOptions o = {}) {
  o.tcpPort = 0;
  o.log = log.Fn();
  auto link = std::make_unique<WireRadioLink>(o);
  link->TCPIP_Start("127.0.0.1");
  if (link->InitializeComm(1, 9600) == 0) return nullptr;
  for (const auto& id : accepted) link->TCPIP_AcceptTerminalId(id);
  return link;
}

// InitializeComm on a serial line: the base's answer comes through the
// event loop, after which InitializeComm succeeds.
inline int OpenSerial(WireRadioLink& link, int baudRate = 9600, int ms = 3000) {
  if (link.InitializeComm(1, baudRate) != 0) return 1;
  if (!link.BaseAnswerPending()) return 0;
  PumpUntil([&] { return !link.BaseAnswerPending(); }, ms);
  return link.InitializeComm(1, baudRate);
}

struct Received {
  std::string id;    // blank padded to 8 characters, as the gateway takes it
  std::string data;  // leading blanks trimmed, as the gateway takes it
  ReceiveKind kind = kOther;
  std::int32_t value = 0;  // the chosen item or key of an answer
  Answer answer;
};

// Takes one message the way the gateway does.
inline bool Take(RadioLink& link, Received* r) {
  TerminalMessage m;
  if (!link.TakeMessage(&m)) return false;
  std::string id = m.terminalId;
  id.resize(std::max<std::size_t>(id.size(), 8), ' ');
  const std::size_t b = m.text.find_first_not_of(' ');
  *r = {id, b == std::string::npos ? std::string() : m.text.substr(b), m.kind, m.answer.chosen,
        m.answer};
  return true;
}

inline bool TakeWithin(RadioLink& link, Received* r, int ms = 3000) {
  return PumpUntil([&] { return Take(link, r); }, ms);
}

}  // namespace tervo::radio::test
