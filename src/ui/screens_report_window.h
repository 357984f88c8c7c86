// "Screens Report": thin over reports::ScreensReport.  The screen image is a
// read-only rich text view of 24 rows; a click picks the field there, a
// double click opens it in the screen editor, a drag selects characters
// and a right click over a selection opens "Divide field".
#pragma once

#include <QTextEdit>
#include <QWidget>
#include <functional>

#include "reports/screens_report.h"

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace tervo::ui {

// The image: characters are addressed by their offset in the stored image
// text (82 a row); the view itself holds 80 characters and a line break a
// row.
class ReportImageView : public QTextEdit {
 public:
  explicit ReportImageView(QWidget* parent = nullptr);

  void Show(const reports::ReportImage& image);
  // Selects `length` characters of the image from offset; 0 clears it.
  void Select(int offset, int length);
  // The selection as offset and length in the image text (length 0: none).
  reports::Span Selection() const;
  // The image offset of the character under a point of the viewport, and
  // the middle of the character at an offset.
  int OffsetAt(QPoint p) const;
  QPoint PointOf(int offset) const;

  std::function<void(int offset)> clicked;  // a left click that selected nothing
  std::function<void()> doubleClicked;
  std::function<void()> rightClicked;

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;
};

class ScreensReportWindow : public QWidget {
  Q_OBJECT

 public:
  explicit ScreensReportWindow(reports::ScreensReport& report, QWidget* parent = nullptr);

  // Opens on the first defined screen.
  void Open();
  // Shows the model's screen again (after the editor or a divide).
  void Refresh();
  bool Refilling() const { return report_.Refilling(); }

  ReportImageView* Image() const { return image_; }
  QLineEdit* Box(const char* name) const;
  QCheckBox* Check(const char* name) const;
  QPushButton* Button(const char* name) const;
  QPlainTextEdit* Preview() const { return preview_; }
  QProgressBar* Progress() const { return progress_; }

 signals:
  // The window became active: the main window is disabled meanwhile.
  void activated();
  void closed();
  // A double click on a field: the screen editor opens there.
  void editField(int screen, int field);
  // A right click over a selection of the image.
  void divideField(int screen, int field, int textStart, int textLen);

 protected:
  bool event(QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  void Build();
  void NumberTyped(const QString& text);
  void AutoFill();
  void RefillAll();
  void RefillNext();
  void EndRefill();

  reports::ScreensReport& report_;
  ReportImageView* image_ = nullptr;
  QPlainTextEdit* preview_ = nullptr;
  QProgressBar* progress_ = nullptr;
  bool busy_ = false;
};

}  // namespace tervo::ui
