#include "core/headless_ui.h"

namespace tervo::core {

void HeadlessUi::CaptionChanged(const std::string& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  Line("caption: " + caption);
}

bool HeadlessUi::AskYesNo(const std::string& question, bool defaultYes) {
  Line("question: " + question + " answered " + (defaultYes ? "Yes" : "No") + " (headless)");
  return defaultYes;
}

void HeadlessUi::ShowMessage(const std::string& message) { Line("message: " + message); }

}  // namespace tervo::core
