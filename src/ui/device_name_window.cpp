#include "ui/device_name_window.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "config/text.h"
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
  auto* main = new QVBoxLayout(this);
  main->addWidget(scroll);
  main->addLayout(buttons);
  resize(420, 520);

  new KeyPreview(this, [this](int key) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    close();
    return true;
  });
  Fill();
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
  Store();
  QWidget::closeEvent(e);
}

}  // namespace tervo::ui
