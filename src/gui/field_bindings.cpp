#include "gui/field_bindings.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace molvane {

void FieldBindings::Text(QLineEdit* edit, std::string& field) {
  Custom([edit, &field] { field = edit->text().toStdString(); },
         [edit, &field] {
           const QString text = QString::fromStdString(field);
           // Setting the same text again would move the caret under the operator's hands.
           if (edit->text() != text) edit->setText(text);
         });
}

void FieldBindings::Text(QPlainTextEdit* edit, std::string& field) {
  Custom([edit, &field] { field = edit->toPlainText().toStdString(); },
         [edit, &field] {
           const QString text = QString::fromStdString(field);
           if (edit->toPlainText() != text) edit->setPlainText(text);
         });
}

void FieldBindings::Check(QAbstractButton* button, bool& field) {
  Custom([button, &field] { field = button->isChecked(); },
         [button, &field] { button->setChecked(field); });
}

void FieldBindings::Custom(std::function<void()> read, std::function<void()> write) {
  bindings.push_back({std::move(read), std::move(write)});
}

void FieldBindings::ReadAll() const {
  for (const Binding& binding : bindings) binding.read();
}

void FieldBindings::WriteAll() const {
  for (const Binding& binding : bindings) binding.write();
}

}  // namespace molvane
