#pragma once
#include <array>
#include <vector>

#include "gui/page_view.h"
#include "pages/calibrate_page.h"

class QGridLayout;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace molvane {

class DrawerLayoutPicture;

class CalibrateDialog : public PageView {
  Q_OBJECT

 public:
  CalibrateDialog(CartController& controller, UiServices& ui, QWidget* parent = nullptr);
  PageModel& Model() override { return model; }

 protected:
  void WriteState() override;

 private:
  QGroupBox* BuildSensors();
  QGroupBox* BuildLift();
  QGroupBox* BuildDrawerConfiguration();
  QGroupBox* BuildLockBits();
  // A text field with its label in the grid's row; the unit after it when there is one.
  QLineEdit* AddLimit(QGridLayout* grid, int row, const char* label, const char* unit,
                      std::string& field);
  QPushButton* OperationButton(const char* text, const char* name,
                               void (CalibratePage::*operation)());
  void SetTabOrder();

  CalibratePage model;
  std::array<DrawerLayoutPicture*, CalibratePage::kLayoutCount> pictures{};
  std::vector<QWidget*> tabChain;
};

}  // namespace molvane
