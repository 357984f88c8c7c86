#include "ui/key_preview.h"

#include <QKeyEvent>
#include <QWidget>

namespace tervo::ui {

KeyPreview::KeyPreview(QWidget* window, std::function<bool(int)> handler)
    : QObject(window), window_(window), handler_(std::move(handler)) {
  Install();
}

void KeyPreview::Install() {
  window_->removeEventFilter(this);
  window_->installEventFilter(this);
  for (QWidget* w : window_->findChildren<QWidget*>()) {
    w->removeEventFilter(this);
    w->installEventFilter(this);
  }
}

bool KeyPreview::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && handler_)
    if (handler_(static_cast<QKeyEvent*>(event)->key())) return true;
  return QObject::eventFilter(watched, event);
}

}  // namespace tervo::ui
