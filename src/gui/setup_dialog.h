#pragma once
#include "gui/page_view.h"
#include "pages/setup_page.h"

class QButtonGroup;
class QGridLayout;
class QGroupBox;
class QLineEdit;
class QRadioButton;

namespace molvane {

class SetupDialog : public PageView {
  Q_OBJECT

 public:
  SetupDialog(CartController& controller, UiServices& ui, QWidget* parent = nullptr);
  PageModel& Model() override { return model; }

 private:
  QGroupBox* BuildTimeouts();
  QGroupBox* BuildLockType();
  QWidget* BuildIdentity();
  QGroupBox* BuildPowerSupply();
  QWidget* BuildVersions();
  // One digits-only row of the timeouts box: label, edit, unit.
  QLineEdit* AddNumberRow(QGridLayout* grid, int row, const char* label, const char* unit,
                          int maxLength, std::string& field);

  SetupPage model;
  QButtonGroup* lockType = nullptr;
  QRadioButton* motorButton = nullptr;
  QRadioButton* solenoidButton = nullptr;
};

}  // namespace molvane
