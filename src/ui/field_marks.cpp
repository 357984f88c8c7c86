#include "ui/field_marks.h"

#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>

namespace tervo::ui {

namespace {
const char* const kMarked = "tervoMarked";
}

void MarkField(QWidget* field, const QString& message) {
  if (!field) return;
  QWidget* target = field;
  if (auto* combo = qobject_cast<QComboBox*>(field); combo && combo->lineEdit())
    target = combo->lineEdit();
  const bool marked = !message.isEmpty();
  if (field->property(kMarked).toBool() == marked && field->toolTip() == message) return;
  field->setProperty(kMarked, marked);
  field->setToolTip(message);
  // A tinted box, not a thicker frame: the field keeps its size.
  QPalette pal = target->palette();
  pal.setColor(QPalette::Base,
               marked ? kMarkedBase : QApplication::palette(target).color(QPalette::Base));
  target->setPalette(pal);
}

bool FieldMarked(const QWidget* field) { return field && field->property(kMarked).toBool(); }

QLabel* MakeMessageLine(QWidget* parent, const char* objectName) {
  auto* line = new QLabel(parent);
  line->setObjectName(QString::fromLatin1(objectName));
  line->setWordWrap(true);
  line->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  QPalette pal = line->palette();
  pal.setColor(QPalette::WindowText, kMessageText);
  line->setPalette(pal);
  line->setFixedHeight(QFontMetrics(line->font()).lineSpacing() * 2 + 2);
  line->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  return line;
}

}  // namespace tervo::ui
