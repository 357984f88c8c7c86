#include "ui/recent_messages_window.h"

#include <QFontDatabase>
#include <QListWidget>
#include <QPushButton>
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
  resize(640, 360);
  new KeyPreview(this, [this](int key) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    close();
    return true;
  });
}

void RecentMessagesWindow::Refresh() {
  if (!isVisible()) return;
  const auto& items = messages_.Items();
  const bool atEnd =
      list_->count() == 0 || list_->currentRow() == list_->count() - 1 || list_->currentRow() < 0;
  list_->clear();
  for (const auto& m : items) {
    auto* item = new QListWidgetItem(FromEngine(reports::RecentMessages::Format(m)), list_);
    if (m.kind == reports::RecentMessage::Kind::kError) {
      QFont f = item->font();
      f.setBold(true);
      item->setFont(f);
    }
  }
  if (atEnd && list_->count() > 0) list_->setCurrentRow(list_->count() - 1);
}

void RecentMessagesWindow::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  Refresh();
}

}  // namespace tervo::ui
