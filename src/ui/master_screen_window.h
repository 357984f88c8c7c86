// "Master Screen Setup": the master screen dialog's window, thin over
// editors::MasterDialog.  Opened from the screen editor's "Set as  Master
// Screen"; Enter, "OK" and the close box store it.
#pragma once

#include <QWidget>
#include <string>

#include "editors/master_dialog.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace tervo::ui {

class MasterScreenWindow : public QWidget {
  Q_OBJECT

 public:
  explicit MasterScreenWindow(editors::MasterDialog& dialog, QWidget* parent = nullptr);
  void Refresh();
  // Controls by object name ("MasterScreenCheck", "UP", "MoveV", ...).
  template <typename W>
  W* Control(const char* name) const {
    return findChild<W*>(QString::fromLatin1(name));
  }

 signals:
  void closed();

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  void Build();
  editors::MasterDialog& dialog_;
};

}  // namespace tervo::ui
