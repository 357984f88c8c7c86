// One session's 5250 screen in the main window: the 24 screen rows and the
// message line as the host display holds them, input fields underlined,
// non-display fields blank, the host cursor, the font scaled to the cell.
// BackColor 0 marks the selected session, 0x202020 the others; the selected
// one is also framed.  Keys reach
// the host only while keysAllowed() says so (configuration unlocked and this
// session selected).
#pragma once

#include <QWidget>
#include <functional>

class QPainter;
#include <string>

#include "platform/host5250/host_display.h"

namespace tervo::ui {

// Colours as the stored options and the display control name them (0xBBGGRR).
constexpr unsigned kSelectedBackColor = 0x000000;
constexpr unsigned kUnselectedBackColor = 0x202020;
constexpr int kSelectionFrameWidth = 3;  // pixels, in kSelectionFrame

// The host key string for a key press: the typed text with "@" doubled,
// or the mnemonic of an action key ("@E", "@u", "@1".."@9", "@a".."@o",
// "@T", "@B", "@R", "@F"); empty for keys the host does not take.
std::string HostKeysFor(int qtKey, Qt::KeyboardModifiers modifiers, const QString& text);

class SessionDisplay : public QWidget {
  Q_OBJECT

 public:
  SessionDisplay(int session, QWidget* parent = nullptr);

  int Session() const { return session_; }
  void SetDisplay(host5250::HostDisplay* display) {
    display_ = display;
    update();
  }
  host5250::HostDisplay* Display() const { return display_; }

  void SetBackColor(unsigned color);
  unsigned BackColor() const { return backColor_; }

  // Decides whether key presses go to the host.
  std::function<bool()> keysAllowed;
  // Where refused keys and send errors are reported (optional).
  std::function<void(const std::string&)> keyError;

  // The font's pixel size for the current widget size (tests check scaling).
  int CellFontPixelSize() const;

 signals:
  void clicked(int session);
  void positionPicked(int session, int row, int column);
  void focused(int session);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  // Tab and Backtab are host keys here, not focus moves.
  bool focusNextPrevChild(bool) override { return false; }

 private:
  void PaintScreen(QPainter& p);
  // Screen row and column (1-based) under a widget position.
  std::pair<int, int> CellAt(const QPoint& p) const;

  int session_;
  host5250::HostDisplay* display_ = nullptr;
  unsigned backColor_ = kUnselectedBackColor;
};

}  // namespace tervo::ui
