#include "platform/host5250/device_name.h"

namespace tervo::host5250 {

bool ValidDeviceName(const std::string& name, std::string* normalized, std::string* err) {
  std::string up;
  bool ok = !name.empty() && name.size() <= 10;
  for (std::size_t i = 0; ok && i < name.size(); ++i) {
    char c = name[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    const bool letter = (c >= 'A' && c <= 'Z') || c == '$' || c == '#' || c == '@';
    const bool other = (c >= '0' && c <= '9') || c == '_' || c == '.';
    ok = letter || (i > 0 && other);
    up.push_back(c);
  }
  if (!ok) {
    if (err) *err = "Invalid Device " + name;
    return false;
  }
  if (normalized) *normalized = up;
  return true;
}

}  // namespace tervo::host5250
