// Scripted terminals: a list of steps (expect a text, type a value, choose
// an item, press a key, ...) run against a SimTerminal as screens arrive.
// The script language is described in docs/terminal-simulator.md.
#pragma once

#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "platform/radio/sim_terminal.h"

namespace tervo::radio::sim {

struct ScriptStep {
  enum class Kind {
    kExpect,
    kExpectNot,
    kField,
    kType,
    kChoose,
    kPress,
    kBattery,
    kStart,
    kRequest,
    kTimeout
  };
  Kind kind = Kind::kExpect;
  std::string arg;
  int line = 0;
};

// Parses a script; false with *err ("line N: ...") on the first bad line.
// Numbers are plain digits: "battery 4100"; "timeout 0.5" may have a fraction.
bool ParseScript(const std::string& text, std::vector<ScriptStep>* steps, std::string* err);

// A number of seconds such as "5" or "0.25", at most a day, in whole
// milliseconds; false for anything else.
bool ParseSeconds(const std::string& text, int* ms);

class ScriptRunner {
 public:
  // out receives every screen shown as plain text, and the failure report.
  ScriptRunner(SimTerminal& terminal, std::vector<ScriptStep> steps,
               std::function<void(const std::string&)> out, int timeoutMs = 5000);
  ~ScriptRunner();

  // Starts running; done(exitCode) is called once: 0 when every step passed,
  // 1 on a failed step or a time-out.
  void Start(std::function<void(int)> done);
  bool Finished() const { return finished_; }
  int ExitCode() const { return exitCode_; }
  // Feed this from the terminal's change callback.
  void OnChange(const std::string& what);

 private:
  void Advance();
  bool Fresh() const;
  void Fail(const std::string& why);
  void Finish(int code);
  std::string Describe(const ScriptStep& step) const;

  SimTerminal& terminal_;
  std::vector<ScriptStep> steps_;
  std::function<void(const std::string&)> out_;
  int timeoutMs_;
  std::function<void(int)> done_;
  std::size_t pc_ = 0;
  int awaitScreens_ = 1;  // screens the terminal must have received to act on
  bool running_ = false;
  bool advancing_ = false;
  bool finished_ = false;
  int exitCode_ = 0;
  QTimer timer_;
};

}  // namespace tervo::radio::sim
