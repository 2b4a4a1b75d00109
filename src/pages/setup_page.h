#pragma once
#include "pages/page_model.h"

namespace molvane {

// The cart's timeouts, lock times, name and serial number.
class SetupPage : public PageModel {
 public:
  using PageModel::PageModel;

  const char* Title() const override { return "Setup"; }
  void Start() override;
  void CartNotice(bool present) override;
};

}  // namespace molvane
