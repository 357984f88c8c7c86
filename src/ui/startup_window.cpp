#include "ui/startup_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "config/option_rules.h"
#include "ui/field_marks.h"
#include "ui/key_preview.h"
#include "ui/text_codec.h"

namespace tervo::ui {

StartupWindow::StartupWindow(config::GeneralOptions& options, QWidget* parent)
    : QWidget(parent, Qt::Window), options_(options) {
  setWindowTitle(QStringLiteral("Boot AS400"));
  setObjectName(QStringLiteral("BootAS400"));

  auto* heading = new QLabel(QStringLiteral("Startup Timer"));
  heading->setObjectName(QStringLiteral("Heading"));
  QFont f = heading->font();
  f.setPointSizeF(f.pointSizeF() * 1.6);
  f.setBold(true);
  heading->setFont(f);
  heading->setAlignment(Qt::AlignCenter);

  // "##:##" with "_" as the prompt character; the option keeps the text as
  // the box shows it ("__:__" when empty).
  on_ = new QLineEdit;
  on_->setObjectName(QStringLiteral("MaskEdBox1"));
  on_->setInputMask(QStringLiteral("99:99;_"));
  off_ = new QLineEdit;
  off_->setObjectName(QStringLiteral("MaskEdBox2"));
  off_->setInputMask(QStringLiteral("99:99;_"));
  check1_ = new QCheckBox(QStringLiteral("Activate Timer"));
  check1_->setObjectName(QStringLiteral("Check1"));
  check2_ = new QCheckBox(QStringLiteral("Close Program on timer off"));
  check2_->setObjectName(QStringLiteral("Check2"));
  autoSave_ = new QCheckBox(QStringLiteral("Auto Save File"));
  autoSave_->setObjectName(QStringLiteral("AutoSave"));
  Bind(on_, config::Option::kMaskEdBox1);
  Bind(off_, config::Option::kMaskEdBox2);
  Bind(check1_, config::Option::kCheck1);
  Bind(check2_, config::Option::kCheck2);
  Bind(autoSave_, config::Option::kAutoSave);

  auto* startNow = new QPushButton(QStringLiteral("Start Now"));
  startNow->setObjectName(QStringLiteral("StartNow"));
  connect(startNow, &QPushButton::clicked, this, [this] {
    if (onStartNow) onStartNow();
  });
  auto* ok = new QPushButton(QStringLiteral("OK"));
  ok->setObjectName(QStringLiteral("Command2"));
  connect(ok, &QPushButton::clicked, this, &QWidget::hide);

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(QStringLiteral("Timer ON")), 0, 0);
  grid->addWidget(on_, 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("Timer OFF")), 1, 0);
  grid->addWidget(off_, 1, 1);
  grid->addWidget(check1_, 2, 0, 1, 2);
  grid->addWidget(check2_, 3, 0, 1, 2);
  grid->addWidget(autoSave_, 4, 0, 1, 2);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(startNow);
  buttons->addStretch();
  buttons->addWidget(ok);
  message_ = MakeMessageLine(this, "Message");
  auto* main = new QVBoxLayout(this);
  main->addWidget(heading);
  main->addLayout(grid);
  main->addWidget(message_);
  main->addLayout(buttons);

  new KeyPreview(this, [this](int key) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    hide();
    return true;
  });

  setMinimumWidth(300);
  tick_.setInterval(kTickMs);
  connect(&tick_, &QTimer::timeout, this, &StartupWindow::Tick);
  tick_.start();
  Reload();
}

void StartupWindow::Bind(QLineEdit* box, config::Option key) {
  connect(box, &QLineEdit::textChanged, this, [this, box, key] {
    const std::string t = ToEngine(box->displayText());
    // 99:99 would never come; the timer keeps the last good time.
    const std::string m = config::CheckTime(t);
    MarkField(box, FromEngine(m));
    if (!loading_ && m.empty()) options_.SetText(key, t);
    ShowMessage();
  });
}

void StartupWindow::ShowMessage() {
  if (!message_) return;
  QString line;
  for (auto [box, name] :
       {std::pair<QLineEdit*, const char*>{on_, "Timer ON"}, {off_, "Timer OFF"}})
    if (line.isEmpty() && FieldMarked(box))
      line = QString::fromLatin1(name) + QStringLiteral(": ") + box->toolTip();
  message_->setText(line);
}

void StartupWindow::Bind(QCheckBox* box, config::Option key) {
  connect(box, &QCheckBox::toggled, this, [this, key](bool on) {
    if (!loading_) options_.SetChecked(key, on);
  });
}

void StartupWindow::Reload() {
  loading_ = true;
  on_->setText(FromEngine(options_.Text(config::Option::kMaskEdBox1)));
  off_->setText(FromEngine(options_.Text(config::Option::kMaskEdBox2)));
  check1_->setChecked(options_.Checked(config::Option::kCheck1));
  check2_->setChecked(options_.Checked(config::Option::kCheck2));
  autoSave_->setChecked(options_.Checked(config::Option::kAutoSave));
  loading_ = false;
}

void StartupWindow::Tick() {
  if (onTick) onTick();
}

void StartupWindow::closeEvent(QCloseEvent* e) {
  tick_.stop();
  QWidget::closeEvent(e);
  emit unloaded();
}

}  // namespace tervo::ui
