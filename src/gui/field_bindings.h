#pragma once
#include <functional>
#include <string>
#include <vector>

class QAbstractButton;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace molvane {

// The pairs of control and model field that a page exchanges, on the window's thread. Reading
// copies every control into its field. Writing copies a field into its control only where the
// model changed it since the last exchange, and never over what the operator changed meanwhile:
// a key typed while the cart answered stays, and the model takes it.
class FieldBindings {
 public:
  // Whose value a control shows when both changed since the last exchange.
  enum class Wins {
    Operator,  // the operator's: a setting being typed
    Cart,      // the cart's: a value the page polls by definition, unless the operator is
               // editing it (it has the focus and was changed)
  };

  void Text(QLineEdit* edit, std::string& field, Wins wins = Wins::Operator);
  void Text(QPlainTextEdit* edit, std::string& field, Wins wins = Wins::Operator);
  void Check(QAbstractButton* button, bool& field, Wins wins = Wins::Operator);
  // Any other pair, as text: what the control shows, how to show a value, the field's value and
  // how to take one into it. `focus` is the widget that edits it.
  void Pair(QWidget* focus, Wins wins, std::function<std::string()> control,
            std::function<void(const std::string&)> show, std::function<std::string()> field,
            std::function<void(const std::string&)> take);
  // What the view shows of the model that the operator cannot change: always written.
  void Shown(std::function<void()> write);

  void ReadAll();
  void WriteAll();

 private:
  struct Binding {
    QWidget* focus = nullptr;
    Wins wins = Wins::Operator;
    std::function<std::string()> control;
    std::function<void(const std::string&)> show;
    std::function<std::string()> field;
    std::function<void(const std::string&)> take;
    std::string synced;  // the control's value at the last exchange
  };
  void Write(Binding& binding);

  std::vector<Binding> bindings;
  std::vector<std::function<void()>> shown;
};

}  // namespace molvane
