#pragma once
#include "gui/page_view.h"
#include "pages/pin_list_page.h"

class QLineEdit;
class QListWidget;
class QGroupBox;

namespace molvane {

class CFilterEdit;

// The "Pin List" page: the cart's PINs with their ages, the buttons that change the list, and
// the badge format and PIN length settings.
class PinListDialog : public PageView {
  Q_OBJECT

 public:
  PinListDialog(CartController& controller, UiServices& ui, QWidget* parent = nullptr);
  PageModel& Model() override { return model; }
  PinListPage& Page() { return model; }

 protected:
  void WriteState() override;
  void SelectRow(int row);

 private:
  QWidget* BuildList();
  QWidget* BuildHeadings(QWidget* parent, int charWidth);
  QGroupBox* BuildCompleteList();
  QGroupBox* BuildMaxDigits();
  QGroupBox* BuildRfid();

  PinListPage model;
  QListWidget* list = nullptr;
  QLineEdit* maxDigitsEdit = nullptr;
  QLineEdit* bitsEdit = nullptr;
  QLineEdit* facilityEdit = nullptr;
  CFilterEdit* maskEdit = nullptr;
};

}  // namespace molvane
