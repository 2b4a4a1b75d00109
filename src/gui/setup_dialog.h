#pragma once
#include "gui/page_view.h"
#include "pages/setup_page.h"

namespace molvane {

class SetupDialog : public PageView {
  Q_OBJECT

 public:
  explicit SetupDialog(CartController& controller, QWidget* parent = nullptr);
  PageModel& Model() override { return model; }

 private:
  SetupPage model;
};

}  // namespace molvane
