// "System Message ": a message with a seconds countdown.  It shows itself
// while the countdown runs and hides when it reaches 0.  Every key pressed
// in it is recorded as the last key (13 = Enter), which cancels the
// stop-time countdown and ends the radio base retry.
#pragma once

#include <QTimer>
#include <QWidget>
#include <string>

class QLabel;

namespace tervo::ui {

// The key code recorded for a key press: 13 for Enter, 27 Escape, 8
// Backspace, 9 Tab; letters and digits as their upper-case character code.
int KeyCode(int qtKey);

class SystemMessageWindow : public QWidget {
  Q_OBJECT

 public:
  explicit SystemMessageWindow(QWidget* parent = nullptr);

  // Starts a countdown of `seconds` (rounded) under the message; the last
  // key and the confirmed flag are cleared.
  void Start(const std::string& message, double seconds);
  // One second of the countdown (the window's QTimer calls it).
  void Second();

  int Countdown() const { return countdown_; }
  int LastKey() const { return lastKey_; }
  bool Confirmed() const { return confirmed_; }
  void ClearLastKey() { lastKey_ = 0; }
  QLabel* MessageLabel() const { return label1_; }
  QLabel* CountdownLabel() const { return label2_; }

 signals:
  void keyRecorded(int keyCode);

 private:
  void Record(int qtKey);

  QLabel* label1_;
  QLabel* label2_;
  QTimer timer_;
  int countdown_ = 0;
  int lastKey_ = 0;
  bool confirmed_ = false;
};

}  // namespace tervo::ui
