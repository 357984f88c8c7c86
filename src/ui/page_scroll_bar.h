// The main window's page scroll bar (HScroll1), which also says which page
// of sessions is shown: "Page 2 of 3" on its slider.
#pragma once

#include <QScrollBar>

namespace tervo::ui {

class PageScrollBar : public QScrollBar {
  Q_OBJECT

 public:
  explicit PageScrollBar(QWidget* parent = nullptr);

  // "Page 2 of 3": the value is the page less one, the maximum the pages
  // less one.
  QString PageText() const;

 protected:
  void paintEvent(QPaintEvent* e) override;
  void sliderChange(SliderChange change) override;
};

}  // namespace tervo::ui
