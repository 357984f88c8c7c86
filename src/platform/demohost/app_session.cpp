#include "platform/demohost/app_session.h"

#include <algorithm>
#include <cctype>

#include "platform/demohost/app_text.h"

namespace tervo::demohost {
namespace {

constexpr std::size_t kHistoryLimit = 32;
constexpr int kKeysRow = 23;

bool Digits(const std::string& s) {
  return !s.empty() &&
         std::all_of(s.begin(), s.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

// The value a typed field stands for: blanks trimmed; a signed field's sign
// position ("  12-") becomes a leading minus ("-12").
std::string ValueOf(const Field& f, const std::string& typed) {
  std::string v = TrimBlanks(typed);
  if (f.shift == ShiftType::kSigned && !v.empty() && (v.back() == '-' || v.back() == '+')) {
    const bool minus = v.back() == '-';
    v = TrimBlanks(v.substr(0, v.size() - 1));
    if (minus && !v.empty()) v = "-" + v;
  }
  // Zero fill is presentation: later screens show the number itself.
  if (f.adjust == Adjust::kZeroFill) {
    const bool minus = !v.empty() && v[0] == '-';
    std::string digits = minus ? v.substr(1) : v;
    if (Digits(digits)) {
      std::size_t nz = digits.find_first_not_of('0');
      digits = nz == std::string::npos ? "0" : digits.substr(nz);
      v = (minus && digits != "0" ? "-" : "") + digits;
    }
  }
  return v;
}

}  // namespace

AppSession::AppSession(const Application& app, std::string deviceName) : app_(app) {
  vars_["device"] = std::move(deviceName);
}

void AppSession::Start() {
  history_.clear();
  Show(*app_.FindScreen(app_.start));
}

std::string AppSession::Variable(const std::string& name) const {
  if (name == "title") return screen_ ? screen_->title : std::string();
  if (name == "page") return std::to_string(page_ + 1);
  if (name == "pages") return std::to_string(Pages());
  auto it = vars_.find(name);
  return it == vars_.end() ? std::string() : it->second;
}

std::string AppSession::Resolve(const std::string& tmpl, const std::vector<std::string>* row,
                                const Table* table) const {
  std::string out;
  for (std::size_t i = 0; i < tmpl.size(); ++i) {
    if (tmpl[i] == '{') {
      std::size_t close = tmpl.find('}', i);
      if (close != std::string::npos) {
        std::string name = tmpl.substr(i + 1, close - i - 1);
        // {name:N} pads or cuts to N columns, {name:>N} right-aligns.
        int width = -1;
        bool right = false;
        const std::size_t colon = name.find(':');
        if (colon != std::string::npos) {
          std::string w = name.substr(colon + 1);
          name.resize(colon);
          if (!w.empty() && w[0] == '>') {
            right = true;
            w.erase(0, 1);
          }
          if (Digits(w) && w.size() <= 2) width = std::stoi(w);
        }
        const int col = (row && table) ? table->ColumnIndex(name) : -1;
        std::string value = col >= 0 ? (*row)[col] : Variable(name);
        if (width >= 0) {
          const std::size_t n = static_cast<std::size_t>(width);
          value = Left(value, n);
          value = right ? std::string(n - value.size(), ' ') + value : PadRight(value, n);
        }
        out += value;
        i = close;
        continue;
      }
    }
    out.push_back(tmpl[i]);
  }
  return out;
}

std::string AppSession::FormatField(const Field& f, const std::string& value) {
  const std::size_t len = static_cast<std::size_t>(f.length);
  std::string v = value;
  if (f.shift == ShiftType::kSigned) {
    std::string t = TrimBlanks(v);
    char sign = ' ';
    if (!t.empty() && (t[0] == '-' || t[0] == '+')) {
      sign = t[0] == '-' ? '-' : ' ';
      t.erase(0, 1);
    }
    std::size_t digits = len - 1;
    if (t.size() > digits) t = t.substr(t.size() - digits);
    char fill = f.adjust == Adjust::kZeroFill ? '0' : ' ';
    return std::string(digits - t.size(), fill) + t + sign;
  }
  if (f.adjust == Adjust::kZeroFill || f.adjust == Adjust::kBlankFill) {
    std::string t = TrimBlanks(v);
    if (t.empty() && f.input) return std::string(len, ' ');
    if (t.size() > len) t = t.substr(t.size() - len);
    return std::string(len - t.size(), f.adjust == Adjust::kZeroFill ? '0' : ' ') + t;
  }
  return PadRight(v, len);
}

int AppSession::Pages() const {
  if (!screen_ || screen_->lists.empty()) return 1;
  const ListArea& l = screen_->lists[0];
  auto it = app_.tables.find(l.table);
  const int n = it == app_.tables.end() ? 0 : static_cast<int>(it->second.rows.size());
  return std::max(1, (n + l.size - 1) / l.size);
}

void AppSession::Show(const Screen& s) {
  screen_ = &s;
  page_ = 0;
  inHelp_ = false;
  shown_ = ShownScreen{};
  shown_.name = s.name;
  shown_.readAll = s.readAll;
  const Body* layout = nullptr;
  if (!s.layout.empty()) layout = &app_.layouts.at(s.layout);
  for (const Body* b : {layout, &s.body}) {
    if (!b) continue;
    for (const Field& f : b->fields) {
      ShownField sf{f, {}};
      shown_.fields.push_back(sf);
    }
  }
  for (ShownField& f : shown_.fields) f.text = FormatField(f.def, Resolve(f.def.value));
  // The cursor: given position, given field, or the first input field.
  shown_.cursorRow = 1;
  shown_.cursorColumn = 2;
  if (s.cursorRow > 0) {
    shown_.cursorRow = s.cursorRow;
    shown_.cursorColumn = s.cursorColumn;
  } else {
    for (const ShownField& f : shown_.fields) {
      if (f.def.input && (s.cursorField.empty() || f.def.name == s.cursorField)) {
        shown_.cursorRow = f.def.row;
        shown_.cursorColumn = f.def.column;
        break;
      }
    }
  }
  Render();
}

// Rebuilds the texts (constants, key line, list page) from the variables;
// fields keep their text.
void AppSession::Render() {
  const Screen& s = *screen_;
  shown_.texts.clear();
  shown_.rules.clear();
  const Body* layout = s.layout.empty() ? nullptr : &app_.layouts.at(s.layout);
  std::string keys;
  for (const Body* b : {layout, &s.body}) {
    if (!b) continue;
    for (const Constant& c : b->constants) {
      ShownText t{c.row, c.column, Resolve(c.text), c.look};
      if (t.column == 0)
        t.column = std::max(2, (80 - static_cast<int>(t.text.size())) / 2 + 1);
      t.text = Left(t.text, static_cast<std::size_t>(81 - t.column));
      shown_.texts.push_back(t);
    }
    for (const Rule& r : b->rules) shown_.rules.push_back(r);
    if (!b->keysLine.empty()) keys = b->keysLine;
  }
  // Cut like every other constant: what a variable brings in must not run
  // onto the next row (or past the screen, which the terminal refuses).
  if (!keys.empty()) shown_.texts.push_back({kKeysRow, 2, Left(Resolve(keys), 79), Look{}});
  shown_.listRow = 0;
  shown_.listSize = 0;
  if (!s.lists.empty()) {
    const ListArea& l = s.lists[0];
    const Table& table = app_.tables.at(l.table);
    shown_.listRow = l.row;
    shown_.listSize = l.size;
    const std::size_t width = static_cast<std::size_t>(81 - l.column);
    for (int i = 0; i < l.size; ++i) {
      const std::size_t r = static_cast<std::size_t>(page_ * l.size + i);
      std::string line;
      if (r < table.rows.size()) line = Resolve(l.line_template, &table.rows[r], &table);
      shown_.texts.push_back({l.row + i, l.column, PadRight(line, width), Look{}});
    }
    const bool more = page_ + 1 < Pages();
    const std::string more_text = more ? "More..." : "Bottom";
    // Right-aligned to column 79 (73..79), blanks in front so a page change overwrites
    // the longer word.
    shown_.texts.push_back({l.row + l.size, 73, PadRight("", 7 - more_text.size()) + more_text,
                            Look{}});
  }
}

const ShownField* AppSession::InputAt(int row, int column) const {
  for (const ShownField& f : shown_.fields)
    if (f.def.input && f.def.row == row && f.def.column == column) return &f;
  return nullptr;
}

const ShownField* AppSession::FirstInput() const {
  const ShownField* first = nullptr;
  for (const ShownField& f : shown_.fields) {
    if (!f.def.input) continue;
    if (!first || f.def.row < first->def.row ||
        (f.def.row == first->def.row && f.def.column < first->def.column))
      first = &f;
  }
  return first;
}

Reply AppSession::Answer(const std::string& key,
                         const std::map<std::string, std::string>& typed) {
  Reply reply;
  if (inHelp_) {
    inHelp_ = false;
    reply.outcome = Outcome::kCloseHelp;
    return reply;
  }
  const Screen& s = *screen_;
  // Every input field's value becomes a variable, typed or as shown.
  for (ShownField& f : shown_.fields) {
    if (!f.def.input) continue;
    auto it = typed.find(f.def.name);
    if (it != typed.end()) f.text = PadRight(it->second, static_cast<std::size_t>(f.def.length));
    vars_[f.def.name] = ValueOf(f.def, f.text);
  }
  auto fieldNamed = [&](const std::string& name) -> const ShownField* {
    for (const ShownField& f : shown_.fields)
      if (f.def.input && f.def.name == name) return &f;
    return nullptr;
  };
  auto error = [&](const std::string& message, const ShownField* at) {
    reply.outcome = Outcome::kError;
    reply.message = Left(Resolve(message), 78);
    if (at) {
      reply.cursorRow = at->def.row;
      reply.cursorColumn = at->def.column;
    }
    return reply;
  };
  const Transition* chosen = nullptr;
  for (const Transition& t : s.transitions) {
    if (t.key != key) continue;
    if (!t.whenField.empty() && !SameValue(Variable(t.whenField), t.whenValue)) continue;
    chosen = &t;
    break;
  }
  // List screens page by themselves unless the script takes the roll keys.
  if (!chosen && !s.lists.empty() && (key == "rollup" || key == "rolldown")) {
    const bool forward = key == "rollup";
    if (forward && page_ + 1 >= Pages()) return error("You are already at the bottom of the list.", nullptr);
    if (!forward && page_ == 0) return error("You are already at the top of the list.", nullptr);
    page_ += forward ? 1 : -1;
    Render();
    reply.outcome = Outcome::kPage;
    reply.rollLines = forward ? s.lists[0].size : -s.lists[0].size;
    return reply;
  }
  if (!chosen && key == "help" && !s.help.empty()) {
    inHelp_ = true;
    reply.outcome = Outcome::kHelp;
    return reply;
  }
  // The terminal has blanked its screen for Clear: draw the screen again.
  if (!chosen && key == "clear") {
    Show(s);
    return reply;
  }
  // Print is the terminal's own business (it does not wait for an answer):
  // an unwanted one is not answered with an error the operator must reset.
  if (!chosen && key == "print") {
    reply.outcome = Outcome::kIgnore;
    return reply;
  }
  if (!chosen) return error("Function key not allowed on this screen.", nullptr);
  if (key == "enter") {
    for (const Check& c : s.checks) {
      const ShownField* f = fieldNamed(c.field);
      const std::string v = Variable(c.field);
      bool ok = true;
      long long n = 0;
      switch (c.kind) {
        case Check::Kind::kRequired:
          ok = !v.empty();
          break;
        case Check::Kind::kInTable: {
          const Table& table = app_.tables.at(c.table);
          const int r = table.FindRow(v);
          ok = r >= 0;
          // The row's columns become TABLE.column for later screens.
          if (ok)
            for (std::size_t i = 0; i < table.columns.size(); ++i)
              vars_[table.name + "." + table.columns[i]] = table.rows[r][i];
          break;
        }
        case Check::Kind::kRange:
          ok = WholeNumber(TrimBlanks(v), &n) && n >= c.min && n <= c.max;
          break;
      }
      if (!ok) return error(c.message, f);
    }
  }
  switch (chosen->action.kind) {
    case Action::Kind::kGoto:
      history_.push_back(s.name);
      if (history_.size() > kHistoryLimit) history_.erase(history_.begin());
      Show(*app_.FindScreen(chosen->action.target));
      return reply;
    case Action::Kind::kBack: {
      std::string to = s.name;
      if (!history_.empty()) {
        to = history_.back();
        history_.pop_back();
      }
      Show(*app_.FindScreen(to));
      return reply;
    }
    case Action::Kind::kError: {
      // The message is about the screen, not a field: the cursor goes to
      // the field the rule's condition names, else to the first input
      // field, so that the operator retypes from its start rather than
      // wherever typing stopped.
      const ShownField* at = chosen->whenField.empty() ? nullptr : fieldNamed(chosen->whenField);
      return error(chosen->action.message, at ? at : FirstInput());
    }
    case Action::Kind::kSignOff:
      reply.outcome = Outcome::kSignOff;
      return reply;
    case Action::Kind::kHelp:
      inHelp_ = true;
      reply.outcome = Outcome::kHelp;
      return reply;
    case Action::Kind::kStay:
      Show(s);
      return reply;
  }
  return reply;
}

}  // namespace tervo::demohost
