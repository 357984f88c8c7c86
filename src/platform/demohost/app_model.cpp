#include "platform/demohost/app_model.h"

#include <algorithm>
#include <cctype>

#include "platform/demohost/app_text.h"

namespace tervo::demohost {
namespace {

bool WholeNumber(const std::string& s, long long* out) {
  if (s.empty() || s.size() > 15) return false;
  std::size_t i = (s[0] == '-' || s[0] == '+') ? 1 : 0;
  if (i == s.size()) return false;
  long long v = 0;
  for (; i < s.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(s[i]))) return false;
    v = v * 10 + (s[i] - '0');
  }
  *out = s[0] == '-' ? -v : v;
  return true;
}

}  // namespace

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
