#include "ui/session_display.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <vector>

#include "ui/colors.h"
#include "ui/text_codec.h"

namespace tervo::ui {

namespace {

constexpr int kColumns = 80;
constexpr int kRows = 25;  // 24 screen rows and the message line

QColor FromBgr(unsigned c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

const QColor kText(0x33, 0xDD, 0x55);
const QColor kInput(0x55, 0xEE, 0xEE);
const QColor kMessage(0xF0, 0xF0, 0xF0);
const QColor kCursor(0xF0, 0xF0, 0x60);

// Cell flags: underlined (an input field) and hidden (a non-display field,
// whose underline still shows where to type, but never its text).
enum CellFlags : unsigned char { kPlain = 0, kInputCell = 1, kHiddenCell = 2 };

}  // namespace

std::string HostKeysFor(int qtKey, Qt::KeyboardModifiers modifiers, const QString& text) {
  const bool shift = modifiers & Qt::ShiftModifier;
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) {
    int n = qtKey - Qt::Key_F1 + 1 + (shift ? 12 : 0);
    if (n <= 9) return "@" + std::to_string(n);
    return std::string("@") + static_cast<char>('a' + n - 10);
  }
  if (qtKey >= Qt::Key_F13 && qtKey <= Qt::Key_F24) {
    const int n = qtKey - Qt::Key_F13 + 13;
    return std::string("@") + static_cast<char>('a' + n - 10);
  }
  switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return "@E";
    case Qt::Key_PageDown:
      return "@u";  // Roll Up shows the next page
    case Qt::Key_PageUp:
      return "@v";
    case Qt::Key_Tab:
      return "@T";
    case Qt::Key_Backtab:
      return "@B";
    case Qt::Key_Escape:
      return "@R";
    case Qt::Key_End:
      return "@F";  // Erase EOF
    default:
      break;
  }
  if (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return "";
  std::string keys;
  for (char c : ToEngine(text)) {
    if (static_cast<unsigned char>(c) < 0x20) continue;
    keys.push_back(c);
    if (c == '@') keys.push_back('@');
  }
  return keys;
}

SessionDisplay::SessionDisplay(int session, QWidget* parent) : QWidget(parent), session_(session) {
  setFocusPolicy(Qt::ClickFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setObjectName(QStringLiteral("As4001_%1").arg(session));
}

void SessionDisplay::SetBackColor(unsigned color) {
  if (backColor_ == color) return;
  backColor_ = color;
  update();
}

int SessionDisplay::CellFontPixelSize() const {
  const double cellW = static_cast<double>(width()) / kColumns;
  const double cellH = static_cast<double>(height()) / kRows;
  // A monospaced glyph is about 0.6 of its pixel size wide.
  int size = static_cast<int>(std::min(cellH * 0.95, cellW / 0.6));
  return std::max(size, 1);
}

void SessionDisplay::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), FromBgr(backColor_));
  if (display_) PaintScreen(p);
  // Black against dark grey is hard to tell apart: the selected session
  // also gets a frame that stands out from both, drawn over the text.
  if (backColor_ == kSelectedBackColor) {
    p.setPen(QPen(kSelectionFrame, kSelectionFrameWidth));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5));
  }
}

void SessionDisplay::PaintScreen(QPainter& p) {
  const double cellW = static_cast<double>(width()) / kColumns;
  const double cellH = static_cast<double>(height()) / kRows;
  QFont font(QStringLiteral("Monospace"));
  font.setStyleHint(QFont::TypeWriter);
  font.setPixelSize(CellFontPixelSize());
  // Shrink until a character fits its cell (font metrics differ by family).
  while (font.pixelSize() > 1 && QFontMetricsF(font).horizontalAdvance(QLatin1Char('M')) > cellW)
    font.setPixelSize(font.pixelSize() - 1);
  p.setFont(font);
  const QFontMetricsF fm(font);

  // Which cells belong to input fields and which to non-display fields.
  std::vector<unsigned char> kind(static_cast<std::size_t>(kColumns * kRows), kPlain);
  const auto& fields = display_->Fields();
  for (int i = 0; i < fields.Count(); ++i) {
    const host5250::DisplayField f = fields.Item(i);
    const bool underlined = !f.Protected || (f.Attributes.Count > 0 && f.Attributes.Underlined);
    const unsigned char k = (f.Hidden ? kHiddenCell : kPlain) | (underlined ? kInputCell : kPlain);
    if (k == kPlain) continue;
    const int start = (f.StartRow - 1) * kColumns + f.StartColumn - 1;
    const int end = (f.EndRow - 1) * kColumns + f.EndColumn - 1;
    for (int pos = std::max(start, 0); pos <= end && pos < kColumns * 24; ++pos)
      kind[static_cast<std::size_t>(pos)] = k;
  }

  for (int row = 1; row <= kRows; ++row) {
    const std::string line = display_->ReadText(row, 1, kColumns);
    const double top = (row - 1) * cellH;
    const double baseline = top + (cellH + fm.ascent() - fm.descent()) / 2;
    for (int col = 1; col <= kColumns; ++col) {
      const std::size_t pos = static_cast<std::size_t>((row - 1) * kColumns + col - 1);
      const unsigned char k = kind[pos];
      const double left = (col - 1) * cellW;
      if (k & kInputCell) {
        p.setPen(kInput);
        p.drawLine(QPointF(left, top + cellH - 1), QPointF(left + cellW, top + cellH - 1));
      }
      if (k & kHiddenCell) continue;  // never shown, whatever the buffer holds
      const char c =
          col <= static_cast<int>(line.size()) ? line[static_cast<std::size_t>(col - 1)] : ' ';
      if (c == ' ') continue;
      p.setPen(row == kRows ? kMessage : (k & kInputCell) ? kInput : kText);
      p.drawText(QPointF(left, baseline), FromEngine(std::string(1, c)));
    }
  }

  const int cr = display_->CursorRow();
  const int cc = display_->CursorColumn();
  if (cr >= 1 && cr <= kRows && cc >= 1 && cc <= kColumns) {
    const QRectF cursor((cc - 1) * cellW, (cr - 1) * cellH + cellH * 0.8, cellW, cellH * 0.2);
    p.fillRect(cursor, kCursor);
  }
}

std::pair<int, int> SessionDisplay::CellAt(const QPoint& pt) const {
  const int col = width() > 0 ? pt.x() * kColumns / width() + 1 : 1;
  const int row = height() > 0 ? pt.y() * kRows / height() + 1 : 1;
  return {std::clamp(row, 1, kRows), std::clamp(col, 1, kColumns)};
}

void SessionDisplay::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) emit clicked(session_);
}

void SessionDisplay::mouseDoubleClickEvent(QMouseEvent* e) {
  const auto [row, col] = CellAt(e->position().toPoint());
  emit positionPicked(session_, row, col);
}

void SessionDisplay::focusInEvent(QFocusEvent* e) {
  QWidget::focusInEvent(e);
  emit focused(session_);
}

void SessionDisplay::keyPressEvent(QKeyEvent* e) {
  if (!display_ || !keysAllowed || !keysAllowed()) {
    e->ignore();
    return;
  }
  const std::string keys = HostKeysFor(e->key(), e->modifiers(), e->text());
  if (keys.empty()) {
    e->ignore();
    return;
  }
  std::string err;
  if (!display_->SendKeys(keys, &err) && keyError) keyError(err);
  e->accept();
  update();
}

}  // namespace tervo::ui
