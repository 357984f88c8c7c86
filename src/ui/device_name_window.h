// "Device Name": the 5250 device name and the radio terminal id of every
// session slot, 33 rows.  Only the rows of this run's sessions are enabled.
// Closing the window (OK, Enter or the close box) stores the enabled rows:
// device names in upper case, terminal ids as typed.
#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <string>

#include "config/screen_store.h"

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

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  void Store();

  config::ScreenStore& store_;
  int sessionCount_;
  std::array<QLineEdit*, config::kSessionSlots> text1_{};
  std::array<QLineEdit*, config::kSessionSlots> text2_{};
};

}  // namespace tervo::ui
