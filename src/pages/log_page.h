#pragma once
#include "pages/page_model.h"

namespace molvane {

// The cart's access log.
class LogPage : public PageModel {
 public:
  using PageModel::PageModel;

  const char* Title() const override { return "Log"; }
  void Start() override;
  void CartNotice(bool present) override;
};

}  // namespace molvane
