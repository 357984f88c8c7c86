// "Repeat" without its window: a screen's repeat rule, the key sequence the
// gateway builds from a counter and sends to the host instead of showing
// the screen (to page down a list a given number of times, say).
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "config/menu_commands.h"
#include "config/screen_store.h"

namespace tervo::editors {

// The text boxes, named as their controls.
enum class RepeatBox : int {
  Keys1,        // "Do Keys" while the counter is above the threshold
  SubCounter1,  // "SUB Counter" of that branch
  IfCounter,    // "IF Counter >"
  Keys2,        // "ELSE", "Do Keys" while the counter is above 0
  SubCounter2,  // "SUB Counter" of the ELSE branch
  TKeys,        // "Terminate Keys"
  CounterVal,   // "Number of times to repeat"
  kCount
};
constexpr int kRepeatBoxes = static_cast<int>(RepeatBox::kCount);

// The "Use as Counter" options (RepeatRule::Counter); kNoCounter when the
// rule names none of them.
enum RepeatCounter : std::int32_t {
  kNoCounter = 0,
  kCounterUserId = 1,  // "User Id + fixed"
  kCounterFixed = 2,   // "Fixed"
  kCounterOrder = 3,   // "Field Order Nº"
};

class RepeatDialog {
 public:
  RepeatDialog(config::ScreenStore& store, config::Prompt& prompt)
      : store_(store), prompt_(prompt) {}

  // Fills the boxes from the screen's rule; false for a screen outside the
  // tables.
  bool Open(int screen);
  bool IsOpen() const { return open_; }
  int Screen() const { return screen_; }

  const std::string& Text(RepeatBox b) const { return boxes_[static_cast<std::size_t>(b)]; }
  void SetText(RepeatBox b, const std::string& value);
  std::int32_t Counter() const { return counter_; }
  void SelectCounter(std::int32_t counter);

  // "OK": stores the boxes and activates the rule.  A number box that is not
  // a number keeps its member; "Error " + description is shown after the
  // rest was stored, and false returned.  The dialog closes either way.
  bool Ok();
  // "Desactivate": the rule stays as it is, unused.
  void Desactivate();
  // The close box: nothing is stored.
  void Close() { open_ = false; }

 private:
  config::ScreenStore& store_;
  config::Prompt& prompt_;
  bool open_ = false;
  int screen_ = 0;
  std::array<std::string, kRepeatBoxes> boxes_;
  std::int32_t counter_ = kNoCounter;
};

}  // namespace tervo::editors
