// "Screen Configurations": the screen editor's window, thin over
// editors::ScreenEditor.  Every control hands its change to the model and
// the window then shows the model again (values, enabled and locked
// states).  Enter closes the window; Up and Down step to the next and
// previous field ("&+" and "&-").
#pragma once

#include <QWidget>
#include <array>
#include <string>

#include "editors/screen_editor.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tervo::ui {

class ScreenEditorWindow : public QWidget {
  Q_OBJECT

 public:
  explicit ScreenEditorWindow(editors::ScreenEditor& editor, QWidget* parent = nullptr);

  // Shows the model in the controls.
  void Refresh();

  QCheckBox* Check(editors::EditorCheck c) const { return checks_[static_cast<std::size_t>(c)]; }
  QLineEdit* Box(editors::EditorText t) const { return texts_[static_cast<std::size_t>(t)]; }
  QLineEdit* FieldBox() const { return field_; }
  // The text-mode option of a flag2 bit (0: "Fixed").
  QRadioButton* TextMode(std::int32_t bit) const;
  QLineEdit* FunctionKey(int k) const { return keys_[static_cast<std::size_t>(k)]; }
  QLineEdit* FunctionKeyValue(int k) const { return values_[static_cast<std::size_t>(k)]; }
  // The read-only display of the captured host field ("Row", "Col", "Size",
  // "Type", "Justify", "Text").
  QLineEdit* HostBox(const char* name) const;

 signals:
  void setAsMasterClicked();
  void repeatClicked();
  // The window closed (after the model's closing rules ran).
  void closed();

 protected:
  void closeEvent(QCloseEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Build();
  QLineEdit* AddText(editors::EditorText t, const char* name);
  QCheckBox* AddCheck(editors::EditorCheck c, const char* name, const char* caption);
  void Changed();

  editors::ScreenEditor& editor_;
  std::array<QCheckBox*, editors::kEditorChecks> checks_{};
  std::array<QLineEdit*, editors::kEditorTexts> texts_{};
  std::array<QRadioButton*, std::size(editors::kTextModeBits)> modes_{};
  std::array<QLineEdit*, editors::kFunctionKeys> keys_{};
  std::array<QLineEdit*, editors::kFunctionKeys> values_{};
  QLineEdit* field_ = nullptr;
  QLabel* scrNumber_ = nullptr;
  QPushButton* repeat_ = nullptr;
  QCheckBox* hostShow_ = nullptr;
  QCheckBox* hostInput_ = nullptr;
  QCheckBox* hostAutoEnter_ = nullptr;
};

}  // namespace tervo::ui
