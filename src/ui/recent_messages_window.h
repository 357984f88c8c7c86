// "Recent messages": the messages the caption showed and the results of
// commands, newest last, with their time.  Opened from "&Utils" and from the
// status bar.  Enter closes it.
#pragma once

#include <QWidget>

#include "reports/recent_messages.h"

class QListWidget;

namespace tervo::ui {

class RecentMessagesWindow : public QWidget {
  Q_OBJECT

 public:
  explicit RecentMessagesWindow(const reports::RecentMessages& messages, QWidget* parent = nullptr);

  // Shows the messages as they are now (cheap when the window is hidden).
  void Refresh();
  QListWidget* List() const { return list_; }

 protected:
  void showEvent(QShowEvent* e) override;

 private:
  const reports::RecentMessages& messages_;
  QListWidget* list_;
};

}  // namespace tervo::ui
