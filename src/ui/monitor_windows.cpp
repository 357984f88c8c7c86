#include "ui/monitor_windows.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "ui/key_preview.h"
#include "ui/main_window.h"
#include "ui/text_codec.h"

namespace tervo::ui {

namespace {

constexpr int kScaleWidth = 3600;  // twips
constexpr int kValueLeft = reports::kBatteryBarLeft + kScaleWidth + 120;
constexpr int kRowControlHeight = 330;
constexpr int kWindowWidth = kValueLeft + 1200;

int Px(int twips) { return twips / kTwipsPerPixel; }

bool IsEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

QString Line(int session, const std::string& line) {
  return QStringLiteral("%1: ").arg(session) + FromEngine(line);
}

}  // namespace

// --- battery

BatteryWindow::BatteryWindow(const config::ScreenStore& store, screens::SessionState& sessions,
                             QWidget* parent)
    : QWidget(parent, Qt::Window), store_(store), sessions_(sessions) {
  setWindowTitle(QStringLiteral("Battery Voltage report"));
  setObjectName(QStringLiteral("BatteryReport"));
  for (int i = 0; i < config::kSessionSlots; ++i) {
    auto* label = new QLabel(this);
    label->setObjectName(QStringLiteral("Label1_%1").arg(i));
    auto* scale = new QScrollBar(Qt::Horizontal, this);
    scale->setObjectName(QStringLiteral("HScroll1_%1").arg(i));
    scale->setRange(reports::kBatteryScaleMin, reports::kBatteryScaleMax);
    // A scale shows a reading; dragging it would show one nobody made.
    scale->setAttribute(Qt::WA_TransparentForMouseEvents);
    scale->setFocusPolicy(Qt::NoFocus);
    auto* value = new QLabel(this);
    value->setObjectName(QStringLiteral("Value_%1").arg(i));
    label->hide();
    scale->hide();
    value->hide();
    labels_.push_back(label);
    scales_.push_back(scale);
    values_.push_back(value);
  }
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("OK"));
  auto* update = new QPushButton(QStringLiteral("Update"), this);
  update->setObjectName(QStringLiteral("Update"));
  connect(ok, &QPushButton::clicked, this, &QWidget::close);
  connect(update, &QPushButton::clicked, this, &BatteryWindow::Update);
  new KeyPreview(this, [this](int key) {
    if (!IsEnter(key)) return false;
    close();
    return true;
  });
}

QPushButton* BatteryWindow::Button(const char* name) const {
  return findChild<QPushButton*>(QString::fromLatin1(name));
}

void BatteryWindow::Update() {
  report_ = reports::UpdateBatteryReport(store_, sessions_);
  for (std::size_t i = 0; i < labels_.size(); ++i) {
    labels_[i]->hide();
    scales_[i]->hide();
    values_[i]->hide();
  }
  for (std::size_t i = 0; i < report_.rows.size(); ++i) {
    const reports::BatteryRow& row = report_.rows[i];
    labels_[i]->setText(FromEngine(row.terminalId));
    labels_[i]->setGeometry(Px(reports::kBatteryLabelLeft), Px(row.top),
                            Px(reports::kBatteryBarLeft - reports::kBatteryLabelLeft - 120),
                            Px(kRowControlHeight));
    scales_[i]->setValue(row.value);
    scales_[i]->setGeometry(Px(reports::kBatteryBarLeft), Px(row.top), Px(kScaleWidth),
                            Px(kRowControlHeight));
    values_[i]->setText(QStringLiteral("%1 mV").arg(row.value));
    values_[i]->setGeometry(Px(kValueLeft), Px(row.top), Px(1100), Px(kRowControlHeight));
    labels_[i]->show();
    scales_[i]->show();
    values_[i]->show();
  }
  Button("OK")->setGeometry(Px(reports::kBatteryLabelLeft), Px(report_.buttonsTop), Px(1400),
                            Px(450));
  Button("Update")->setGeometry(Px(reports::kBatteryBarLeft), Px(report_.buttonsTop), Px(1400),
                                Px(450));
  setFixedSize(Px(kWindowWidth), Px(report_.windowHeight));
}

// --- debug

DebugWindow::DebugWindow(const reports::DebugLines& lines, QWidget* parent)
    : QWidget(parent, Qt::Window), lines_(lines) {
  setWindowTitle(QStringLiteral("Debug Window"));
  setObjectName(QStringLiteral("Debug"));
  host_ = new QListWidget(this);
  host_->setObjectName(QStringLiteral("List1"));
  terminal_ = new QListWidget(this);
  terminal_->setObjectName(QStringLiteral("List2"));
  auto* grid = new QGridLayout(this);
  grid->addWidget(new QLabel(QStringLiteral("Host"), this), 0, 0);
  grid->addWidget(new QLabel(QStringLiteral("Terminal"), this), 0, 1);
  grid->addWidget(host_, 1, 0);
  grid->addWidget(terminal_, 1, 1);
  for (QListWidget* l : {host_, terminal_})
    l->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  resize(900, 240);
  new KeyPreview(this, [this](int key) {
    if (!IsEnter(key)) return false;
    close();
    return true;
  });
}

QListWidget* DebugWindow::List(core::DebugList list) const {
  return list == core::DebugList::kHost ? host_ : terminal_;
}

void DebugWindow::Refresh() {
  for (core::DebugList list : {core::DebugList::kHost, core::DebugList::kTerminal}) {
    QListWidget* w = List(list);
    w->clear();
    int s = 0;
    for (const std::string& line : lines_.Lines(list)) w->addItem(Line(s++, line));
  }
}

void DebugWindow::LineChanged(core::DebugList list, int session) {
  QListWidget* w = List(list);
  const auto& lines = lines_.Lines(list);
  if (w->count() != static_cast<int>(lines.size())) {
    Refresh();
    return;
  }
  if (session >= 0 && session < w->count())
    w->item(session)->setText(Line(session, lines[static_cast<std::size_t>(session)]));
}

// --- report

ReportWindow::ReportWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setWindowTitle(QStringLiteral("Report"));
  setObjectName(QStringLiteral("Report"));
  text_ = new QPlainTextEdit(this);
  text_->setObjectName(QStringLiteral("Text1"));
  text_->setReadOnly(true);
  text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text_);
  resize(420, 220);
  new KeyPreview(this, [this](int key) {
    if (key != Qt::Key_Escape) return false;
    close();
    return true;
  });
}

void ReportWindow::SetText(const std::string& text) {
  QString t = FromEngine(text);
  t.remove(QLatin1Char('\r'));
  text_->setPlainText(t);
}

std::string ReportWindow::Text() const { return ToEngine(text_->toPlainText()); }

}  // namespace tervo::ui
