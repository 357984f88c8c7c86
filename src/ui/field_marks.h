// How the configuration windows point at a value that would not work: the
// field is tinted red and gets the message as its tooltip, and the window's
// message line (a reserved line, so the window keeps its size) names the
// field and says what it takes.
#pragma once

#include <QColor>
#include <QString>

class QLabel;
class QWidget;

namespace tervo::ui {

// Dark red: 6.5:1 on the style's window background.
inline const QColor kMessageText(0xB0, 0x00, 0x00);
// The box of a field whose text is not good; black text on it is 17:1.
inline const QColor kMarkedBase(0xFF, 0xD8, 0xD8);

// Marks field (a line edit, or the edit of an editable combo box) as bad
// with message, or clears the mark when message is empty.
void MarkField(QWidget* field, const QString& message);
bool FieldMarked(const QWidget* field);

// A message line under a window's fields: word-wrapped, with the height of
// two lines reserved whether it shows a message or not.
QLabel* MakeMessageLine(QWidget* parent, const char* objectName);

}  // namespace tervo::ui
