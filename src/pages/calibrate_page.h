#pragma once
#include "pages/page_model.h"

namespace molvane {

// Drawer sensors, lift and drawer configuration at the factory.
class CalibratePage : public PageModel {
 public:
  using PageModel::PageModel;

  const char* Title() const override { return "Factory Calibration"; }
  void Start() override;
  void CartNotice(bool present) override;
  bool IsPolled() const override { return true; }
};

}  // namespace molvane
