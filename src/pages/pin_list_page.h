#pragma once
#include "pages/page_model.h"

namespace molvane {

// The cart's PIN list and its badge and PIN-length settings.
class PinListPage : public PageModel {
 public:
  using PageModel::PageModel;

  const char* Title() const override { return "Pin List"; }
  void Start() override;
  void CartNotice(bool present) override;
};

}  // namespace molvane
