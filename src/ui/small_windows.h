// The terminal screen preview of the main menu.
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

}  // namespace tervo::ui
