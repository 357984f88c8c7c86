#include "platform/radio/sim_script.h"

#include <sstream>

namespace tervo::radio::sim {

namespace {

std::string Trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return {};
  const auto e = s.find_last_not_of(" \t\r");
  return s.substr(b, e - b + 1);
}

// A quoted argument keeps its blanks: type "  12".
std::string Unquote(const std::string& s) {
  if (s.size() >= 2 && s.front() == '"' && s.back() == '"') return s.substr(1, s.size() - 2);
  return s;
}

bool AllDigits(const std::string& s) {
  return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace

bool ParseSeconds(const std::string& text, int* ms) {
  const auto dot = text.find('.');
  const std::string whole = text.substr(0, dot);
  const std::string fraction = dot == std::string::npos ? std::string() : text.substr(dot + 1);
  if (whole.empty() && fraction.empty()) return false;
  if ((!whole.empty() && !AllDigits(whole)) || (!fraction.empty() && !AllDigits(fraction))) {
    return false;
  }
  if (whole.size() > 5) return false;
  long total = whole.empty() ? 0 : std::stol(whole) * 1000;
  for (std::size_t i = 0, scale = 100; i < fraction.size() && i < 3; ++i, scale /= 10) {
    total += (fraction[i] - '0') * static_cast<long>(scale);
  }
  if (total > 86400L * 1000) return false;
  *ms = static_cast<int>(total);
  return true;
}

bool ParseScript(const std::string& text, std::vector<ScriptStep>* steps, std::string* err) {
  std::istringstream in(text);
  std::string raw;
  int lineNo = 0;
  steps->clear();
  while (std::getline(in, raw)) {
    ++lineNo;
    const std::string line = Trim(raw);
    if (line.empty() || line[0] == '#') continue;
    const auto sp = line.find(' ');
    const std::string word = line.substr(0, sp);
    const std::string arg =
        sp == std::string::npos ? std::string() : Unquote(Trim(line.substr(sp)));
    ScriptStep step;
    step.line = lineNo;
    step.arg = arg;
    const std::string where = "line " + std::to_string(lineNo) + ": ";
    if (word == "expect") {
      step.kind = ScriptStep::Kind::kExpect;
    } else if (word == "expect-not") {
      step.kind = ScriptStep::Kind::kExpectNot;
    } else if (word == "field") {
      step.kind = ScriptStep::Kind::kField;
    } else if (word == "type") {
      step.kind = ScriptStep::Kind::kType;
    } else if (word == "choose") {
      step.kind = ScriptStep::Kind::kChoose;
    } else if (word == "press") {
      step.kind = ScriptStep::Kind::kPress;
      if (!KeyFromName(arg)) {
        *err = where + "unknown key \"" + arg + "\"";
        return false;
      }
    } else if (word == "battery" || word == "timeout") {
      step.kind = word == "battery" ? ScriptStep::Kind::kBattery : ScriptStep::Kind::kTimeout;
      int ms = 0;
      if (word == "battery" ? !AllDigits(arg) || arg.size() > 9 : !ParseSeconds(arg, &ms)) {
        *err = where + word + " needs a number";
        return false;
      }
    } else if (word == "start") {
      step.kind = ScriptStep::Kind::kStart;
    } else if (word == "request") {
      step.kind = ScriptStep::Kind::kRequest;
    } else {
      *err = where + "unknown step \"" + word + "\"";
      return false;
    }
    if (arg.empty() && step.kind != ScriptStep::Kind::kStart &&
        step.kind != ScriptStep::Kind::kType) {
      *err = where + word + " needs an argument";
      return false;
    }
    steps->push_back(step);
  }
  return true;
}

ScriptRunner::ScriptRunner(SimTerminal& terminal, std::vector<ScriptStep> steps,
                           std::function<void(const std::string&)> out, int timeoutMs)
    : terminal_(terminal), steps_(std::move(steps)), out_(std::move(out)), timeoutMs_(timeoutMs) {
  timer_.setSingleShot(true);
  QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
    if (!finished_ && pc_ < steps_.size()) Fail("timed out waiting for " + Describe(steps_[pc_]));
  });
}

ScriptRunner::~ScriptRunner() { timer_.stop(); }

void ScriptRunner::Start(std::function<void(int)> done) {
  done_ = std::move(done);
  running_ = true;
  Advance();
}

void ScriptRunner::OnChange(const std::string& what) {
  if (what == "screen" || what == "continued") out_(ScreenText(terminal_));
  if (what.rfind("refused", 0) == 0) out_("--- " + terminal_.Id() + " " + what + "\n");
  if (running_ && !finished_) Advance();
}

bool ScriptRunner::Fresh() const {
  return terminal_.Screens() >= awaitScreens_ && !terminal_.Display().Answered();
}

std::string ScriptRunner::Describe(const ScriptStep& s) const {
  static const char* names[] = {"expect", "expect-not", "field", "type",    "choose",
                                "press",  "battery",    "start", "request", "timeout"};
  return "line " + std::to_string(s.line) + " (" + names[static_cast<int>(s.kind)] + " \"" + s.arg +
         "\")";
}

void ScriptRunner::Fail(const std::string& why) {
  out_("FAILED: " + why + "\nthe terminal shows:\n" + ScreenText(terminal_));
  Finish(1);
}

void ScriptRunner::Finish(int code) {
  finished_ = true;
  exitCode_ = code;
  timer_.stop();
  if (done_) done_(code);
}

void ScriptRunner::Advance() {
  // Sending an answer can bring the next screen back inside this call
  // (in-process links); the outer call carries on with it.
  if (advancing_) return;
  advancing_ = true;
  while (!finished_ && pc_ < steps_.size()) {
    const ScriptStep& s = steps_[pc_];
    TerminalDisplay& d = terminal_.Display();
    using K = ScriptStep::Kind;
    const bool needsScreen = s.kind == K::kExpect || s.kind == K::kExpectNot ||
                             s.kind == K::kField || s.kind == K::kType || s.kind == K::kChoose ||
                             s.kind == K::kPress;
    if (needsScreen && !Fresh()) {
      // Wait for the screen that answers what was sent last.
      if (!timer_.isActive()) timer_.start(timeoutMs_);
      break;
    }
    if (s.kind == K::kExpect && !d.Shows(s.arg)) {
      if (!timer_.isActive()) timer_.start(timeoutMs_);
      break;
    }
    timer_.stop();
    const int before = terminal_.Sent();
    const int screensBefore = terminal_.Screens();
    switch (s.kind) {
      case K::kExpect:
        break;
      case K::kExpectNot:
        if (d.Shows(s.arg)) {
          Fail(Describe(s) + ": the text is on the screen");
          advancing_ = false;
          return;
        }
        break;
      case K::kField:
        if (!d.MoveTo(s.arg)) {
          Fail(Describe(s) + ": no such item");
          advancing_ = false;
          return;
        }
        break;
      case K::kType:
        if (!d.SetValue(s.arg)) {
          Fail(Describe(s) + ": the cursor is not on an input item");
          advancing_ = false;
          return;
        }
        break;
      case K::kChoose:
        if (!d.MoveTo(s.arg)) {
          Fail(Describe(s) + ": no such item");
          advancing_ = false;
          return;
        }
        terminal_.Press(Key::kEnter);
        break;
      case K::kPress:
        terminal_.Press(*KeyFromName(s.arg));
        break;
      case K::kBattery:
        terminal_.SetBattery(std::stoi(s.arg));
        break;
      case K::kTimeout:
        ParseSeconds(s.arg, &timeoutMs_);
        break;
      case K::kStart:
        terminal_.SendStart();
        break;
      case K::kRequest:
        terminal_.SendRequest(s.arg);
        break;
    }
    // What was sent asks for a new screen: later steps act on that one.
    if (terminal_.Sent() > before) awaitScreens_ = screensBefore + 1;
    ++pc_;
  }
  advancing_ = false;
  if (!finished_ && pc_ >= steps_.size()) Finish(0);
}

}  // namespace tervo::radio::sim
