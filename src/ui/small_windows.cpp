#include "ui/small_windows.h"

#include <QFont>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "ui/key_preview.h"
#include "ui/text_codec.h"

namespace tervo::ui {

TerminalScreenWindow::TerminalScreenWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setWindowTitle(QStringLiteral("Terminal Screen"));
  setObjectName(QStringLiteral("TerminalScreen"));
  terminal_ = new QPlainTextEdit;
  terminal_->setObjectName(QStringLiteral("Terminal"));
  terminal_->setReadOnly(true);
  terminal_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(terminal_);
  resize(320, 360);
  new KeyPreview(this, [this](int key) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    close();
    return true;
  });
}

void TerminalScreenWindow::SetText(const std::string& text) {
  terminal_->setPlainText(FromEngine(text));
}

std::string TerminalScreenWindow::Text() const { return ToEngine(terminal_->toPlainText()); }

}  // namespace tervo::ui
