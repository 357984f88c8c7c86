// "Divide field": cuts the field under a selection of the screens report's
// screen image into a part of its own, or removes the part there.  While it
// is open the windows it was opened over are disabled.
#pragma once

#include <QPointer>
#include <QWidget>
#include <vector>

#include "config/menu_commands.h"
#include "editors/divided_fields.h"

namespace tervo::ui {

class DivideFieldWindow : public QWidget {
  Q_OBJECT

 public:
  DivideFieldWindow(editors::DivideFieldDialog& dialog, config::Prompt& prompt,
                    QWidget* parent = nullptr);

  // Opens on the report's screen, field and selection (offset and length in
  // the screen image text); `disabled` are enabled again on closing.
  void Open(int screen, int field, int textStart, int textLen, std::vector<QWidget*> disabled);

 signals:
  // Parts were added or removed (the report repaints).
  void changed();
  void closed();

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  editors::DivideFieldDialog& dialog_;
  config::Prompt& prompt_;
  std::vector<QPointer<QWidget>> disabled_;
};

}  // namespace tervo::ui
