#include "gui/labelled.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
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

QLineEdit* AddLabelledEdit(QBoxLayout* row, const QString& labelText, const char* name,
                           QWidget* parent) {
  auto* label = new QLabel(labelText, parent);
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  LabelFor(label, edit);
  row->addWidget(label);
  row->addWidget(edit);
  return edit;
}

}  // namespace molvane
