#pragma once
#include "gui/page_view.h"
#include "pages/setup_page.h"

namespace molvane {

class SetupDialog : public PageView {
  Q_OBJECT

 public:
  SetupDialog(CartController& controller, UiServices& ui, QWidget* parent = nullptr);
  PageModel& Model() override { return model; }

 private:
  SetupPage model;
};

}  // namespace molvane
