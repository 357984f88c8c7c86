#include "ansi_ui.h"

#include <unistd.h>

#include <QString>
#include <cstdio>

namespace tervo::terminal {

using radio::sim::Key;
using radio::sim::SimTerminal;

namespace {

// Typed UTF-8 becomes the engine's 8-bit text; shown text goes the other way.
std::string ToEngine(const std::string& utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()))
      .toLatin1()
      .toStdString();
}
std::string ToScreen(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()))
      .toUtf8()
      .toStdString();
}

void Put(const std::string& s) {
  std::size_t done = 0;
  while (done < s.size()) {
    const ssize_t n = ::write(STDOUT_FILENO, s.data() + done, s.size() - done);
    if (n <= 0) return;
    done += static_cast<std::size_t>(n);
  }
}

}  // namespace

std::vector<KeyEvent> DecodeKeys(const std::string& b) {
  static const struct {
    const char* seq;
    Key key;
  } sequences[] = {
      {"\x1b[A", Key::kUp},      {"\x1b[B", Key::kDown},    {"\x1b[C", Key::kTab},
      {"\x1b[D", Key::kBackTab}, {"\x1b[Z", Key::kBackTab}, {"\x1bOP", Key::kF1},
      {"\x1bOQ", Key::kF2},      {"\x1bOR", Key::kF3},      {"\x1bOS", Key::kF4},
      {"\x1b[11~", Key::kF1},    {"\x1b[12~", Key::kF2},    {"\x1b[13~", Key::kF3},
      {"\x1b[14~", Key::kF4},    {"\x1b[15~", Key::kF5},    {"\x1b[17~", Key::kF6},
      {"\x1b[18~", Key::kF7},    {"\x1b[19~", Key::kF8},    {"\x1b[21~", Key::kSend},
  };
  std::vector<KeyEvent> out;
  std::string text;
  auto flush = [&] {
    if (!text.empty()) out.push_back({KeyEvent::Kind::kText, Key::kAny, ToEngine(text)});
    text.clear();
  };
  auto key = [&](Key k) {
    flush();
    out.push_back({KeyEvent::Kind::kKey, k, {}});
  };
  auto other = [&](KeyEvent::Kind k) {
    flush();
    out.push_back({k, Key::kAny, {}});
  };
  std::size_t i = 0;
  while (i < b.size()) {
    const unsigned char c = static_cast<unsigned char>(b[i]);
    if (c == 0x1b) {
      bool matched = false;
      for (const auto& s : sequences) {
        if (b.compare(i, std::char_traits<char>::length(s.seq), s.seq) == 0) {
          key(s.key);
          i += std::char_traits<char>::length(s.seq);
          matched = true;
          break;
        }
      }
      if (matched) continue;
      if (b.compare(i, 5, "\x1b[23~") == 0 || b.compare(i, 5, "\x1b[24~") == 0) {
        other(b[i + 3] == '3' ? KeyEvent::Kind::kBatteryDown : KeyEvent::Kind::kBatteryUp);
        i += 5;
        continue;
      }
      if (i + 1 < b.size() && (b[i + 1] == '[' || b[i + 1] == 'O')) {
        // An unknown sequence: skip to its final byte.
        std::size_t j = i + 2;
        while (j < b.size() && !(b[j] >= 0x40 && b[j] <= 0x7e)) ++j;
        i = j + 1;
        continue;
      }
      key(Key::kEscape);
      ++i;
      continue;
    }
    ++i;
    switch (c) {
      case '\r':
      case '\n':
        key(Key::kEnter);
        break;
      case '\t':
        key(Key::kTab);
        break;
      case 0x7f:
      case 0x08:
        key(Key::kBackspace);
        break;
      case 0x13:  // Ctrl-S
        key(Key::kSend);
        break;
      case 0x03:  // Ctrl-C
      case 0x11:  // Ctrl-Q
        other(KeyEvent::Kind::kQuit);
        break;
      case 0x12:  // Ctrl-R
        other(KeyEvent::Kind::kStart);
        break;
      case 0x0e:  // Ctrl-N
        other(KeyEvent::Kind::kNextTerminal);
        break;
      default:
        if (c >= 0x20) text.push_back(static_cast<char>(c));
        break;
    }
  }
  flush();
  return out;
}

AnsiUi::AnsiUi(std::vector<SimTerminal*> terminals,
               std::function<std::string(const SimTerminal&)> status, std::function<void()> quit)
    : terminals_(std::move(terminals)), status_(std::move(status)), quit_(std::move(quit)) {
  QObject::connect(&scrollTimer_, &QTimer::timeout, &scrollTimer_, [this] {
    ++scroll_;
    for (const auto& item : terminals_[current_]->Display().Items()) {
      if (!item.scroll.empty()) {
        Redraw();
        break;
      }
    }
  });
}

AnsiUi::~AnsiUi() { Restore(); }

void AnsiUi::Restore() {
  if (!raw_) return;
  ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_);
  Put("\x1b[0m\x1b[?25h\r\n");
  raw_ = false;
}

bool AnsiUi::Start(std::string* err) {
  if (!::isatty(STDIN_FILENO) || ::tcgetattr(STDIN_FILENO, &saved_) != 0) {
    *err = "the interactive mode needs a terminal; use --script for unattended runs";
    return false;
  }
  termios raw = saved_;
  cfmakeraw(&raw);
  ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &raw);
  raw_ = true;
  notifier_ = std::make_unique<QSocketNotifier>(STDIN_FILENO, QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                   [this] { OnInput(); });
  scrollTimer_.start(350);
  Redraw();
  return true;
}

void AnsiUi::OnInput() {
  char buf[256];
  const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
  if (n <= 0) {
    quit_();
    return;
  }
  SimTerminal& t = *terminals_[current_];
  for (const KeyEvent& e : DecodeKeys(std::string(buf, static_cast<std::size_t>(n)))) {
    switch (e.kind) {
      case KeyEvent::Kind::kKey:
        t.Press(e.key);
        break;
      case KeyEvent::Kind::kText:
        t.Type(e.text);
        break;
      case KeyEvent::Kind::kQuit:
        Restore();
        quit_();
        return;
      case KeyEvent::Kind::kStart:
        t.SendStart();
        note_ = "START sent";
        break;
      case KeyEvent::Kind::kNextTerminal:
        current_ = (current_ + 1) % terminals_.size();
        note_ = "showing terminal " + terminals_[current_]->Id();
        break;
      case KeyEvent::Kind::kBatteryDown:
      case KeyEvent::Kind::kBatteryUp:
        t.SetBattery(t.Battery() + (e.kind == KeyEvent::Kind::kBatteryUp ? 100 : -100));
        note_ = "battery " + std::to_string(t.Battery()) + " mV (sent with the next answer)";
        break;
      case KeyEvent::Kind::kNone:
        break;
    }
  }
  Redraw();
}

void AnsiUi::Redraw() {
  if (!raw_) return;
  const SimTerminal& t = *terminals_[current_];
  const auto& d = t.Display();
  const int w = d.Width();
  std::string s = "\x1b[H\x1b[2J\x1b[0m";
  s += "tervo-terminal  " + t.Id() + "  battery " + std::to_string(t.Battery()) + " mV  " +
       status_(t) + "\r\n";
  s += "+" + std::string(static_cast<std::size_t>(w), '-') + "+\r\n";
  int row = 3, cursorRow = 0, cursorCol = 0;
  for (const auto& line : d.Layout(scroll_)) {
    s += "|";
    int col = 0;
    for (const auto& seg : line) {
      std::string attr;
      if (seg.style == radio::sim::Style::kInverse) attr += "\x1b[7m";
      if (seg.style == radio::sim::Style::kLarge) attr += "\x1b[1m";
      if (seg.item >= 0 && seg.item == d.Cursor()) {
        const auto& item = d.Items()[seg.item];
        if (item.kind == radio::sim::Item::Kind::kInput) {
          attr += "\x1b[4m";
          if (cursorRow == 0) {
            cursorRow = row;
            const int len = static_cast<int>(d.Value(item.input).size());
            cursorCol = 2 + col + std::min(len, static_cast<int>(seg.text.size()) - 1);
          }
        } else {
          attr += "\x1b[7m\x1b[1m";
        }
      }
      s += attr + ToScreen(seg.text) + "\x1b[0m";
      col += static_cast<int>(seg.text.size());
    }
    s += std::string(static_cast<std::size_t>(std::max(0, w - col)), ' ') + "|\r\n";
    ++row;
  }
  s += "+" + std::string(static_cast<std::size_t>(w), '-') + "+\r\n";
  s += "keys: " + ToScreen(d.ShownLegend()) + "\r\n";
  if (d.WaitingForKey()) s += "(press any key)\r\n";
  if (t.Refused()) s += "REFUSED: " + t.Refusal() + "\r\n";
  s += "\r\n\x1b[2marrows/Tab move  Enter choose  Esc  F1-F8  F10/Ctrl-S send\r\n"
       "F11/F12 battery -/+  Ctrl-R START  Ctrl-N next terminal  Ctrl-Q quit\x1b[0m\r\n";
  if (!banner_.empty()) s += banner_ + "\r\n";
  if (!note_.empty()) s += note_ + "\r\n";
  if (cursorRow > 0) {
    s += "\x1b[" + std::to_string(cursorRow) + ";" + std::to_string(cursorCol) + "H\x1b[?25h";
  } else {
    s += "\x1b[?25l";
  }
  Put(s);
}

}  // namespace tervo::terminal
