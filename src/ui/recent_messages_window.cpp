#include "ui/recent_messages_window.h"

#include <QFontDatabase>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "ui/key_preview.h"
#include "ui/text_codec.h"

namespace tervo::ui {

RecentMessagesWindow::RecentMessagesWindow(const reports::RecentMessages& messages, QWidget* parent)
    : QWidget(parent, Qt::Window), messages_(messages) {
  setWindowTitle(QStringLiteral("Recent messages"));
  setObjectName(QStringLiteral("RecentMessages"));
  list_ = new QListWidget;
  list_->setObjectName(QStringLiteral("Messages"));
  list_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  auto* closeButton = new QPushButton(QStringLiteral("Close"));
  connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_);
  layout->addWidget(closeButton, 0, Qt::AlignRight);
  resize(760, 360);
  new KeyPreview(this, [this](int key) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    close();
    return true;
  });
}

void RecentMessagesWindow::Refresh() {
  if (!isVisible()) return;
  // Follow new messages unless the operator scrolled back to read.
  QScrollBar* bar = list_->verticalScrollBar();
  const bool atEnd = bar->value() == bar->maximum();
  list_->clear();
  for (const auto& m : messages_.Items()) {
    auto* item = new QListWidgetItem(FromEngine(reports::RecentMessages::Format(m)), list_);
    item->setToolTip(item->text());
    if (m.kind == reports::RecentMessage::Kind::kError) {
      QFont f = item->font();
      f.setBold(true);
      item->setFont(f);
    }
  }
  if (atEnd) list_->scrollToBottom();
  list_->horizontalScrollBar()->setValue(0);  // lines start with their time
}

void RecentMessagesWindow::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  Refresh();
}

}  // namespace tervo::ui
