#include "ui/divide_field_window.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPushButton>

namespace tervo::ui {

DivideFieldWindow::DivideFieldWindow(editors::DivideFieldDialog& dialog, config::Prompt& prompt,
                                     QWidget* parent)
    : QWidget(parent, Qt::Window), dialog_(dialog), prompt_(prompt) {
  setWindowTitle(QStringLiteral("Divide field"));
  setObjectName(QStringLiteral("DivideField"));
  auto button = [this](const char* name, const char* caption) {
    auto* b = new QPushButton(QString::fromLatin1(caption), this);
    b->setObjectName(QString::fromLatin1(name));
    return b;
  };
  auto* insert = button("InsertField", "Insert Field");
  connect(insert, &QPushButton::clicked, this, [this] {
    std::string err;
    if (!dialog_.InsertField(&err)) prompt_.Message(err, "", config::Prompt::Buttons::Ok);
    emit changed();
    close();
  });
  auto* remove = button("RemoveField", "Remove Field");
  connect(remove, &QPushButton::clicked, this, [this] {
    dialog_.RemoveField();
    emit changed();
    close();
  });
  auto* cancel = button("Cancel", "Cancel");
  connect(cancel, &QPushButton::clicked, this, &QWidget::close);
  auto* row = new QHBoxLayout(this);
  row->addWidget(insert);
  row->addWidget(remove);
  row->addWidget(cancel);
}

void DivideFieldWindow::Open(int screen, int field, int textStart, int textLen,
                             std::vector<QWidget*> disabled) {
  dialog_.Open(screen, field, textStart, textLen);
  disabled_.clear();
  for (QWidget* w : disabled) {
    if (!w) continue;
    w->setEnabled(false);
    disabled_.emplace_back(w);
  }
  show();
  raise();
}

void DivideFieldWindow::closeEvent(QCloseEvent* e) {
  for (const auto& w : disabled_)
    if (w) w->setEnabled(true);
  disabled_.clear();
  e->accept();
  emit closed();
}

}  // namespace tervo::ui
