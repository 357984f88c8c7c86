// "Boot AS400": the start-up window.  It holds the five timer options in its
// controls (bound to config::GeneralOptions), runs the ten-second tick of the
// start-up timer and offers "Start Now" and "OK".  A time that is not one
// (25:00) is marked and named and not taken: the timer keeps the last good
// one.
#pragma once

#include <QTimer>
#include <QWidget>
#include <functional>

#include "config/general_options.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace tervo::ui {

class StartupWindow : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kTickMs = 10000;

  StartupWindow(config::GeneralOptions& options, QWidget* parent = nullptr);

  // What the ten-second tick and "Start Now" run (the start-up timer).
  std::function<void()> onTick;
  std::function<void()> onStartNow;
  // Puts the options' texts into the controls (after a configuration load).
  void Reload();
  // Runs one tick now (the window's QTimer calls it every ten seconds).
  void Tick();
  QTimer& TickTimer() { return tick_; }
  QLabel* MessageLine() const { return message_; }

 signals:
  // The window was closed: the program unloads the general configuration
  // dialog and the main window.
  void unloaded();

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  void Bind(QLineEdit* box, config::Option key);
  void Bind(QCheckBox* box, config::Option key);
  void ShowMessage();

  config::GeneralOptions& options_;
  QLineEdit* on_;
  QLineEdit* off_;
  QCheckBox* check1_;
  QCheckBox* check2_;
  QCheckBox* autoSave_;
  QLabel* message_ = nullptr;
  QTimer tick_;
  bool loading_ = false;
};

}  // namespace tervo::ui
