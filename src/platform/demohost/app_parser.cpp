#include "platform/demohost/app_parser.h"

#include <QFile>

#include <algorithm>
#include <cctype>
#include <set>

#include "platform/demohost/app_text.h"

namespace tervo::demohost {
namespace {

constexpr int kRows = 24;
constexpr int kColumns = 80;

struct Token {
  std::string key;  // "type" of "type=digits"; empty for a plain word
  std::string text;
  bool quoted = false;
};

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// Splits one line into words and "quoted strings" ("" inside a string is one
// quote); key=value and key="quoted value" make one token.  '#' at the start
// of a token begins a comment.
bool Tokenize(const std::string& line, std::vector<Token>* out, std::string* err) {
  std::size_t i = 0;
  auto readQuoted = [&](std::string* text) {
    ++i;  // opening quote
    for (;;) {
      if (i >= line.size()) {
        *err = "the quoted text has no closing quote";
        return false;
      }
      if (line[i] == '"') {
        if (i + 1 < line.size() && line[i + 1] == '"') {
          text->push_back('"');
          i += 2;
          continue;
        }
        ++i;
        if (i < line.size() && line[i] != ' ' && line[i] != '\t') {
          *err = "a blank must follow the closing quote";
          return false;
        }
        return true;
      }
      text->push_back(line[i++]);
    }
  };
  while (i < line.size()) {
    char c = line[i];
    if (c == ' ' || c == '\t' || c == '\r') {
      ++i;
      continue;
    }
    if (c == '#') break;
    Token t;
    if (c == '"') {
      t.quoted = true;
      if (!readQuoted(&t.text)) return false;
      out->push_back(t);
      continue;
    }
    std::string word;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
      if (line[i] == '"') {
        if (!word.empty() && word.back() == '=' && word.size() > 1) {
          t.key = Lower(word.substr(0, word.size() - 1));
          t.quoted = true;
          if (!readQuoted(&t.text)) return false;
          word.clear();
          break;
        }
        *err = "unexpected quote in '" + word + "'";
        return false;
      }
      word.push_back(line[i++]);
    }
    if (!t.quoted) {
      std::size_t eq = word.find('=');
      if (eq != std::string::npos && eq > 0 && eq + 1 < word.size()) {
        t.key = Lower(word.substr(0, eq));
        t.text = word.substr(eq + 1);
      } else {
        t.text = word;
      }
    }
    out->push_back(t);
  }
  return true;
}

bool IsName(const std::string& s) {
  if (s.empty() || !(std::isalpha(static_cast<unsigned char>(s[0])) || s[0] == '_')) return false;
  return std::all_of(s.begin(), s.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.';
  });
}

// Numbers in an application file carry no plus sign.
bool ToNumber(const std::string& s, long long* out) { return (s.empty() || s[0] != '+') && WholeNumber(s, out); }

struct Reader {
  Application* app = nullptr;
  int line = 0;
  std::string error;

  enum class Block { kNone, kTable, kLayout, kScreen };
  Block block = Block::kNone;
  Table* table = nullptr;
  Body* body = nullptr;
  Screen* screen = nullptr;
  int blockLine = 0;

  bool Fail(const std::string& what) {
    error = "line " + std::to_string(line) + ": " + what;
    return false;
  }

  bool Word(const std::vector<Token>& t, std::size_t i, const char* what, std::string* out) {
    if (i >= t.size() || !t[i].key.empty()) return Fail(std::string("expected ") + what);
    *out = t[i].text;
    return true;
  }

  bool Name(const std::vector<Token>& t, std::size_t i, const char* what, std::string* out) {
    if (i >= t.size() || !t[i].key.empty() || t[i].quoted || !IsName(t[i].text))
      return Fail(std::string("expected ") + what + " (letters, digits, '_')");
    *out = t[i].text;
    return true;
  }

  bool Quoted(const std::vector<Token>& t, std::size_t i, const char* what, std::string* out) {
    if (i >= t.size() || !t[i].key.empty() || !t[i].quoted)
      return Fail(std::string("expected ") + what + " in double quotes");
    *out = t[i].text;
    return true;
  }

  bool Int(const std::vector<Token>& t, std::size_t i, const char* what, int lo, int hi,
           int* out) {
    long long v = 0;
    if (i >= t.size() || !t[i].key.empty() || t[i].quoted || !ToNumber(t[i].text, &v))
      return Fail(std::string("expected ") + what + " (a number)");
    if (v < lo || v > hi)
      return Fail(std::string(what) + " " + t[i].text + " is outside " + std::to_string(lo) +
                  ".." + std::to_string(hi));
    *out = static_cast<int>(v);
    return true;
  }

  bool NoMore(const std::vector<Token>& t, std::size_t i) {
    if (i < t.size()) return Fail("unexpected '" + t[i].text + "' at the end of the line");
    return true;
  }

  // Display attribute words; returns false (without failing) for other words.
  static bool LookWord(const Token& t, Look* look) {
    if (!t.key.empty() || t.quoted) return false;
    std::string w = Lower(t.text);
    if (w == "bright") look->bright = true;
    else if (w == "reverse") look->reverse = true;
    else if (w == "underline") look->underline = true;
    else if (w == "blink") look->blink = true;
    else if (w == "hidden") look->hidden = true;
    else return false;
    return true;
  }

  bool Statement(const std::vector<Token>& t) {
    const std::string verb = Lower(t[0].text);
    if (!t[0].key.empty() || t[0].quoted) return Fail("expected a statement word");
    if (verb == "end") {
      if (block == Block::kNone) return Fail("'end' without an open table, layout or screen");
      block = Block::kNone;
      return NoMore(t, 1);
    }
    if (block != Block::kNone &&
        (verb == "application" || verb == "start" || verb == "table" || verb == "layout" ||
         verb == "screen"))
      return Fail("the block opened on line " + std::to_string(blockLine) +
                  " has no 'end' before this '" + t[0].text + "'");
    switch (block) {
      case Block::kNone: return TopLevel(verb, t);
      case Block::kTable: return TableRow(verb, t);
      case Block::kLayout:
      case Block::kScreen: return BodyStatement(verb, t);
    }
    return false;
  }

  bool TopLevel(const std::string& verb, const std::vector<Token>& t) {
    if (verb == "application") {
      return Quoted(t, 1, "the application's title", &app->title) && NoMore(t, 2);
    }
    if (verb == "start") {
      return Name(t, 1, "the first screen's name", &app->start) && NoMore(t, 2);
    }
    if (verb == "table") {
      std::string name;
      if (!Name(t, 1, "a table name", &name)) return false;
      if (app->tables.count(name)) return Fail("table " + name + " is defined twice");
      Table& tb = app->tables[name];
      tb.name = name;
      tb.line = line;
      for (std::size_t i = 2; i < t.size(); ++i) {
        std::string col;
        if (!Name(t, i, "a column name", &col)) return false;
        if (std::find(tb.columns.begin(), tb.columns.end(), col) != tb.columns.end())
          return Fail("column " + col + " is named twice");
        tb.columns.push_back(col);
      }
      if (tb.columns.empty()) return Fail("table " + name + " needs at least one column name");
      table = &tb;
      block = Block::kTable;
      blockLine = line;
      return true;
    }
    if (verb == "layout") {
      std::string name;
      if (!Name(t, 1, "a layout name", &name) || !NoMore(t, 2)) return false;
      if (app->layouts.count(name)) return Fail("layout " + name + " is defined twice");
      body = &app->layouts[name];
      screen = nullptr;
      block = Block::kLayout;
      blockLine = line;
      return true;
    }
    if (verb == "screen") {
      std::string name;
      if (!Name(t, 1, "a screen name", &name)) return false;
      if (app->screens.count(name)) return Fail("screen " + name + " is defined twice");
      Screen& s = app->screens[name];
      s.name = name;
      s.line = line;
      if (t.size() > 2) {
        if (Lower(t[2].text) != "uses" || !t[2].key.empty())
          return Fail("expected 'uses LAYOUT' after the screen name");
        if (!Name(t, 3, "a layout name", &s.layout) || !NoMore(t, 4)) return false;
        if (!app->layouts.count(s.layout))
          return Fail("layout " + s.layout + " is not defined (define layouts before screens)");
      }
      screen = &s;
      body = &s.body;
      block = Block::kScreen;
      blockLine = line;
      return true;
    }
    return Fail("unknown statement '" + t[0].text +
                "' (expected application, start, table, layout or screen)");
  }

  bool TableRow(const std::string& verb, const std::vector<Token>& t) {
    if (verb != "row") return Fail("expected 'row' or 'end' inside table " + table->name);
    std::vector<std::string> values;
    for (std::size_t i = 1; i < t.size(); ++i) {
      if (!t[i].key.empty()) return Fail("unexpected '" + t[i].key + "=' in a table row");
      values.push_back(t[i].text);
    }
    if (values.size() != table->columns.size())
      return Fail("the row has " + std::to_string(values.size()) + " values, table " +
                  table->name + " has " + std::to_string(table->columns.size()) + " columns");
    if (table->FindRow(values[0]) >= 0)
      return Fail("key " + values[0] + " appears twice in table " + table->name);
    table->rows.push_back(std::move(values));
    return true;
  }

  bool Position(const std::vector<Token>& t, std::size_t i, int* row, int* column,
                bool allowCenter) {
    if (!Int(t, i, "a row", 1, kRows, row)) return false;
    if (allowCenter && i + 1 < t.size() && t[i + 1].key.empty() && !t[i + 1].quoted &&
        Lower(t[i + 1].text) == "center") {
      *column = 0;
      return true;
    }
    // Column 1 cannot be used: the attribute byte goes before the text.
    return Int(t, i + 1, "a column", 2, kColumns, column);
  }

  bool BodyStatement(const std::string& verb, const std::vector<Token>& t) {
    if (verb == "text") {
      Constant c;
      c.line = line;
      if (!Position(t, 1, &c.row, &c.column, true) ||
          !Quoted(t, 3, "the text", &c.text))
        return false;
      for (std::size_t i = 4; i < t.size(); ++i)
        if (!LookWord(t[i], &c.look)) return Fail("unknown text attribute '" + t[i].text + "'");
      if (c.column > 0 && c.text.find('{') == std::string::npos &&
          c.column + static_cast<int>(c.text.size()) - 1 > kColumns)
        return Fail("the text runs past column 80");
      body->constants.push_back(c);
      return true;
    }
    if (verb == "repeat") {
      Rule r;
      r.line = line;
      std::string fill;
      if (!Position(t, 1, &r.row, &r.column, false) ||
          !Int(t, 3, "a length", 1, kColumns, &r.length) ||
          !Quoted(t, 4, "the character", &fill) || !NoMore(t, 5))
        return false;
      if (fill.size() != 1) return Fail("repeat takes exactly one character");
      if (r.column + r.length - 1 > kColumns) return Fail("the repeat runs past column 80");
      r.fill = fill[0];
      body->rules.push_back(r);
      return true;
    }
    if (verb == "keys") {
      if (!body->keysLine.empty()) return Fail("the function-key line is given twice");
      body->keysLineLine = line;
      if (!Quoted(t, 1, "the function-key line", &body->keysLine) || !NoMore(t, 2)) return false;
      if (body->keysLine.size() > 78) return Fail("the function-key line is longer than 78");
      return true;
    }
    if (verb == "input" || verb == "output") return FieldStatement(verb == "input", t);
    static const std::set<std::string> kScreenOnly = {"title", "cursor", "help", "list",
                                                      "check", "on",     "read"};
    if (block == Block::kLayout) {
      if (kScreenOnly.count(verb))
        return Fail("'" + t[0].text + "' is not allowed in a layout (only text, repeat, output, keys)");
      return Fail("unknown statement '" + t[0].text + "' in a layout");
    }
    if (verb == "title") {
      return Quoted(t, 1, "the title", &screen->title) && NoMore(t, 2);
    }
    if (verb == "cursor") {
      if (t.size() == 2) {
        return Name(t, 1, "a field name or ROW COLUMN", &screen->cursorField);
      }
      return Position(t, 1, &screen->cursorRow, &screen->cursorColumn, false) && NoMore(t, 3);
    }
    if (verb == "help") {
      std::string h;
      if (!Quoted(t, 1, "a help line", &h) || !NoMore(t, 2)) return false;
      if (h.size() > 60) return Fail("a help line is longer than 60");
      if (screen->help.size() >= 12) return Fail("a help window holds at most 12 lines");
      screen->help.push_back(h);
      return true;
    }
    if (verb == "list") {
      if (!screen->lists.empty()) return Fail("a screen holds at most one list");
      ListArea l;
      l.line = line;
      if (!Name(t, 1, "a table name", &l.table) || !Position(t, 2, &l.row, &l.column, false) ||
          !Int(t, 4, "the rows per page", 1, kRows - 1, &l.size) ||
          !Quoted(t, 5, "the line template", &l.line_template) || !NoMore(t, 6))
        return false;
      if (l.row + l.size > kRows)
        return Fail("the list and its More.../Bottom line run past row 24");
      screen->lists.push_back(l);
      return true;
    }
    if (verb == "read") {
      std::string how;
      if (!Word(t, 1, "'all' or 'modified'", &how) || !NoMore(t, 2)) return false;
      how = Lower(how);
      if (how != "all" && how != "modified") return Fail("expected 'read all' or 'read modified'");
      screen->readAll = how == "all";
      return true;
    }
    if (verb == "check") return CheckStatement(t);
    if (verb == "on") return OnStatement(t);
    return Fail("unknown statement '" + t[0].text + "' in screen " + screen->name);
  }

  bool FieldStatement(bool input, const std::vector<Token>& t) {
    Field f;
    f.line = line;
    f.input = input;
    if (!Position(t, 1, &f.row, &f.column, false) ||
        !Int(t, 3, "a length", 1, kColumns - 1, &f.length))
      return false;
    if (f.column + f.length - 1 > kColumns) return Fail("the field runs past column 80");
    std::size_t i = 4;
    if (input) {
      if (block == Block::kLayout) return Fail("input fields belong in screens, not layouts");
      if (!Name(t, 4, "the field's name", &f.name)) return false;
      i = 5;
    } else {
      if (!Quoted(t, 4, "the field's value", &f.value)) return false;
      i = 5;
    }
    bool fill = false;
    for (; i < t.size(); ++i) {
      const Token& o = t[i];
      if (LookWord(o, &f.look)) continue;
      const std::string v = Lower(o.text);
      if (o.key == "type") {
        static const std::map<std::string, ShiftType> kTypes = {
            {"alpha", ShiftType::kAlpha},     {"alphaonly", ShiftType::kAlphaOnly},
            {"numshift", ShiftType::kNumShift}, {"numonly", ShiftType::kNumOnly},
            {"katakana", ShiftType::kKatakana}, {"digits", ShiftType::kDigits},
            {"io", ShiftType::kIo},           {"signed", ShiftType::kSigned}};
        auto it = kTypes.find(v);
        if (it == kTypes.end())
          return Fail("unknown field type '" + o.text +
                      "' (alpha, alphaonly, numshift, numonly, katakana, digits, io, signed)");
        f.shift = it->second;
      } else if (o.key == "adjust") {
        if (fill || f.adjust != Adjust::kNone) return Fail("adjust is given twice");
        if (v == "zero") f.adjust = Adjust::kZeroFill;
        else if (v == "blank") f.adjust = Adjust::kBlankFill;
        else return Fail("unknown adjust '" + o.text + "' (zero or blank)");
      } else if (o.key == "value" && input) {
        f.value = o.text;
      } else if (!o.key.empty()) {
        return Fail("unknown field option '" + o.key + "='");
      } else if (v == "fill") {
        if (f.adjust != Adjust::kNone) return Fail("fill and adjust exclude each other");
        fill = true;
        f.adjust = Adjust::kMandatoryFill;
      } else if (v == "mandatory" && input) {
        f.mandatoryEnter = true;
      } else if (v == "upper" && input) {
        f.upperCase = true;
      } else if (v == "autoenter" && input) {
        f.autoEnter = true;
      } else if (v == "exit" && input) {
        f.fieldExit = true;
      } else {
        return Fail("unknown field option '" + o.text + "'");
      }
    }
    if (f.shift == ShiftType::kSigned && f.length < 2)
      return Fail("a signed field needs at least two positions (digits and sign)");
    if (input) {
      for (const Field& other : body->fields)
        if (other.input && other.name == f.name)
          return Fail("field " + f.name + " is defined twice on this screen");
    }
    body->fields.push_back(f);
    return true;
  }

  bool CheckStatement(const std::vector<Token>& t) {
    Check c;
    c.line = line;
    std::string kind;
    if (!Name(t, 1, "the field to check", &c.field) || !Word(t, 2, "a check", &kind))
      return false;
    kind = Lower(kind);
    std::size_t i = 3;
    if (kind == "required") {
      c.kind = Check::Kind::kRequired;
    } else if (kind == "in") {
      c.kind = Check::Kind::kInTable;
      if (!Name(t, 3, "a table name", &c.table)) return false;
      i = 4;
    } else if (kind == "range") {
      c.kind = Check::Kind::kRange;
      if (i + 1 >= t.size() || !ToNumber(t[3].text, &c.min) || !ToNumber(t[4].text, &c.max) ||
          c.min > c.max)
        return Fail("range needs two numbers, the smaller first");
      i = 5;
    } else {
      return Fail("unknown check '" + kind + "' (required, in TABLE, range MIN MAX)");
    }
    if (!Quoted(t, i, "the error message", &c.message) || !NoMore(t, i + 1)) return false;
    if (c.message.size() > 78) return Fail("the error message is longer than 78");
    screen->checks.push_back(c);
    return true;
  }

  bool OnStatement(const std::vector<Token>& t) {
    Transition tr;
    tr.line = line;
    std::string key;
    if (!Word(t, 1, "a key", &key)) return false;
    tr.key = Lower(key);
    if (!IsKeyName(tr.key))
      return Fail("unknown key '" + key + "' (enter, rollup, rolldown, help, print, clear, f1..f24)");
    std::size_t i = 2;
    if (i < t.size() && t[i].key.empty() && !t[i].quoted && Lower(t[i].text) == "when") {
      if (!Name(t, 3, "the field the condition reads", &tr.whenField)) return false;
      if (t.size() < 6 || t[4].text != "=" || !t[4].key.empty())
        return Fail("expected 'when FIELD = VALUE'");
      tr.whenValue = t[5].text;
      i = 6;
    }
    std::string act;
    if (!Word(t, i, "an action (goto, back, error, signoff, help, stay)", &act)) return false;
    act = Lower(act);
    if (act == "goto") {
      tr.action.kind = Action::Kind::kGoto;
      if (!Name(t, i + 1, "the next screen's name", &tr.action.target)) return false;
      i += 2;
    } else if (act == "error") {
      tr.action.kind = Action::Kind::kError;
      if (!Quoted(t, i + 1, "the error message", &tr.action.message)) return false;
      if (tr.action.message.size() > 78) return Fail("the error message is longer than 78");
      i += 2;
    } else if (act == "back" || act == "signoff" || act == "help" || act == "stay") {
      tr.action.kind = act == "back"      ? Action::Kind::kBack
                       : act == "signoff" ? Action::Kind::kSignOff
                       : act == "help"    ? Action::Kind::kHelp
                                          : Action::Kind::kStay;
      i += 1;
    } else {
      return Fail("unknown action '" + act + "' (goto, back, error, signoff, help, stay)");
    }
    if (!NoMore(t, i)) return false;
    screen->transitions.push_back(tr);
    return true;
  }

  // Names that only the whole application can confirm.
  bool CrossCheck() {
    if (app->start.empty()) {
      line = 1;
      return Fail("the application has no 'start SCREEN' statement");
    }
    if (!app->screens.count(app->start)) {
      line = 1;
      return Fail("the start screen " + app->start + " is not defined");
    }
    for (auto& [name, s] : app->screens) {
      std::set<std::string> inputs;
      for (const Field& f : s.body.fields)
        if (f.input) inputs.insert(f.name);
      if (!s.cursorField.empty() && !inputs.count(s.cursorField)) {
        line = s.line;
        return Fail("screen " + name + ": the cursor field " + s.cursorField + " is not an input field");
      }
      for (const ListArea& l : s.lists) {
        line = l.line;
        if (!app->tables.count(l.table)) return Fail("table " + l.table + " is not defined");
      }
      for (const Check& c : s.checks) {
        line = c.line;
        if (!inputs.count(c.field)) return Fail("field " + c.field + " is not an input field of screen " + name);
        if (c.kind == Check::Kind::kInTable && !app->tables.count(c.table))
          return Fail("table " + c.table + " is not defined");
      }
      for (const Transition& tr : s.transitions) {
        line = tr.line;
        if (!tr.whenField.empty() && !inputs.count(tr.whenField))
          return Fail("field " + tr.whenField + " is not an input field of screen " + name);
        if (tr.action.kind == Action::Kind::kGoto && !app->screens.count(tr.action.target))
          return Fail("screen " + tr.action.target + " is not defined");
        if (tr.action.kind == Action::Kind::kHelp && s.help.empty())
          return Fail("screen " + name + " has no help lines for 'help'");
      }
      if (!ScreenFits(s)) return false;
    }
    return true;
  }

  // Fields must not overlap each other (attribute bytes included): the
  // terminal would merge them and answers would be misread.
  bool ScreenFits(const Screen& s) {
    std::vector<const Field*> all;
    if (!s.layout.empty())
      for (const Field& f : app->layouts[s.layout].fields) all.push_back(&f);
    for (const Field& f : s.body.fields) all.push_back(&f);
    // The list rows are rolled and rewritten when the page changes: a field
    // there would be scrolled away with them.
    for (const ListArea& l : s.lists) {
      for (const Field* f : all) {
        if (f->row >= l.row && f->row <= l.row + l.size) {
          line = f->line;
          return Fail("screen " + s.name + ": this field lies in the list of line " +
                      std::to_string(l.line));
        }
      }
    }
    for (std::size_t a = 0; a < all.size(); ++a) {
      for (std::size_t b = a + 1; b < all.size(); ++b) {
        const Field& x = *all[a];
        const Field& y = *all[b];
        if (x.row != y.row) continue;
        // Each field occupies its attribute byte, its positions, and the
        // attribute byte that ends it.
        int x0 = x.column - 1, x1 = x.column + x.length;
        int y0 = y.column - 1, y1 = y.column + y.length;
        if (x0 < y1 && y0 < x1) {
          line = y.line;
          return Fail("screen " + s.name + ": this field overlaps the field of line " +
                      std::to_string(x.line));
        }
      }
    }
    return true;
  }
};

}  // namespace

bool IsKeyName(const std::string& key) {
  static const std::set<std::string> kKeys = {"enter", "rollup", "rolldown", "help", "print",
                                              "clear"};
  if (kKeys.count(key)) return true;
  if (key.size() >= 2 && key.size() <= 3 && key[0] == 'f') {
    long long n = 0;
    return ToNumber(key.substr(1), &n) && n >= 1 && n <= 24 && key[1] != '0';
  }
  return false;
}

bool ParseApplication(const std::string& text, Application* app, std::string* err) {
  *app = Application{};
  Reader r;
  r.app = app;
  std::size_t pos = 0;
  while (pos <= text.size()) {
    std::size_t nl = text.find('\n', pos);
    if (nl == std::string::npos) nl = text.size();
    std::string lineText = text.substr(pos, nl - pos);
    pos = nl + 1;
    ++r.line;
    std::vector<Token> tokens;
    std::string terr;
    if (!Tokenize(lineText, &tokens, &terr)) {
      r.Fail(terr);
      *err = r.error;
      return false;
    }
    if (!tokens.empty() && !r.Statement(tokens)) {
      *err = r.error;
      return false;
    }
    if (nl == text.size()) break;
  }
  if (r.block != Reader::Block::kNone) {
    r.line = r.blockLine;
    r.Fail("this block has no 'end'");
    *err = r.error;
    return false;
  }
  if (!r.CrossCheck()) {
    *err = r.error;
    return false;
  }
  return true;
}

bool LoadApplicationFile(const std::string& path, Application* app, std::string* err) {
  QFile f(QString::fromLocal8Bit(path.c_str()));
  if (!f.open(QIODevice::ReadOnly)) {
    *err = path + ": cannot be read (" + f.errorString().toStdString() + ")";
    return false;
  }
  QByteArray bytes = f.readAll();
  std::string perr;
  if (!ParseApplication(std::string(bytes.constData(), bytes.size()), app, &perr)) {
    *err = path + ", " + perr;
    return false;
  }
  return true;
}

}  // namespace tervo::demohost
