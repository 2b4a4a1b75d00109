#include "gui/labelled.h"

#include <QLabel>
#include <QRegularExpression>

namespace molvane {

QString AccessibleNameFor(const QString& labelText) {
  QString name = labelText;
  name.remove(QRegularExpression("&(?!&)"));
  name = name.trimmed();
  if (name.endsWith(':')) name.chop(1);
  return name.trimmed();
}

void LabelFor(QLabel* label, QWidget* control) {
  label->setBuddy(control);
  control->setAccessibleName(AccessibleNameFor(label->text()));
}

}  // namespace molvane
