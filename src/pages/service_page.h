#pragma once
#include "pages/page_model.h"

namespace molvane {

// Firmware and bitmap loading, the clock and the battery gas gauge.
class ServicePage : public PageModel {
 public:
  using PageModel::PageModel;

  const char* Title() const override { return "Service"; }
  void Start() override;
  void CartNotice(bool present) override;
  bool IsPolled() const override { return true; }
};

}  // namespace molvane
