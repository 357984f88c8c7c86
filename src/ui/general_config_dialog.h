// "General Configurations": the general options in their controls.  Every
// control is bound to its option key in config::GeneralOptions and writes
// each change straight into the model; Reload() puts the model's texts back
// into the controls (after a configuration file was loaded).
#pragma once

#include <QWidget>
#include <map>
#include <string>

#include "config/general_options.h"

class QLabel;
class QLineEdit;
class QCheckBox;
class QComboBox;
class QPushButton;

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
  QWidget* Control(const std::string& key) const;
  QLabel* Label(const std::string& key) const;

 signals:
  // "OK": the main window deselects its sessions and arranges the grid
  // again; the dialog then hides itself.
  void okClicked();
  void autoFillClicked();

 private:
  void Build();
  void AddText(const std::string& key, const char* control, const char* label);
  void AddCheck(const std::string& key, const char* caption);
  void TextChanged(const std::string& key, const QString& text);
  void ApplyConnectionFields();
  void SetControlText(const std::string& key);

  config::GeneralOptions& options_;
  int sessionCount_;
  bool loading_ = false;
  std::map<std::string, QWidget*> controls_;
  std::map<std::string, QLabel*> labels_;
  KeyPreview* preview_ = nullptr;
};

}  // namespace tervo::ui
