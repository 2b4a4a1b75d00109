#pragma once
#include <QDialog>
#include <string>

namespace molvane {

class CFilterEdit;
class UiServices;

// "Add Pin": one PIN typed by the operator, checked before the page sends it. A refused PIN is
// explained and the dialog stays open with the text as typed.
class AddPinDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr const char* kCaption = "Add Pin";

  explicit AddPinDialog(UiServices& ui, QWidget* parent = nullptr);

  // The PIN text as it was when "Add" accepted it.
  const std::string& AcceptedPin() const { return acceptedPin; }

 private:
  void OnAdd();

  UiServices& ui;
  CFilterEdit* pinEdit = nullptr;
  std::string acceptedPin;
};

}  // namespace molvane
