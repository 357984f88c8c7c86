#include "ui/device_name_window.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>

#include "config/option_rules.h"
#include "config/text.h"
#include "platform/host5250/device_name.h"
#include "ui/field_marks.h"
#include "ui/key_preview.h"
#include "ui/text_codec.h"

namespace tervo::ui {

DeviceNameWindow::DeviceNameWindow(config::ScreenStore& store, int sessionCount, QWidget* parent)
    : QWidget(parent, Qt::Window), store_(store), sessionCount_(sessionCount) {
  setWindowTitle(QStringLiteral("Device Name"));
  setObjectName(QStringLiteral("DeviceNames"));
  setAttribute(Qt::WA_DeleteOnClose);  // unloaded on close; the data lives in the store

  auto* rows = new QWidget;
  auto* grid = new QGridLayout(rows);
  grid->addWidget(new QLabel(QStringLiteral("Device Name")), 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("Terminal ID")), 0, 2);
  for (int i = 0; i < config::kSessionSlots; ++i) {
    auto* a = new QLineEdit;
    a->setObjectName(QStringLiteral("Text1_%1").arg(i));
    auto* b = new QLineEdit;
    b->setObjectName(QStringLiteral("Text2_%1").arg(i));
    const bool enabled = i < sessionCount_;
    a->setEnabled(enabled);
    b->setEnabled(enabled);
    a->setMaxLength(10);
    b->setMaxLength(8);
    connect(a, &QLineEdit::textEdited, this, [this] { Validate(); });
    connect(b, &QLineEdit::textEdited, this, [this] { Validate(); });
    grid->addWidget(new QLabel(QString::number(i)), i + 1, 0);
    grid->addWidget(a, i + 1, 1);
    grid->addWidget(b, i + 1, 2);
    text1_[static_cast<std::size_t>(i)] = a;
    text2_[static_cast<std::size_t>(i)] = b;
  }
  auto* scroll = new QScrollArea;
  scroll->setWidget(rows);
  scroll->setWidgetResizable(true);

  auto* ok = new QPushButton(QStringLiteral("OK"));
  ok->setObjectName(QStringLiteral("Command1"));
  connect(ok, &QPushButton::clicked, this, &QWidget::close);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  message_ = MakeMessageLine(this, "Message");
  auto* main = new QVBoxLayout(this);
  main->addWidget(scroll);
  main->addWidget(message_);
  main->addLayout(buttons);
  resize(420, 480);

  new KeyPreview(this, [this](int key) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    close();
    return true;
  });
  Fill();
}

QLineEdit* DeviceNameWindow::Validate() {
  const int rows = std::min(sessionCount_, config::kSessionSlots);
  std::array<std::string, config::kSessionSlots> ids;
  std::array<std::string, config::kSessionSlots> names;
  for (int i = 0; i < rows; ++i) {
    ids[static_cast<std::size_t>(i)] = ToEngine(text2_[static_cast<std::size_t>(i)]->text());
    names[static_cast<std::size_t>(i)] =
        text::ToUpper(ToEngine(text1_[static_cast<std::size_t>(i)]->text()));
  }
  QLineEdit* first = nullptr;
  QString firstMessage;
  QString focused;
  auto note = [&](QLineEdit* field, const QString& line) {
    if (field->hasFocus()) focused = line;
    if (!first) {
      first = field;
      firstMessage = line;
    }
  };
  for (int i = 0; i < rows; ++i) {
    const auto u = static_cast<std::size_t>(i);
    std::string nameMessage;
    std::string normalized;
    std::string refused;
    if (!names[u].empty() && !host5250::ValidDeviceName(names[u], &normalized, &refused)) {
      nameMessage = "1 to 10 letters, digits, $ # @ _ or . (the first a letter, $, # or @)";
    } else {
      for (int k = 0; k < i && !names[u].empty(); ++k)
        if (names[static_cast<std::size_t>(k)] == names[u])
          nameMessage = "Session " + std::to_string(k) + " has this device name already.";
    }
    const std::string idMessage = config::CheckTerminalId(ids[u], i, ids, i);
    MarkField(text1_[u], FromEngine(nameMessage));
    MarkField(text2_[u], FromEngine(idMessage));
    if (!nameMessage.empty())
      note(text1_[u],
           QStringLiteral("Device name of session %1: %2").arg(i).arg(FromEngine(nameMessage)));
    if (!idMessage.empty())
      note(text2_[u],
           QStringLiteral("Terminal ID of session %1: %2").arg(i).arg(FromEngine(idMessage)));
  }
  message_->setText(focused.isEmpty() ? firstMessage : focused);
  return first;
}

void DeviceNameWindow::Fill() {
  for (int i = 0; i < sessionCount_ && i < config::kSessionSlots; ++i) {
    text1_[static_cast<std::size_t>(i)]->setText(
        FromEngine(store_.DeviceName[static_cast<std::size_t>(i)]));
    text2_[static_cast<std::size_t>(i)]->setText(
        FromEngine(store_.TerminalIDDef[static_cast<std::size_t>(i)]));
  }
}

void DeviceNameWindow::Store() {
  const bool live = routerName && routerName() == "WallData.RumbaRouter";
  for (int i = 0; i < sessionCount_ && i < config::kSessionSlots; ++i) {
    const auto slot = static_cast<std::size_t>(i);
    store_.DeviceName[slot] = text::ToUpper(ToEngine(text1_[slot]->text()));
    store_.TerminalIDDef[slot] = ToEngine(text2_[slot]->text());
    if (live && !store_.DeviceName[slot].empty() && setLiveDeviceName &&
        !setLiveDeviceName(i, store_.DeviceName[slot]))
      return;
  }
}

void DeviceNameWindow::closeEvent(QCloseEvent* e) {
  if (QLineEdit* bad = Validate()) {
    // Stored, it would be refused by the host or never find its terminal.
    e->ignore();
    bad->setFocus(Qt::OtherFocusReason);
    Validate();
    return;
  }
  Store();
  QWidget::closeEvent(e);
}

}  // namespace tervo::ui
