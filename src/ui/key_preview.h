// Key preview for the small windows: the window sees a key before the
// control that has the focus, so "Enter anywhere closes it" holds even
// inside text boxes and lists.
#pragma once

#include <QObject>
#include <functional>

class QWidget;

namespace tervo::ui {

class KeyPreview : public QObject {
 public:
  // handler returns true when it used the key.  Installed on the window and
  // every child it has now; call Install again after adding children.
  KeyPreview(QWidget* window, std::function<bool(int key)> handler);
  void Install();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* window_;
  std::function<bool(int)> handler_;
};

}  // namespace tervo::ui
