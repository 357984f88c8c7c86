// Helpers shared by the radio tests: event-loop pumping with a deadline, a
// log recorder and a link listening on a free loopback port.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
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
  std::string id;    // as returned, 8 characters
  std::string data;  // trimmed, terminator removed, as the poll loop does
  std::uint8_t kind = 0;
  std::int32_t value = 0;
  std::string block;
};

// Takes one message the way the gateway's poll tick does.
inline bool Take(RadioLink& link, Received* r) {
  std::string id(8, ' '), data(50, ' '), block(2000, ' ');
  std::uint8_t kind = 0;
  std::int32_t value = 0;
  if (!link.T_CheckIfReceiveData(id, data, kind, value, block)) return false;
  std::size_t b = data.find_first_not_of(' '), e = data.find_last_not_of(' ');
  data = b == std::string::npos ? std::string() : data.substr(b, e - b + 1);
  if (!data.empty()) data.pop_back();
  *r = {id, data, kind, value, block};
  return true;
}

inline bool TakeWithin(RadioLink& link, Received* r, int ms = 3000) {
  return PumpUntil([&] { return Take(link, r); }, ms);
}

}  // namespace tervo::radio::test
