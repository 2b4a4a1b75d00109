#pragma once
#include <QDialog>
#include <QPointer>

#include "gui/side_window.h"
#include "pages/fleet_window_model.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace molvane {

class CartController;
class UiServices;

// File > Fleet...: opens the fleet window beside the main window, or brings `window` to the
// front when it is open already. A build without the fleet store says so instead.
void OpenFleetWindow(QPointer<QDialog>& window, QWidget* mainWindow, CartController& controller,
                     UiServices& ui);

// The carts of the fleet record in a table the operator sorts by a column and narrows with a
// text and the quick filters; a cart's row opens its archived log.
class FleetWindow : public SideWindow {
 public:
  static constexpr const char* kCaption = "Fleet";

  FleetWindow(FleetLocation location, UiServices& ui, QWidget* parent);

 private:
  QLayout* BuildFilters();
  void ApplyFilter();
  void Show();
  void OpenLog();

  FleetWindowModel model;
  FleetLocation location;
  UiServices& ui;
  QLineEdit* filterText = nullptr;
  QLineEdit* firmwareNot = nullptr;
  QLineEdit* pinsOlderThan = nullptr;
  QLineEdit* notSeenFor = nullptr;
  QTableWidget* table = nullptr;
  QPushButton* openLog = nullptr;
  QLabel* status = nullptr;
};

}  // namespace molvane
