// What a handheld does with a screen program: lays it out on a display
// DisplayLen characters wide, lets the operator move between items, type
// into input items and choose, and turns that into an answer.  Used by the
// terminal simulator and by tests that drive simulated terminals.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/radio/screen_program.h"

namespace tervo::radio::sim {

enum class Key {
  kEnter,
  kEscape,
  kF1,
  kF2,
  kF3,
  kF4,
  kF5,
  kF6,
  kF7,
  kF8,
  kSend,  // sends the screen from wherever the cursor is
  kUp,
  kDown,
  kTab,
  kBackTab,
  kBackspace,
  kAny,  // only continues a program waiting for a key
};

// Parses "Enter", "Esc", "F1".."F8", "Send", "Up", "Down", "Tab",
// "BackTab", "Backspace", "Any" (any case).
std::optional<Key> KeyFromName(const std::string& name);

enum class Style { kNormal, kInverse, kLarge };

struct Item {
  enum class Kind { kLabel, kPrompt, kInput };
  Kind kind = Kind::kLabel;
  int number = 0;      // what the answer reports when this item is chosen
  std::string text;    // label or prompt text (first scroll text)
  std::string scroll;  // second scroll text, scrolled on the display
  int input = -1;      // input items: index into the input values
  int size = 0;        // input width
  int flags = 0;       // input attribute bits: 1 protected, 2 auto exit,
                       // 4 hidden, 16 sends with Enter, 64 bar code
  std::string label;   // input items: the prompt said before it
  bool Focusable() const { return kind == Kind::kPrompt || (kind == Kind::kInput && !(flags & 1)); }
};

// One run of equal style on a laid-out line.
struct Segment {
  std::string text;
  Style style = Style::kNormal;
  int item = -1;  // index into Items(), -1 for plain text
};
using Line = std::vector<Segment>;

class TerminalDisplay {
 public:
  explicit TerminalDisplay(int width = 20) : width_(width < 1 ? 1 : width) {}

  enum class Outcome { kNone, kAnswer, kReset };

  // Starts a new program; runs it up to the first wait for a key or its end.
  Outcome Load(const ScreenProgram& program);
  void Clear();

  // Operator actions.  kAnswer: TakeAnswer() holds the answer to send;
  // kReset: the program reset the terminal.
  Outcome Press(Key key);
  Outcome Type(const std::string& text);
  // Replaces the value of the input item under the cursor; false when the
  // cursor is not on an editable input item.
  bool SetValue(const std::string& value);
  // Moves the cursor to the first focusable item whose text (or input label)
  // contains text; false when there is none.
  bool MoveTo(const std::string& text);
  Answer TakeAnswer() { return std::move(answer_); }

  bool WaitingForKey() const { return waiting_; }
  bool Answered() const { return answered_; }
  int Cursor() const { return cursor_; }
  const std::vector<Item>& Items() const { return items_; }
  const std::string& Legend() const { return legend_; }
  // The legend as shown: control characters (its escape key) as "^".
  std::string ShownLegend() const;
  const std::string& ScreenName() const { return program_.name; }
  std::uint32_t Sequence() const { return program_.sequence; }
  int Beeps() const { return beeps_; }
  int Width() const { return width_; }
  std::string Value(int input) const;

  // The display laid out; scrollOffset rotates scrolling texts.
  std::vector<Line> Layout(int scrollOffset = 0) const;
  // The display as plain text, one string per line, trailing blanks cut.
  std::vector<std::string> PlainLines() const;
  // Whether text appears on the display (across line breaks too) or in the legend.
  bool Shows(const std::string& text) const;

 private:
  struct Element {
    enum class Kind { kText, kNewLine, kItem };
    Kind kind = Kind::kText;
    std::string text;
    Style style = Style::kNormal;
    int item = -1;
  };

  Outcome Run();
  void Focus(int from, int step);
  Outcome Answer_(int chosen, bool sendKey);
  std::string ItemText(const Item& item, int scrollOffset) const;

  int width_;
  ScreenProgram program_;
  std::size_t pc_ = 0;
  std::vector<Element> elements_;
  std::vector<Item> items_;
  std::vector<std::string> values_;  // one per input item of the program
  int itemCount_ = 0;
  int openSay_ = -1;          // item index of a Say or Scroll not yet closed
  int cursorItemNumber_ = 0;  // requested by ChangeScreenAttributes
  int cursor_ = -1;
  bool caps_ = false;
  bool waiting_ = false;
  bool reads_ = false;
  bool answered_ = false;
  int beeps_ = 0;
  std::string legend_;
  Answer answer_;
};

}  // namespace tervo::radio::sim
