#include "ui/system_message_window.h"

#include <QLabel>
#include <QVBoxLayout>
#include <cmath>

#include "config/text.h"
#include "ui/key_preview.h"
#include "ui/text_codec.h"

namespace tervo::ui {

int KeyCode(int qtKey) {
  switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return 13;
    case Qt::Key_Escape:
      return 27;
    case Qt::Key_Backspace:
      return 8;
    case Qt::Key_Tab:
      return 9;
    default:
      return qtKey < 0x80 ? qtKey : qtKey & 0xFF;
  }
}

SystemMessageWindow::SystemMessageWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setWindowTitle(QStringLiteral("System Message "));
  setObjectName(QStringLiteral("SystemMessage"));
  label1_ = new QLabel;
  label1_->setObjectName(QStringLiteral("Label1"));
  label1_->setWordWrap(true);
  label2_ = new QLabel;
  label2_->setObjectName(QStringLiteral("Label2"));
  QFont f = label2_->font();
  f.setPointSizeF(f.pointSizeF() * 2);
  label2_->setFont(f);
  label2_->setAlignment(Qt::AlignCenter);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label1_);
  layout->addWidget(label2_);
  setFocusPolicy(Qt::StrongFocus);
  resize(360, 140);
  new KeyPreview(this, [this](int key) {
    Record(key);
    return true;
  });
  timer_.setInterval(1000);
  connect(&timer_, &QTimer::timeout, this, &SystemMessageWindow::Second);
}

void SystemMessageWindow::Start(const std::string& message, double seconds) {
  label1_->setText(FromEngine(message));
  countdown_ = static_cast<int>(text::RoundHalfEven(seconds));
  label2_->setText(QString::number(countdown_));
  lastKey_ = 0;
  confirmed_ = false;
  timer_.start();
  if (countdown_ > 0) {
    show();
    raise();
    activateWindow();
    setFocus();
  }
}

void SystemMessageWindow::Second() {
  if (countdown_ >= 1) {
    --countdown_;
    label2_->setText(QString::number(countdown_));
  }
  if (countdown_ != 0) {
    show();
    activateWindow();
  } else {
    hide();
    timer_.stop();
  }
}

void SystemMessageWindow::Record(int qtKey) {
  // Modifier presses alone are not keys the operator typed.
  if (qtKey == Qt::Key_Shift || qtKey == Qt::Key_Control || qtKey == Qt::Key_Alt ||
      qtKey == Qt::Key_Meta)
    return;
  lastKey_ = KeyCode(qtKey);
  if (lastKey_ == 13) confirmed_ = true;
  emit keyRecorded(lastKey_);
}

}  // namespace tervo::ui
