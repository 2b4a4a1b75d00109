#pragma once
#include "gui/page_view.h"
#include "pages/calibrate_page.h"

namespace molvane {

class CalibrateDialog : public PageView {
  Q_OBJECT

 public:
  explicit CalibrateDialog(CartController& controller, QWidget* parent = nullptr);
  PageModel& Model() override { return model; }

 private:
  CalibratePage model;
};

}  // namespace molvane
