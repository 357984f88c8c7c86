// Message boxes, input boxes and file dialogs as the operator sees them.
// Everything that asks the operator goes through config::Prompt and
// config::FileDialogs, so tests substitute answers and the headless
// gateway never reaches this file.
#pragma once

#include "config/menu_commands.h"

class QWidget;

namespace tervo::ui {

class WidgetPrompt : public config::Prompt, public config::FileDialogs {
 public:
  explicit WidgetPrompt(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }

  Answer Message(const std::string& text, const std::string& title, Buttons buttons) override;
  std::string Input(const std::string& prompt, const std::string& title,
                    const std::string& defaultText) override;
  std::string Choose(const std::string& prompt, const std::string& title,
                     const std::vector<std::string>& items, const std::string& current) override;
  Result Open(const std::string& presetName, const std::string& folder,
              std::string* chosen) override;
  Result Save(const std::string& presetName, const std::string& folder,
              std::string* chosen) override;

 private:
  QWidget* parent_;
};

}  // namespace tervo::ui
