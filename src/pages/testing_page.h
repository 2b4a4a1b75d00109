#pragma once
#include "pages/page_model.h"

namespace molvane {

// Keyboard lock and lamp, the cart's status bits and the customer title screen.
class TestingPage : public PageModel {
 public:
  using PageModel::PageModel;

  const char* Title() const override { return "Testing"; }
  void Start() override;
  void CartNotice(bool present) override;
  bool IsPolled() const override { return true; }
};

}  // namespace molvane
