#include "platform/demohost/app_model.h"

#include <algorithm>

#include "platform/demohost/app_text.h"

namespace tervo::demohost {
bool SameValue(const std::string& a, const std::string& b) {
  const std::string x = TrimBlanks(a);
  const std::string y = TrimBlanks(b);
  long long nx = 0, ny = 0;
  if (WholeNumber(x, &nx) && WholeNumber(y, &ny)) return nx == ny;
  return ToUpper(x) == ToUpper(y);
}

int Table::ColumnIndex(const std::string& column) const {
  auto it = std::find(columns.begin(), columns.end(), column);
  return it == columns.end() ? -1 : static_cast<int>(it - columns.begin());
}

int Table::FindRow(const std::string& key) const {
  if (TrimBlanks(key).empty()) return -1;
  for (std::size_t i = 0; i < rows.size(); ++i)
    if (!rows[i].empty() && SameValue(rows[i][0], key)) return static_cast<int>(i);
  return -1;
}

const Screen* Application::FindScreen(const std::string& name) const {
  auto it = screens.find(name);
  return it == screens.end() ? nullptr : &it->second;
}

}  // namespace tervo::demohost
