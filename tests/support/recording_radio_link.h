// A RadioLink that sends nothing and records every call as one readable line,
// for tests that check what a terminal would be sent:
//
//   T_Say('Enter')   T_GetText('AB',5,-16)   T_NoSay(5)   T_Read()
//
// Texts are quoted with ' and show NUL as \0, Escape as \e and other control
// characters as \xNN.  A terminal's answer is a Message with an Answer.
#pragma once

#include <cstdint>
#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/radio/radio_link.h"

namespace tervo::testing {

class RecordingRadioLink : public radio::RadioLink {
 public:
  std::vector<std::string> calls;
  std::map<std::string, int> battery;  // terminal id -> millivolts
  // Messages TakeMessage hands out, oldest first.
  struct Message {
    std::string id;
    std::string data;
    radio::ReceiveKind kind = radio::kTerminalAnswer;
    radio::Answer answer;
  };
  // An answer choosing `chosen` (an item number or a key code) with the
  // values typed into the input items, in item order.
  static radio::Answer Chose(int chosen, std::vector<std::string> values = {}) {
    radio::Answer a;
    a.chosen = chosen;
    a.values = std::move(values);
    return a;
  }
  std::deque<Message> incoming;
  int initializeResult = 1;
  bool answerPending = false;  // BaseAnswerPending() after a failed InitializeComm
  bool BaseAnswerPending() const override { return answerPending; }
  std::function<void()> notify;

  // A message arrives: it is queued and the gateway is told, as the real
  // link does when a frame comes in.
  void Deliver(const Message& m) {
    incoming.push_back(m);
    if (notify) notify();
  }
  void SetReceiveNotifier(std::function<void()> n) override { notify = std::move(n); }

  static std::string Quote(const std::string& s) {
    std::string out = "'";
    for (char c : s) {
      const auto u = static_cast<unsigned char>(c);
      if (u == 0) {
        out += "\\0";
      } else if (u == 27) {
        out += "\\e";
      } else if (u < 32) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "\\x%02X", u);
        out += buf;
      } else {
        out += c;
      }
    }
    return out + "'";
  }
  // Calls recorded since index `from` (e.g. after the screen's preamble).
  std::vector<std::string> CallsFrom(std::size_t from) const {
    return from < calls.size()
               ? std::vector<std::string>(calls.begin() + static_cast<long>(from), calls.end())
               : std::vector<std::string>();
  }
  // Index of the first call that starts with `prefix`, or -1.
  int Find(const std::string& prefix, std::size_t from = 0) const {
    for (std::size_t i = from; i < calls.size(); ++i) {
      if (calls[i].rfind(prefix, 0) == 0) return static_cast<int>(i);
    }
    return -1;
  }

  void TCPIP_Start(const std::string& baseAddress) override {
    Record("TCPIP_Start(" + Quote(baseAddress) + ")");
  }
  int InitializeComm(int port, int baudRate) override {
    Record("InitializeComm(" + std::to_string(port) + "," + std::to_string(baudRate) + ")");
    return initializeResult;
  }
  void ForceResetOnAllTerminal() override { Record("ForceResetOnAllTerminal()"); }
  void TCPIP_AcceptTerminalId(const std::string& terminalId) override {
    Record("TCPIP_AcceptTerminalId(" + Quote(terminalId) + ")");
  }
  void TerminateComm(int port) override { Record("TerminateComm(" + std::to_string(port) + ")"); }
  bool TakeMessage(radio::TerminalMessage* message) override {
    if (incoming.empty()) return false;
    Message m = std::move(incoming.front());
    incoming.pop_front();
    *message = {m.id, m.kind, m.data, std::move(m.answer)};
    return true;
  }
  void T_InitScreen(const std::string& terminalId, const std::string& screenName, int format, int a,
                    int b) override {
    Record("T_InitScreen(" + Quote(terminalId) + "," + Quote(screenName) + "," +
           std::to_string(format) + "," + std::to_string(a) + "," + std::to_string(b) + ")");
  }
  void T_Cls() override { Record("T_Cls()"); }
  void T_NewLine() override { Record("T_NewLine()"); }
  void T_WaitChar() override { Record("T_WaitChar()"); }
  void T_HardReset() override { Record("T_HardReset()"); }
  void T_GetCheckEnter() override { Record("T_GetCheckEnter()"); }
  void T_PrintString(const std::string& text) override {
    Record("T_PrintString(" + Quote(text) + ")");
  }
  void T_PrintInverse(const std::string& text) override {
    Record("T_PrintInverse(" + Quote(text) + ")");
  }
  void T_PrintLarge(const std::string& text) override {
    Record("T_PrintLarge(" + Quote(text) + ")");
  }
  void T_Say(const std::string& text) override { Record("T_Say(" + Quote(text) + ")"); }
  void T_Scroll(const std::string& a, const std::string& b) override {
    Record("T_Scroll(" + Quote(a) + "," + Quote(b) + ")");
  }
  void T_NoSay(std::uint8_t size) override { Record("T_NoSay(" + std::to_string(size) + ")"); }
  void T_GetText(const std::string& initial, int size, int attributes) override {
    Record("T_GetText(" + Quote(initial) + "," + std::to_string(size) + "," +
           std::to_string(attributes) + ")");
  }
  void T_Read() override { Record("T_Read()"); }
  void T_Delay(int units) override { Record("T_Delay(" + std::to_string(units) + ")"); }
  void T_Beep(int frequency, int duration) override {
    Record("T_Beep(" + std::to_string(frequency) + "," + std::to_string(duration) + ")");
  }
  void T_CapsLock(int on) override { Record("T_CapsLock(" + std::to_string(on) + ")"); }
  void T_SetLargeFunctionKeys(const std::string& legend, std::uint8_t count) override {
    Record("T_SetLargeFunctionKeys(" + Quote(legend) + "," + std::to_string(count) + ")");
  }
  void T_ChangeScreenAttributtes(int format, int item, int attributes) override {
    Record("T_ChangeScreenAttributtes(" + std::to_string(format) + "," + std::to_string(item) +
           "," + std::to_string(attributes) + ")");
  }
  void T_SendScreen() override { Record("T_SendScreen()"); }
  void T_SendScreenToPc(const std::string& screenName, int code) override {
    Record("T_SendScreenToPc(" + Quote(screenName) + "," + std::to_string(code) + ")");
  }
  void T_WaitAnyScreenFromPc() override { Record("T_WaitAnyScreenFromPc()"); }
  int BatteryLevel(const std::string& terminalId) const override {
    auto it = battery.find(terminalId);
    return it == battery.end() ? -1 : it->second;
  }

 private:
  void Record(std::string line) { calls.push_back(std::move(line)); }
};

}  // namespace tervo::testing
