// The interactive face of the simulator: draws a handheld's display with
// plain ANSI escape codes and reads keys from a raw terminal.  No curses
// library: the few escape codes needed are standard on every terminal
// emulator, and the simulator must build wherever the gateway builds.
#pragma once

#include <termios.h>

#include <QSocketNotifier>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/radio/sim_terminal.h"

namespace tervo::terminal {

// One keyboard event decoded from the bytes a terminal emulator sends.
struct KeyEvent {
  enum class Kind { kKey, kText, kQuit, kStart, kNextTerminal, kBatteryDown, kBatteryUp, kNone };
  Kind kind = Kind::kNone;
  radio::sim::Key key = radio::sim::Key::kAny;
  std::string text;  // kText: Windows-1252
};

// Decodes a chunk read from the keyboard.  A lone ESC at the end of a chunk
// is the Escape key; escape sequences not known are dropped.
std::vector<KeyEvent> DecodeKeys(const std::string& bytes);

class AnsiUi {
 public:
  // terminals: the simulated terminals; the first one is shown first.
  // status(terminal) gives the connection state line.
  AnsiUi(std::vector<radio::sim::SimTerminal*> terminals,
         std::function<std::string(const radio::sim::SimTerminal&)> status,
         std::function<void()> quit);
  ~AnsiUi();
  // Puts the keyboard into raw mode and draws; false when stdin is no terminal.
  bool Start(std::string* err);
  void Redraw();
  // A line that stays under the display (where else to connect, say).
  void SetBanner(std::string text) { banner_ = std::move(text); }
  void Note(const std::string& text) {
    note_ = text;
    Redraw();
  }

 private:
  void OnInput();
  void Restore();

  std::vector<radio::sim::SimTerminal*> terminals_;
  std::function<std::string(const radio::sim::SimTerminal&)> status_;
  std::function<void()> quit_;
  std::size_t current_ = 0;
  termios saved_{};
  bool raw_ = false;
  std::unique_ptr<QSocketNotifier> notifier_;
  QTimer scrollTimer_;
  int scroll_ = 0;
  std::string note_;
  std::string banner_;
};

}  // namespace tervo::terminal
