// "General Configurations": the general options in their controls.  Every
// control is bound to its option key in config::GeneralOptions and writes
// each good change straight into the model; Reload() puts the model's texts
// back into the controls (after a configuration file was loaded).
//
// A text that is not a good value for its option (config/option_rules.h)
// is not written: the field is marked, the message line names it, the
// option keeps its last good value, and "OK" and Enter keep the dialog open
// until it is mended.  The connection fields share one place (TCP/IP
// address, or port, speed and handshaking), so ticking TCP/IP does not
// change the dialog's size.
#pragma once

#include <QWidget>
#include <functional>
#include <map>
#include <string>

#include "config/general_options.h"

class QLabel;
class QLineEdit;
class QCheckBox;
class QComboBox;
class QPushButton;
class QStackedWidget;

namespace tervo::ui {

class KeyPreview;

class GeneralConfigDialog : public QWidget {
  Q_OBJECT

 public:
  // sessionCount: the sessions of this run, the upper bound of SessionCt.
  GeneralConfigDialog(config::GeneralOptions& options, int sessionCount, QWidget* parent = nullptr);

  void Reload();

  // The control bound to an option key (its object name is the control's
  // name: "ErrLineStart" holds the key "ErrorLineStart").
  QWidget* Control(config::OptionKey key) const;
  QLabel* Label(config::OptionKey key) const;
  // The message line under the fields ("" when every field is good).
  QLabel* MessageLine() const { return message_; }
  // The message at key's field, "" when its text is good.
  QString FieldMessage(config::OptionKey key) const;

  // The value this run uses instead of the configured one for key (a
  // command-line option), "" for none; shown beside the field.
  std::function<std::string(config::Option key)> runOverride;

 signals:
  // "OK": the main window deselects its sessions and arranges the grid
  // again; the dialog then hides itself.
  void okClicked();
  void autoFillClicked();

 private:
  void Build();
  using Option = config::Option;
  // A line edit named after the key unless control names it; label nullptr:
  // the field has no label of its own.
  void AddText(Option key, const char* label, const char* control = nullptr);
  void AddCheck(Option key, const char* caption);
  void TextChanged(Option key, const QString& text);
  void ApplyConnectionFields();
  void SetControlText(Option key);
  QString ControlText(Option key) const;
  QString LabelText(Option key) const;
  // Checks every field, stores texts that became good (a length after its
  // column), marks the bad ones and fills the message line.  Returns the
  // first bad field that is shown, or nullptr.
  QWidget* Revalidate();
  bool AcceptClose();

  config::GeneralOptions& options_;
  int sessionCount_;
  bool loading_ = false;
  std::map<Option, QWidget*> controls_;
  std::map<Option, QLabel*> labels_;
  QStackedWidget* connection_ = nullptr;
  QLabel* overrideHint_ = nullptr;
  QLabel* message_ = nullptr;
  KeyPreview* preview_ = nullptr;
};

}  // namespace tervo::ui
