#include "ui/page_scroll_bar.h"

#include <QPainter>
#include <QStyleOptionSlider>

#include "ui/colors.h"

namespace tervo::ui {

PageScrollBar::PageScrollBar(QWidget* parent) : QScrollBar(Qt::Horizontal, parent) {
  setToolTip(PageText());
}

QString PageScrollBar::PageText() const {
  return QStringLiteral("Page %1 of %2").arg(value() + 1).arg(maximum() + 1);
}

void PageScrollBar::sliderChange(SliderChange change) {
  QScrollBar::sliderChange(change);
  setToolTip(PageText());
  setAccessibleName(PageText());
  update();
}

void PageScrollBar::paintEvent(QPaintEvent* e) {
  QScrollBar::paintEvent(e);
  QStyleOptionSlider opt;
  initStyleOption(&opt);
  QRect slider =
      style()->subControlRect(QStyle::CC_ScrollBar, &opt, QStyle::SC_ScrollBarSlider, this);
  QPainter p(this);
  const QString text = PageText();
  const QFontMetrics fm(font());
  QRect box(0, 0, fm.horizontalAdvance(text) + 12, std::min(height() - 2, fm.height() + 2));
  // On the slider when it has room, else in the middle of the bar.
  box.moveCenter(slider.width() >= box.width() ? slider.center() : rect().center());
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(kStatusBackground);
  p.drawRoundedRect(box, 3, 3);
  p.setPen(kStatusText);
  p.drawText(box, Qt::AlignCenter, text);
}

}  // namespace tervo::ui
