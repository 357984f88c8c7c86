// A scripted host application as the demo host plays it: screens built from
// constants and fields, and the rules that say which screen follows which
// key.  The text form is described in docs/demo-app-format.md; app_parser.h
// reads it, app_session.h plays it.  Text is 8-bit Windows-1252.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace tervo::demohost {

// The shift/edit type of a 5250 field (the low three bits of the first byte
// of the field format word).
enum class ShiftType {
  kAlpha = 0,      // alpha shift: anything may be typed
  kAlphaOnly = 1,  // letters, comma, period, minus, blank
  kNumShift = 2,   // numeric shift
  kNumOnly = 3,    // digits, comma, period, minus, plus, blank
  kKatakana = 4,
  kDigits = 5,     // digits only
  kIo = 6,         // feature input (magnetic stripe, light pen)
  kSigned = 7,     // signed numeric: the last position holds the sign
};

// Right-adjust and mandatory-fill bits of the field format word.
enum class Adjust { kNone = 0, kZeroFill = 5, kBlankFill = 6, kMandatoryFill = 7 };

// Display attributes shared by constants and fields.
struct Look {
  bool bright = false;
  bool reverse = false;
  bool underline = false;
  bool blink = false;
  bool hidden = false;  // non-display
};

// A constant: text at a position.  column 0 means centred on the row.
// Text may hold {variable} references, resolved when the screen is shown.
struct Constant {
  int line = 0;  // line of the application file, for messages
  int row = 1;
  int column = 2;
  std::string text;
  Look look;
};

// A row of one character repeated over a length (a separator line).
struct Rule {
  int line = 0;
  int row = 1;
  int column = 2;
  int length = 1;
  char fill = '-';
};

// An input field (typed by the operator) or an output field (protected,
// showing the value of a template).
struct Field {
  int line = 0;
  bool input = true;
  int row = 1;
  int column = 2;
  int length = 1;
  std::string name;      // input: the variable the typed value goes to
  std::string value;     // template: input's initial value, output's text
  ShiftType shift = ShiftType::kAlpha;
  Adjust adjust = Adjust::kNone;
  bool mandatoryEnter = false;
  bool upperCase = false;  // monocase
  bool autoEnter = false;
  bool fieldExit = false;  // field exit required
  Look look;
};

// A validation of a typed value, made when the operator presses Enter.
struct Check {
  enum class Kind { kRequired, kInTable, kRange };
  int line = 0;
  std::string field;
  Kind kind = Kind::kRequired;
  std::string table;     // kInTable
  long long min = 0;     // kRange
  long long max = 0;
  std::string message;   // template
};

// What a transition does.
struct Action {
  enum class Kind { kGoto, kBack, kError, kSignOff, kHelp, kStay };
  Kind kind = Kind::kStay;
  std::string target;   // kGoto: screen name
  std::string message;  // kError: template
};

// "on KEY [when FIELD = VALUE] ACTION"
struct Transition {
  int line = 0;
  std::string key;        // enter, rollup, rolldown, help, print, clear, f1..f24
  std::string whenField;  // empty: no condition
  std::string whenValue;
  Action action;
};

// A page-by-page list of a table's rows.
struct ListArea {
  int line = 0;
  std::string table;
  int row = 0;       // first screen row of the list
  int column = 2;
  int size = 0;      // rows per page
  std::string line_template;  // one list row; {column} of the table row
};

struct Table {
  int line = 0;
  std::string name;
  std::vector<std::string> columns;
  std::vector<std::vector<std::string>> rows;

  int ColumnIndex(const std::string& column) const;
  // The row whose first column equals key (trimmed, numbers compared by
  // value), or -1.
  int FindRow(const std::string& key) const;
};

// The display items a layout or screen contributes.
struct Body {
  std::vector<Constant> constants;
  std::vector<Rule> rules;
  std::vector<Field> fields;
  std::string keysLine;  // the function-key line, shown on row 23
  int keysLineLine = 0;
};

struct Screen {
  int line = 0;
  std::string name;
  std::string layout;  // empty: none
  std::string title;
  Body body;
  int cursorRow = 0;  // 0: at the first input field
  int cursorColumn = 0;
  std::string cursorField;
  std::vector<ListArea> lists;  // at most one
  std::vector<Check> checks;
  std::vector<Transition> transitions;
  std::vector<std::string> help;  // lines of the help window
  // Read Input Fields (every input field comes back) instead of Read MDT
  // Fields (only the modified ones).
  bool readAll = false;
};

struct Application {
  std::string title;
  std::string start;
  std::map<std::string, Table> tables;
  std::map<std::string, Body> layouts;
  std::map<std::string, Screen> screens;

  const Screen* FindScreen(const std::string& name) const;
};

// True when both texts are whole numbers (after trimming blanks) of equal
// value, or, failing that, when the trimmed texts are equal ignoring case.
bool SameValue(const std::string& a, const std::string& b);

}  // namespace tervo::demohost
