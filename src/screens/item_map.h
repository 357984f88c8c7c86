// What the items of the screen last built for a terminal stand for, so that
// the terminal's answer reads straight into host fields and keys.  Items
// count the screen's prompts, Enter items and input items from 1 in build
// order (radio::CountsAsItem).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "config/screen_store.h"
#include "platform/radio/screen_program.h"

namespace tervo::screens {

// The trailer's "F " input item, where a function key number is typed.
constexpr std::int32_t kFunctionNumberInput = -1;
// Its width: one or two digits and room for one more character.
constexpr std::size_t kFunctionNumberWidth = 3;

struct ItemMap {
  struct Input {
    std::int32_t field = kFunctionNumberInput;  // the host field it edits
    // A typed value is cut or blank padded to this.
    std::size_t width = 0;
  };

  // Per item count n (0..500): the host field whose rendering ended with
  // item n; counts where none ended hold 0.  Later items are not recorded.
  std::array<std::int32_t, config::kFieldSlots> fieldEndingAt{};
  std::vector<Input> inputs;  // one per input item, in item order
  // The trailer's items that stand for host keys.
  std::int32_t enterItem = 0;   // "@E"
  std::int32_t pgDownItem = 0;  // "@u"
  std::int32_t pgUpItem = 0;    // "@v"

  // The host field of a chosen item: a field's selectable line is closed by
  // the item after the field's own, so it is the field that ended just
  // before; -1 when that item was not recorded.
  std::int32_t FieldOfChosen(int chosen) const {
    const int n = chosen - 1;
    return n >= 0 && n < config::kFieldSlots ? fieldEndingAt[static_cast<std::size_t>(n)] : -1;
  }
};

// An answer read through the map of the screen it answers.
struct MappedAnswer {
  // Item number, radio::kChosenNone, radio::kChosenEscape or F1..F8 (-1..-8).
  std::int32_t chosen = radio::kChosenNone;
  // What was typed into the "F " item, kFunctionNumberWidth characters;
  // empty when the answer holds no value for it.
  std::string functionNumber;
  // Host field and the value typed into its input item, at the item's width.
  // Input items the answer holds no value for keep what they showed.
  std::vector<std::pair<std::int32_t, std::string>> fieldValues;
};

MappedAnswer MapAnswer(const ItemMap& map, const radio::Answer& answer);

}  // namespace tervo::screens
