#include "ui/graph_window.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/key_preview.h"
#include "ui/main_window.h"
#include "ui/text_codec.h"

namespace tervo::ui {

namespace {

constexpr int kLabelHeight = 250;  // twips
constexpr int kCanvasHeight = 6400;

QRect Twips(int left, int top, int width, int height) {
  return QRect(left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
               height / kTwipsPerPixel);
}

// Colour values are 0x00BBGGRR.
QColor FromBgr(std::uint32_t v) { return QColor(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF); }

}  // namespace

class GraphCanvas : public QWidget {
 public:
  explicit GraphCanvas(GraphWindow& window) : QWidget(&window), window_(window) {
    setMinimumSize(400, kCanvasHeight / kTwipsPerPixel);
    setAutoFillBackground(true);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const reports::GraphLayout g = window_.Layout();
    for (const reports::GraphBar& b : g.bars) {
      if (b.height > 0) p.fillRect(Twips(b.left, b.top, b.width, b.height), FromBgr(b.colour));
      p.drawText(Twips(b.labelLeft, b.labelTop, b.labelWidth, kLabelHeight),
                 Qt::AlignLeft | Qt::AlignTop, FromEngine(b.label));
    }
    for (const reports::GraphAxisLabel& a : g.axis)
      p.drawText(Twips(a.left, a.top, a.width, kLabelHeight), Qt::AlignLeft | Qt::AlignTop,
                 QString::fromStdString(a.text));
    p.drawLine(Twips(reports::kGraphLeft - 60, reports::kGraphBase, 0, 0).topLeft(),
               Twips(width() * kTwipsPerPixel, reports::kGraphBase, 0, 0).topLeft());
  }

 private:
  GraphWindow& window_;
};

GraphWindow::GraphWindow(Source source, QWidget* parent)
    : QWidget(parent, Qt::Window), source_(std::move(source)) {
  setObjectName(QStringLiteral("Graph"));
  canvas_ = new GraphCanvas(*this);
  auto button = [this](const char* name, const char* caption) {
    auto* b = new QPushButton(QString::fromLatin1(caption), this);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
  };
  auto* toggle = button("Command5", "Errors");
  auto* today = button("Command1", "Today");
  auto* week = button("Command2", "Last 7 Days");
  auto* month = button("Command3", "Last 31 Days");
  auto* ok = button("Command4", "OK");
  connect(toggle, &QPushButton::clicked, this, &GraphWindow::Toggle);
  connect(today, &QPushButton::clicked, this, [this] { Show(reports::GraphPeriod::kToday); });
  connect(week, &QPushButton::clicked, this, [this] { Show(reports::GraphPeriod::kLast7Days); });
  connect(month, &QPushButton::clicked, this, [this] { Show(reports::GraphPeriod::kLast31Days); });
  connect(ok, &QPushButton::clicked, this, &QWidget::close);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {toggle, today, week, month}) buttons->addWidget(b);
  buttons->addStretch(1);
  buttons->addWidget(ok);
  auto* all = new QVBoxLayout(this);
  all->addWidget(canvas_, 1);
  all->addLayout(buttons);
  resize(720, 520);
  new KeyPreview(this, [this](int key) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    close();
    return true;
  });
}

QPushButton* GraphWindow::Button(const char* name) const {
  return findChild<QPushButton*>(QString::fromLatin1(name));
}

void GraphWindow::Open() {
  graph_.Open();
  Button("Command5")->setText(QString::fromStdString(graph_.ToggleCaption()));
  Show(graph_.Period());
  show();
  raise();
}

void GraphWindow::Toggle() {
  graph_.Toggle();
  Button("Command5")->setText(QString::fromStdString(graph_.ToggleCaption()));
  Show(reports::GraphPeriod::kToday);
}

void GraphWindow::Show(reports::GraphPeriod period) {
  graph_.Show(period);
  setWindowTitle(QString::fromStdString(graph_.Caption()));
  const int n = source_.sessions ? source_.sessions() : 1;
  values_ = reports::GraphValues(graph_.Table(*source_.counters), n,
                                 source_.today ? source_.today() : 1, period);
  ids_.assign(static_cast<std::size_t>(std::max(n, 0)), std::string());
  for (int i = 0; i < n && config::ScreenStore::ValidSession(i); ++i)
    ids_[static_cast<std::size_t>(i)] = source_.store->TerminalIDDef[static_cast<std::size_t>(i)];
  canvas_->update();
}

reports::GraphLayout GraphWindow::Layout() const {
  return reports::LayOutGraph(values_, ids_, canvas_->width() * kTwipsPerPixel);
}

}  // namespace tervo::ui
