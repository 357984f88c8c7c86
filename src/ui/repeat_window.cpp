#include "ui/repeat_window.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/text_codec.h"

namespace tervo::ui {

namespace {

using editors::RepeatBox;

// Box, control name and label.
constexpr std::tuple<RepeatBox, const char*, const char*> kBoxes[] = {
    {RepeatBox::Keys1, "Keys1", "Do Keys"},
    {RepeatBox::SubCounter1, "SubCounter1", "SUB Counter"},
    {RepeatBox::IfCounter, "IfCounter", "IF Counter >"},
    {RepeatBox::Keys2, "Keys2", "Do Keys"},
    {RepeatBox::SubCounter2, "SubCounter2", "SUB Counter"},
    {RepeatBox::TKeys, "TKeys", "Terminate Keys"},
    {RepeatBox::CounterVal, "CounterVal", "Number of times to repeat"},
};

constexpr std::tuple<std::int32_t, const char*, const char*> kCounters[] = {
    {editors::kCounterUserId, "UserId", "User Id + fixed"},
    {editors::kCounterFixed, "Fixed", "Fixed"},
    {editors::kCounterOrder, "Order", "Field Order N\xC2\xBA"},
};

}  // namespace

RepeatWindow::RepeatWindow(editors::RepeatDialog& dialog, QWidget* parent)
    : QWidget(parent, Qt::Window), dialog_(dialog) {
  setWindowTitle(QStringLiteral("Repeat"));
  setObjectName(QStringLiteral("Repeat"));
  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(QStringLiteral("Enter the key to repeat"), this), 0, 0, 1, 2);
  int row = 1;
  for (const auto& [box, name, label] : kBoxes) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(name));
    connect(edit, &QLineEdit::textEdited, this,
            [this, b = box](const QString& t) { dialog_.SetText(b, ToEngine(t)); });
    if (box == RepeatBox::Keys2)
      grid->addWidget(new QLabel(QStringLiteral("ELSE"), this), row++, 0);
    auto* l = new QLabel(QString::fromLatin1(label), this);
    l->setBuddy(edit);
    grid->addWidget(l, row, 0);
    grid->addWidget(edit, row++, 1);
  }
  grid->addWidget(new QLabel(QStringLiteral("Separate Keys with ','"), this), row++, 0, 1, 2);

  auto* counter = new QGroupBox(QStringLiteral("Use as Counter"), this);
  auto* gc = new QVBoxLayout(counter);
  for (const auto& [value, name, caption] : kCounters) {
    auto* b = new QRadioButton(QString::fromUtf8(caption), this);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoExclusive(false);
    connect(b, &QRadioButton::clicked, this, [this, v = value] {
      dialog_.SelectCounter(v);
      Refresh();
    });
    gc->addWidget(b);
  }

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("Command1"));
  connect(ok, &QPushButton::clicked, this, [this] {
    dialog_.Ok();
    close();
  });
  auto* off = new QPushButton(QStringLiteral("Desactivate"), this);
  off->setObjectName(QStringLiteral("Command2"));
  connect(off, &QPushButton::clicked, this, [this] {
    dialog_.Desactivate();
    close();
  });
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(off);
  buttons->addWidget(ok);

  auto* columns = new QHBoxLayout;
  columns->addLayout(grid);
  columns->addWidget(counter, 0, Qt::AlignTop);
  auto* main = new QVBoxLayout(this);
  main->addLayout(columns);
  main->addLayout(buttons);
}

QLineEdit* RepeatWindow::Box(RepeatBox b) const {
  for (const auto& [box, name, label] : kBoxes)
    if (box == b) return findChild<QLineEdit*>(QString::fromLatin1(name));
  return nullptr;
}

QRadioButton* RepeatWindow::CounterOption(std::int32_t counter) const {
  for (const auto& [value, name, caption] : kCounters)
    if (value == counter) return findChild<QRadioButton*>(QString::fromLatin1(name));
  return nullptr;
}

void RepeatWindow::Refresh() {
  for (const auto& [box, name, label] : kBoxes) {
    QLineEdit* edit = Box(box);
    const QString t = FromEngine(dialog_.Text(box));
    if (edit->text() != t) edit->setText(t);
  }
  for (const auto& [value, name, caption] : kCounters)
    CounterOption(value)->setChecked(dialog_.Counter() == value);
}

void RepeatWindow::closeEvent(QCloseEvent* e) {
  dialog_.Close();
  e->accept();
  emit closed();
}

}  // namespace tervo::ui
