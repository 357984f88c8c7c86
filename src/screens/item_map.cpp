#include "screens/item_map.h"

#include <algorithm>

namespace tervo::screens {

MappedAnswer MapAnswer(const ItemMap& map, const radio::Answer& answer) {
  MappedAnswer m;
  m.chosen = answer.chosen;
  const std::size_t n = std::min(map.inputs.size(), answer.values.size());
  for (std::size_t i = 0; i < n; ++i) {
    std::string v = answer.values[i];
    v.resize(map.inputs[i].width, ' ');
    if (map.inputs[i].field == kFunctionNumberInput) {
      m.functionNumber = std::move(v);
    } else {
      m.fieldValues.emplace_back(map.inputs[i].field, std::move(v));
    }
  }
  return m;
}

}  // namespace tervo::screens
