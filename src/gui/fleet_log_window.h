#pragma once
#include <QDialog>

#include "gui/side_window.h"
#include "pages/fleet_log_model.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace molvane {

// One cart's archived log from the fleet record: picked by dates of the cart's clock, holder
// and kind of event, and exported to a CSV file.
class FleetLogWindow : public SideWindow {
 public:
  FleetLogWindow(FleetLocation location, UiServices& ui, const std::string& serialNumber,
                 QWidget* parent);

 private:
  void ReadFields();
  void Show();

  FleetLogModel model;
  QLineEdit* since = nullptr;
  QLineEdit* until = nullptr;
  QLineEdit* holder = nullptr;
  QComboBox* kind = nullptr;
  QTableWidget* table = nullptr;
  QPushButton* showButton = nullptr;
  QPushButton* exportButton = nullptr;
  QLabel* status = nullptr;
};

}  // namespace molvane
