#pragma once
#include <functional>
#include <string>
#include <vector>

class QAbstractButton;
class QLineEdit;
class QPlainTextEdit;

namespace molvane {

// The pairs of control and model field that a page exchanges as a whole: reading copies every
// control into its field, writing copies every field into its control.
class FieldBindings {
 public:
  void Text(QLineEdit* edit, std::string& field);
  void Text(QPlainTextEdit* edit, std::string& field);  // shown as written, read back as shown
  void Check(QAbstractButton* button, bool& field);
  // Anything else: a pair of copies written by the view.
  void Custom(std::function<void()> read, std::function<void()> write);

  void ReadAll() const;
  void WriteAll() const;

 private:
  struct Binding {
    std::function<void()> read;
    std::function<void()> write;
  };
  std::vector<Binding> bindings;
};

}  // namespace molvane
