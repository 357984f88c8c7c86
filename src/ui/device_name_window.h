// "Device Name": the 5250 device name and the radio terminal id of every
// session slot, 33 rows.  Only the rows of this run's sessions are enabled.
// Closing the window (OK, Enter or the close box) stores the enabled rows:
// device names in upper case, terminal ids as typed.
//
// A name the host would refuse, an id no terminal can send, or one that
// another session has already is marked at its field and named in the
// message line, and the window stays open until it is mended (a second
// session with the same id would never get its terminal).
#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <string>

#include "config/screen_store.h"

class QLabel;
class QLineEdit;

namespace tervo::ui {

class DeviceNameWindow : public QWidget {
  Q_OBJECT

 public:
  DeviceNameWindow(config::ScreenStore& store, int sessionCount, QWidget* parent = nullptr);

  // The router name in use; with "WallData.RumbaRouter" a stored device name
  // is also set on the session's live display.
  std::function<std::string()> routerName;
  // Sets the device name on session i's display; false stops the store loop
  // at that row (the rows before it stay stored).
  std::function<bool(int session, const std::string& deviceName)> setLiveDeviceName;

  QLineEdit* DeviceBox(int i) const { return text1_[static_cast<std::size_t>(i)]; }
  QLineEdit* TerminalBox(int i) const { return text2_[static_cast<std::size_t>(i)]; }

  // Fills the enabled rows from the store (the window's load).
  void Fill();
  QLabel* MessageLine() const { return message_; }
  // Marks the bad fields and fills the message line; returns the first bad
  // field, or nullptr.
  QLineEdit* Validate();

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  void Store();

  config::ScreenStore& store_;
  int sessionCount_;
  std::array<QLineEdit*, config::kSessionSlots> text1_{};
  std::array<QLineEdit*, config::kSessionSlots> text2_{};
  QLabel* message_ = nullptr;
};

}  // namespace tervo::ui
