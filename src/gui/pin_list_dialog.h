#pragma once
#include "gui/page_view.h"
#include "pages/pin_list_page.h"

namespace molvane {

class PinListDialog : public PageView {
  Q_OBJECT

 public:
  explicit PinListDialog(CartController& controller, QWidget* parent = nullptr);
  PageModel& Model() override { return model; }

 private:
  PinListPage model;
};

}  // namespace molvane
