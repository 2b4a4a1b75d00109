#include "gui/field_bindings.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace molvane {

void FieldBindings::Text(QLineEdit* edit, std::string& field, Wins wins) {
  Pair(
      edit, wins, [edit] { return edit->text().toStdString(); },
      // Setting the same text again would move the caret under the operator's hands.
      [edit](const std::string& text) { edit->setText(QString::fromStdString(text)); },
      [&field] { return field; }, [&field](const std::string& text) { field = text; });
}

void FieldBindings::Text(QPlainTextEdit* edit, std::string& field, Wins wins) {
  Pair(
      edit, wins, [edit] { return edit->toPlainText().toStdString(); },
      [edit](const std::string& text) { edit->setPlainText(QString::fromStdString(text)); },
      [&field] { return field; }, [&field](const std::string& text) { field = text; });
}

void FieldBindings::Check(QAbstractButton* button, bool& field, Wins wins) {
  Pair(
      button, wins, [button] { return std::string(button->isChecked() ? "1" : "0"); },
      [button](const std::string& on) { button->setChecked(on == "1"); },
      [&field] { return std::string(field ? "1" : "0"); },
      [&field](const std::string& on) { field = on == "1"; });
}

void FieldBindings::Pair(QWidget* focus, Wins wins, std::function<std::string()> control,
                         std::function<void(const std::string&)> show,
                         std::function<std::string()> field,
                         std::function<void(const std::string&)> take) {
  Binding binding{focus,           wins, std::move(control), std::move(show), std::move(field),
                  std::move(take), {}};
  binding.synced = binding.control();
  bindings.push_back(std::move(binding));
}

void FieldBindings::Shown(std::function<void()> write) { shown.push_back(std::move(write)); }

void FieldBindings::ReadAll() {
  for (Binding& binding : bindings) {
    binding.synced = binding.control();
    binding.take(binding.synced);
  }
}

void FieldBindings::WriteAll() {
  for (Binding& binding : bindings) Write(binding);
  for (const auto& write : shown) write();
}

void FieldBindings::Write(Binding& binding) {
  const std::string now = binding.control();
  const bool operatorChanged = now != binding.synced;
  const bool editing = operatorChanged && binding.focus != nullptr && binding.focus->hasFocus();
  if (operatorChanged && (binding.wins == Wins::Operator || editing)) {
    binding.take(now);
    return;
  }
  const std::string value = binding.field();
  if (value != now) binding.show(value);
  binding.synced = binding.control();
}

}  // namespace molvane
