// The small windows of the main menu: the terminal screen preview and the
// stand-in for windows that later work brings (screens report, graph,
// battery, report, debug).
#pragma once

#include <QWidget>
#include <string>

class QPlainTextEdit;

namespace tervo::ui {

// "Terminal Screen": the text last prepared for the selected session's
// terminal.  Enter closes it.
class TerminalScreenWindow : public QWidget {
  Q_OBJECT

 public:
  explicit TerminalScreenWindow(QWidget* parent = nullptr);
  void SetText(const std::string& text);
  std::string Text() const;

 private:
  QPlainTextEdit* terminal_;
};

// A window that says the named window is not available yet, so the menu
// item is there and answers rather than missing.
class NotAvailableWindow : public QWidget {
  Q_OBJECT

 public:
  NotAvailableWindow(const std::string& title, QWidget* parent = nullptr);
  static QString Message(const std::string& title);
};

}  // namespace tervo::ui
