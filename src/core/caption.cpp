#include "core/caption.h"

#include "config/text.h"

namespace tervo::core {

std::string CaptionStatusText(const std::string& status, const std::string& configPath,
                              const std::string& previousStatusText) {
  if (status.empty()) return previousStatusText;
  std::string out = status + " ";
  if (configPath.size() > 20) out += "...";
  return out;
}

std::string CaptionText(const std::string& statusText, const std::string& configPath) {
  return kCaptionPrefix + statusText + text::Right(std::string(20, ' ') + configPath, 20);
}

}  // namespace tervo::core
