#include "ui/general_config_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "config/option_rules.h"
#include "config/session_grid.h"
#include "config/text.h"
#include "ui/field_marks.h"
#include "ui/key_preview.h"
#include "ui/text_codec.h"

namespace tervo::ui {

using config::Option;

namespace {
const char* const kBaudRates[] = {"2400",  "4800",  "9600",  "14400",
                                  "19200", "28800", "38400", "56000"};
const char* const kHandshakes[] = {"None", "Xon/Xoff", "RTS", "Xon/RTS"};

// How the message line names fields that have no label of their own.
const std::pair<Option, const char*> kFieldNames[] = {
    {Option::kScreenIdAreaX, "ADD ScreenId Area X"},
    {Option::kScreenIdAreaY, "ADD ScreenId Area Y"},
    {Option::kScreenIdAreaLen, "ADD ScreenId Area Len"},
    {Option::kSubScreenIdAreaX, "SUB ScreenId Area X"},
    {Option::kSubScreenIdAreaY, "SUB ScreenId Area Y"},
    {Option::kSubScreenIdAreaLen, "SUB ScreenId Area Len"},
    {Option::kErrorLineN, "Send Error Line"},
    {Option::kErrorLineStart, "Error line Start"},
    {Option::kErrorLineLen, "Error line Len"},
};

// Fields with a rule, in the order the dialog shows them.
const Option kCheckedFields[] = {
    Option::kSessionCt,        Option::kDisplayCol,         Option::kDisplayRow,
    Option::kDisplayLen,       Option::kTCPIPAddr,          Option::kComPort,
    Option::kBaudRate,         Option::kNewScreenTimeout,   Option::kScreenIdAreaX,
    Option::kScreenIdAreaY,    Option::kScreenIdAreaLen,    Option::kSubScreenIdAreaX,
    Option::kSubScreenIdAreaY, Option::kSubScreenIdAreaLen, Option::kErrorLineN,
    Option::kErrorLineStart,   Option::kErrorLineLen};

QString Name(Option key) { return QString::fromLatin1(config::OptionEntry(key).key); }

// The fields that hold small numbers are as wide as a few digits.
constexpr int kNumberWidth = 48;
}  // namespace

GeneralConfigDialog::GeneralConfigDialog(config::GeneralOptions& options, int sessionCount,
                                         QWidget* parent)
    : QWidget(parent, Qt::Window), options_(options), sessionCount_(sessionCount) {
  setWindowTitle(QStringLiteral("General Configurations"));
  setObjectName(QStringLiteral("GeneralConf"));
  Build();
  Reload();
  // Enter anywhere hides the dialog without the rest of what "OK" does.
  preview_ = new KeyPreview(this, [this](int key) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    if (AcceptClose()) hide();
    return true;
  });
}

QWidget* GeneralConfigDialog::Control(config::OptionKey key) const {
  auto it = key.entry() ? controls_.find(key.entry()->option) : controls_.end();
  return it == controls_.end() ? nullptr : it->second;
}

QLabel* GeneralConfigDialog::Label(config::OptionKey key) const {
  auto it = key.entry() ? labels_.find(key.entry()->option) : labels_.end();
  return it == labels_.end() ? nullptr : it->second;
}

QString GeneralConfigDialog::FieldMessage(config::OptionKey key) const {
  return FieldMarked(Control(key)) ? Control(key)->toolTip() : QString();
}

void GeneralConfigDialog::AddText(Option key, const char* label, const char* control) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(control ? QString::fromLatin1(control) : Name(key));
  connect(edit, &QLineEdit::textEdited, this,
          [this, key](const QString& t) { TextChanged(key, t); });
  controls_[key] = edit;
  if (label) {
    auto* l = new QLabel(QString::fromLatin1(label), this);
    l->setObjectName(QStringLiteral("Label_") + edit->objectName());
    l->setBuddy(edit);
    labels_[key] = l;
  }
}

void GeneralConfigDialog::AddCheck(Option key, const char* caption) {
  auto* box = new QCheckBox(QString::fromLatin1(caption), this);
  box->setObjectName(Name(key));
  connect(box, &QCheckBox::toggled, this, [this, key](bool on) {
    if (loading_) return;
    options_.SetChecked(key, on);
    if (key == Option::kTCPIP) ApplyConnectionFields();
    Revalidate();  // "Send Error Line" decides whether its row is needed
  });
  controls_[key] = box;
}

void GeneralConfigDialog::Build() {
  // Sessions and the grid.
  AddText(Option::kSessionCt, "Visible Sessions");
  AddText(Option::kDisplayCol, "Display Columns");
  AddText(Option::kDisplayRow, "Display Rows");
  AddText(Option::kDisplayLen, "Display LEN");
  // Automatic configuration.
  AddText(Option::kAutoRemove, "Auto Remove");
  AddText(Option::kExitWord, "Exit Word");
  AddText(Option::kNewScreenTimeout, "New Screen Timeout");
  AddCheck(Option::kCut, "Cut Fields");
  AddCheck(Option::kSendTerminal, "Send Terminal");
  AddCheck(Option::kShowNorvikLogo, "Show Norvik LOGO");
  AddCheck(Option::kSendMinimal, "Send Minimal Data");
  AddCheck(Option::kSendUnderline, "Use 'undurlined fields' as INPUT");
  AddCheck(Option::kDebugFile, "Create Debug File");
  AddCheck(Option::kTestMode, "Test Mode");
  AddCheck(Option::kDontShowData, "Clear Screen");
  AddCheck(Option::kCapsLock, "CapsLock");
  // Screen identification.
  AddText(Option::kScreenIdAreaX, nullptr);
  AddText(Option::kScreenIdAreaY, nullptr);
  AddText(Option::kScreenIdAreaLen, nullptr);
  AddText(Option::kSubScreenIdAreaX, nullptr);
  AddText(Option::kSubScreenIdAreaY, nullptr);
  AddText(Option::kSubScreenIdAreaLen, nullptr);
  AddCheck(Option::kLine24, "Include line 24 in ScreenID");
  // Error lines.
  AddCheck(Option::kSendErrorLine24, "Send Error Line 24");
  AddCheck(Option::kSendErrorLine25, "Send Error Line 25");
  AddCheck(Option::kSendErrorLineN, "Send Error Line");
  AddText(Option::kErrorLineN, nullptr);
  AddText(Option::kErrorLineStart, "Start", "ErrLineStart");
  AddText(Option::kErrorLineLen, "Len", "ErrLineLengh");
  // Connection to the radio base.
  AddCheck(Option::kTCPIP, "Use TCP/IP to make the connection");
  AddText(Option::kTCPIPAddr, "TCP/IP Address");
  AddText(Option::kComPort, "Com Port");

  auto* baud = new QComboBox(this);
  baud->setObjectName(QStringLiteral("BaudRate"));
  baud->setEditable(true);
  for (const char* b : kBaudRates) baud->addItem(QString::fromLatin1(b));
  connect(baud, &QComboBox::currentTextChanged, this,
          [this](const QString& t) { TextChanged(Option::kBaudRate, t); });
  controls_[Option::kBaudRate] = baud;
  labels_[Option::kBaudRate] = new QLabel(QStringLiteral("Baud Rate"), this);

  auto* hand = new QComboBox(this);
  hand->setObjectName(QStringLiteral("Handshaking"));
  for (const char* h : kHandshakes) hand->addItem(QString::fromLatin1(h));
  connect(hand, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (!loading_ && i >= 0) options_.SetText(Option::kHandshaking, text::FromInt(i));
  });
  controls_[Option::kHandshaking] = hand;
  labels_[Option::kHandshaking] = new QLabel(QStringLiteral("Handshaking"), this);

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("Command1"));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, [this] {
    if (!AcceptClose()) return;
    emit okClicked();
    hide();
  });
  auto* fill = new QPushButton(QStringLiteral("Auto Fill"), this);
  fill->setObjectName(QStringLiteral("Command2"));
  connect(fill, &QPushButton::clicked, this, &GeneralConfigDialog::autoFillClicked);

  for (Option k : {Option::kSessionCt, Option::kDisplayCol, Option::kDisplayRow,
                   Option::kDisplayLen, Option::kNewScreenTimeout, Option::kScreenIdAreaX,
                   Option::kScreenIdAreaY, Option::kScreenIdAreaLen, Option::kSubScreenIdAreaX,
                   Option::kSubScreenIdAreaY, Option::kSubScreenIdAreaLen, Option::kErrorLineN,
                   Option::kErrorLineStart, Option::kErrorLineLen})
    controls_[k]->setMaximumWidth(kNumberWidth);

  // Layout: three columns of groups; every label sits right beside its box.
  auto labelled = [this](QGridLayout* g, int row, Option key) {
    g->addWidget(labels_[key], row, 0);
    g->addWidget(controls_[key], row, 1);
  };
  auto* sessions = new QGroupBox(QStringLiteral("Sessions"), this);
  auto* gs = new QGridLayout(sessions);
  int r = 0;
  for (Option k :
       {Option::kSessionCt, Option::kDisplayCol, Option::kDisplayRow, Option::kDisplayLen})
    labelled(gs, r++, k);
  gs->addWidget(controls_[Option::kShowNorvikLogo], r++, 0, 1, 2);
  gs->addWidget(controls_[Option::kCapsLock], r++, 0, 1, 2);
  gs->setColumnStretch(2, 1);

  // The radio base: TCP/IP address, or the serial line's three fields, in
  // one place of constant size.
  auto* radio = new QGroupBox(QStringLiteral("Radio base"), this);
  auto* gr = new QVBoxLayout(radio);
  gr->addWidget(controls_[Option::kTCPIP]);
  connection_ = new QStackedWidget(radio);
  auto* serialPage = new QWidget;
  auto* gSerial = new QGridLayout(serialPage);
  gSerial->setContentsMargins(0, 0, 0, 0);
  r = 0;
  for (Option k : {Option::kComPort, Option::kBaudRate, Option::kHandshaking})
    labelled(gSerial, r++, k);
  auto* tcpPage = new QWidget;
  auto* gTcp = new QGridLayout(tcpPage);
  gTcp->setContentsMargins(0, 0, 0, 0);
  labelled(gTcp, 0, Option::kTCPIPAddr);
  overrideHint_ = new QLabel(tcpPage);
  overrideHint_->setObjectName(QStringLiteral("TCPIPAddrOverride"));
  overrideHint_->setWordWrap(true);
  gTcp->addWidget(overrideHint_, 1, 0, 1, 2);
  gTcp->setRowStretch(2, 1);
  connection_->addWidget(serialPage);
  connection_->addWidget(tcpPage);
  gr->addWidget(connection_);

  // Word lists need the width: their labels go above them.
  auto* autoConf = new QGroupBox(QStringLiteral("New screens"), this);
  auto* ga = new QGridLayout(autoConf);
  r = 0;
  for (Option k : {Option::kAutoRemove, Option::kExitWord}) {
    ga->addWidget(labels_[k], r++, 0, 1, 2);
    ga->addWidget(controls_[k], r++, 0, 1, 2);
  }
  labelled(ga, r++, Option::kNewScreenTimeout);
  for (Option k :
       {Option::kCut, Option::kSendTerminal, Option::kSendMinimal, Option::kSendUnderline,
        Option::kDontShowData, Option::kTestMode, Option::kDebugFile})
    ga->addWidget(controls_[k], r++, 0, 1, 2);
  ga->setRowStretch(r, 1);

  auto* ident = new QGroupBox(QStringLiteral("Screen identification"), this);
  auto* gi = new QGridLayout(ident);
  gi->addWidget(new QLabel(QStringLiteral("X"), this), 0, 1);
  gi->addWidget(new QLabel(QStringLiteral("Y"), this), 0, 2);
  gi->addWidget(new QLabel(QStringLiteral("Len"), this), 0, 3);
  auto* add = new QLabel(QStringLiteral("ADD ScreenId Area"), this);
  add->setObjectName(QStringLiteral("Label_ScreenIdArea"));
  gi->addWidget(add, 1, 0);
  gi->addWidget(controls_[Option::kScreenIdAreaX], 1, 1);
  gi->addWidget(controls_[Option::kScreenIdAreaY], 1, 2);
  gi->addWidget(controls_[Option::kScreenIdAreaLen], 1, 3);
  auto* sub = new QLabel(QStringLiteral("SUB ScreenId Area"), this);
  sub->setObjectName(QStringLiteral("Label_SubScreenIdArea"));
  gi->addWidget(sub, 2, 0);
  gi->addWidget(controls_[Option::kSubScreenIdAreaX], 2, 1);
  gi->addWidget(controls_[Option::kSubScreenIdAreaY], 2, 2);
  gi->addWidget(controls_[Option::kSubScreenIdAreaLen], 2, 3);
  gi->addWidget(controls_[Option::kLine24], 3, 0, 1, 4);

  auto* errors = new QGroupBox(QStringLiteral("Error lines"), this);
  auto* ge = new QGridLayout(errors);
  ge->addWidget(controls_[Option::kSendErrorLine24], 0, 0, 1, 4);
  ge->addWidget(controls_[Option::kSendErrorLine25], 1, 0, 1, 4);
  // The row number belongs to "Send Error Line": right beside it.
  auto* lineN = new QHBoxLayout;
  lineN->addWidget(controls_[Option::kSendErrorLineN]);
  lineN->addWidget(controls_[Option::kErrorLineN]);
  lineN->addStretch();
  ge->addLayout(lineN, 2, 0, 1, 4);
  ge->addWidget(labels_[Option::kErrorLineStart], 3, 0);
  ge->addWidget(controls_[Option::kErrorLineStart], 3, 1);
  ge->addWidget(labels_[Option::kErrorLineLen], 3, 2);
  ge->addWidget(controls_[Option::kErrorLineLen], 3, 3);
  ge->setColumnStretch(4, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(fill);
  buttons->addWidget(ok);

  auto* left = new QVBoxLayout;
  left->addWidget(sessions);
  left->addWidget(radio);
  left->addStretch();
  auto* right = new QVBoxLayout;
  right->addWidget(ident);
  right->addWidget(errors);
  right->addStretch();
  auto* columns = new QHBoxLayout;
  columns->addLayout(left);
  columns->addWidget(autoConf);
  columns->addLayout(right);
  message_ = MakeMessageLine(this, "Message");
  auto* main = new QVBoxLayout(this);
  main->addLayout(columns, 1);
  main->addWidget(message_);
  main->addLayout(buttons);
}

QString GeneralConfigDialog::ControlText(Option key) const {
  QWidget* w = Control(key);
  if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text();
  if (auto* combo = qobject_cast<QComboBox*>(w)) return combo->currentText();
  return {};
}

QString GeneralConfigDialog::LabelText(Option key) const {
  for (const auto& [k, name] : kFieldNames)
    if (key == k) return QString::fromLatin1(name);
  if (QLabel* l = Label(key)) return l->text();
  return Name(key);
}

void GeneralConfigDialog::SetControlText(Option key) {
  QWidget* w = Control(key);
  if (auto* edit = qobject_cast<QLineEdit*>(w)) {
    const QString t = FromEngine(options_.ConfiguredText(key));
    if (edit->text() != t) edit->setText(t);
  }
}

void GeneralConfigDialog::TextChanged(Option key, const QString& text) {
  if (loading_) return;
  const std::string t = ToEngine(text);
  // A bad text is not taken: the option keeps its last good value, which
  // the gateway goes on using.
  if (config::CheckOption(key, t, options_).empty()) {
    options_.SetText(key, t);
    if (key == Option::kSessionCt) {
      config::SessionCountChanged(options_, sessionCount_);
      for (Option k : {Option::kSessionCt, Option::kDisplayCol, Option::kDisplayRow})
        SetControlText(k);
    } else if (key == Option::kDisplayCol) {
      config::DisplayColumnsChanged(options_);
      SetControlText(Option::kDisplayRow);
    }
  }
  Revalidate();
}

QWidget* GeneralConfigDialog::Revalidate() {
  QWidget* first = nullptr;
  QString firstMessage;
  QString focused;
  for (const Option key : kCheckedFields) {
    QWidget* w = Control(key);
    const std::string t = ToEngine(ControlText(key));
    const std::string m = config::CheckOption(key, t, options_);
    // A text that the others made good (a length once its column is set)
    // is taken now.
    if (m.empty() && t != options_.ConfiguredText(key) && !loading_) options_.SetText(key, t);
    const QString message = FromEngine(m);
    MarkField(w, message);
    if (message.isEmpty() || !w->isVisibleTo(this)) continue;
    const QString line = LabelText(key) + QStringLiteral(": ") + message;
    if (w->hasFocus()) focused = line;
    if (!first) {
      first = w;
      firstMessage = line;
    }
  }
  message_->setText(focused.isEmpty() ? firstMessage : focused);
  return first;
}

bool GeneralConfigDialog::AcceptClose() {
  QWidget* bad = Revalidate();
  if (!bad) return true;
  bad->setFocus(Qt::OtherFocusReason);
  Revalidate();  // the line now names the field with the focus
  return false;
}

void GeneralConfigDialog::Reload() {
  loading_ = true;
  for (const auto& [key, w] : controls_) {
    if (auto* box = qobject_cast<QCheckBox*>(w)) {
      box->setChecked(options_.Checked(key));
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
      if (combo->isEditable()) {
        combo->setEditText(FromEngine(options_.ConfiguredText(key)));
      } else {
        const int i = text::OptionNumber(options_.ConfiguredText(key));
        combo->setCurrentIndex(i >= 0 && i < combo->count() ? i : 0);
      }
    } else {
      SetControlText(key);
    }
  }
  const std::string addr = runOverride ? runOverride(Option::kTCPIPAddr) : std::string();
  overrideHint_->setText(addr.empty() ? QString()
                                      : QStringLiteral("This run uses %1 (command line); "
                                                       "the configuration keeps the address above.")
                                            .arg(FromEngine(addr)));
  ApplyConnectionFields();
  Revalidate();
  loading_ = false;
}

void GeneralConfigDialog::ApplyConnectionFields() {
  connection_->setCurrentIndex(options_.Checked(Option::kTCPIP) ? 1 : 0);
}

}  // namespace tervo::ui
