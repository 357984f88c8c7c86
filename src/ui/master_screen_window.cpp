#include "ui/master_screen_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/key_preview.h"
#include "ui/text_codec.h"

namespace tervo::ui {

namespace {

// The direction options and the MoveV step each stands for.
constexpr std::pair<const char*, std::int32_t> kDirections[] = {
    {"UP", -80}, {"DOWN", 80}, {"LEFT", -1}, {"RIGHT", 1}, {"Don't", 0}};

QString Name(const char* caption) {
  // "Don't" is a caption, not a control name.
  return QString::fromLatin1(caption).remove(QLatin1Char('\''));
}

}  // namespace

MasterScreenWindow::MasterScreenWindow(editors::MasterDialog& dialog, QWidget* parent)
    : QWidget(parent, Qt::Window), dialog_(dialog) {
  setWindowTitle(QStringLiteral("Master Screen Setup"));
  setObjectName(QStringLiteral("MasterScreenSetup"));
  Build();
  new KeyPreview(this, [this](int key) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    close();
    return true;
  });
}

void MasterScreenWindow::Build() {
  auto* check = new QCheckBox(QStringLiteral("Master Screen"), this);
  check->setObjectName(QStringLiteral("MasterScreenCheck"));
  connect(check, &QCheckBox::clicked, this, [this](bool on) {
    dialog_.ClickMaster(on);
    Refresh();
  });
  auto* father = new QLineEdit(this);
  father->setObjectName(QStringLiteral("Father"));
  father->setReadOnly(true);
  father->setMaximumWidth(60);
  auto* kill = new QPushButton(QStringLiteral("To be the Father"), this);
  kill->setObjectName(QStringLiteral("KillFather"));
  connect(kill, &QPushButton::clicked, this, [this] {
    dialog_.ToBeTheFather();
    Refresh();
  });
  auto* fatherRow = new QHBoxLayout;
  fatherRow->addWidget(new QLabel(QStringLiteral("Screen Father:"), this));
  fatherRow->addWidget(father);
  fatherRow->addWidget(kill);
  fatherRow->addStretch();

  auto* from = new QGroupBox(QStringLiteral("New fields copy configurations from"), this);
  from->setObjectName(QStringLiteral("FrameDirection"));
  auto* gd = new QGridLayout(from);
  int i = 0;
  for (const auto& [caption, step] : kDirections) {
    auto* b = new QRadioButton(QString::fromLatin1(caption), this);
    b->setObjectName(Name(caption));
    b->setAutoExclusive(false);
    connect(b, &QRadioButton::clicked, this, [this, s = step] {
      dialog_.SelectDirection(s);
      Refresh();
    });
    gd->addWidget(b, i / 3, i % 3);
    ++i;
  }
  auto* moveV = new QLineEdit(this);
  moveV->setObjectName(QStringLiteral("MoveV"));
  moveV->setMaximumWidth(60);
  connect(moveV, &QLineEdit::textEdited, this,
          [this](const QString& t) { dialog_.SetMoveVBox(ToEngine(t)); });
  gd->addWidget(moveV, 1, 2);

  auto* copy = new QGroupBox(QStringLiteral("In new fields copy"), this);
  copy->setObjectName(QStringLiteral("FrameCopy"));
  auto* gc = new QHBoxLayout(copy);
  auto* show = new QGroupBox(QStringLiteral("Show"), this);
  show->setObjectName(QStringLiteral("FrameShow"));
  auto* gs = new QHBoxLayout(show);
  const std::tuple<QHBoxLayout*, const char*, const char*, int> options[] = {
      {gc, "Configurations", "Configurations", 0},
      {gc, "Text", "Text", 1},
      {gs, "ShowMasterFields", "Master fields only", 2},
      {gs, "ShowAllFields", "All fields", 3},
  };
  for (const auto& [layout, name, caption, what] : options) {
    auto* b = new QRadioButton(QString::fromLatin1(caption), this);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoExclusive(false);
    connect(b, &QRadioButton::clicked, this, [this, w = what] {
      if (w < 2)
        dialog_.SelectCopyText(w == 1);
      else
        dialog_.SelectMasterFieldsOnly(w == 2);
      Refresh();
    });
    layout->addWidget(b);
  }

  auto* update = new QPushButton(QStringLiteral("Update old screens"), this);
  update->setObjectName(QStringLiteral("UpdateOldScreens"));
  connect(update, &QPushButton::clicked, this, [this] {
    dialog_.UpdateOldScreens();
    Refresh();
  });
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("OK"));
  connect(ok, &QPushButton::clicked, this, &QWidget::close);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(update);
  buttons->addStretch();
  buttons->addWidget(ok);

  auto* main = new QVBoxLayout(this);
  main->addWidget(check);
  main->addLayout(fatherRow);
  main->addWidget(from);
  main->addWidget(copy);
  main->addWidget(show);
  main->addLayout(buttons);
}

void MasterScreenWindow::Refresh() {
  Control<QCheckBox>("MasterScreenCheck")->setChecked(dialog_.MasterChecked());
  auto* father = Control<QLineEdit>("Father");
  father->setText(FromEngine(dialog_.FatherBox()));
  father->setEnabled(false);
  Control<QPushButton>("KillFather")->setEnabled(dialog_.KillFatherEnabled());
  for (const char* frame : {"FrameDirection", "FrameCopy", "FrameShow"})
    Control<QGroupBox>(frame)->setEnabled(dialog_.FramesEnabled());
  Control<QPushButton>("UpdateOldScreens")->setEnabled(dialog_.FramesEnabled());
  for (const auto& [caption, step] : kDirections)
    findChild<QRadioButton*>(Name(caption))->setChecked(dialog_.Direction() == step);
  auto* moveV = Control<QLineEdit>("MoveV");
  const QString box = FromEngine(dialog_.MoveVBox());
  if (moveV->text() != box) moveV->setText(box);
  Control<QRadioButton>("Text")->setChecked(dialog_.CopyText());
  Control<QRadioButton>("Configurations")->setChecked(!dialog_.CopyText());
  Control<QRadioButton>("ShowMasterFields")->setChecked(dialog_.MasterFieldsOnly());
  Control<QRadioButton>("ShowAllFields")->setChecked(!dialog_.MasterFieldsOnly());
}

void MasterScreenWindow::closeEvent(QCloseEvent* e) {
  dialog_.Close();
  e->accept();
  emit closed();
}

}  // namespace tervo::ui
