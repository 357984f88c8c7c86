#include "ui/screens_report_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/key_preview.h"
#include "ui/text_codec.h"

namespace tervo::ui {

namespace {

using reports::ImageColour;
using reports::kImageColumns;
using reports::kImageLength;
using reports::kImageRows;
using reports::kImageRowWidth;

// The view has 80 characters and one line break a row.
constexpr int kViewRowWidth = kImageColumns + 1;

int ViewPosition(int offset) {
  offset = std::clamp(offset, 0, kImageLength);
  const int row = offset / kImageRowWidth;
  const int column = std::min(offset % kImageRowWidth, kImageColumns);
  return row * kViewRowWidth + column;
}

int ImageOffsetOf(int position) {
  return position / kViewRowWidth * kImageRowWidth + position % kViewRowWidth;
}

QColor ColourOf(ImageColour c) {
  switch (c) {
    case ImageColour::kGreen:
      return QColor(0, 255, 0);
    case ImageColour::kWhite:
      return QColor(255, 255, 255);
    case ImageColour::kYellow:
      return QColor(255, 255, 0);
    case ImageColour::kRed:
      return QColor(255, 0, 0);
  }
  return QColor(0, 255, 0);
}

QFont Courier() {
  QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  f.setStyleHint(QFont::TypeWriter);
  return f;
}

QLabel* Caption(const char* text, QWidget* buddy, QWidget* parent) {
  auto* l = new QLabel(QString::fromUtf8(text), parent);
  l->setBuddy(buddy);
  return l;
}

// The identification texts: red while the definition prefers them.
void ShowIdText(QLineEdit* box, const std::string& text, bool checked) {
  box->setText(FromEngine(text));
  QPalette p = box->palette();
  p.setColor(QPalette::Base, checked ? QColor(255, 0, 0) : QColor(255, 255, 255));
  p.setColor(QPalette::Disabled, QPalette::Base,
             checked ? QColor(255, 0, 0) : QColor(255, 255, 255));
  box->setPalette(p);
}

}  // namespace

// --- the image

ReportImageView::ReportImageView(QWidget* parent) : QTextEdit(parent) {
  setReadOnly(true);
  setTextInteractionFlags(Qt::TextSelectableByMouse);
  setLineWrapMode(QTextEdit::NoWrap);
  setFont(Courier());
  setContextMenuPolicy(Qt::PreventContextMenu);
  document()->setDocumentMargin(2);
  QPalette p = palette();
  p.setColor(QPalette::Base, Qt::black);
  p.setColor(QPalette::Text, QColor(0, 255, 0));
  setPalette(p);
  const QFontMetrics m(font());
  setMinimumSize(m.horizontalAdvance(QLatin1Char('M')) * (kImageColumns + 1) + 12 +
                     verticalScrollBar()->sizeHint().width(),
                 m.lineSpacing() * kImageRows + 12);
}

void ReportImageView::Show(const reports::ReportImage& image) {
  QTextDocument* doc = document();
  doc->clear();
  QTextCursor c(doc);
  c.beginEditBlock();
  for (int row = 0; row < kImageRows; ++row) {
    if (row > 0) c.insertBlock();
    int col = 0;
    while (col < kImageColumns) {
      const int start = row * kImageRowWidth + col;
      const reports::ImageStyle style = image.style[static_cast<std::size_t>(start)];
      int end = col + 1;
      while (end < kImageColumns &&
             image.style[static_cast<std::size_t>(row * kImageRowWidth + end)] == style)
        ++end;
      QTextCharFormat f;
      f.setForeground(ColourOf(style.colour));
      f.setFontWeight(style.bold ? QFont::Bold : QFont::Normal);
      c.insertText(FromEngine(image.text.substr(static_cast<std::size_t>(start),
                                                static_cast<std::size_t>(end - col))),
                   f);
      col = end;
    }
  }
  c.endEditBlock();
  Select(0, 0);
}

void ReportImageView::Select(int offset, int length) {
  QTextCursor c(document());
  c.setPosition(ViewPosition(offset));
  if (length > 0) c.setPosition(ViewPosition(offset + length), QTextCursor::KeepAnchor);
  setTextCursor(c);
}

reports::Span ReportImageView::Selection() const {
  const QTextCursor c = textCursor();
  if (!c.hasSelection()) return {};
  const int start = ImageOffsetOf(c.selectionStart());
  return {start, ImageOffsetOf(c.selectionEnd()) - start};
}

// The cursor lands on the character boundary nearest to the point; a point
// left of that boundary lies on the character before it.
int ReportImageView::OffsetAt(QPoint p) const {
  const QTextCursor c = cursorForPosition(p);
  int position = c.position();
  if (c.positionInBlock() > 0 && p.x() < cursorRect(c).left()) --position;
  return ImageOffsetOf(position);
}

QPoint ReportImageView::PointOf(int offset) const {
  QTextCursor c(document());
  c.setPosition(ViewPosition(offset));
  const QRect r = cursorRect(c);
  const int w = QFontMetrics(font()).horizontalAdvance(QLatin1Char('M'));
  return QPoint(r.left() + w / 2, r.center().y());
}

void ReportImageView::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::RightButton) {
    if (rightClicked) rightClicked();
    return;
  }
  QTextEdit::mousePressEvent(e);
}

void ReportImageView::mouseReleaseEvent(QMouseEvent* e) {
  QTextEdit::mouseReleaseEvent(e);
  // A drag has selected characters; a plain click picks the field.
  if (e->button() == Qt::LeftButton && !textCursor().hasSelection() && clicked)
    clicked(OffsetAt(e->position().toPoint()));
}

void ReportImageView::mouseDoubleClickEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton && doubleClicked) doubleClicked();
}

// The image is never edited and the window's keys are taken before this.
void ReportImageView::keyPressEvent(QKeyEvent* e) { e->accept(); }

void ReportImageView::contextMenuEvent(QContextMenuEvent* e) { e->accept(); }

// --- the window

ScreensReportWindow::ScreensReportWindow(reports::ScreensReport& report, QWidget* parent)
    : QWidget(parent, Qt::Window), report_(report) {
  setWindowTitle(QStringLiteral("Screens Report"));
  setObjectName(QStringLiteral("ScreenReport"));
  Build();
  new KeyPreview(this, [this](int key) {
    if (busy_ && key != Qt::Key_Escape) return false;
    switch (key) {
      case Qt::Key_PageUp:
        report_.Plus();
        break;
      case Qt::Key_PageDown:
        report_.Minus();
        break;
      case Qt::Key_Delete:
        // In the screen number box Delete edits the number; clearing the
        // shown definition there would lose it by a slip of the finger.
        if (focusWidget() == Box("Text5")) return false;
        report_.Clear();
        break;
      case Qt::Key_Escape:
        close();
        return true;
      default:
        return false;
    }
    Refresh();
    return true;
  });
}

void ScreensReportWindow::Build() {
  image_ = new ReportImageView(this);
  image_->setObjectName(QStringLiteral("Text1"));
  image_->clicked = [this](int offset) {
    reports::Span span;
    if (report_.Click(offset, &span) >= 0) image_->Select(span.offset, span.length);
  };
  image_->doubleClicked = [this] {
    if (report_.Field() >= 0) emit editField(report_.ShowScreen(), report_.Field());
  };
  image_->rightClicked = [this] {
    const reports::Span s = image_->Selection();
    if (s.length > 0) emit divideField(report_.ShowScreen(), report_.Field(), s.offset, s.length);
  };

  auto box = [this](const char* name, bool readOnly) {
    auto* e = new QLineEdit(this);
    e->setObjectName(QString::fromLatin1(name));
    e->setReadOnly(readOnly);
    return e;
  };
  auto* number = box("Text5", false);
  number->setMaximumWidth(70);
  connect(number, &QLineEdit::textEdited, this, &ScreensReportWindow::NumberTyped);
  connect(number, &QLineEdit::editingFinished, this, [this, number] {
    const QString shown = QString::number(report_.ShowScreen());
    if (number->text() != shown) number->setText(shown);
  });
  auto* screenId = box("Text7", true);
  auto* status = box("Text3", true);
  auto* idTerm = box("Text4", true);
  idTerm->setEnabled(false);
  auto* idUser = box("Text6", true);
  idUser->setEnabled(false);

  auto button = [this](const char* name, const char* caption) {
    auto* b = new QPushButton(QString::fromUtf8(caption), this);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
  };
  auto* plus = button("Command1", "+");
  auto* minus = button("Command2", "-");
  auto* clear = button("Command3", "Clear Configurations");
  auto* ok = button("Command4", "OK");
  auto* fill = button("Command5", "AutoFill Screen Data");
  auto* refill = button("Command6", "Auto Refill All \"Copy from master screens\"");
  for (QPushButton* b : {plus, minus}) b->setMaximumWidth(40);
  connect(plus, &QPushButton::clicked, this, [this] {
    report_.Plus();
    Refresh();
  });
  connect(minus, &QPushButton::clicked, this, [this] {
    report_.Minus();
    Refresh();
  });
  connect(clear, &QPushButton::clicked, this, [this] {
    report_.Clear();
    Refresh();
  });
  connect(ok, &QPushButton::clicked, this, &QWidget::close);
  connect(fill, &QPushButton::clicked, this, &ScreensReportWindow::AutoFill);
  connect(refill, &QPushButton::clicked, this, &ScreensReportWindow::RefillAll);

  auto check = [this](const char* name, const char* caption) {
    auto* c = new QCheckBox(QString::fromUtf8(caption), this);
    c->setObjectName(QString::fromLatin1(name));
    return c;
  };
  auto* repeat = check("Check1", "AutoRepeat used");
  auto* skip = check("Check2", "Skip used");
  auto* activate = check("Check3", "Activate");
  connect(repeat, &QCheckBox::clicked, this, [this](bool on) { report_.SetAutoRepeat(on); });
  connect(skip, &QCheckBox::clicked, this, [this](bool on) { report_.SetSkip(on); });
  connect(activate, &QCheckBox::clicked, this, [this](bool on) { report_.SetActivate(on); });

  preview_ = new QPlainTextEdit(this);
  preview_->setObjectName(QStringLiteral("Text9"));
  preview_->setReadOnly(true);
  preview_->setFont(Courier());
  preview_->setLineWrapMode(QPlainTextEdit::NoWrap);
  preview_->setMinimumWidth(QFontMetrics(preview_->font()).horizontalAdvance(QLatin1Char('M')) *
                            24);

  progress_ = new QProgressBar(this);
  progress_->setObjectName(QStringLiteral("Progress"));
  progress_->setVisible(false);

  auto* below = new QHBoxLayout;
  below->addWidget(Caption("Screen", number, this));
  below->addWidget(number);
  below->addWidget(minus);
  below->addWidget(plus);
  below->addSpacing(12);
  below->addWidget(Caption("ScreenId", screenId, this));
  below->addWidget(screenId);
  below->addWidget(Caption("Status", status, this));
  below->addWidget(status, 1);

  auto* left = new QVBoxLayout;
  left->addWidget(image_, 1);
  left->addLayout(below);

  auto* ids = new QGridLayout;
  ids->addWidget(Caption("Terminal", idTerm, this), 0, 0);
  ids->addWidget(idTerm, 0, 1);
  ids->addWidget(Caption("User", idUser, this), 1, 0);
  ids->addWidget(idUser, 1, 1);

  auto* right = new QVBoxLayout;
  right->addLayout(ids);
  right->addWidget(repeat);
  right->addWidget(skip);
  right->addWidget(activate);
  right->addWidget(Caption("Terminal Emulator", preview_, this));
  right->addWidget(preview_, 1);
  right->addWidget(fill);
  right->addWidget(refill);
  right->addWidget(progress_);
  right->addWidget(clear);
  right->addWidget(ok);

  auto* all = new QHBoxLayout(this);
  all->addLayout(left, 1);
  all->addLayout(right);
}

QLineEdit* ScreensReportWindow::Box(const char* name) const {
  return findChild<QLineEdit*>(QString::fromLatin1(name));
}
QCheckBox* ScreensReportWindow::Check(const char* name) const {
  return findChild<QCheckBox*>(QString::fromLatin1(name));
}
QPushButton* ScreensReportWindow::Button(const char* name) const {
  return findChild<QPushButton*>(QString::fromLatin1(name));
}

void ScreensReportWindow::Open() {
  report_.Open();
  Refresh();
  show();
  raise();
  activateWindow();
}

void ScreensReportWindow::Refresh() {
  Button("Command5")->setEnabled(!busy_ && report_.AutoFillEnabled());
  Box("Text7")->setText(QString::number(report_.ScreenId()));
  image_->Show(report_.Image());
  Box("Text5")->setText(QString::number(report_.ShowScreen()));
  ShowIdText(Box("Text4"), report_.IdTerminal(), report_.IdTerminalChecked());
  ShowIdText(Box("Text6"), report_.IdUser(), report_.IdUserChecked());
  Check("Check1")->setChecked(report_.AutoRepeat());
  Check("Check2")->setChecked(report_.Skip());
  Check("Check3")->setChecked(report_.Activated());
  Box("Text3")->setText(FromEngine(report_.Status()));
  QString preview = FromEngine(report_.Preview());
  preview.remove(QLatin1Char('\r'));
  preview_->setPlainText(preview);
}

// An empty box is the operator about to type a number; it gets the shown
// number back when the box is left.
void ScreensReportWindow::NumberTyped(const QString& text) {
  if (text.isEmpty()) return;
  if (!report_.TypeNumber(ToEngine(text))) {
    Box("Text5")->setText(QString::number(report_.ShowScreen()));
    return;
  }
  Refresh();
}

void ScreensReportWindow::AutoFill() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  report_.AutoFill();
  QApplication::restoreOverrideCursor();
  Refresh();
}

// One screen per turn of the event loop, so the progress shows and the
// gateway serves its terminals meanwhile.
void ScreensReportWindow::RefillAll() {
  if (busy_) return;
  if (report_.StartRefill() == 0) {
    Refresh();
    return;
  }
  busy_ = true;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  for (const char* b : {"Command1", "Command2", "Command3", "Command5", "Command6"})
    Button(b)->setEnabled(false);
  progress_->setRange(0, report_.RefillTotal());
  progress_->setValue(0);
  progress_->setFormat(QStringLiteral("%v of %m"));
  progress_->setVisible(true);
  QTimer::singleShot(0, this, &ScreensReportWindow::RefillNext);
}

void ScreensReportWindow::RefillNext() {
  if (!busy_) return;
  const bool more = report_.RefillStep();
  progress_->setValue(report_.RefillDone());
  if (more)
    QTimer::singleShot(0, this, &ScreensReportWindow::RefillNext);
  else
    EndRefill();
}

void ScreensReportWindow::EndRefill() {
  if (!busy_) return;
  busy_ = false;
  QApplication::restoreOverrideCursor();
  for (const char* b : {"Command1", "Command2", "Command3", "Command6"})
    Button(b)->setEnabled(true);
  progress_->setVisible(false);
  Refresh();
}

bool ScreensReportWindow::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate && isVisible()) {
    // Coming back from the editor or "Divide field": show what they
    // changed.  The click that activated the window may have selected a
    // field already; that selection stays.
    const int screen = report_.ShowScreen();
    const reports::Span selected = image_->Selection();
    Refresh();
    if (selected.length > 0 && screen == report_.ShowScreen())
      image_->Select(selected.offset, selected.length);
    emit activated();
  }
  return QWidget::event(e);
}

void ScreensReportWindow::closeEvent(QCloseEvent* e) {
  EndRefill();
  report_.Close();
  e->accept();
  emit closed();
}

}  // namespace tervo::ui
