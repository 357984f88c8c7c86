#include "ui/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolButton>

#include "config/menu_commands.h"
#include "core/gateway.h"
#include "core/layout.h"
#include "ui/colors.h"
#include "ui/page_scroll_bar.h"
#include "ui/text_codec.h"

namespace tervo::ui {

namespace {

QRect ToPixels(const core::Rect& r) {
  return QRect(r.left / kTwipsPerPixel, r.top / kTwipsPerPixel, r.width / kTwipsPerPixel,
               r.height / kTwipsPerPixel);
}

QPixmap LogoPixmap() {
  QPixmap pm(260, 110);
  pm.fill(QColor(0x20, 0x20, 0x20));
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(0x33, 0xDD, 0x55), 3));
  p.drawRoundedRect(QRectF(4, 4, 252, 102), 12, 12);
  QFont f(QStringLiteral("Sans"));
  f.setPixelSize(46);
  f.setBold(true);
  p.setFont(f);
  p.drawText(QRectF(0, 8, 260, 60), Qt::AlignCenter, QStringLiteral("TERVO"));
  f.setPixelSize(14);
  f.setBold(false);
  p.setFont(f);
  p.setPen(QColor(0xDD, 0xDD, 0xDD));
  p.drawText(QRectF(0, 66, 260, 30), Qt::AlignCenter, QStringLiteral("Remote Terminal 4.05"));
  return pm;
}

}  // namespace

MainWindow::MainWindow(config::ConfigLock& lock, QWidget* parent)
    : QMainWindow(parent), lock_(lock) {
  setObjectName(QStringLiteral("MainWindow"));
  client_ = new QWidget(this);
  client_->setObjectName(QStringLiteral("ClientArea"));
  client_->setAutoFillBackground(true);
  QPalette pal = client_->palette();
  pal.setColor(QPalette::Window, kWindowBackground);
  client_->setPalette(pal);
  client_->installEventFilter(this);
  setCentralWidget(client_);

  for (int i = 0; i < config::kSessionSlots; ++i) {
    auto* d = new SessionDisplay(i, client_);
    d->hide();
    d->keysAllowed = [this, d] { return lock_.Unlocked() && d->BackColor() == kSelectedBackColor; };
    connect(d, &SessionDisplay::clicked, this, &MainWindow::As4001Click);
    connect(d, &SessionDisplay::focused, this, [this] { SetFocusToScrollBar(); });
    connect(d, &SessionDisplay::positionPicked, this,
            [this](int session, int, int) { emit positionPicked(session); });
    displays_[static_cast<std::size_t>(i)] = d;
  }
  logo_ = new QLabel(client_);
  logo_->setObjectName(QStringLiteral("Picture1"));
  logo_->setPixmap(LogoPixmap());
  logo_->resize(logo_->pixmap().size());
  logo_->hide();
  label1_ = new QLabel(client_);
  label1_->setObjectName(QStringLiteral("Label1"));
  label2_ = new QLabel(client_);
  label2_->setObjectName(QStringLiteral("Label2"));
  QPalette labels = pal;
  labels.setColor(QPalette::Window, kStatusBackground);
  labels.setColor(QPalette::WindowText, kStatusText);
  for (QLabel* l : {label1_, label2_}) {
    l->setAutoFillBackground(true);
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    l->setPalette(labels);
    l->setIndent(4);
  }
  scroll_ = new PageScrollBar(client_);
  scroll_->setObjectName(QStringLiteral("HScroll1"));
  scroll_->setRange(0, 0);
  scroll_->setFocusPolicy(Qt::StrongFocus);
  connect(scroll_, &QScrollBar::valueChanged, this, [this] { ArrangeAs400Windows(); });

  BuildMenus();
  ApplyLock();

  radio_ = new QLabel(this);
  radio_->setObjectName(QStringLiteral("RadioStatus"));
  terminals_ = new QLabel(this);
  terminals_->setObjectName(QStringLiteral("TerminalsStatus"));
  hosts_ = new QLabel(this);
  hosts_->setObjectName(QStringLiteral("HostSessionsStatus"));
  saved_ = new QLabel(this);
  saved_->setObjectName(QStringLiteral("SavedStatus"));
  messagesButton_ = new QToolButton(this);
  messagesButton_->setObjectName(QStringLiteral("MessagesButton"));
  messagesButton_->setAutoRaise(true);
  messagesButton_->setText(QStringLiteral("Recent messages"));
  messagesButton_->setFocusPolicy(Qt::NoFocus);  // the focus stays on the scroll bar
  connect(messagesButton_, &QToolButton::clicked, this,
          [this] { emit menuCommand(QStringLiteral("RecentMessages")); });
  for (QWidget* w : std::initializer_list<QWidget*>{radio_, terminals_, hosts_, saved_})
    statusBar()->addPermanentWidget(w);
  statusBar()->addPermanentWidget(messagesButton_);
  statusBar()->setSizeGripEnabled(false);

  // The host screens change under the displays; repaint the visible ones.
  repaint_.setInterval(200);
  connect(&repaint_, &QTimer::timeout, this, [this] {
    for (auto* d : displays_)
      if (d->isVisible()) d->update();
  });
  repaint_.start();
  resize(1024, 720);
}

void MainWindow::BuildMenus() {
  for (const auto& top : config::MenuTree()) {
    if (top.items.empty()) {
      QAction* a = menuBar()->addAction(QString::fromStdString(top.caption));
      a->setObjectName(QString::fromStdString(top.name));
      actions_[top.name] = a;
      connect(a, &QAction::triggered, this,
              [this, name = top.name] { emit menuCommand(QString::fromStdString(name)); });
      continue;
    }
    QMenu* menu = menuBar()->addMenu(QString::fromStdString(top.caption));
    menu->setObjectName(QString::fromStdString(top.name));
    actions_[top.name] = menu->menuAction();
    if (top.name == "Configurations") configurations_ = menu;
    std::function<void(QMenu*, const std::vector<config::MenuItemDef>&)> fill =
        [&](QMenu* m, const std::vector<config::MenuItemDef>& items) {
          for (const auto& item : items) {
            if (!item.items.empty()) {
              QMenu* sub = m->addMenu(QString::fromStdString(item.caption));
              sub->setObjectName(QString::fromStdString(item.name));
              actions_[item.name] = sub->menuAction();
              fill(sub, item.items);
              continue;
            }
            QAction* a = m->addAction(QString::fromStdString(item.caption));
            a->setObjectName(QString::fromStdString(item.name));
            a->setEnabled(item.enabledAtStart);
            actions_[item.name] = a;
            connect(a, &QAction::triggered, this,
                    [this, name = item.name] { emit menuCommand(QString::fromStdString(name)); });
          }
        };
    fill(menu, top.items);
  }
}

QAction* MainWindow::MenuAction(const std::string& name) const {
  auto it = actions_.find(name);
  return it == actions_.end() ? nullptr : it->second;
}

void MainWindow::ApplyLock() {
  if (configurations_) configurations_->menuAction()->setVisible(lock_.Unlocked());
  for (const auto& name : config::LockedFileItems())
    if (QAction* a = MenuAction(name)) a->setEnabled(lock_.FileItemsEnabled());
  if (QAction* a = MenuAction("FullAccess"))
    a->setText(QString::fromStdString(lock_.ToggleCaption()));
  if (!lock_.Unlocked()) SetFocusToScrollBar();
}

void MainWindow::Attach(core::Gateway* gateway) {
  gateway_ = gateway;
  for (int i = 0; i < config::kSessionSlots; ++i)
    displays_[static_cast<std::size_t>(i)]->SetDisplay(gateway ? gateway->Display(i) : nullptr);
  ArrangeAs400Windows();
}

int MainWindow::SessionCount() const { return gateway_ ? gateway_->SessionCount() : 0; }

void MainWindow::SetCaption(const std::string& caption) { setWindowTitle(FromEngine(caption)); }

void MainWindow::ShowStatus(const reports::GatewayStatus& status, int unreadErrors) {
  radio_->setText(QString::fromStdString(reports::RadioText(status.radio)));
  terminals_->setText(QString::fromStdString(reports::TerminalsText(status)));
  hosts_->setText(QString::fromStdString(reports::HostSessionsText(status)));
  saved_->setText(QString::fromStdString(reports::SavedText(status)));
  QFont f = saved_->font();
  f.setBold(status.unsaved);
  saved_->setFont(f);
  QFont r = radio_->font();
  r.setBold(status.radio == reports::GatewayStatus::Radio::kDown ||
            status.radio == reports::GatewayStatus::Radio::kRetrying);
  radio_->setFont(r);
  messagesButton_->setText(unreadErrors > 0
                               ? QStringLiteral("Recent messages (%1 new errors)").arg(unreadErrors)
                               : QStringLiteral("Recent messages"));
}

void MainWindow::ShowResult(const std::string& line) { statusBar()->showMessage(FromEngine(line)); }

QStringList MainWindow::StatusTexts() const {
  return {statusBar()->currentMessage(),
          radio_->text(),
          terminals_->text(),
          hosts_->text(),
          saved_->text(),
          messagesButton_->text()};
}

void MainWindow::SetFocusToScrollBar() {
  if (!lock_.Unlocked()) scroll_->setFocus(Qt::OtherFocusReason);
}

void MainWindow::ShowSessionLabels(int session, const std::string& terminalId,
                                   const std::string& user) {
  label1_->setText(session < 0 ? QString() : FromEngine(terminalId));
  label2_->setText(session < 0 ? QString() : FromEngine(user));
}

int MainWindow::Selected() const {
  for (int s = 0; s < SessionCount(); ++s)
    if (displays_[static_cast<std::size_t>(s)]->BackColor() == kSelectedBackColor) return s;
  return -1;
}

void MainWindow::As4001Click(int index) {
  SetFocusToScrollBar();
  if (index >= config::kSessionSlots) index = -1;
  // While locked, a click on the selected session deselects it.
  if (index >= 0 && Display(index)->BackColor() == kSelectedBackColor && !lock_.Unlocked())
    index = -1;
  if (gateway_)
    gateway_->ShowSessionLabels(index);
  else
    ShowSessionLabels(-1, "", "");
  for (int s = 0; s < SessionCount(); ++s) Display(s)->SetBackColor(kUnselectedBackColor);
  if (index != -1) Display(index)->SetBackColor(kSelectedBackColor);
}

void MainWindow::ArrangeAs400Windows() {
  if (!gateway_) return;
  auto& options = gateway_->Options();
  gateway_->Context().DisplayLen = options.Number(config::Option::kDisplayLen);

  core::LayoutInput in;
  in.scaleWidth = client_->width() * kTwipsPerPixel;
  in.scaleHeight = client_->height() * kTwipsPerPixel;
  in.scrollHeight = scroll_->sizeHint().height() * kTwipsPerPixel;
  in.labelHeight = in.scrollHeight;
  in.logoWidth = logo_->width() * kTwipsPerPixel;
  in.logoHeight = logo_->height() * kTwipsPerPixel;
  in.sessionCount = SessionCount();
  in.sessionsPerPage = options.Number(config::Option::kSessionCt);
  in.displayRow = options.Number(config::Option::kDisplayRow);
  in.displayCol = options.Number(config::Option::kDisplayCol);
  in.page = scroll_->value();
  in.minimised = isMinimized();
  in.showLogo = options.Checked(config::Option::kShowNorvikLogo);
  const core::Layout layout = core::ArrangeAs400Windows(in);

  {
    // A shorter range may move the value; this pass already lays out the
    // page it ends on.
    const QSignalBlocker block(scroll_);
    scroll_->setMaximum(layout.scrollMax);
    in.page = scroll_->value();
  }
  const core::Layout page = core::ArrangeAs400Windows(in);

  logo_->setVisible(in.showLogo);
  logo_->move(ToPixels(page.logo).topLeft());

  for (int s = 0; s < SessionCount(); ++s) Display(s)->hide();
  if (gateway_) gateway_->ShowSessionLabels(-1);

  label1_->setGeometry(ToPixels(page.label1));
  label2_->setGeometry(ToPixels(page.label2));
  scroll_->setGeometry(ToPixels(page.scroll));

  if (page.selectSingle) Display(page.displays.front().session)->SetBackColor(kSelectedBackColor);
  for (const auto& placed : page.displays) {
    SessionDisplay* d = Display(placed.session);
    d->setGeometry(ToPixels(placed.rect));
    if (!page.visible) continue;
    if (d->BackColor() == kSelectedBackColor) gateway_->ShowSessionLabels(placed.session);
    d->show();
  }
  SetFocusToScrollBar();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == client_) {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
        SetFocusToScrollBar();
        As4001Click(-1);
        return true;
      case QEvent::Resize:
        ArrangeAs400Windows();
        break;
      default:
        break;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::changeEvent(QEvent* e) {
  QMainWindow::changeEvent(e);
  if (e->type() == QEvent::WindowStateChange) ArrangeAs400Windows();
  if (e->type() == QEvent::ActivationChange && isActiveWindow()) SetFocusToScrollBar();
}

void MainWindow::focusInEvent(QFocusEvent* e) {
  QMainWindow::focusInEvent(e);
  SetFocusToScrollBar();
}

void MainWindow::closeEvent(QCloseEvent* e) {
  emit closing();
  e->accept();
}

}  // namespace tervo::ui
