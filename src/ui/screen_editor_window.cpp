#include "ui/screen_editor_window.h"

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

using editors::EditorCheck;
using editors::EditorText;

// The text-mode options in the order of kTextModeBits.
constexpr std::pair<const char*, const char*> kTextModes[] = {
    {"Fixed", "Fixed"},       {"AutoResume", "Summarized"}, {"AutoCut", "Truncated"},
    {"AutoScroll", "Scroll"}, {"AutoNL", "AutoNL"},         {"ADDUserId", "UserId"},
    {"SUBUserId", "-UserId"}, {"InvInput", "Invert Input"}, {"Var_Aux", "Var_Aux"},
};

const char* const kHostBoxes[] = {"Row", "Col", "Size", "Type", "Justify", "Text"};

QLabel* Caption(const char* text, QWidget* buddy, QWidget* parent) {
  auto* l = new QLabel(QString::fromUtf8(text), parent);
  l->setBuddy(buddy);
  return l;
}

void ShowText(QLineEdit* edit, const std::string& text) {
  const QString t = FromEngine(text);
  if (edit->text() != t) edit->setText(t);
}

}  // namespace

ScreenEditorWindow::ScreenEditorWindow(editors::ScreenEditor& editor, QWidget* parent)
    : QWidget(parent, Qt::Window), editor_(editor) {
  setWindowTitle(QStringLiteral("Screen Configurations"));
  setObjectName(QStringLiteral("ScreenConf"));
  Build();
  new KeyPreview(this, [this](int key) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      close();
      return true;
    }
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
      if (key == Qt::Key_Up)
        editor_.FieldMais();
      else
        editor_.FieldMenos();
      Refresh();
      return true;
    }
    return false;
  });
}

QLineEdit* ScreenEditorWindow::AddText(EditorText t, const char* name) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(QString::fromLatin1(name));
  connect(edit, &QLineEdit::textEdited, this, [this, t](const QString& v) {
    editor_.SetText(t, ToEngine(v));
    Changed();
  });
  connect(edit, &QLineEdit::editingFinished, this, [this, t] {
    editor_.LeaveText(t);
    Changed();
  });
  texts_[static_cast<std::size_t>(t)] = edit;
  return edit;
}

QCheckBox* ScreenEditorWindow::AddCheck(EditorCheck c, const char* name, const char* caption) {
  auto* box = new QCheckBox(QString::fromUtf8(caption), this);
  box->setObjectName(QString::fromLatin1(name));
  connect(box, &QCheckBox::clicked, this, [this, c](bool on) {
    editor_.SetCheck(c, on);
    Changed();
  });
  checks_[static_cast<std::size_t>(c)] = box;
  return box;
}

QRadioButton* ScreenEditorWindow::TextMode(std::int32_t bit) const {
  for (std::size_t i = 0; i < modes_.size(); ++i)
    if (editors::kTextModeBits[i] == bit) return modes_[i];
  return nullptr;
}

QLineEdit* ScreenEditorWindow::HostBox(const char* name) const {
  return findChild<QLineEdit*>(QStringLiteral("Host") + QString::fromLatin1(name));
}

void ScreenEditorWindow::Build() {
  // --- the screen and the field being edited
  auto* screen = AddText(EditorText::Screen, "Screen");
  field_ = new QLineEdit(this);
  field_->setObjectName(QStringLiteral("Field"));
  connect(field_, &QLineEdit::textEdited, this, [this](const QString& v) {
    editor_.SetFieldBox(ToEngine(v));
    Changed();
  });
  scrNumber_ = new QLabel(this);
  scrNumber_->setObjectName(QStringLiteral("ScrNumber"));
  auto button = [this](const char* name, const char* caption, auto slot) {
    auto* b = new QPushButton(QString::fromUtf8(caption), this);
    b->setObjectName(QString::fromLatin1(name));
    connect(b, &QPushButton::clicked, this, slot);
    return b;
  };
  auto* less = button("FieldMenos", "&-", [this] {
    editor_.FieldMenos();
    Changed();
  });
  auto* more = button("FieldMais", "&+", [this] {
    editor_.FieldMais();
    Changed();
  });
  auto* top = new QHBoxLayout;
  top->addWidget(Caption("Screen", screen, this));
  top->addWidget(screen);
  top->addWidget(Caption("Field #", field_, this));
  top->addWidget(field_);
  top->addWidget(less);
  top->addWidget(more);
  top->addWidget(scrNumber_);
  top->addStretch();
  screen->setMaximumWidth(110);
  field_->setMaximumWidth(50);

  // --- the captured host field
  auto* host = new QGroupBox(QStringLiteral("Host field"), this);
  auto* gh = new QGridLayout(host);
  int r = 0;
  for (const char* name : kHostBoxes) {
    auto* box = new QLineEdit(this);
    box->setObjectName(QStringLiteral("Host") + QString::fromLatin1(name));
    box->setReadOnly(true);
    gh->addWidget(Caption(name, box, this), r, 0);
    gh->addWidget(box, r++, 1);
  }
  hostShow_ = new QCheckBox(QStringLiteral("Show"), this);
  hostShow_->setObjectName(QStringLiteral("ShowField"));
  hostInput_ = new QCheckBox(QStringLiteral("Input"), this);
  hostInput_->setObjectName(QStringLiteral("ProtectedField"));
  hostAutoEnter_ = new QCheckBox(QStringLiteral("AutoEnter"), this);
  hostAutoEnter_->setObjectName(QStringLiteral("AutoEnterField"));
  for (QCheckBox* b : {hostShow_, hostInput_, hostAutoEnter_}) {
    b->setEnabled(false);
    gh->addWidget(b, r++, 0, 1, 2);
  }

  // --- the field's settings
  auto* fieldBox = new QGroupBox(QStringLiteral("Field"), this);
  auto* gf = new QGridLayout(fieldBox);
  auto* text = AddText(EditorText::FieldText, "FieldText");
  text->installEventFilter(this);
  auto* size = AddText(EditorText::Maxsize, "Maxsize");
  auto* aux = AddText(EditorText::AuxText, "AuxText");
  auto* auxSize = AddText(EditorText::MaxSizeAux, "MaxSizeAux");
  auto* order = AddText(EditorText::Order, "Order");
  for (QLineEdit* e : {size, auxSize, order}) e->setMaximumWidth(50);
  gf->addWidget(Caption("Text", text, this), 0, 0);
  gf->addWidget(text, 0, 1);
  gf->addWidget(Caption("Size", size, this), 0, 2);
  gf->addWidget(size, 0, 3);
  gf->addWidget(Caption("Prefix", aux, this), 1, 0);
  gf->addWidget(aux, 1, 1);
  gf->addWidget(Caption("Size", auxSize, this), 1, 2);
  gf->addWidget(auxSize, 1, 3);
  auto* orderRow = new QHBoxLayout;
  orderRow->addWidget(order);
  orderRow->addWidget(button("Command2", "+", [this] {
    editor_.OrderUp();
    Changed();
  }));
  orderRow->addWidget(button("Command3", "-", [this] {
    editor_.OrderDown();
    Changed();
  }));
  orderRow->addStretch();
  gf->addWidget(Caption("Order", order, this), 2, 0);
  gf->addLayout(orderRow, 2, 1, 1, 3);
  const std::tuple<EditorCheck, const char*, const char*> fieldChecks[] = {
      {EditorCheck::ShowField2, "ShowField2", "&Show"},
      {EditorCheck::NewLine, "NewLine", "&NewLine After Field"},
      {EditorCheck::InputField, "InputField", "&Input"},
      {EditorCheck::Protected, "Protected", "&Protected Input"},
      {EditorCheck::Barcode, "Barcode", "&Barcode ON"},
      {EditorCheck::AutoEnter, "AutoEnter", "Send Screen after Edit"},
      {EditorCheck::SendWithEnter, "SendWithEnter", "Send Screen after Enter / Menu Option"},
      {EditorCheck::TitleField, "TitleField", "Title Line"},
      {EditorCheck::UserId, "UserId", "Get User Id"},
      {EditorCheck::VarAux, "VarAux", "Get VarAux"},
      {EditorCheck::Divided, "Divided", "Divided in small fields"},
  };
  r = 3;
  int col = 0;
  for (const auto& [c, name, caption] : fieldChecks) {
    gf->addWidget(AddCheck(c, name, caption), r, col * 2, 1, 2);
    if (++col == 2) {
      col = 0;
      ++r;
    }
  }
  auto* join = AddText(EditorText::JoinField, "JoinField");
  gf->addWidget(Caption("Join field:", join, this), ++r, 0);
  gf->addWidget(join, r, 1, 1, 3);

  auto* modes = new QGroupBox(QStringLiteral("Text"), this);
  auto* gm = new QGridLayout(modes);
  for (std::size_t i = 0; i < modes_.size(); ++i) {
    auto* b = new QRadioButton(QString::fromLatin1(kTextModes[i].second), this);
    b->setObjectName(QString::fromLatin1(kTextModes[i].first));
    // One group, kept by the model: a stored value with several bits shows
    // each of its options.
    b->setAutoExclusive(false);
    const std::int32_t bit = editors::kTextModeBits[i];
    connect(b, &QRadioButton::clicked, this, [this, bit] {
      editor_.SelectTextMode(bit);
      Changed();
    });
    modes_[i] = b;
    gm->addWidget(b, static_cast<int>(i) / 3, static_cast<int>(i) % 3);
  }

  auto* options = new QGroupBox(QStringLiteral("Options"), this);
  auto* go = new QGridLayout(options);
  const std::tuple<EditorCheck, const char*, const char*> flagChecks[] = {
      {EditorCheck::MasterKey, "MasterKey", "Master Screen key"},
      {EditorCheck::CursorInText, "CursorInText", "Cursor (Text/Prefix)"},
      {EditorCheck::NewLineBefore, "NewLineBefore", "NewLine &Before Field"},
      {EditorCheck::AutoExitfield, "AutoExitfield", "Auto exit Field"},
      {EditorCheck::NormalFont, "NormalFont", "No Cursor - Normal Font"},
      {EditorCheck::Largefont, "Largefont", "No Cursor - Large Font"},
      {EditorCheck::CursorPosition, "CursorPosition", "Cursor Start Position"},
  };
  r = 0;
  for (const auto& [c, name, caption] : flagChecks) {
    go->addWidget(AddCheck(c, name, caption), r / 2, r % 2);
    ++r;
  }

  auto* presets = new QHBoxLayout;
  const std::pair<const char*, const char*> presetButtons[] = {
      {"Command4", "Input"},
      {"Command5", "Show"},
      {"Command6", "Protected Input"},
      {"Command7", "Title"},
  };
  const editors::EditorPreset presetKinds[] = {
      editors::EditorPreset::Input, editors::EditorPreset::Show,
      editors::EditorPreset::ProtectedInput, editors::EditorPreset::Title};
  for (std::size_t i = 0; i < std::size(presetButtons); ++i) {
    const editors::EditorPreset p = presetKinds[i];
    presets->addWidget(button(presetButtons[i].first, presetButtons[i].second, [this, p] {
      editor_.ApplyPreset(p);
      Changed();
    }));
  }

  // --- the screen's settings
  auto* screenBox = new QGroupBox(QStringLiteral("Screen"), this);
  auto* gs = new QGridLayout(screenBox);
  auto* exitKey = AddText(EditorText::ExitKey, "ExitKey");
  auto* after = AddText(EditorText::KeysAfterEnter, "KeysAfterEnter");
  gs->addWidget(Caption("Exit Key", exitKey, this), 0, 0);
  gs->addWidget(exitKey, 0, 1);
  gs->addWidget(Caption("Keys after Enter", after, this), 1, 0);
  gs->addWidget(after, 1, 1);
  gs->addWidget(AddCheck(EditorCheck::DontSendToTerminal, "DontSendToTerminal", "Skip"), 2, 0);
  gs->addWidget(AddCheck(EditorCheck::CheckTermId, "CheckTermId", "Term"), 3, 0);
  gs->addWidget(AddText(EditorText::TextTermId, "TextTermId"), 3, 1);
  gs->addWidget(AddCheck(EditorCheck::CheckUserId, "CheckUserId", "User"), 4, 0);
  gs->addWidget(AddText(EditorText::TextUserId, "TextUserId"), 4, 1);
  for (EditorText t : {EditorText::ExitKey, EditorText::KeysAfterEnter, EditorText::TextTermId,
                       EditorText::TextUserId})
    Box(t)->setMinimumWidth(110);

  auto* fkeys = new QGroupBox(QStringLiteral("Function Keys"), this);
  auto* gk = new QGridLayout(fkeys);
  for (int k = 0; k < editors::kFunctionKeys; ++k) {
    auto* label = new QLineEdit(this);
    label->setObjectName(QStringLiteral("TeclasFuncao%1").arg(k));
    connect(label, &QLineEdit::textEdited, this,
            [this, k](const QString& v) { editor_.SetFunctionKey(k, ToEngine(v)); });
    auto* value = new QLineEdit(this);
    value->setObjectName(QStringLiteral("TeclasFuncaoVal%1").arg(k));
    connect(value, &QLineEdit::textEdited, this,
            [this, k](const QString& v) { editor_.SetFunctionKeyValue(k, ToEngine(v)); });
    label->setMinimumWidth(80);
    value->setMinimumWidth(80);
    keys_[static_cast<std::size_t>(k)] = label;
    values_[static_cast<std::size_t>(k)] = value;
    const int row = (k % 4) * 2;
    const int shifted = k / 4;
    gk->addWidget(
        new QLabel(QStringLiteral("%1F%2").arg(shifted ? "Shift+" : "").arg(k % 4 + 1), this), row,
        shifted * 2);
    gk->addWidget(label, row, shifted * 2 + 1);
    gk->addWidget(new QLabel(QStringLiteral("F%1 text Val").arg(k % 4 + 1), this), row + 1,
                  shifted * 2);
    gk->addWidget(value, row + 1, shifted * 2 + 1);
  }

  // --- the buttons
  auto* master = button("MasterScreen", "Set as  Master Screen", [this] {
    editor_.SetAsMaster();
    Changed();
    emit setAsMasterClicked();
  });
  repeat_ = button("Repeat", "Repeat not used", [this] { emit repeatClicked(); });
  auto* ok = button("Command1", "&OK", [this] {
    if (editor_.Ok())
      close();
    else
      Changed();
  });
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(master);
  buttons->addWidget(repeat_);
  buttons->addStretch();
  buttons->addWidget(ok);

  auto* left = new QVBoxLayout;
  left->addWidget(host);
  left->addWidget(screenBox);
  left->addStretch();
  auto* middle = new QVBoxLayout;
  middle->addWidget(fieldBox);
  middle->addLayout(presets);
  middle->addWidget(modes);
  middle->addWidget(options);
  auto* right = new QVBoxLayout;
  right->addWidget(fkeys);
  right->addStretch();
  auto* columns = new QHBoxLayout;
  columns->addLayout(left);
  columns->addLayout(middle);
  columns->addLayout(right);
  auto* main = new QVBoxLayout(this);
  main->addLayout(top);
  main->addLayout(columns);
  main->addLayout(buttons);
}

void ScreenEditorWindow::Changed() { Refresh(); }

void ScreenEditorWindow::Refresh() {
  const editors::EditorForm& form = editor_.Form();
  ShowText(field_, editor_.FieldBox());
  scrNumber_->setText(FromEngine(editor_.ScrNumber()));
  for (int i = 0; i < editors::kEditorChecks; ++i) {
    const auto c = static_cast<EditorCheck>(i);
    Check(c)->setChecked(form.Check(c));
    Check(c)->setEnabled(editor_.Enabled(c));
  }
  for (int i = 0; i < editors::kEditorTexts; ++i) {
    const auto t = static_cast<EditorText>(i);
    QLineEdit* edit = Box(t);
    ShowText(edit, form.Text(t));
    edit->setEnabled(editor_.TextEnabled(t));
    const bool locked = !editor_.TextEditable(t);
    edit->setReadOnly(locked);
    // Locked boxes show grey, as the text-mode options lock the text.
    edit->setStyleSheet(locked && edit->isEnabled() ? QStringLiteral("color: grey") : QString());
  }
  for (std::size_t i = 0; i < modes_.size(); ++i) {
    const std::int32_t bit = editors::kTextModeBits[i];
    modes_[i]->setChecked(form.TextModeSelected(bit));
    modes_[i]->setEnabled(editor_.TextModeEnabled(bit));
  }
  for (int k = 0; k < editors::kFunctionKeys; ++k) {
    ShowText(FunctionKey(k), form.keys[static_cast<std::size_t>(k)]);
    ShowText(FunctionKeyValue(k), form.keyValues[static_cast<std::size_t>(k)]);
  }
  const editors::HostFieldView& h = editor_.Host();
  const std::pair<const char*, std::string> host[] = {
      {"Row", std::to_string(h.Row)},         {"Col", std::to_string(h.Col)},
      {"Size", std::to_string(h.Size)},       {"Type", std::to_string(h.Type)},
      {"Justify", std::to_string(h.Justify)}, {"Text", h.Text},
  };
  for (const auto& [name, value] : host) ShowText(HostBox(name), value);
  hostShow_->setChecked(h.Show);
  hostInput_->setChecked(h.Input);
  hostAutoEnter_->setChecked(h.AutoEnter);
  repeat_->setText(FromEngine(editor_.RepeatCaption()));
}

bool ScreenEditorWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Box(EditorText::FieldText) && event->type() == QEvent::MouseButtonPress) {
    editor_.ClickFieldText();
    Refresh();
  }
  return QWidget::eventFilter(watched, event);
}

void ScreenEditorWindow::closeEvent(QCloseEvent* e) {
  editor_.Close();
  e->accept();
  emit closed();
}

}  // namespace tervo::ui
