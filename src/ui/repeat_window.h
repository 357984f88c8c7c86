// "Repeat": the repeat dialog's window, thin over editors::RepeatDialog.
// Opened from the screen editor's Repeat button on the edited screen.
#pragma once

#include <QWidget>

#include "editors/repeat_dialog.h"

class QLineEdit;
class QRadioButton;

namespace tervo::ui {

class RepeatWindow : public QWidget {
  Q_OBJECT

 public:
  explicit RepeatWindow(editors::RepeatDialog& dialog, QWidget* parent = nullptr);
  void Refresh();
  QLineEdit* Box(editors::RepeatBox b) const;
  // "User Id + fixed" (1), "Fixed" (2), "Field Order Nº" (3).
  QRadioButton* CounterOption(std::int32_t counter) const;

 signals:
  // The rule was stored or deactivated; the window closed.
  void closed();

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  editors::RepeatDialog& dialog_;
};

}  // namespace tervo::ui
