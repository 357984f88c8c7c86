#include "platform/radio/sim_display.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>

#include "platform/os/blank_text.h"

namespace tervo::radio::sim {

namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// Control characters (the legend's escape key among them) shown as "^".
std::string Printable(const std::string& s) {
  std::string out = s;
  for (char& c : out) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) c = '^';
  }
  return out;
}

}  // namespace

std::optional<Key> KeyFromName(const std::string& name) {
  const std::string n = Lower(name);
  if (n == "enter") return Key::kEnter;
  if (n == "esc" || n == "escape") return Key::kEscape;
  if (n.size() == 2 && n[0] == 'f' && n[1] >= '1' && n[1] <= '8') {
    return static_cast<Key>(static_cast<int>(Key::kF1) + (n[1] - '1'));
  }
  if (n == "send") return Key::kSend;
  if (n == "up") return Key::kUp;
  if (n == "down") return Key::kDown;
  if (n == "tab") return Key::kTab;
  if (n == "backtab") return Key::kBackTab;
  if (n == "backspace") return Key::kBackspace;
  if (n == "any") return Key::kAny;
  return std::nullopt;
}

void TerminalDisplay::Clear() {
  program_ = ScreenProgram{};
  pc_ = 0;
  elements_.clear();
  items_.clear();
  values_.clear();
  itemCount_ = 0;
  openSay_ = -1;
  cursorItemNumber_ = 0;
  cursor_ = -1;
  waiting_ = false;
  reads_ = false;
  answered_ = false;
  legend_.clear();
}

TerminalDisplay::Outcome TerminalDisplay::Load(const ScreenProgram& program) {
  const bool caps = caps_;
  Clear();
  caps_ = caps;
  program_ = program;
  reads_ = program.answerCode != 0;
  return Run();
}

TerminalDisplay::Outcome TerminalDisplay::Run() {
  waiting_ = false;
  while (pc_ < program_.ops.size()) {
    const ScreenOp& op = program_.ops[pc_++];
    if (CountsAsItem(op.code)) ++itemCount_;
    switch (op.code) {
      case OpCode::kCls:
        elements_.clear();
        items_.clear();
        openSay_ = -1;
        cursor_ = -1;
        break;
      case OpCode::kNewLine:
        openSay_ = -1;
        elements_.push_back({Element::Kind::kNewLine, {}, Style::kNormal, -1});
        break;
      case OpCode::kPrintString:
        elements_.push_back({Element::Kind::kText, op.text, Style::kNormal, -1});
        break;
      case OpCode::kPrintInverse:
        elements_.push_back({Element::Kind::kText, op.text, Style::kInverse, -1});
        break;
      case OpCode::kPrintLarge:
        elements_.push_back({Element::Kind::kText, op.text, Style::kLarge, -1});
        break;
      case OpCode::kSay:
      case OpCode::kScroll: {
        Item item;
        item.text = op.text;
        item.scroll = op.text2;
        items_.push_back(item);
        openSay_ = static_cast<int>(items_.size()) - 1;
        elements_.push_back({Element::Kind::kItem, {}, Style::kNormal, openSay_});
        break;
      }
      case OpCode::kNoSay:
        openSay_ = -1;
        break;
      case OpCode::kGetCheckEnter:
        if (openSay_ < 0) {
          items_.push_back(Item{});
          openSay_ = static_cast<int>(items_.size()) - 1;
          elements_.push_back({Element::Kind::kItem, {}, Style::kNormal, openSay_});
        }
        items_[openSay_].kind = Item::Kind::kPrompt;
        items_[openSay_].number = itemCount_;
        openSay_ = -1;
        break;
      case OpCode::kGetText: {
        Item item;
        item.kind = Item::Kind::kInput;
        item.number = itemCount_;
        item.size = op.a;
        // Widened first: the attributes come off the wire, and negating
        // the smallest i32 overflows.
        item.flags = static_cast<int>(std::abs(static_cast<std::int64_t>(op.b)) & 0xFFFF);
        item.label = openSay_ >= 0 ? items_[openSay_].text : std::string();
        item.input = static_cast<int>(values_.size());
        values_.push_back(os::TrimRightBlanks(op.text.substr(0, static_cast<std::size_t>(op.a))));
        items_.push_back(item);
        elements_.push_back(
            {Element::Kind::kItem, {}, Style::kNormal, static_cast<int>(items_.size()) - 1});
        openSay_ = -1;
        break;
      }
      case OpCode::kRead:
        reads_ = true;
        break;
      case OpCode::kDelay:
        break;
      case OpCode::kBeep:
        ++beeps_;
        break;
      case OpCode::kCapsLock:
        caps_ = op.a != 0;
        break;
      case OpCode::kSetLargeFunctionKeys:
        legend_ = op.text;
        break;
      case OpCode::kChangeScreenAttributes:
        cursorItemNumber_ = op.b >= 0 && op.b < INT32_MAX ? op.b + 1 : 0;
        break;
      case OpCode::kWaitChar:
        waiting_ = true;
        return Outcome::kNone;
      case OpCode::kHardReset:
        return Outcome::kReset;
    }
  }
  // The cursor starts where the program asked, else on the first input item
  // that takes text, else on the first prompt.
  cursor_ = -1;
  for (std::size_t i = 0; i < items_.size() && cursorItemNumber_ > 0; ++i) {
    if (items_[i].number == cursorItemNumber_ && items_[i].Focusable())
      cursor_ = static_cast<int>(i);
  }
  for (std::size_t i = 0; i < items_.size() && cursor_ < 0; ++i) {
    if (items_[i].kind == Item::Kind::kInput && items_[i].Focusable())
      cursor_ = static_cast<int>(i);
  }
  if (cursor_ < 0) Focus(-1, 1);
  return Outcome::kNone;
}

void TerminalDisplay::Focus(int from, int step) {
  const int n = static_cast<int>(items_.size());
  for (int k = 1; k <= n; ++k) {
    const int i = ((from + step * k) % n + n) % n;
    if (items_[i].Focusable()) {
      cursor_ = i;
      return;
    }
  }
}

TerminalDisplay::Outcome TerminalDisplay::Answer_(int chosen, bool sendKey) {
  if (!reads_ || answered_) return Outcome::kNone;
  answer_ = Answer{};
  answer_.sequence = program_.sequence;
  answer_.screenName = program_.name;
  answer_.chosen = chosen;
  answer_.sendKey = sendKey;
  answer_.values = values_;
  answered_ = true;
  return Outcome::kAnswer;
}

TerminalDisplay::Outcome TerminalDisplay::Press(Key key) {
  if (waiting_) return Run();  // any key goes on
  if (key == Key::kAny) return Outcome::kNone;
  Item* cur = cursor_ >= 0 ? &items_[cursor_] : nullptr;
  switch (key) {
    case Key::kEscape:
      return Answer_(kChosenEscape, false);
    case Key::kF1:
    case Key::kF2:
    case Key::kF3:
    case Key::kF4:
    case Key::kF5:
    case Key::kF6:
    case Key::kF7:
    case Key::kF8:
      return Answer_(-(static_cast<int>(key) - static_cast<int>(Key::kF1) + 1), false);
    case Key::kSend:
      return Answer_(cur ? cur->number : kChosenNone, cur != nullptr);
    case Key::kUp:
    case Key::kBackTab:
      Focus(cursor_, -1);
      return Outcome::kNone;
    case Key::kDown:
    case Key::kTab:
      Focus(cursor_, 1);
      return Outcome::kNone;
    case Key::kBackspace:
      if (cur && cur->kind == Item::Kind::kInput && !values_[cur->input].empty()) {
        values_[cur->input].pop_back();
      }
      return Outcome::kNone;
    case Key::kEnter:
      if (!cur) return Answer_(kChosenNone, false);
      if (cur->kind == Item::Kind::kPrompt || (cur->flags & 16)) {
        return Answer_(cur->number, false);
      }
      // Enter in a plain input item goes on to the next item.
      Focus(cursor_, 1);
      return Outcome::kNone;
    case Key::kAny:
      break;
  }
  return Outcome::kNone;
}

TerminalDisplay::Outcome TerminalDisplay::Type(const std::string& text) {
  if (waiting_) return Run();
  for (char ch : text) {
    if (cursor_ < 0 || items_[cursor_].kind != Item::Kind::kInput) break;
    Item& item = items_[cursor_];
    std::string& v = values_[item.input];
    if (static_cast<int>(v.size()) >= item.size) break;
    v.push_back(caps_ ? static_cast<char>(std::toupper(static_cast<unsigned char>(ch))) : ch);
    // Auto exit: a full item hands the cursor on.
    if ((item.flags & 2) && static_cast<int>(v.size()) >= item.size) Focus(cursor_, 1);
  }
  return Outcome::kNone;
}

bool TerminalDisplay::SetValue(const std::string& value) {
  if (cursor_ < 0 || items_[cursor_].kind != Item::Kind::kInput) return false;
  const Item& item = items_[cursor_];
  std::string v = value.substr(0, static_cast<std::size_t>(item.size));
  if (caps_) {
    for (char& c : v) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  values_[item.input] = v;
  return true;
}

bool TerminalDisplay::MoveTo(const std::string& text) {
  for (std::size_t i = 0; i < items_.size(); ++i) {
    const Item& it = items_[i];
    if (!it.Focusable()) continue;
    const std::string& t = it.kind == Item::Kind::kInput ? it.label : it.text + it.scroll;
    if (t.find(text) != std::string::npos) {
      cursor_ = static_cast<int>(i);
      return true;
    }
  }
  return false;
}

std::string TerminalDisplay::Value(int input) const {
  return input >= 0 && input < static_cast<int>(values_.size()) ? values_[input] : std::string();
}

std::string TerminalDisplay::ItemText(const Item& item, int scrollOffset) const {
  if (item.kind == Item::Kind::kInput) {
    std::string v = values_[item.input];
    if (item.flags & 4) v.assign(v.size(), '*');
    v.resize(static_cast<std::size_t>(item.size), '_');
    return v;
  }
  if (item.scroll.empty() || scrollOffset == 0) return item.text + item.scroll;
  // A scrolling text turns round in the room left beside its label.
  const std::string loop = item.scroll + "   ";
  const std::size_t k = static_cast<std::size_t>(scrollOffset) % loop.size();
  std::string rotated = loop.substr(k) + loop.substr(0, k);
  const std::size_t room = item.text.size() < static_cast<std::size_t>(width_)
                               ? static_cast<std::size_t>(width_) - item.text.size()
                               : 1;
  return item.text + rotated.substr(0, std::min(room, item.scroll.size()));
}

std::vector<Line> TerminalDisplay::Layout(int scrollOffset) const {
  std::vector<Line> lines(1);
  int col = 0;
  auto put = [&](std::string text, Style style, int item, bool keepTogether) {
    text = Printable(text);
    if (keepTogether && col > 0 && col + static_cast<int>(text.size()) > width_ &&
        static_cast<int>(text.size()) <= width_) {
      lines.emplace_back();
      col = 0;
    }
    std::size_t pos = 0;
    do {
      if (col >= width_) {
        lines.emplace_back();
        col = 0;
      }
      const std::size_t n = std::min(text.size() - pos, static_cast<std::size_t>(width_ - col));
      lines.back().push_back({text.substr(pos, n), style, item});
      col += static_cast<int>(n);
      pos += n;
    } while (pos < text.size());
  };
  for (const Element& e : elements_) {
    switch (e.kind) {
      case Element::Kind::kNewLine:
        lines.emplace_back();
        col = 0;
        break;
      case Element::Kind::kText:
        put(e.text, e.style, -1, false);
        break;
      case Element::Kind::kItem: {
        const Item& it = items_[e.item];
        put(ItemText(it, scrollOffset), Style::kNormal, e.item, it.kind == Item::Kind::kInput);
        break;
      }
    }
  }
  // Emptied segments from zero-length texts are harmless; trailing empty
  // lines are not shown.
  while (lines.size() > 1 && lines.back().empty()) lines.pop_back();
  return lines;
}

std::vector<std::string> TerminalDisplay::PlainLines() const {
  std::vector<std::string> out;
  for (const Line& line : Layout()) {
    std::string s;
    for (const Segment& seg : line) s += seg.text;
    out.push_back(os::TrimRightBlanks(s));
  }
  if (out.size() == 1 && out[0].empty()) out.clear();
  return out;
}

std::string TerminalDisplay::ShownLegend() const { return Printable(legend_); }

bool TerminalDisplay::Shows(const std::string& text) const {
  std::string all;
  for (const std::string& l : PlainLines()) all += l + "\n";
  if (all.find(text) != std::string::npos) return true;
  std::string joined;
  for (const Line& line : Layout()) {
    for (const Segment& seg : line) joined += seg.text;
  }
  return joined.find(text) != std::string::npos ||
         ShownLegend().find(text) != std::string::npos;
}

}  // namespace tervo::radio::sim
