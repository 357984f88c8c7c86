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

namespace {
const char* const kBaudRates[] = {"2400",  "4800",  "9600",  "14400",
                                  "19200", "28800", "38400", "56000"};
const char* const kHandshakes[] = {"None", "Xon/Xoff", "RTS", "Xon/RTS"};

// How the message line names fields that have no label of their own.
const std::pair<const char*, const char*> kFieldNames[] = {
    {"ScreenIdAreaX", "ADD ScreenId Area X"},
    {"ScreenIdAreaY", "ADD ScreenId Area Y"},
    {"ScreenIdAreaLen", "ADD ScreenId Area Len"},
    {"SubScreenIdAreaX", "SUB ScreenId Area X"},
    {"SubScreenIdAreaY", "SUB ScreenId Area Y"},
    {"SubScreenIdAreaLen", "SUB ScreenId Area Len"},
    {"ErrorLineN", "Send Error Line"},
    {"ErrorLineStart", "Error line Start"},
    {"ErrorLineLen", "Error line Len"},
};

// Fields with a rule, in the order the dialog shows them.
const char* const kCheckedFields[] = {"SessionCt",        "DisplayCol",         "DisplayRow",
                                      "DisplayLen",       "TCPIPAddr",          "ComPort",
                                      "BaudRate",         "NewScreenTimeout",   "ScreenIdAreaX",
                                      "ScreenIdAreaY",    "ScreenIdAreaLen",    "SubScreenIdAreaX",
                                      "SubScreenIdAreaY", "SubScreenIdAreaLen", "ErrorLineN",
                                      "ErrorLineStart",   "ErrorLineLen"};

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

QWidget* GeneralConfigDialog::Control(const std::string& key) const {
  auto it = controls_.find(key);
  return it == controls_.end() ? nullptr : it->second;
}

QLabel* GeneralConfigDialog::Label(const std::string& key) const {
  auto it = labels_.find(key);
  return it == labels_.end() ? nullptr : it->second;
}

QString GeneralConfigDialog::FieldMessage(const std::string& key) const {
  return FieldMarked(Control(key)) ? Control(key)->toolTip() : QString();
}

void GeneralConfigDialog::AddText(const std::string& key, const char* control, const char* label) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(QString::fromLatin1(control));
  connect(edit, &QLineEdit::textEdited, this,
          [this, key](const QString& t) { TextChanged(key, t); });
  controls_[key] = edit;
  if (label) {
    auto* l = new QLabel(QString::fromLatin1(label), this);
    l->setObjectName(QStringLiteral("Label_") + QString::fromLatin1(control));
    l->setBuddy(edit);
    labels_[key] = l;
  }
}

void GeneralConfigDialog::AddCheck(const std::string& key, const char* caption) {
  auto* box = new QCheckBox(QString::fromLatin1(caption), this);
  box->setObjectName(QString::fromStdString(key));
  connect(box, &QCheckBox::toggled, this, [this, key](bool on) {
    if (loading_) return;
    options_.SetChecked(key, on);
    if (key == "TCPIP") ApplyConnectionFields();
    Revalidate();  // "Send Error Line" decides whether its row is needed
  });
  controls_[key] = box;
}

void GeneralConfigDialog::Build() {
  // Sessions and the grid.
  AddText("SessionCt", "SessionCt", "Visible Sessions");
  AddText("DisplayCol", "DisplayCol", "Display Columns");
  AddText("DisplayRow", "DisplayRow", "Display Rows");
  AddText("DisplayLen", "DisplayLen", "Display LEN");
  // Automatic configuration.
  AddText("AutoRemove", "AutoRemove", "Auto Remove");
  AddText("ExitWord", "ExitWord", "Exit Word");
  AddText("NewScreenTimeout", "NewScreenTimeout", "New Screen Timeout");
  AddCheck("Cut", "Cut Fields");
  AddCheck("SendTerminal", "Send Terminal");
  AddCheck("ShowNorvikLogo", "Show Norvik LOGO");
  AddCheck("SendMinimal", "Send Minimal Data");
  AddCheck("SendUnderline", "Use 'undurlined fields' as INPUT");
  AddCheck("DebugFile", "Create Debug File");
  AddCheck("TestMode", "Test Mode");
  AddCheck("DontShowData", "Clear Screen");
  AddCheck("CapsLock", "CapsLock");
  // Screen identification.
  AddText("ScreenIdAreaX", "ScreenIdAreaX", nullptr);
  AddText("ScreenIdAreaY", "ScreenIdAreaY", nullptr);
  AddText("ScreenIdAreaLen", "ScreenIdAreaLen", nullptr);
  AddText("SubScreenIdAreaX", "SubScreenIdAreaX", nullptr);
  AddText("SubScreenIdAreaY", "SubScreenIdAreaY", nullptr);
  AddText("SubScreenIdAreaLen", "SubScreenIdAreaLen", nullptr);
  AddCheck("Line24", "Include line 24 in ScreenID");
  // Error lines.
  AddCheck("SendErrorLine24", "Send Error Line 24");
  AddCheck("SendErrorLine25", "Send Error Line 25");
  AddCheck("SendErrorLineN", "Send Error Line");
  AddText("ErrorLineN", "ErrorLineN", nullptr);
  AddText("ErrorLineStart", "ErrLineStart", "Start");
  AddText("ErrorLineLen", "ErrLineLengh", "Len");
  // Connection to the radio base.
  AddCheck("TCPIP", "Use TCP/IP to make the connection");
  AddText("TCPIPAddr", "TCPIPAddr", "TCP/IP Address");
  AddText("ComPort", "ComPort", "Com Port");

  auto* baud = new QComboBox(this);
  baud->setObjectName(QStringLiteral("BaudRate"));
  baud->setEditable(true);
  for (const char* b : kBaudRates) baud->addItem(QString::fromLatin1(b));
  connect(baud, &QComboBox::currentTextChanged, this,
          [this](const QString& t) { TextChanged("BaudRate", t); });
  controls_["BaudRate"] = baud;
  labels_["BaudRate"] = new QLabel(QStringLiteral("Baud Rate"), this);

  auto* hand = new QComboBox(this);
  hand->setObjectName(QStringLiteral("Handshaking"));
  for (const char* h : kHandshakes) hand->addItem(QString::fromLatin1(h));
  connect(hand, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (!loading_ && i >= 0) options_.SetText("Handshaking", text::FromInt(i));
  });
  controls_["Handshaking"] = hand;
  labels_["Handshaking"] = new QLabel(QStringLiteral("Handshaking"), this);

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

  for (const char* k :
       {"SessionCt", "DisplayCol", "DisplayRow", "DisplayLen", "NewScreenTimeout", "ScreenIdAreaX",
        "ScreenIdAreaY", "ScreenIdAreaLen", "SubScreenIdAreaX", "SubScreenIdAreaY",
        "SubScreenIdAreaLen", "ErrorLineN", "ErrorLineStart", "ErrorLineLen"})
    controls_[k]->setMaximumWidth(kNumberWidth);

  // Layout: three columns of groups; every label sits right beside its box.
  auto labelled = [this](QGridLayout* g, int row, const std::string& key) {
    g->addWidget(labels_[key], row, 0);
    g->addWidget(controls_[key], row, 1);
  };
  auto* sessions = new QGroupBox(QStringLiteral("Sessions"), this);
  auto* gs = new QGridLayout(sessions);
  int r = 0;
  for (const char* k : {"SessionCt", "DisplayCol", "DisplayRow", "DisplayLen"})
    labelled(gs, r++, k);
  gs->addWidget(controls_["ShowNorvikLogo"], r++, 0, 1, 2);
  gs->addWidget(controls_["CapsLock"], r++, 0, 1, 2);
  gs->setColumnStretch(2, 1);

  // The radio base: TCP/IP address, or the serial line's three fields, in
  // one place of constant size.
  auto* radio = new QGroupBox(QStringLiteral("Radio base"), this);
  auto* gr = new QVBoxLayout(radio);
  gr->addWidget(controls_["TCPIP"]);
  connection_ = new QStackedWidget(radio);
  auto* serialPage = new QWidget;
  auto* gSerial = new QGridLayout(serialPage);
  gSerial->setContentsMargins(0, 0, 0, 0);
  r = 0;
  for (const char* k : {"ComPort", "BaudRate", "Handshaking"}) labelled(gSerial, r++, k);
  auto* tcpPage = new QWidget;
  auto* gTcp = new QGridLayout(tcpPage);
  gTcp->setContentsMargins(0, 0, 0, 0);
  labelled(gTcp, 0, "TCPIPAddr");
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
  for (const char* k : {"AutoRemove", "ExitWord"}) {
    ga->addWidget(labels_[k], r++, 0, 1, 2);
    ga->addWidget(controls_[k], r++, 0, 1, 2);
  }
  labelled(ga, r++, "NewScreenTimeout");
  for (const char* k : {"Cut", "SendTerminal", "SendMinimal", "SendUnderline", "DontShowData",
                        "TestMode", "DebugFile"})
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
  gi->addWidget(controls_["ScreenIdAreaX"], 1, 1);
  gi->addWidget(controls_["ScreenIdAreaY"], 1, 2);
  gi->addWidget(controls_["ScreenIdAreaLen"], 1, 3);
  auto* sub = new QLabel(QStringLiteral("SUB ScreenId Area"), this);
  sub->setObjectName(QStringLiteral("Label_SubScreenIdArea"));
  gi->addWidget(sub, 2, 0);
  gi->addWidget(controls_["SubScreenIdAreaX"], 2, 1);
  gi->addWidget(controls_["SubScreenIdAreaY"], 2, 2);
  gi->addWidget(controls_["SubScreenIdAreaLen"], 2, 3);
  gi->addWidget(controls_["Line24"], 3, 0, 1, 4);

  auto* errors = new QGroupBox(QStringLiteral("Error lines"), this);
  auto* ge = new QGridLayout(errors);
  ge->addWidget(controls_["SendErrorLine24"], 0, 0, 1, 4);
  ge->addWidget(controls_["SendErrorLine25"], 1, 0, 1, 4);
  // The row number belongs to "Send Error Line": right beside it.
  auto* lineN = new QHBoxLayout;
  lineN->addWidget(controls_["SendErrorLineN"]);
  lineN->addWidget(controls_["ErrorLineN"]);
  lineN->addStretch();
  ge->addLayout(lineN, 2, 0, 1, 4);
  ge->addWidget(labels_["ErrorLineStart"], 3, 0);
  ge->addWidget(controls_["ErrorLineStart"], 3, 1);
  ge->addWidget(labels_["ErrorLineLen"], 3, 2);
  ge->addWidget(controls_["ErrorLineLen"], 3, 3);
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

QString GeneralConfigDialog::ControlText(const std::string& key) const {
  QWidget* w = Control(key);
  if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text();
  if (auto* combo = qobject_cast<QComboBox*>(w)) return combo->currentText();
  return {};
}

QString GeneralConfigDialog::LabelText(const std::string& key) const {
  for (const auto& [k, name] : kFieldNames)
    if (key == k) return QString::fromLatin1(name);
  if (QLabel* l = Label(key)) return l->text();
  return QString::fromStdString(key);
}

void GeneralConfigDialog::SetControlText(const std::string& key) {
  QWidget* w = Control(key);
  if (auto* edit = qobject_cast<QLineEdit*>(w)) {
    const QString t = FromEngine(options_.ConfiguredText(key));
    if (edit->text() != t) edit->setText(t);
  }
}

void GeneralConfigDialog::TextChanged(const std::string& key, const QString& text) {
  if (loading_) return;
  const std::string t = ToEngine(text);
  // A bad text is not taken: the option keeps its last good value, which
  // the gateway goes on using.
  if (config::CheckOption(key, t, options_).empty()) {
    options_.SetText(key, t);
    if (key == "SessionCt") {
      config::SessionCountChanged(options_, sessionCount_);
      for (const char* k : {"SessionCt", "DisplayCol", "DisplayRow"}) SetControlText(k);
    } else if (key == "DisplayCol") {
      config::DisplayColumnsChanged(options_);
      SetControlText("DisplayRow");
    }
  }
  Revalidate();
}

QWidget* GeneralConfigDialog::Revalidate() {
  QWidget* first = nullptr;
  QString firstMessage;
  QString focused;
  for (const std::string key : kCheckedFields) {
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
  const std::string addr = runOverride ? runOverride("TCPIPAddr") : std::string();
  overrideHint_->setText(addr.empty() ? QString()
                                      : QStringLiteral("This run uses %1 (command line); "
                                                       "the configuration keeps the address above.")
                                            .arg(FromEngine(addr)));
  ApplyConnectionFields();
  Revalidate();
  loading_ = false;
}

void GeneralConfigDialog::ApplyConnectionFields() {
  connection_->setCurrentIndex(options_.Checked("TCPIP") ? 1 : 0);
}

}  // namespace tervo::ui
