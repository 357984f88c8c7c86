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

  // The program is being stopped (a signal): the box or dialog open now is
  // closed, and from now on nothing is shown.  Unanswered questions return
  // Cancel (so nothing is saved, cleared or chosen on their account), input
  // boxes their default text, choices the current item, file dialogs
  // Cancelled.
  void Stop();
  bool Stopped() const { return stopped_; }

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
  bool stopped_ = false;
};

}  // namespace tervo::ui
