// The main window: the live 5250 session displays on a grid of pages, the
// status line (terminal id, session user, the page scroll bar), the logo, the
// menus, and a status bar below them all that says how the gateway is doing
// (radio link, terminals, host sessions, saved or not, recent messages) and
// shows the one-line results of commands.  The window draws and lays out; the commands behind the
// menus are run by OperatorWindows, which it tells through menuCommand().
#pragma once

#include <QMainWindow>
#include <QTimer>
#include <array>
#include <map>
#include <string>

#include "config/config_lock.h"
#include "config/screen_store.h"
#include "reports/gateway_status.h"
#include "ui/session_display.h"

class QLabel;
class QMenu;
class QScrollBar;
class QAction;
class QToolButton;

namespace tervo::core {
class Gateway;
}

namespace tervo::ui {

// Twips are the unit of the stored layout; the windows use 15 to a pixel.
constexpr int kTwipsPerPixel = 15;

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  MainWindow(config::ConfigLock& lock, QWidget* parent = nullptr);

  // The gateway whose sessions are shown; nullptr detaches.
  void Attach(core::Gateway* gateway);

  // Lays the session displays out by SessionCt, DisplayRow and DisplayCol.
  void ArrangeAs400Windows();
  // A click on a session display (-1: on the background).
  void As4001Click(int index);
  // While the configuration is locked no display takes keys.
  void SetFocusToScrollBar();
  void ShowSessionLabels(int session, const std::string& terminalId, const std::string& user);
  // Shows or hides the Configurations menu and enables the file items as
  // the lock says.
  void ApplyLock();
  void SetCaption(const std::string& caption);
  // The status bar's fields; unreadErrors shows on the messages button.
  void ShowStatus(const reports::GatewayStatus& status, int unreadErrors);
  // A command's result, shown in the status bar until the next one.
  void ShowResult(const std::string& line);
  // The status bar's texts, left to right, for tests and screenshots.
  QStringList StatusTexts() const;
  QToolButton* MessagesButton() const { return messagesButton_; }

  // The selected session, -1 when none.
  int Selected() const;

  SessionDisplay* Display(int i) const { return displays_[static_cast<std::size_t>(i)]; }
  QScrollBar* ScrollBar() const { return scroll_; }
  QLabel* Label1() const { return label1_; }
  QLabel* Label2() const { return label2_; }
  QLabel* Logo() const { return logo_; }
  QAction* MenuAction(const std::string& name) const;
  QMenu* ConfigurationsMenu() const { return configurations_; }
  QWidget* ClientArea() const { return client_; }

 signals:
  void menuCommand(const QString& name);
  void positionPicked(int session);
  // The operator or the program closes the window: the shutdown sequence runs.
  void closing();

 protected:
  void closeEvent(QCloseEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void changeEvent(QEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;

 private:
  void BuildMenus();
  int SessionCount() const;

  config::ConfigLock& lock_;
  core::Gateway* gateway_ = nullptr;
  QWidget* client_;
  std::array<SessionDisplay*, config::kSessionSlots> displays_{};
  QLabel* label1_;
  QLabel* label2_;
  QLabel* logo_;
  QScrollBar* scroll_;
  QLabel* radio_;
  QLabel* terminals_;
  QLabel* hosts_;
  QLabel* saved_;
  QToolButton* messagesButton_;
  QMenu* configurations_ = nullptr;
  std::map<std::string, QAction*> actions_;
  QTimer repaint_;
};

}  // namespace tervo::ui
