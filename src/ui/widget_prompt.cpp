#include "ui/widget_prompt.h"

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

config::Prompt::Answer WidgetPrompt::Message(const std::string& text, const std::string& title,
                                             Buttons buttons) {
  const QString t = title.empty() ? kProgramTitle : FromEngine(title);
  if (buttons == Buttons::YesNo) {
    const auto r = QMessageBox::question(parent_, t, FromEngine(text),
                                         QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    return r == QMessageBox::Yes ? Answer::Yes : Answer::No;
  }
  QMessageBox::information(parent_, t, FromEngine(text));
  return Answer::Ok;
}

std::string WidgetPrompt::Input(const std::string& prompt, const std::string& title,
                                const std::string& defaultText) {
  bool ok = false;
  const QString r = QInputDialog::getText(parent_, FromEngine(title), FromEngine(prompt),
                                          QLineEdit::Normal, FromEngine(defaultText), &ok);
  return ok ? ToEngine(r) : std::string();  // cancelling gives the empty text
}

std::string WidgetPrompt::Choose(const std::string& prompt, const std::string& title,
                                 const std::vector<std::string>& items,
                                 const std::string& current) {
  QStringList list;
  int at = 0;
  for (const auto& item : items) {
    if (item == current) at = static_cast<int>(list.size());
    list << FromEngine(item);
  }
  bool ok = false;
  const QString r =
      QInputDialog::getItem(parent_, FromEngine(title), FromEngine(prompt), list, at, false, &ok);
  return ok ? ToEngine(r) : current;
}

config::FileDialogs::Result WidgetPrompt::Open(const std::string& presetName,
                                               const std::string& folder, std::string* chosen) {
  const QString path = QFileDialog::getOpenFileName(parent_, QStringLiteral("Load"),
                                                    StartPath(presetName, folder), kFilter);
  if (path.isEmpty()) return Result::Cancelled;
  *chosen = ToEngine(QDir::toNativeSeparators(path));
  return Result::Chosen;
}

config::FileDialogs::Result WidgetPrompt::Save(const std::string& presetName,
                                               const std::string& folder, std::string* chosen) {
  const QString path = QFileDialog::getSaveFileName(parent_, QStringLiteral("Save as"),
                                                    StartPath(presetName, folder), kFilter);
  if (path.isEmpty()) return Result::Cancelled;
  *chosen = ToEngine(QDir::toNativeSeparators(path));
  return Result::Chosen;
}

}  // namespace tervo::ui
