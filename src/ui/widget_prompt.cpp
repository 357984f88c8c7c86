#include "ui/widget_prompt.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

#include "ui/text_codec.h"

namespace tervo::ui {

namespace {

const QString kProgramTitle = QStringLiteral("Tervo Remote Terminal");
const QString kFilter = QStringLiteral("Configuration (*.TVO *.tvo);;All files (*)");

// The dialog's start: the preset name inside the folder when both are given.
QString StartPath(const std::string& name, const std::string& folder) {
  const QString n = FromEngine(name);
  if (folder.empty() || QDir::isAbsolutePath(n)) return n;
  const QString f = FromEngine(folder);
  const QString file = QFileInfo(n).fileName();
  return file.isEmpty() ? f : QDir(f).filePath(file);
}

}  // namespace

void WidgetPrompt::Stop() {
  stopped_ = true;
  // Every box and dialog here is modal; rejecting it ends its nested loop
  // as soon as the stop's handler returns to it.
  for (QWidget* w : QApplication::topLevelWidgets()) {
    auto* dialog = qobject_cast<QDialog*>(w);
    if (dialog && dialog->isVisible() && dialog->isModal()) dialog->reject();
  }
}

config::Prompt::Answer WidgetPrompt::Message(const std::string& text, const std::string& title,
                                             Buttons buttons) {
  if (stopped_) return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
  const QString t = title.empty() ? kProgramTitle : FromEngine(title);
  if (buttons == Buttons::Ok) {
    QMessageBox::information(parent_, t, FromEngine(text));
    return Answer::Ok;
  }
  QMessageBox::StandardButtons shown = QMessageBox::Yes | QMessageBox::No;
  QMessageBox::StandardButton preset = QMessageBox::Yes;
  if (buttons == Buttons::YesNoDefaultNo) preset = QMessageBox::No;
  if (buttons == Buttons::YesNoCancel) {
    shown |= QMessageBox::Cancel;
    preset = QMessageBox::Cancel;
  }
  const auto r = QMessageBox::question(parent_, t, FromEngine(text), shown, preset);
  if (stopped_) return Answer::Cancel;  // closed by the stop, not by the operator
  switch (r) {
    case QMessageBox::Yes:
      return Answer::Yes;
    case QMessageBox::No:
      return Answer::No;
    default:
      break;
  }
  // Escape or the close box: YesNo questions read that as No, as before.
  return buttons == Buttons::YesNoCancel ? Answer::Cancel : Answer::No;
}

std::string WidgetPrompt::Input(const std::string& prompt, const std::string& title,
                                const std::string& defaultText) {
  if (stopped_) return defaultText;
  bool ok = false;
  const QString r = QInputDialog::getText(parent_, FromEngine(title), FromEngine(prompt),
                                          QLineEdit::Normal, FromEngine(defaultText), &ok);
  if (stopped_) return defaultText;
  return ok ? ToEngine(r) : std::string();  // cancelling gives the empty text
}

std::string WidgetPrompt::Choose(const std::string& prompt, const std::string& title,
                                 const std::vector<std::string>& items,
                                 const std::string& current) {
  if (stopped_) return current;
  QStringList list;
  int at = 0;
  for (const auto& item : items) {
    if (item == current) at = static_cast<int>(list.size());
    list << FromEngine(item);
  }
  bool ok = false;
  const QString r =
      QInputDialog::getItem(parent_, FromEngine(title), FromEngine(prompt), list, at, false, &ok);
  return ok && !stopped_ ? ToEngine(r) : current;
}

config::FileDialogs::Result WidgetPrompt::Open(const std::string& presetName,
                                               const std::string& folder, std::string* chosen) {
  if (stopped_) return Result::Cancelled;
  const QString path = QFileDialog::getOpenFileName(parent_, QStringLiteral("Load"),
                                                    StartPath(presetName, folder), kFilter);
  if (path.isEmpty() || stopped_) return Result::Cancelled;
  *chosen = ToEngine(QDir::toNativeSeparators(path));
  return Result::Chosen;
}

config::FileDialogs::Result WidgetPrompt::Save(const std::string& presetName,
                                               const std::string& folder, std::string* chosen) {
  if (stopped_) return Result::Cancelled;
  const QString path = QFileDialog::getSaveFileName(parent_, QStringLiteral("Save as"),
                                                    StartPath(presetName, folder), kFilter);
  if (path.isEmpty() || stopped_) return Result::Cancelled;
  *chosen = ToEngine(QDir::toNativeSeparators(path));
  return Result::Chosen;
}

}  // namespace tervo::ui
